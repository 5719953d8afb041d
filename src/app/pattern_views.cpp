// The pattern's two views: the editor (Picture3), where clicks toggle cells,
// and the start preview (Picture4).
#include <QPushButton>

#include "app/main_window.h"
#include "editor/cell_marks.h"
#include "editor/pattern_grid.h"
#include "surface/picture_box.h"

namespace hexlife {

void MainWindow::BuildEditorGrid()
{
    BuildPatternCentres(EditorRadius, EditorCellX, EditorCellY);
}

void MainWindow::BuildPreviewGrid()
{
    BuildPatternCentres(PreviewRadius, PreviewCellX, PreviewCellY);
}

void MainWindow::DrawEditor()
{
    Surface& editor = Picture3->surface();
    for (int i = 0; i <= PatternLast; ++i) {
        const int x = EditorCellX[i], y = EditorCellY[i];
        if (PatternCells[i] == 0) {
            editor.circle(x, y, CellRadius, EmptyColor);
        } else {
            editor.circle(x, y, CellRadius - 1, LiveColor);
            DrawCellMark(editor, x, y, CellRadius, MarkHalfSize, LiveColor);
        }
        editor.circle(x, y, EditorRadius, GridColor);
    }
}

void MainWindow::Picture3_MouseUp(std::int16_t, std::int16_t, float X, float Y)
{
    const int reach = EditorRadius;
    MarkHalfSize = reach - 2;
    const int i = EditorHitTest(X, Y, EditorCellX, EditorCellY);
    if (i >= 0) {
        Work->toggleEditorCell(i);
    }
}

void MainWindow::DrawPreview()
{
    Surface& preview = Picture4->surface();
    preview.clear();
    const std::optional<PatternArray>& shows = Work->preview();
    if (!shows) {
        return;
    }
    for (int i = 0; i <= PatternLast; ++i) {
        const int x = PreviewCellX[i], y = PreviewCellY[i];
        if ((*shows)[i] == 1) {
            DrawCellMark(preview, x, y, PreviewRadius - 1, MarkHalfSize, LiveColor);
        }
        preview.circle(x, y, PreviewRadius, GridColor);
    }
}

void MainWindow::Picture4_MouseUp(std::int16_t, std::int16_t, float, float)
{
    Work->openEditor(PatternCells);
}

void MainWindow::PatternFile_Open(const PatternArray& Pattern)
{
    Work->openEditor(Pattern);
}

}  // namespace hexlife
