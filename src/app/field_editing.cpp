// The field as a workspace. When no run is going (before any, paused, or
// ended) a left click on a cell turns it on or off and a drag paints cells
// in the state the first one took; Shift and a drag select a rectangle of
// cells, which copy, cut, clear and fill then act on. An edit of a run
// that has begun goes on from the edit: the generations after it are
// dropped, the count goes on, and the fate is judged from the edit. Every
// change to the field or the editor can be undone and done again.
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QUndoStack>
#include <optional>

#include "app/changes.h"
#include "app/fill_dialog.h"
#include "app/main_window.h"
#include "commands/command_table.h"
#include "rle/pattern_files.h"
#include "surface/picture_box.h"

namespace hexlife {

namespace {

// Changes kept for undoing; the oldest go first.
constexpr int UndoLimit = 200;

}  // namespace

void MainWindow::SetUpWorkspace()
{
    Undo = new QUndoStack(this);
    Undo->setUndoLimit(UndoLimit);
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
}

bool MainWindow::CanEditField() const
{
    return !Timer1->isActive();
}

FieldArray MainWindow::ShownField() const
{
    // The tick counting CycleCount drew generation CycleCount - 1; before a
    // run's first tick the field is its start figure.
    if (CycleCount >= 1 && History.size() >= CycleCount) {
        FieldArray shown{};
        History.unpack(CycleCount - 1, shown);
        return shown;
    }
    return FieldCells;
}

int MainWindow::ShownGeneration() const
{
    return CycleCount >= 1 ? CycleCount - 1 : 0;
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

void MainWindow::ShowKeptField()
{
    LiveCount = 0;
    if (CycleCount >= 1 && History.size() >= CycleCount) {
        const FieldArray next = FieldCells;
        History.unpack(CycleCount - 1, FieldCells);
        DrawField();
        FieldCells = next;
    } else {
        DrawField();
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
    if (!CanEditField() || !cell || !LiveArea.contains(cell->column, cell->row)) {
        return;
    }
    Stroke.shown = ShownField();
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
    if (!CanEditField()) {
        ShowKeptField();  // a run began meanwhile: the stroke is not made
        return;
    }
    EditField(QStringLiteral("клетки поля"), Stroke.shown);
}

void MainWindow::EditField(const QString& What, const FieldArray& Edited, bool ByHand,
                           const std::optional<rule::Rule>& Rule)
{
    const bool newRule = Rule && !(*Rule == FieldRule);
    if (!CanEditField() || (Edited == ShownField() && !newRule)) {
        return;
    }
    const rule::Rule before = FieldRule;
    Undo->push(new FieldChange(this, What, false, ByHand, [this, Edited, Rule] {
        if (Rule) UseRule(*Rule);
        GoOnFrom(Edited);
    }));
    if (newRule) TellRuleTaken(before);
    Commands->refresh();
}

void MainWindow::PutOnField(const FieldArray& Field, const QString& What, const std::optional<rule::Rule>& Rule)
{
    const rule::Rule before = FieldRule;
    Undo->push(new FieldChange(this, What, true, false, [this, Field, Rule] {
        EndRun();
        if (Rule) UseRule(*Rule);
        StartPausedAt(Field);
    }));
    if (!(before == FieldRule)) TellRuleTaken(before);
    Commands->refresh();
}

void MainWindow::OpenWithRule(const PatternArray& Pattern, const QString& What, bool ByHand, const rule::Rule& Rule)
{
    const rule::Rule before = FieldRule;
    if (Timer1->isActive()) {
        Timer1->stop();
    }
    // The run on the field, if any, goes on by the rule from the generation
    // shown, under the editor; taken before the change cuts the run there.
    const bool begun = !History.empty();
    const FieldArray shown = ShownField();
    Undo->push(new FieldChange(
        this, What, false, ByHand,
        [this, Pattern, Rule, begun, shown] {
            UseRule(Rule);
            if (begun) {
                GoOnFrom(shown);
            }
            PatternFile_Open(Pattern);
        },
        WorkPart::Pattern));
    TellRuleTaken(before);
    Commands->refresh();
}

void MainWindow::TellRuleTaken(const rule::Rule& Before)
{
    ShowNote(QStringLiteral("Правило фигуры: %1 (было %2)")
                 .arg(QString::fromStdString(FieldRule.Text()), QString::fromStdString(Before.Text())));
}

void MainWindow::StartPausedAt(const FieldArray& Field)
{
    // A run paused at its start figure as «Пуск» would begin it: the first
    // tick draws generation 0 and counts 1, so that every generation has one
    // number however the run came about.
    History.cut(0);
    FieldCells = Field;
    CycleCount = 0;
    History.start(FieldCells);
    Run.holdPaused();
    FateShown = -1;
    Timer1_Timer();
    ShowRunStatus();
}

void MainWindow::GoOnFrom(const FieldArray& Edited)
{
    if (CycleCount <= 1) {
        // The start figure shown: the field as edited is the new one.
        StartPausedAt(Edited);
        return;
    }
    // The generation shown, edited, is drawn by the tick counting
    // CycleCount once more: the next generation and the stop rules follow
    // from the edit, and the fate is judged from it on.
    const int shown = ShownGeneration();
    History.cut(shown);
    CycleCount = std::int16_t(shown);
    FieldCells = Edited;
    History.recordEdited(shown, FieldCells);
    Run.holdPaused();
    Timer1_Timer();
    ShowRunStatus();
}

MainWindow::FieldState MainWindow::TakeFieldState(int CutAt)
{
    FieldState state;
    state.cells = FieldCells;
    state.count = CycleCount;
    state.countText = Label1->text();
    state.run = Run;
    state.tail = History.cut(CutAt);
    state.editorShown = EditorShown();
    state.preview = PreviewShows;
    state.rule = FieldRule;
    state.pattern = PatternCells;
    return state;
}

void MainWindow::RestoreFieldState(FieldState&& State)
{
    Timer1->stop();
    FieldCells = State.cells;
    CycleCount = State.count;
    Label1->setText(State.countText);
    Run.takeModeOf(State.run);
    // A run that was going when the change came (a pattern opened onto
    // the field) comes back paused: undoing never starts the timer.
    if (Run.running() && !Run.paused()) {
        Run.holdPaused();
    }
    History.restore(std::move(State.tail));
    if (!(FieldRule == State.rule)) {
        UseRule(State.rule);
    }
    // A change that opened a pattern with its rule gives the pattern back.
    const bool patternChanged = PatternCells != State.pattern;
    PatternCells = State.pattern;
    if (EditorShown() != State.editorShown || (patternChanged && State.editorShown)) {
        ShowEditor(State.editorShown);
    }
    if (PreviewShows != State.preview) {
        ShowPreviewOf(State.preview);
    }
    FateShown = -1;
    ShowKeptField();
    ShowFate();
    ShowRunStatus();
    NameCount(true);
}

void MainWindow::EditPattern(const QString& What, const std::function<void()>& Change, bool ByHand)
{
    const PatternArray before = PatternCells;
    const bool editorBefore = EditorShown();
    const RunState runBefore = Run;
    Change();
    if (PatternCells != before) {
        Undo->push(new PatternChange(this, What, ByHand, {before, editorBefore, runBefore}, {PatternCells, EditorShown(), Run}));
    }
}

void MainWindow::SetRunMode(const RunState& Mode)
{
    // As the state came back from an undone edit: held paused, never going.
    Timer1->stop();
    Run.takeModeOf(Mode);
    if (Run.running() && !Run.paused()) {
        Run.holdPaused();
    }
    ShowRunStatus();
    NameCount(true);
}

void MainWindow::SetPatternCells(const PatternArray& Pattern)
{
    // Shown in the editor, opened where it was not: an undone change of the
    // pattern is seen where it is made.
    PatternCells = Pattern;
    ShowEditor(true);
}

bool MainWindow::EditorShown() const
{
    return Picture3->isVisibleTo(this);
}

void MainWindow::ShowEditor(bool Shown)
{
    if (Shown) {
        Picture3->setEnabled(true);
        Picture3->setVisible(true);
        Picture3->surface().clear();
        DrawEditor();
    } else if (EditorShown()) {
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
        Undo->undo();
        Commands->refresh();
    }
}

void MainWindow::RedoEdit()
{
    if (Undo->canRedo()) {
        Stroke.active = false;
        Undo->redo();
        Commands->refresh();
    }
}

}  // namespace hexlife
