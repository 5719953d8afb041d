#include "workspace/workspace.h"

#include <QUndoStack>

#include "workspace/telling.h"

namespace hexlife {

namespace {

// Changes kept for undoing; the oldest go first.
constexpr int UndoLimit = 200;

bool SameRun(const RunState& a, const RunState& b)
{
    return a.running() == b.running() && a.paused() == b.paused() && a.reviewing() == b.reviewing() &&
           a.hasStarted() == b.hasStarted() && a.intervalMs() == b.intervalMs();
}

}  // namespace

Workspace::Workspace(QObject* parent) : QObject(parent), undo_(new QUndoStack(this))
{
    undo_->setUndoLimit(UndoLimit);
}

Workspace::~Workspace() = default;

Workspace::Mode Workspace::mode() const
{
    if (run_.running()) {
        return !run_.paused() ? Mode::Running : run_.reviewing() ? Mode::Reviewing : Mode::Paused;
    }
    return editorOpen_ ? Mode::Editing : history_.empty() ? Mode::Idle : Mode::Ended;
}

FieldArray Workspace::shownField() const
{
    // The tick counting count_ drew generation count_ - 1; before a run's
    // first tick the field is its start figure.
    if (count_ >= 1 && history_.size() >= count_) {
        FieldArray shown{};
        history_.unpack(count_ - 1, shown);
        return shown;
    }
    return field_;
}

int Workspace::fateKey() const
{
    return (history_.repetition() ? 1 : 0) + 2 * int(history_.ended()) + (history_.empty() ? 16 : 0);
}

bool Workspace::canBrowse() const
{
    return !history_.empty() &&
           (run_.paused() || (!run_.running() && history_.ended() != RunEnd::None && !editorOpen_));
}

bool Workspace::canStep() const
{
    return canBrowse() && !(history_.ended() != RunEnd::None && count_ >= history_.endCount());
}

bool Workspace::canRunAgain() const
{
    // Once a run has begun; while the editor is open, «Пуск» is the way.
    return run_.hasStarted() && !history_.empty() && !editorOpen_;
}

Workspace::Seen Workspace::seen() const
{
    return {mode(), run_, fateKey()};
}

void Workspace::tell(const Seen& before)
{
    if (!SameRun(before.run, run_)) {
        emit runChanged();
    }
    const Mode now = mode();
    if (now != before.mode) {
        emit modeChanged(now);
    }
    if (fateForced_ || fateKey() != before.fate) {
        fateForced_ = false;
        emit fateChanged();
    }
}

void Workspace::measure()
{
    // Outside the live cells' columns every cell is 0.
    drawn_ = LiveColumns(field_);
    int sum = 0;
    if (!drawn_.empty()) {
        for (int n = drawn_.first * FieldColLen; n < (drawn_.last + 1) * FieldColLen; ++n) {
            sum += field_[size_t(n)];
        }
    }
    live_ = sum;
}

void Workspace::setCount(int count)
{
    count_ = std::int16_t(count);
    countShown_ = count;
    emit countChanged();
}

void Workspace::start()
{
    const Telling telling(*this);
    field_.fill(0);
    run_.start();
    count_ = 0;
    // Pattern cell (k, j) lands on field cell (68 + k, 52 + j); 68 is even,
    // so every column keeps its parity and the figure its shape.
    for (int k = 0; k <= PatternColLast; ++k) {
        for (int j = 0; j <= PatternPosLast; ++j) {
            field_[size_t(PlacementBase + j + FieldColLen * k)] = pattern_[size_t(j + PatternColLen * k)];
        }
    }
    history_.start(field_);
    preview_ = pattern_;
    emit previewChanged();
    editorOpen_ = false;
    emit editorChanged(false);
    emit runStarted();
}

void Workspace::startFrom(const FieldArray& field)
{
    const Telling telling(*this);
    endRun();
    field_ = field;
    run_.start();
    count_ = 0;
    history_.start(field_);
    if (editorOpen_) {
        closeEditor();
    }
    emit runStarted();
}

void Workspace::tick()
{
    const Telling telling(*this);
    measure();
    emit fieldShown();
    // The step works on the columns next to the live cells just shown (the
    // whole live area for a rule with B0); B2/S2 by its own pass.
    const bool b2s2 = rule_ == rule::Rule();
    const ColumnSpan step = b2s2 ? StepColumns(drawn_) : StepColumns(drawn_, rule_);
    const bool edge = b2s2 ? MarkGeneration(field_, step) : MarkGeneration(field_, step, rule_);
    if (edge) {
        run_.stop();  // the colony has reached the edge of the live area
    }
    setCount(count_ + 1);
    ResolveGeneration(field_, step);
    history_.record(count_, field_);
    const bool over = count_ > CycleLimit || live_ == 0;
    if (over) {
        run_.stop();
    }
    if ((edge || over) && history_.ended() == RunEnd::None) {
        history_.end(edge ? RunEnd::Edge : live_ == 0 ? RunEnd::Empty : RunEnd::Limit, count_);
    }
}

void Workspace::endRun()
{
    const Telling telling(*this);
    run_.stop();
}

bool Workspace::togglePause()
{
    const Telling telling(*this);
    if (!run_.togglePause()) {
        return false;
    }
    // A run resumed from the editor, as «Пуск» leaves it.
    if (!run_.paused() && editorOpen_) {
        closeEditor();
    }
    return true;
}

void Workspace::step()
{
    if (!canStep()) {
        return;
    }
    if (count_ + 1 < history_.size()) {
        showCycle(count_ + 1);  // known: replayed
    } else {
        tick();  // one tick as the timer would run it, stop rules and all
    }
}

void Workspace::back()
{
    if (canBrowse() && count_ > 1) {
        showCycle(count_ - 1);
    }
}

void Workspace::first()
{
    if (canBrowse() && history_.size() > 1) {
        showCycle(1);
    }
}

void Workspace::latest()
{
    if (canBrowse() && history_.size() > 1) {
        showCycle(history_.size() - 1);
    }
}

void Workspace::showCycle(int count)
{
    const Telling telling(*this);
    // The tick counting `count` draws generation count - 1 and leaves the
    // field holding generation `count`.
    history_.unpack(count - 1, field_);
    measure();
    emit fieldShown();
    history_.unpack(count, field_);
    setCount(count);
    if (history_.ended() != RunEnd::None && count == history_.endCount()) {
        run_.stop();
    } else {
        run_.holdPaused(history_.ended() != RunEnd::None);
    }
}

bool Workspace::faster()
{
    const Telling telling(*this);
    return run_.faster();
}

bool Workspace::slower()
{
    const Telling telling(*this);
    return run_.slower();
}

void Workspace::holdMode(const RunState& mode)
{
    const Telling telling(*this);
    run_.takeModeOf(mode);
    if (run_.running() && !run_.paused()) {
        run_.holdPaused();
    }
}

void Workspace::openEditor(const PatternArray& pattern)
{
    const Telling telling(*this);
    run_.stop();
    editorOpen_ = true;
    pattern_ = pattern;
    emit editorChanged(true);
    emit patternChanged();
}

void Workspace::closeEditor()
{
    const Telling telling(*this);
    editorOpen_ = false;
    emit editorChanged(false);
}

void Workspace::toggleEditorCell(int i)
{
    pattern_[size_t(i)] = std::int8_t(pattern_[size_t(i)] == 1 ? 0 : 1);
    emit patternCellChanged(i);
}

void Workspace::showPattern(const PatternArray& pattern)
{
    const Telling telling(*this);
    pattern_ = pattern;
    editorOpen_ = true;
    emit editorChanged(true);
    emit patternChanged();
}

void Workspace::setField(const FieldArray& field)
{
    const Telling telling(*this);
    run_.stop();
    history_ = RunHistory();
    field_ = field;
    count_ = 0;
}

void Workspace::startPausedAt(const FieldArray& field)
{
    const Telling telling(*this);
    // A run paused at its start figure as «Пуск» would begin it: the first
    // tick draws generation 0 and counts 1, so that every generation has one
    // number however the run came about.
    history_.cut(0);
    field_ = field;
    count_ = 0;
    history_.start(field_);
    run_.holdPaused();
    fateForced_ = true;
    tick();
}

void Workspace::goOnFrom(const FieldArray& edited)
{
    const Telling telling(*this);
    if (count_ <= 1) {
        // The start figure shown: the field as edited is the new one.
        startPausedAt(edited);
        return;
    }
    // The generation shown, edited, is drawn by the tick counting count_
    // once more: the next generation and the stop rules follow from the
    // edit, and the fate is judged from it on.
    const int shown = shownGeneration();
    history_.cut(shown);
    count_ = std::int16_t(shown);
    field_ = edited;
    history_.recordEdited(shown, field_);
    run_.holdPaused();
    tick();
}

void Workspace::setSelection(const CellRect& cells)
{
    selection_ = cells;
    emit selectionChanged();
}

void Workspace::setRule(const rule::Rule& rule)
{
    if (rule_ == rule) {
        return;
    }
    const Telling telling(*this);
    rule_ = rule;
    fateForced_ = true;
    emit ruleChanged();
}

}  // namespace hexlife
