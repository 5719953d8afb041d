// The one window of Hexagonal Life. It owns the Workspace (the field, the
// pattern, the run and its mode), the shared state of its drawing
// (inherited, so every procedure uses the values by name), the controls of
// the layout and the event procedures: each turns a click, a key or a tick
// into an operation of the Workspace, and the window draws what the
// Workspace's signals tell. Its procedures are defined here in app/, a file
// to each concern; what they compute without a window lives below.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QFont>
#include <QThread>
#include <QWidget>

#include "app/fill_dialog.h"
#include "app/layout.h"
#include "engine/field_edit.h"
#include "engine/life_step.h"
#include "engine/run_state.h"
#include "history/run_history.h"
#include "lattice/lattice.h"
#include "workspace/unsaved_work.h"
#include "workspace/workspace.h"

class QDialog;
class QImage;
class QLabel;
class QPushButton;
class QTimer;
class QUndoStack;

namespace hexlife {

class ColonyPlot;
class CommandTable;
class FramePacer;
class PatternFiles;
class PictureBox;
class SearchWindow;

// A label that shows a value is named by what the value is and what it is
// now («Число циклов: 38»), so that assistive technology reads and tells it.
void NameLabelValue(QLabel* label, const char* what);

class MainWindow : public QWidget, public SharedState {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The document: every change of the field, the pattern and the run is
    // one of its operations.
    Workspace* const Work;
    // What the Workspace holds, read under the names the procedures use.
    const FieldArray& FieldCells = Work->field();
    const PatternArray& PatternCells = Work->pattern();
    const std::int16_t& CycleCount = Work->count();
    const int& LiveCount = Work->liveCount();
    const RunState& Run = Work->run();
    const RunHistory& History = Work->history();
    const rule::Rule& FieldRule = Work->rule();
    const CellRect& Selection = Work->selection();

    // Controls, named as in the layout.
    PictureBox* Picture1 = nullptr;  // the field
    std::array<PictureBox*, FigureCount> Picture2{};  // the thumbnails
    PictureBox* Picture3 = nullptr;  // the editor
    PictureBox* Picture4 = nullptr;  // the start preview
    QPushButton* Command1 = nullptr;  // Start
    QPushButton* Command3 = nullptr;  // Exit
    QPushButton* Command5 = nullptr;  // Help
    QLabel* Label1 = nullptr;  // cycle count
    QLabel* Label2 = nullptr;  // its caption
    QLabel* Label3 = nullptr;  // the run's status: pause and pace, empty by default
    QLabel* Label4 = nullptr;  // how the colony ends, once that is known
    QTimer* Timer1 = nullptr;
    // Holds the window's repaints to one per display frame.
    FramePacer* Pacer = nullptr;
    // Open, save, copy and paste of patterns as RLE.
    PatternFiles* Files = nullptr;
    // The commands beyond the buttons: their actions, keys and menu.
    CommandTable* Commands = nullptr;
    // The rule the field runs by is B2/S2 unless a file, the command line
    // or «Правило…» chose another (app/rule_change.cpp). The rule changed,
    // as one change to undo: the run goes on by it from the generation
    // shown, the later ones dropped.
    void ChangeRule(const rule::Rule& Rule);
    // «Правило…»: the dialog, then the change.
    void AskRule();
    // The rule taken without undo (at start).
    void UseRule(const rule::Rule& Rule);
    // The rule's name for the status strip and titles; empty for B2/S2.
    QString RuleName() const;
    // The fate back in place of a word shown a while (ShowNote), at once.
    void EndNote();
    // The population plot and the list of keys, made when first opened.
    ColonyPlot* Plot = nullptr;
    QDialog* KeyList = nullptr;
    // The search of small figures, made when first opened.
    SearchWindow* Search = nullptr;

    // Event procedures. Button and Shift use the codes 1 left / 2 right /
    // 4 middle and 1 Shift / 2 Ctrl / 4 Alt; positions are image pixels.
    void Form_Load();
    void Command1_Click();
    void Command3_Click();
    void Command5_Click();
    void Picture2_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X,
                          float Y);
    void Picture3_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture4_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Timer1_Timer();
    // A pattern read from a file or the clipboard goes into the editor.
    void PatternFile_Open(const PatternArray& Pattern);

    // Commands of the table (app/commands.cpp).
    void RunPause();    // pauses a going run, or resumes it
    void RunStep();     // the next generation, replayed or computed
    void RunBack();     // the previous generation
    void RunFirst();    // the start figure
    void RunLatest();   // the latest generation known
    void ShowPlot();
    void ShowSearch();
    void CopyField();
    bool SaveFieldRle();
    bool SaveFieldRleTo(const QString& Path);
    void SaveFieldPng();
    // The field's grid and cells as the saved picture holds them.
    QImage FieldPicture() const;
    // Whether the generation on the field has a live cell.
    bool FieldHasCells() const;

    // The whole window drawn at one scale (app/window_fit.cpp): 1 where the
    // usual size (993 × 717) fits the screen's work area, smaller where it does not,
    // and the user's zoom within what the work area holds.
    void ApplyScale(double Scale);
    void Refit();
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    bool CanZoomIn() const;
    double WindowScale = 1.0;
    double Zoom = 1.0;    // the user's choice, remembered
    double FitMax = 1.0;  // the largest scale the work area holds
    void RunFaster();
    void RunSlower();
    // The current run started again from its generation 0, as one change
    // to undo: the start figure placed by «Пуск», or the field as it was
    // drawn, opened, pasted or filled.
    void RunAgain();
    void ShowKeyList();

    // The field as a workspace (app/field_editing.cpp): drawn by hand when
    // no run is going, a rectangle selected with Shift, cleared or filled at
    // random; every change to the field or the editor can be undone.
    QUndoStack* Undo = nullptr;
    // Whether the field or the pattern holds work by hand not in a file.
    std::unique_ptr<UnsavedWork> Unsaved;
    void Picture1_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPointF At);
    void Picture1_MouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, QPointF At);
    void Picture1_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPointF At);
    // The shown generation changed to `Edited`, as one change to undo; by
    // hand unless said otherwise.
    // With a rule (a paste of a pattern of another rule), the rule too, in
    // the same change.
    void EditField(const QString& What, const FieldArray& Edited, bool ByHand = true,
                   const std::optional<rule::Rule>& Rule = std::nullopt);
    void ClearFieldCells();
    void FillField(const FillChoice& Choice);
    void AskFillField();
    void CutSelection();
    // Pasted cells added to the field's (app/field_transforms.cpp), and
    // the selection's live cells turned or mirrored about their middle.
    void AddToField(const std::vector<int>& Cells, const QString& What,
                    const std::optional<rule::Rule>& Rule = std::nullopt);
    bool CanTransformSelection() const;
    void TransformSelection(lattice::Symmetry Symmetry, const QString& What);
    // The field cell under the pointer, or where the context menu was
    // opened for an entry picked from it; none off the field.
    std::optional<lattice::GridCell> PointerCell() const;
    void SelectCells(const CellRect& Cells);
    void UndoEdit();
    void RedoEdit();
    // A pattern too large for the editor, read from a file or the
    // clipboard: onto the field, paused at generation 0.
    // With a rule, the run goes by it (a file's rule), in the same change.
    void PutOnField(const FieldArray& Field, const QString& What, const std::optional<rule::Rule>& Rule = std::nullopt);
    // A pattern into the editor with a rule of its own: one change of the
    // pattern and the rule, the run on the field going on by the rule.
    void OpenWithRule(const PatternArray& Pattern, const QString& What, bool ByHand, const rule::Rule& Rule);
    // The pattern changed by `Change`, as one change to undo.
    void EditPattern(const QString& What, const std::function<void()>& Change, bool ByHand = false);
    // The editor and «Пуск» shown and usable, or hidden as a run hides them.
    void ShowEditor(bool Shown);
    bool EditorShown() const;

    // Procedures.
    void LoadFigureLibrary();
    void DrawThumbnails();
    void BuildFieldGrid();
    void BuildEditorGrid();
    void BuildPreviewGrid();
    // Paints the generation the Workspace shows.
    void DrawField();
    void DrawEditor();
    // Draws the start figure the Workspace last started from, none before
    // the first run.
    void DrawPreview();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetUpLayout();
    Box ScaledBox(const Box& box) const;
    void CentreContent();
    QPoint ContentOffset;  // where the content stands in a maximized window
    QFont ScaledFont() const;
    void WatchScreen();
    void LeaveMaximized();
    QFont BaseFont;
    QMetaObject::Connection ScreenWatch[3];
    bool ScreenWatched = false;
    void SetUpCommands();
    // The field's mouse, and the window's answers to the Workspace's
    // signals (app/field_editing.cpp).
    void SetUpWorkspace();
    void PaintFieldCell(int N, std::int8_t State);
    CellRect EditedArea() const;
    void TellWhatFieldClicksDo();
    // A word on what the user may do, shown in the fate's place a while.
    void ShowNote(const QString& Note);
    // Says in the status strip that a pattern brought its rule.
    void TellRuleTaken(const rule::Rule& Before);
    std::uint64_t NotesShown = 0;
    // The context menu's recent files, each opening its file.
    std::vector<std::pair<QString, std::function<void()>>> RecentEntries();
    struct {
        FieldArray shown{};
        std::int8_t state = 0;
        bool active = false;
    } Stroke;
    std::optional<FieldPosition> SelectFrom;
    FillChoice LastFill;
    void FitTopBar();
    // The timer, the status and the count's name follow the run's mode.
    void ShowRunStatus();
    // Names Label1 by the count it shows: at once when a run stops or a
    // generation is shown, at most every CountNameIntervalMs while it runs.
    void NameCount(bool now);
    QElapsedTimer CountNamed;
    void ShowFate();
    int FateShown = -1;  // which fate Label4 shows, to set it only on change
    // Each figure's fate for its thumbnail, worked out in a thread of its
    // own soon after the window is first shown (app/thumbnails.cpp).
    void StartFigureFates();
    void StartFigureFatesSoon();
    void SetFigureFate(int k, const QString& text);
    std::unique_ptr<QThread> FatesThread;
    // Grows with each rule taken: a fate worked out by an earlier rule is
    // not shown.
    int FatesRound = 0;
    void StopFigureFates();
    // Puts a window of the program beside the main window where the screen
    // has room for it, so that it covers none of the field; else at the
    // work area's bottom right, wholly on the screen where it fits.
    void PlaceBeside(QWidget* window);

    // The state each field cell's inner box was last painted with, -1 for
    // not painted yet. DrawField repaints only the boxes whose state differs;
    // the record holds for the revision of the field's image it was made in.
    std::array<std::int8_t, FieldCellCount> FieldPainted{};
    std::uint64_t FieldPaintedRevision = 0;
    // The columns FieldPainted shows live boxes in.
    ColumnSpan PaintedColumns{0, FieldColLast};
};

}  // namespace hexlife
