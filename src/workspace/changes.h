// The changes the Workspace's undo stack holds, each a WorkChange: what it
// changes is taken just before it is made and given back when it is
// undone. They act on the Workspace alone.
#pragma once

#include <functional>
#include <optional>

#include "workspace/work_change.h"
#include "workspace/workspace.h"

namespace hexlife {

// A change of the field and the run on it.
class FieldChange : public WorkChange {
public:
    // fromStart: the change replaces the whole run (a pattern opened onto
    // the field); else it goes on from the generation shown. A pattern
    // opened into the editor with a rule of its own is a change of both,
    // counted as the pattern's.
    FieldChange(Workspace* work, const QString& text, bool fromStart, bool byHand, std::function<void()> change,
                WorkPart part = WorkPart::Field);
    // The first redo makes the change; a later one puts back the state the
    // change left, whatever was run or shown since it was undone.
    void redo() override;
    void undo() override;

private:
    Workspace* work_;
    bool fromStart_;
    int cutAt_ = 0;
    std::function<void()> change_;
    Workspace::Snapshot before_;
    std::optional<Workspace::Snapshot> after_;
};

// A run started, by «Пуск» (from the pattern) or run again (from a field):
// the field and the run before it are given back when it is undone, and
// done again it starts the same run, from the same start figure, anew.
class RunStart : public WorkChange {
public:
    RunStart(Workspace* work, const QString& text, std::optional<FieldArray> from = std::nullopt);
    void redo() override;
    void undo() override;

private:
    Workspace* work_;
    std::optional<FieldArray> from_;
    Workspace::Snapshot before_;
};

// A change of the pattern, made before it is pushed: the first redo is the
// change itself, already made. A figure chosen also opens the editor and
// stops the run: both come back with it.
class PatternChange : public WorkChange {
public:
    struct Side {
        PatternArray pattern;
        bool editor;
        RunState run;
    };
    PatternChange(Workspace* work, const QString& text, bool byHand, const Side& before, const Side& after);
    void redo() override;
    void undo() override;

private:
    void show(const Side& side);
    Workspace* work_;
    Side before_, after_;
    bool made_ = true;
};

}  // namespace hexlife
