// Whether the field or the pattern holds work made by hand that is not in a
// file: a change by hand made (or done again) since the part was last saved
// or opened. It reads the undo stack, so that undoing the work back to what
// was saved leaves nothing unsaved, and changes dropped off the stack's
// bottom need no care.
#pragma once

#include <array>
#include <cstdint>

#include "workspace/work_change.h"

class QUndoStack;

namespace hexlife {

class UnsavedWork {
public:
    // Every command on `stack` is a WorkChange.
    explicit UnsavedWork(const QUndoStack& stack) : stack_(stack) {}

    // The part as it stands now was saved, or opened from a file.
    void markSaved(WorkPart part);
    bool unsaved(WorkPart part) const;

private:
    const QUndoStack& stack_;
    // The serial of the last change made when the part was saved; 0 for
    // none (the start).
    std::array<std::uint64_t, 2> savedAfter_{};
};

}  // namespace hexlife
