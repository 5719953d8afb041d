// The Workspace's changes to undo: each operation below pushes one change
// onto the undo stack, which makes it; undo and redo give back the states
// taken and put back here.
#include <QUndoStack>

#include "workspace/changes.h"
#include "workspace/telling.h"
#include "workspace/workspace.h"

namespace hexlife {

void Workspace::push(QUndoCommand* change)
{
    const Telling telling(*this);
    undo_->push(change);
}

bool Workspace::undo()
{
    if (!undo_->canUndo()) {
        return false;
    }
    const Telling telling(*this);
    undo_->undo();
    return true;
}

bool Workspace::redo()
{
    if (!undo_->canRedo()) {
        return false;
    }
    const Telling telling(*this);
    undo_->redo();
    return true;
}

void Workspace::startChange()
{
    push(new RunStart(this, QStringLiteral("пуск")));
}

bool Workspace::runAgain()
{
    if (!canRunAgain()) {
        return false;
    }
    FieldArray first{};
    history_.unpack(0, first);
    push(new RunStart(this, QStringLiteral("пуск снова"), first));
    return true;
}

bool Workspace::editField(const QString& what, const FieldArray& edited, bool byHand,
                          const std::optional<rule::Rule>& rule)
{
    const bool newRule = rule && !(*rule == rule_);
    if (!canEdit() || (edited == shownField() && !newRule)) {
        return false;
    }
    push(new FieldChange(this, what, false, byHand, [this, edited, rule] {
        if (rule) setRule(*rule);
        goOnFrom(edited);
    }));
    return true;
}

void Workspace::putOnField(const FieldArray& field, const QString& what, const std::optional<rule::Rule>& rule)
{
    push(new FieldChange(this, what, true, false, [this, field, rule] {
        endRun();
        if (rule) setRule(*rule);
        startPausedAt(field);
    }));
}

void Workspace::openWithRule(const PatternArray& pattern, const QString& what, bool byHand,
                             const rule::Rule& rule)
{
    const Telling telling(*this);
    // The run on the field, if any, goes on by the rule from the generation
    // shown, under the editor; taken before the change cuts the run there.
    const bool begun = !history_.empty();
    const FieldArray shown = shownField();
    push(new FieldChange(
        this, what, false, byHand,
        [this, pattern, rule, begun, shown] {
            setRule(rule);
            if (begun) {
                goOnFrom(shown);
            }
            openEditor(pattern);
        },
        WorkPart::Pattern));
}

void Workspace::changeRule(const rule::Rule& rule)
{
    if (rule_ == rule) {
        return;
    }
    const Telling telling(*this);
    // A going run goes on by the new rule, from the generation shown, taken
    // before the change cuts the run there.
    const bool going = mode() == Mode::Running;
    const bool begun = !history_.empty();
    const FieldArray shown = shownField();
    push(new FieldChange(this, "правило " + QString::fromStdString(rule.Text()), false, false,
                         [this, rule, begun, shown] {
                             setRule(rule);
                             if (begun) {
                                 goOnFrom(shown);
                             }
                         }));
    if (going && run_.running() && run_.paused()) {
        togglePause();
    }
}

bool Workspace::changePattern(const QString& what, bool byHand, const std::function<void()>& change)
{
    const Telling telling(*this);
    const PatternChange::Side before{pattern_, editorOpen_, run_};
    change();
    if (pattern_ == before.pattern) {
        return false;
    }
    push(new PatternChange(this, what, byHand, before, {pattern_, editorOpen_, run_}));
    return true;
}

void Workspace::redraw()
{
    if (count_ >= 1 && history_.size() >= count_) {
        const FieldArray next = field_;
        history_.unpack(count_ - 1, field_);
        measure();
        emit fieldShown();
        field_ = next;
    } else {
        measure();
        emit fieldShown();
    }
}

Workspace::Snapshot Workspace::take(int cutAt)
{
    Snapshot state;
    state.cells = field_;
    state.count = count_;
    state.countShown = countShown_;
    state.run = run_;
    state.tail = history_.cut(cutAt);
    state.editorOpen = editorOpen_;
    state.preview = preview_;
    state.rule = rule_;
    state.pattern = pattern_;
    return state;
}

void Workspace::restore(Snapshot&& state)
{
    const Telling telling(*this);
    field_ = state.cells;
    count_ = state.count;
    countShown_ = state.countShown;
    emit countChanged();
    run_.takeModeOf(state.run);
    // A run that was going when the change came (a pattern opened onto the
    // field) comes back paused: undoing never starts the timer.
    if (run_.running() && !run_.paused()) {
        run_.holdPaused();
    }
    history_.restore(std::move(state.tail));
    setRule(state.rule);
    // A change that opened a pattern with its rule gives the pattern back.
    const bool patternChanged = pattern_ != state.pattern;
    pattern_ = state.pattern;
    if (editorOpen_ != state.editorOpen || (patternChanged && state.editorOpen)) {
        editorOpen_ = state.editorOpen;
        emit editorChanged(editorOpen_);
    }
    if (patternChanged) {
        emit this->patternChanged();
    }
    if (preview_ != state.preview) {
        preview_ = state.preview;
        emit previewChanged();
    }
    fateForced_ = true;
    redraw();
}

}  // namespace hexlife
