// The selection and what acts on it: cleared, cut, filled at random, turned
// and mirrored by the lattice's symmetries; and patterns pasted onto the
// field, added to what it holds. Each is one change to undo.
#include <QCursor>

#include "app/fill_dialog.h"
#include "app/main_window.h"
#include "commands/command_table.h"
#include "surface/picture_box.h"

namespace hexlife {

std::optional<lattice::GridCell> MainWindow::PointerCell() const
{
    // Where the context menu was opened, for an entry picked from it; else
    // where the pointer is now.
    const QPoint global = Commands->menuPoint().value_or(QCursor::pos());
    const QPoint at = Picture1->mapFromGlobal(global);
    if (!Picture1->rect().contains(at)) {
        return std::nullopt;
    }
    const QPointF image = Picture1->toImage(at);
    if (const auto cell = FieldCellAt(image.x(), image.y())) {
        return lattice::GridCell{cell->column, cell->row};
    }
    return std::nullopt;
}

void MainWindow::AddToField(const std::vector<int>& Cells, const QString& What, const std::optional<rule::Rule>& Rule)
{
    // A going run is held where it is, and the paste goes on from there.
    if (Work->mode() == Workspace::Mode::Running) {
        RunPause();
    }
    FieldArray field = Work->shownField();
    for (int n : Cells) {
        field[size_t(n)] = 1;
    }
    EditField(What, field, true, Rule);
}

bool MainWindow::CanTransformSelection() const
{
    return !Selection.empty() && FieldHasCells();
}

void MainWindow::TransformSelection(lattice::Symmetry Symmetry, const QString& What)
{
    if (!CanTransformSelection()) {
        return;
    }
    if (Work->mode() == Workspace::Mode::Running) {
        RunPause();
    }
    FieldArray field = Work->shownField();
    std::vector<lattice::Cell> live;
    for (int c = Selection.c1; c <= Selection.c2; ++c) {
        for (int r = Selection.r1; r <= Selection.r2; ++r) {
            const int n = FieldCellNumber(c, r);
            if (field[size_t(n)] == 1) {
                live.push_back(lattice::FromGrid({c, r}));
                field[size_t(n)] = 0;
            }
        }
    }
    // About the middle of the live cells' box, in Golly's coordinates.
    lattice::Cell low = live.front(), high = live.front();
    for (const lattice::Cell& cell : live) {
        low = {std::min(low.x, cell.x), std::min(low.y, cell.y)};
        high = {std::max(high.x, cell.x), std::max(high.y, cell.y)};
    }
    const lattice::Cell centre{low.x + lattice::HalfDown(high.x - low.x), low.y + lattice::HalfDown(high.y - low.y)};
    CellRect moved{FieldColCount, FieldColLen, -1, -1};
    for (const lattice::Cell& cell : live) {
        const lattice::GridCell to = lattice::ToGrid(lattice::Apply(Symmetry, cell, centre));
        if (!LiveArea.contains(int(to.column), int(to.row))) {
            ShowNote(QStringLiteral("Так выделенное не помещается на поле"));
            return;
        }
        field[size_t(FieldCellNumber(int(to.column), int(to.row)))] = 1;
        moved = {std::min(moved.c1, int(to.column)), std::min(moved.r1, int(to.row)), std::max(moved.c2, int(to.column)),
                 std::max(moved.r2, int(to.row))};
    }
    EditField(What, field);
    SelectCells(moved);
}

void MainWindow::SelectCells(const CellRect& Cells)
{
    Work->setSelection(Cells);
}

CellRect MainWindow::EditedArea() const
{
    return Selection.empty() ? LiveArea : Selection;
}

void MainWindow::ClearFieldCells()
{
    FieldArray field = Work->shownField();
    ClearCells(field, EditedArea());
    EditField(Selection.empty() ? QStringLiteral("очистка поля") : QStringLiteral("очистка выделенного"), field);
}

void MainWindow::FillField(const FillChoice& Choice)
{
    const CellRect area = Choice.area == FillChoice::Area::Whole       ? RunnableArea
                          : Choice.area == FillChoice::Area::Selection ? EditedArea()
                                                                       : CentredRect(Choice.columns, Choice.rows);
    FieldArray field = Work->shownField();
    FillRandom(field, area, Choice.percent, Choice.seed);
    EditField(QStringLiteral("случайное заполнение, зерно %1").arg(Choice.seed), field);
}

void MainWindow::AskFillField()
{
    if (const auto choice = AskFill(this, LastFill, !Selection.empty())) {
        LastFill = *choice;
        FillField(*choice);
    }
}

void MainWindow::CutSelection()
{
    if (Selection.empty() || !Work->canEdit()) {
        return;
    }
    CopyField();
    FieldArray field = Work->shownField();
    ClearCells(field, Selection);
    EditField(QStringLiteral("вырезание"), field);
}

}  // namespace hexlife
