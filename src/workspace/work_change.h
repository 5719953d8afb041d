// A change to undo, as the question of unsaved work sees it: which part of
// the document it changes, the field or the pattern, and whether it is the
// user's own handiwork (a drawn cell, a fill, a paste) rather than a figure
// chosen, a file opened or a run started, which can all be had again.
#pragma once

#include <cstdint>

#include <QUndoCommand>

namespace hexlife {

enum class WorkPart { Field, Pattern };

class WorkChange : public QUndoCommand {
public:
    WorkChange(const QString& text, WorkPart part, bool byHand);

    WorkPart part() const { return part_; }
    bool byHand() const { return byHand_; }
    // Grows with every change made, in the order they were made.
    std::uint64_t serial() const { return serial_; }

private:
    WorkPart part_;
    bool byHand_;
    std::uint64_t serial_;
};

}  // namespace hexlife
