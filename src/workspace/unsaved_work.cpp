#include "workspace/unsaved_work.h"

#include <atomic>

#include <QUndoStack>

namespace hexlife {

namespace {

std::atomic<std::uint64_t> LastSerial{0};

const WorkChange* ChangeAt(const QUndoStack& stack, int i)
{
    return static_cast<const WorkChange*>(stack.command(i));
}

}  // namespace

WorkChange::WorkChange(const QString& text, WorkPart part, bool byHand)
    : QUndoCommand(text), part_(part), byHand_(byHand), serial_(++LastSerial)
{
}

void UnsavedWork::markSaved(WorkPart part)
{
    const int done = stack_.index();
    savedAfter_[size_t(part)] = done > 0 ? ChangeAt(stack_, done - 1)->serial() : 0;
}

bool UnsavedWork::unsaved(WorkPart part) const
{
    // The changes done are the stack's first index() ones, their serials
    // growing: those after the save are what the part holds unsaved.
    for (int i = stack_.index() - 1; i >= 0; --i) {
        const WorkChange* change = ChangeAt(stack_, i);
        if (change->serial() <= savedAfter_[size_t(part)]) {
            break;
        }
        if (change->part() == part && change->byHand()) {
            return true;
        }
    }
    return false;
}

}  // namespace hexlife
