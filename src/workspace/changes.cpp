#include "workspace/changes.h"

namespace hexlife {

FieldChange::FieldChange(Workspace* work, const QString& text, bool fromStart, bool byHand,
                         std::function<void()> change, WorkPart part)
    : WorkChange(text, part, byHand), work_(work), fromStart_(fromStart), change_(std::move(change))
{
}

void FieldChange::redo()
{
    if (!after_) {
        cutAt_ = fromStart_ ? 0 : work_->shownGeneration();
        before_ = work_->take(cutAt_);
        change_();
        after_ = work_->take(cutAt_);
        work_->restoreTail(after_->tail);
        return;
    }
    before_ = work_->take(cutAt_);
    Workspace::Snapshot after = *after_;
    work_->restore(std::move(after));
}

void FieldChange::undo()
{
    work_->restore(std::move(before_));
}

RunStart::RunStart(Workspace* work, const QString& text, std::optional<FieldArray> from)
    : WorkChange(text, WorkPart::Field, false), work_(work), from_(std::move(from))
{
}

void RunStart::redo()
{
    // The whole run is taken, generation 0 and all: the start replaces it.
    before_ = work_->take(0);
    if (from_) {
        work_->startFrom(*from_);
    } else {
        work_->start();
    }
}

void RunStart::undo()
{
    work_->restore(std::move(before_));
}

PatternChange::PatternChange(Workspace* work, const QString& text, bool byHand, const Side& before,
                             const Side& after)
    : WorkChange(text, WorkPart::Pattern, byHand), work_(work), before_(before), after_(after)
{
}

void PatternChange::redo()
{
    if (made_) {
        made_ = false;
        return;
    }
    show(after_);
}

void PatternChange::undo()
{
    show(before_);
}

void PatternChange::show(const Side& side)
{
    // Seen in the editor where it is made, opened where it was not.
    work_->showPattern(side.pattern);
    if (!side.editor) {
        work_->closeEditor();  // closed again where it was
    }
    work_->holdMode(side.run);
}

}  // namespace hexlife
