#include "app/changes.h"

namespace hexlife {

FieldChange::FieldChange(MainWindow* window, const QString& text, bool fromStart, bool byHand,
                         std::function<void()> change, WorkPart part)
    : WorkChange(text, part, byHand), window_(window), fromStart_(fromStart), change_(std::move(change))
{
}

void FieldChange::redo()
{
    if (!after_) {
        cutAt_ = fromStart_ ? 0 : window_->ShownGeneration();
        before_ = window_->TakeFieldState(cutAt_);
        change_();
        after_ = window_->TakeFieldState(cutAt_);
        window_->History.restore(after_->tail);
        return;
    }
    before_ = window_->TakeFieldState(cutAt_);
    MainWindow::FieldState after = *after_;
    window_->RestoreFieldState(std::move(after));
}

void FieldChange::undo()
{
    window_->RestoreFieldState(std::move(before_));
}

RunStart::RunStart(MainWindow* window, const QString& text, std::function<void()> start)
    : WorkChange(text, WorkPart::Field, false), window_(window), start_(std::move(start))
{
}

void RunStart::redo()
{
    // The whole run is taken, generation 0 and all: the start replaces it.
    before_ = window_->TakeFieldState(0);
    start_();
}

void RunStart::undo()
{
    window_->RestoreFieldState(std::move(before_));
}

PatternChange::PatternChange(MainWindow* window, const QString& text, bool byHand, const Side& before,
                             const Side& after)
    : WorkChange(text, WorkPart::Pattern, byHand), window_(window), before_(before), after_(after)
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
    window_->SetPatternCells(side.pattern);
    if (!side.editor) {
        window_->ShowEditor(false);  // closed again where it was
    }
    window_->SetRunMode(side.run);
}

}  // namespace hexlife
