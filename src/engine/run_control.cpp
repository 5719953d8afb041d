// Start and the generation tick.
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "engine/field_grid.h"
#include "engine/life_step.h"
#include "surface/picture_box.h"

namespace hexlife {

void MainWindow::ClearField()
{
    for (int n = 0; n <= FieldLast; ++n) {
        FieldCells[n] = 0;
    }
}

void MainWindow::Command1_Click()
{
    ClearField();
    Timer1->start();
    CycleCount = 0;
    // Pattern cell (k, j) lands on field cell (68 + k, 52 + j); 68 is even,
    // so every column keeps its parity and the figure its shape.
    for (int k = 0; k <= PatternColLast; ++k) {
        for (int j = 0; j <= PatternPosLast; ++j) {
            const int i = j + PatternColLen * k;
            const std::int16_t n = std::int16_t(PlacementBase + j + FieldColLen * k);
            FieldCells[n] = PatternCells[i];
        }
    }
    DrawPreview();
    Picture3->setEnabled(false);
    Picture3->setVisible(false);
    Command1->setEnabled(false);
}

void MainWindow::Timer1_Timer()
{
    LiveCount = 0;
    DrawField();
    if (MarkGeneration(FieldCells)) {
        Timer1->stop();  // the colony has reached the edge of the live area
    }
    ++CycleCount;
    Label1->setText(QString::number(CycleCount));
    ResolveGeneration(FieldCells);
    if (CycleCount > CycleLimit || LiveCount == 0) {
        Timer1->stop();
    }
}

}  // namespace hexlife
