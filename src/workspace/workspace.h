// The document below the window: the field and the run on it, the pattern
// of the editor, the count of cycles, the rule, the selection, and the mode
// they are in. Its operations are the only way these change; each tells
// what it changed by a signal, and the window draws from those. Every change
// to undo goes onto its own undo stack (workspace/changes.h). Qt's core and
// GUI modules only: no widgets.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QObject>
#include <QString>

#include "engine/field_edit.h"
#include "engine/life_step.h"
#include "engine/run_state.h"
#include "history/run_history.h"
#include "rule/rule.h"

class QUndoCommand;
class QUndoStack;

namespace hexlife {

class Workspace : public QObject {
    Q_OBJECT
public:
    // What the field and the editor are doing. A run held paused may have
    // the editor open over it (a cell drawn on the field beside it); the
    // editor is told apart by editorOpen().
    enum class Mode {
        Idle,       // no run has been on the field, the editor closed
        Editing,    // the editor open, no run going
        Running,    // the timer steps the run
        Paused,     // a run held at a generation
        Reviewing,  // a run that has ended, held at an earlier generation
        Ended,      // a run stopped where it ended, or stopped by a figure chosen
    };
    Q_ENUM(Mode)

    explicit Workspace(QObject* parent = nullptr);
    ~Workspace() override;

    // --- What it holds ---------------------------------------------------
    Mode mode() const;
    bool editorOpen() const { return editorOpen_; }
    // The field the next tick works on.
    const FieldArray& field() const { return field_; }
    // The generation the last tick drew (or the field before a run's first
    // tick), and its number.
    FieldArray shownField() const;
    int shownGeneration() const { return count_ >= 1 ? count_ - 1 : 0; }
    // The generation last shown: its live columns and its population.
    ColumnSpan drawnColumns() const { return drawn_; }
    const int& liveCount() const { return live_; }
    const PatternArray& pattern() const { return pattern_; }
    const std::int16_t& count() const { return count_; }
    // The count the top bar shows: none before the first tick ever.
    std::optional<int> countShown() const { return countShown_; }
    const RunHistory& history() const { return history_; }
    const RunState& run() const { return run_; }
    const rule::Rule& rule() const { return rule_; }
    const CellRect& selection() const { return selection_; }
    // The start figure «Пуск» last started from, none before the first.
    const std::optional<PatternArray>& preview() const { return preview_; }
    QUndoStack* undoStack() const { return undo_; }
    // What is known of the fate, as a number that changes when the words
    // shown for it do: a repetition found, an end, a run begun.
    int fateKey() const;

    bool canEdit() const { return mode() != Mode::Running; }
    // A paused run, or one that ended by a rule and is still on the field.
    bool canBrowse() const;
    bool canStep() const;
    bool canRunAgain() const;

    // --- The run -----------------------------------------------------------
    // «Пуск»: the pattern placed in the middle of the field and run.
    void start();
    // A run from `field`, as «Пуск» starts one from the pattern.
    void startFrom(const FieldArray& field);
    // One generation: the field shown (fieldShown), then stepped by the
    // rule, counted, recorded, and the run ended by the stop rules.
    void tick();
    // Ends a run however it ends.
    void endRun();
    // Pauses a going run or resumes it (closing the editor); false when
    // there is none.
    bool togglePause();
    void step();
    void back();
    void first();
    void latest();
    // Shows the generation that the tick counting `count` draws, field and
    // count as that tick leaves them; the run held paused there, or ended
    // where it ended.
    void showCycle(int count);
    bool faster();
    bool slower();
    // The run's mode taken from `mode`, held paused where it was going.
    void holdMode(const RunState& mode);

    // --- The editor ---------------------------------------------------------
    // The editor opened with `pattern`, the run stopped: a figure chosen, a
    // pattern opened, the preview clicked.
    void openEditor(const PatternArray& pattern);
    void closeEditor();
    // A cell of the editor turned on or off.
    void toggleEditorCell(int i);
    // The pattern set and shown in the editor, opened where it was not.
    void showPattern(const PatternArray& pattern);

    // --- The field by hand ----------------------------------------------------
    // The field replaced as it stands, with no run on it nor kept: each
    // tick then steps it unrecorded, until a stop rule ends it. For the
    // tests and the benchmarks of the tick alone.
    void setField(const FieldArray& field);
    // A run paused at generation 0 on `field`, as «Пуск» would begin it.
    void startPausedAt(const FieldArray& field);
    // The generation shown replaced by `edited`: the run goes on from it.
    void goOnFrom(const FieldArray& edited);
    void setSelection(const CellRect& cells);
    // The rule taken without undo.
    void setRule(const rule::Rule& rule);

    // --- Changes to undo (workspace/workspace_edits.cpp) ---------------------
    // Each pushes one change onto undoStack(), which makes it.
    void push(QUndoCommand* change);
    // In every mode: a going run is held paused where the change undone or
    // done again leaves it. False where there is nothing to undo or redo.
    bool undo();
    bool redo();
    // «Пуск», and the run started again from its generation 0.
    void startChange();
    bool runAgain();
    // The generation shown changed to `edited`; with a rule (a paste of a
    // pattern of another rule), the rule too, in the same change. False
    // where nothing changed or a run is going.
    bool editField(const QString& what, const FieldArray& edited, bool byHand = true,
                   const std::optional<rule::Rule>& rule = std::nullopt);
    // A field of its own (a large pattern opened): paused at generation 0.
    void putOnField(const FieldArray& field, const QString& what,
                    const std::optional<rule::Rule>& rule = std::nullopt);
    // A pattern into the editor with a rule of its own: one change of the
    // pattern and the rule, the run on the field going on by the rule.
    void openWithRule(const PatternArray& pattern, const QString& what, bool byHand, const rule::Rule& rule);
    // The rule changed: the run goes on by it from the generation shown,
    // the later ones dropped; a going run goes on.
    void changeRule(const rule::Rule& rule);
    // The pattern changed by `change` (operations of the editor), as one
    // change to undo where it changed the pattern.
    bool changePattern(const QString& what, bool byHand, const std::function<void()>& change);

    // --- Undo -------------------------------------------------------------------
    // What a change of the field changes, taken before it and given back
    // when it is undone.
    struct Snapshot {
        FieldArray cells{};
        std::int16_t count = 0;
        std::optional<int> countShown;
        RunState run;
        RunHistory::Tail tail;
        bool editorOpen = false;
        std::optional<PatternArray> preview;
        rule::Rule rule;
        PatternArray pattern{};
    };
    // Takes the state, the run's generations from `cutAt` on taken out.
    Snapshot take(int cutAt);
    // Puts a state back; a run going in it comes back paused.
    void restore(Snapshot&& state);
    // Puts back a run's generations taken by take().
    void restoreTail(RunHistory::Tail tail) { history_.restore(std::move(tail)); }
    // The generation shown told again (fieldShown), as kept: a stroke the
    // field took no part of is wiped by it.
    void redraw();

signals:
    // The field shows a new generation: field() holds it, drawnColumns()
    // and liveCount() describe it.
    void fieldShown();
    void countChanged();
    void modeChanged(Mode mode);
    // The run's mode or pace: what the status shows.
    void runChanged();
    void fateChanged();
    void ruleChanged();
    void editorChanged(bool open);
    // The whole pattern changed, or one cell of it.
    void patternChanged();
    void patternCellChanged(int i);
    void previewChanged();
    void selectionChanged();
    // A run started, by «Пуск» or from a field: the field takes the keys.
    void runStarted();

private:
    class Telling;
    friend class Telling;
    // Emits what changed since `before` was taken.
    struct Seen {
        Mode mode;
        RunState run;
        int fate;
    };
    Seen seen() const;
    void tell(const Seen& before);
    void measure();
    void setCount(int count);

    FieldArray field_{};
    PatternArray pattern_{};
    std::int16_t count_ = 0;
    std::optional<int> countShown_;
    int live_ = 0;
    ColumnSpan drawn_;
    RunHistory history_;
    RunState run_;
    rule::Rule rule_;
    CellRect selection_;
    bool editorOpen_ = false;
    std::optional<PatternArray> preview_;
    QUndoStack* undo_;
    int depth_ = 0;  // operations under way, one inside another
    bool fateForced_ = false;  // the fate told even where its key is the same
};

}  // namespace hexlife
