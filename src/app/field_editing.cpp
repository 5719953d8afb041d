// The field as a workspace. When no run is going (before any, paused, or
// ended) a left click on a cell turns it on or off and a drag paints cells
// in the state the first one took; Shift and a drag select a rectangle of
// cells, which copy, cut, clear and fill then act on. An edit of a run
// that has begun goes on from the edit: the generations after it are
// dropped, the count goes on, and the fate is judged from the edit. Every
// change to the field or the editor can be undone and done again.
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QUndoStack>

#include "history/colony_plot.h"
#include <optional>

#include "app/fill_dialog.h"
#include "app/main_window.h"
#include "commands/command_table.h"
#include "editor/cell_marks.h"
#include "rle/pattern_files.h"
#include "surface/picture_box.h"

namespace hexlife {

void MainWindow::SetUpWorkspace()
{
    Undo = Work->undoStack();
    Unsaved = std::make_unique<UnsavedWork>(*Undo);
    connect(Picture1, &PictureBox::pressed, this,
            [this](int, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at) {
                Picture1_MouseDown(button, modifiers, at);
            });
    connect(Picture1, &PictureBox::dragged, this,
            [this](int, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF at) {
                Picture1_MouseMove(buttons, modifiers, at);
            });
    connect(Picture1, &PictureBox::released, this,
            [this](int, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at) {
                Picture1_MouseUp(button, modifiers, at);
            });

    // What the Workspace changes, the window draws.
    using W = Workspace;
    connect(Work, &W::fieldShown, this, &MainWindow::DrawField);
    connect(Work, &W::countChanged, this, [this] {
        const std::optional<int> shown = Work->countShown();
        Label1->setText(shown ? QString::number(*shown) : QString::fromUtf8(Label1Caption));
        NameCount(!Timer1->isActive());
        ShowFate();
    });
    connect(Work, &W::runChanged, this, &MainWindow::ShowRunStatus);
    connect(Work, &W::fateChanged, this, [this] {
        FateShown = -1;
        ShowFate();
    });
    connect(Work, &W::editorChanged, this, &MainWindow::ShowEditor);
    connect(Work, &W::patternChanged, this, [this] {
        if (EditorShown()) {
            Picture3->surface().clear();
            DrawEditor();
        }
    });
    connect(Work, &W::patternCellChanged, this, [this](int i) {
        // Only the cell's interior is repainted; its ring stays.
        DrawCellMark(Picture3->surface(), EditorCellX[i], EditorCellY[i], EditorRadius - 1, MarkHalfSize,
                     PatternCells[i] == 1 ? LiveColor : EmptyColor);
    });
    connect(Work, &W::previewChanged, this, &MainWindow::DrawPreview);
    connect(Work, &W::runStarted, this, [this] {
        // Not left on whatever button Qt would move it to from a hidden one.
        Picture1->setFocus();
    });
    connect(Work, &W::selectionChanged, this, [this] {
        if (Selection.empty()) {
            Picture1->setOverlay({});
        } else {
            const PixelRect pixels = PixelsOf(Selection);
            Picture1->setOverlay(QRect(pixels.x, pixels.y, pixels.width, pixels.height));
        }
    });
    connect(Work, &W::ruleChanged, this, [this] {
        const QString name = RuleName();
        if (Plot != nullptr) {
            Plot->setRuleName(name);
        }
        if (KeyList != nullptr) {
            KeyList->setWindowTitle("Клавиши и команды" + (name.isEmpty() ? QString() : " — правило " + name));
        }
        // The thumbnails' fates by the new rule, worked out anew once they
        // have been.
        if (FatesThread != nullptr) {
            StopFigureFates();
            for (PictureBox* thumbnail : Picture2) {
                thumbnail->setToolTip({});
                thumbnail->setAccessibleDescription({});
            }
            StartFigureFates();
        }
    });
    // The commands' states and texts follow the changes and the mode.
    connect(Undo, &QUndoStack::indexChanged, this, [this] { Commands->refresh(); });
    connect(Work, &W::modeChanged, this, [this] { Commands->refresh(); });
}

void MainWindow::PaintFieldCell(int N, std::int8_t State)
{
    // As DrawField paints a box, and recorded as painted.
    Surface::SquareWriter<2 * FieldHalfPitch - 1> box(Picture1->surface());
    box.fill(FieldCellX[N], FieldCellY[N], ToQRgb(State != 0 ? LiveColor : EmptyColor));
    FieldPainted[N] = State;
    if (State != 0) {
        const int column = FieldColumnOf(N);
        PaintedColumns = PaintedColumns.empty() ? ColumnSpan{column, column}
                                                : ColumnSpan{std::min(PaintedColumns.first, column),
                                                             std::max(PaintedColumns.last, column)};
    }
}

void MainWindow::Picture1_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPointF At)
{
    if (Button != Qt::LeftButton) {
        return;
    }
    const auto cell = FieldCellAt(At.x(), At.y());
    if (Shift & Qt::ShiftModifier) {
        if (cell) {
            SelectFrom = *cell;
            SelectCells(SpanOf(*cell, *cell));
        }
        return;
    }
    if (!Work->canEdit() || !cell || !LiveArea.contains(cell->column, cell->row)) {
        return;
    }
    Stroke.shown = Work->shownField();
    const int n = FieldCellNumber(cell->column, cell->row);
    Stroke.state = std::int8_t(1 - Stroke.shown[size_t(n)]);
    Stroke.active = true;
    Stroke.shown[size_t(n)] = Stroke.state;
    PaintFieldCell(n, Stroke.state);
}

void MainWindow::Picture1_MouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers, QPointF At)
{
    if (!(Buttons & Qt::LeftButton)) {
        return;
    }
    const auto cell = FieldCellAt(At.x(), At.y());
    if (SelectFrom) {
        if (cell) {
            SelectCells(SpanOf(*SelectFrom, *cell));
        }
        return;
    }
    if (!Stroke.active || !cell || !LiveArea.contains(cell->column, cell->row)) {
        return;
    }
    const int n = FieldCellNumber(cell->column, cell->row);
    if (Stroke.shown[size_t(n)] != Stroke.state) {
        Stroke.shown[size_t(n)] = Stroke.state;
        PaintFieldCell(n, Stroke.state);
    }
}

void MainWindow::Picture1_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, QPointF)
{
    if (Button != Qt::LeftButton) {
        return;
    }
    SelectFrom.reset();
    if (!Stroke.active) {
        return;
    }
    Stroke.active = false;
    if (!Work->canEdit()) {
        Work->redraw();  // a run began meanwhile: the stroke is not made
        return;
    }
    EditField(QStringLiteral("клетки поля"), Stroke.shown);
}

void MainWindow::EditField(const QString& What, const FieldArray& Edited, bool ByHand,
                           const std::optional<rule::Rule>& Rule)
{
    const rule::Rule before = FieldRule;
    if (Work->editField(What, Edited, ByHand, Rule) && !(before == FieldRule)) {
        TellRuleTaken(before);
    }
}

void MainWindow::PutOnField(const FieldArray& Field, const QString& What, const std::optional<rule::Rule>& Rule)
{
    const rule::Rule before = FieldRule;
    Work->putOnField(Field, What, Rule);
    if (!(before == FieldRule)) TellRuleTaken(before);
}

void MainWindow::OpenWithRule(const PatternArray& Pattern, const QString& What, bool ByHand, const rule::Rule& Rule)
{
    const rule::Rule before = FieldRule;
    Work->openWithRule(Pattern, What, ByHand, Rule);
    TellRuleTaken(before);
}

void MainWindow::TellRuleTaken(const rule::Rule& Before)
{
    ShowNote(QStringLiteral("Правило фигуры: %1 (было %2)")
                 .arg(QString::fromStdString(FieldRule.Text()), QString::fromStdString(Before.Text())));
}

void MainWindow::EditPattern(const QString& What, const std::function<void()>& Change, bool ByHand)
{
    Work->changePattern(What, ByHand, Change);
}

bool MainWindow::EditorShown() const
{
    return Work->editorOpen();
}

void MainWindow::ShowEditor(bool Shown)
{
    if (Shown) {
        Picture3->setEnabled(true);
        Picture3->setVisible(true);
        Picture3->surface().clear();
        DrawEditor();
    } else if (Picture3->isVisibleTo(this)) {
        Picture3->setEnabled(false);
        Picture3->setVisible(false);
    }
    Command1->setEnabled(Shown);
}

// In every state: a going run is held paused where the undone or redone
// change leaves it.
void MainWindow::UndoEdit()
{
    if (Undo->canUndo()) {
        Stroke.active = false;
        Work->undo();
    }
}

void MainWindow::RedoEdit()
{
    if (Undo->canRedo()) {
        Stroke.active = false;
        Work->redo();
    }
}

}  // namespace hexlife
