// The pattern's two views: the editor (Picture3), where clicks toggle cells,
// and the start preview (Picture4).
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "editor/cell_marks.h"
#include "editor/pattern_grid.h"
#include "surface/picture_box.h"

namespace hexlife {

void MainWindow::BuildEditorGrid()
{
    BuildPatternCentres(EditorRadius, EditorCellX, EditorCellY);
    ClearPattern();
}

void MainWindow::BuildPreviewGrid()
{
    BuildPatternCentres(PreviewRadius, PreviewCellX, PreviewCellY);
    ClearPattern();
}

void MainWindow::ClearPattern()
{
    for (int i = 0; i <= PatternLast; ++i) {
        PatternCells[i] = 0;
    }
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
    if (i < 0) {
        return;
    }
    // Only the cell's interior is repainted; its ring stays.
    Surface& editor = Picture3->surface();
    if (PatternCells[i] == 1) {
        DrawCellMark(editor, EditorCellX[i], EditorCellY[i], reach - 1, MarkHalfSize, EmptyColor);
        PatternCells[i] = 0;
    } else {
        PatternCells[i] = 1;
        DrawCellMark(editor, EditorCellX[i], EditorCellY[i], reach - 1, MarkHalfSize, LiveColor);
    }
}

void MainWindow::DrawPreview()
{
    PreviewShows = PatternCells;
    Surface& preview = Picture4->surface();
    preview.clear();
    for (int i = 0; i <= PatternLast; ++i) {
        const int x = PreviewCellX[i], y = PreviewCellY[i];
        if (PatternCells[i] == 1) {
            DrawCellMark(preview, x, y, PreviewRadius - 1, MarkHalfSize, LiveColor);
        }
        preview.circle(x, y, PreviewRadius, GridColor);
    }
}

void MainWindow::ShowPreviewOf(const std::optional<PatternArray>& Pattern)
{
    if (!Pattern) {
        Picture4->surface().clear();
        PreviewShows.reset();
        return;
    }
    const PatternArray pattern = PatternCells;
    PatternCells = *Pattern;
    DrawPreview();
    PatternCells = pattern;
}

void MainWindow::OpenEditor()
{
    EndRun();
    Picture3->setEnabled(true);
    Picture3->setVisible(true);
    Picture3->surface().clear();
}

void MainWindow::Picture4_MouseUp(std::int16_t, std::int16_t, float, float)
{
    OpenEditor();
    DrawEditor();
    Command1->setEnabled(true);
}

void MainWindow::PatternFile_Open(const PatternArray& Pattern)
{
    OpenEditor();
    PatternCells = Pattern;
    DrawEditor();
    Command1->setEnabled(true);
}

}  // namespace hexlife
