// The figure library on the window: loading the catalogue, drawing the 26
// thumbnails once, and choosing a figure by clicking its thumbnail.
#include <cmath>

#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "editor/cell_marks.h"
#include "figures/catalogue.h"
#include "surface/picture_box.h"

namespace hexlife {

void MainWindow::LoadFigureLibrary()
{
    LoadFigures(FigureLibrary);
}

void MainWindow::DrawThumbnails()
{
    Timer1->stop();
    MarkHalfSize = CellRadius - 2;
    for (int k = 0; k <= ThumbLast; ++k) {
        Surface& thumbnail = Picture2[k]->surface();
        const int base = FigureCellCount * k;
        // Column x keeps its fraction; the surface rounds it to a pixel.
        double x = CellRadius;
        int shift = 1;
        for (int col = 0; col < FigureColCount; ++col) {
            int y = CellRadius + CellRadius * shift;
            for (int pos = 0; pos < FigureColLen; ++pos) {
                thumbnail.circle(float(x), y, CellRadius, GridColor);
                if (FigureLibrary[base + pos + FigureColLen * col] == 1) {
                    DrawCellMark(thumbnail, float(x), y, CellRadius - 1, MarkHalfSize, LiveColor);
                }
                y += ThumbCellPitch;
            }
            x += ThumbColumnPitch;
            shift = std::abs(shift - 1);
        }
    }
}

void MainWindow::Picture2_MouseUp(std::int16_t Index, std::int16_t, std::int16_t, float, float)
{
    OpenEditor();
    ClearPattern();
    const int base = Index * FigureCellCount;
    for (int col = 0; col < FigureColCount; ++col) {
        for (int pos = 0; pos < FigureColLen; ++pos) {
            PatternCells[FigureFirst + pos + PatternColLen * col] =
                std::int8_t(FigureLibrary[base + pos + FigureColLen * col]);
        }
    }
    DrawEditor();
    Command1->setEnabled(true);
}

}  // namespace hexlife
