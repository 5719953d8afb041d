// Start, the generation tick, and the commands that pause, step and pace a
// run and start it again.
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>

#include "app/changes.h"
#include "app/main_window.h"
#include "engine/field_grid.h"
#include "engine/life_step.h"
#include "history/colony_plot.h"
#include "surface/picture_box.h"

namespace hexlife {

void MainWindow::ClearField()
{
    for (int n = 0; n <= FieldLast; ++n) {
        FieldCells[n] = 0;
    }
}

void MainWindow::Command1_Click()
{
    ClearField();
    Timer1->start(Run.intervalMs());
    Run.start();
    CycleCount = 0;
    // Pattern cell (k, j) lands on field cell (68 + k, 52 + j); 68 is even,
    // so every column keeps its parity and the figure its shape.
    for (int k = 0; k <= PatternColLast; ++k) {
        for (int j = 0; j <= PatternPosLast; ++j) {
            const int i = j + PatternColLen * k;
            const std::int16_t n = std::int16_t(PlacementBase + j + FieldColLen * k);
            FieldCells[n] = PatternCells[i];
        }
    }
    History.start(FieldCells);
    ShowFate();
    DrawPreview();
    Picture3->setEnabled(false);
    Picture3->setVisible(false);
    Command1->setEnabled(false);
    // Not left on whatever button Qt would move it to from the disabled one.
    Picture1->setFocus();
    ShowRunStatus();
}

void MainWindow::Timer1_Timer()
{
    LiveCount = 0;
    DrawField();
    // The step works on the columns next to the live cells DrawField found
    // (the whole live area for a rule with B0); B2/S2 by its own pass.
    const bool b2s2 = FieldRule == rule::Rule();
    const ColumnSpan step = b2s2 ? StepColumns(DrawnColumns) : StepColumns(DrawnColumns, FieldRule);
    const bool edge = b2s2 ? MarkGeneration(FieldCells, step) : MarkGeneration(FieldCells, step, FieldRule);
    if (edge) {
        EndRun();  // the colony has reached the edge of the live area
    }
    ++CycleCount;
    Label1->setText(QString::number(CycleCount));
    NameCount(!Timer1->isActive());
    ResolveGeneration(FieldCells, step);
    History.record(CycleCount, FieldCells);
    const bool over = CycleCount > CycleLimit || LiveCount == 0;
    if (over) {
        EndRun();
    }
    if ((edge || over) && History.ended() == RunEnd::None) {
        History.end(edge ? RunEnd::Edge : LiveCount == 0 ? RunEnd::Empty : RunEnd::Limit, CycleCount);
    }
    ShowFate();
}

void MainWindow::NameCount(bool now)
{
    if (now || !CountNamed.isValid() || CountNamed.hasExpired(CountNameIntervalMs)) {
        NameLabelValue(Label1, Label1Name);
        CountNamed.start();
    }
}

void MainWindow::ShowFate()
{
    // The plot grows with the run; its repaints are paced to the display.
    if (Plot != nullptr && Plot->isVisible()) {
        Plot->update();
    }
    // Set only when what is known changes: a repetition found, an end.
    const int fate = (History.repetition() ? 1 : 0) + 2 * int(History.ended()) + (History.empty() ? 16 : 0);
    if (fate != FateShown) {
        FateShown = fate;
        // A rule other than B2/S2 is named before the fate.
        const QString verdict = QString::fromStdString(History.verdict());
        const QString rule = RuleName();
        Label4->setText(rule.isEmpty() ? verdict : verdict.isEmpty() ? rule : rule + " · " + verdict);
        const QString detail = QString::fromStdString(History.verdictDetail());
        Label4->setToolTip(rule.isEmpty() ? detail : "Правило " + QString::fromStdString(FieldRule.Text()) +
                                                         (detail.isEmpty() ? QString() : ".\n" + detail));
        NameLabelValue(Label4, Label4Name);
    }
}

void MainWindow::EndRun()
{
    Timer1->stop();
    if (Run.running()) {
        Run.stop();
        ShowRunStatus();
    }
    NameCount(true);
}

void MainWindow::ShowRunStatus()
{
    Label3->setText(QString::fromStdString(Run.statusText()));
    NameLabelValue(Label3, Label3Name);
}

void MainWindow::RunPause()
{
    if (Run.togglePause()) {
        if (Run.paused()) {
            Timer1->stop();
            NameCount(true);
            TellWhatFieldClicksDo();
        } else {
            // A run resumed from the editor, as «Пуск» leaves the controls.
            if (EditorShown()) {
                ShowEditor(false);
                Picture1->setFocus();
            }
            Timer1->start(Run.intervalMs());
        }
        ShowRunStatus();
    }
}

bool MainWindow::CanBrowse() const
{
    // A paused run, or one that ended by a rule and is still on the field.
    return !History.empty() &&
           (Run.paused() || (!Run.running() && History.ended() != RunEnd::None && !Picture3->isVisible()));
}

bool MainWindow::CanStep() const
{
    return CanBrowse() && !(History.ended() != RunEnd::None && CycleCount >= History.endCount());
}

void MainWindow::RunStep()
{
    if (!CanStep()) {
        return;
    }
    if (CycleCount + 1 < History.size()) {
        ShowCycle(CycleCount + 1);  // known: replayed
    } else {
        Timer1_Timer();  // one tick as the timer would run it, stop rules and all
    }
}

void MainWindow::RunBack()
{
    if (CanBrowse() && CycleCount > 1) {
        ShowCycle(CycleCount - 1);
    }
}

void MainWindow::RunFirst()
{
    if (CanBrowse() && History.size() > 1) {
        ShowCycle(1);
    }
}

void MainWindow::RunLatest()
{
    if (CanBrowse() && History.size() > 1) {
        ShowCycle(History.size() - 1);
    }
}

void MainWindow::ShowCycle(int Count)
{
    // The tick counting Count draws generation Count - 1 and leaves the
    // field holding generation Count.
    History.unpack(Count - 1, FieldCells);
    LiveCount = 0;
    DrawField();
    History.unpack(Count, FieldCells);
    CycleCount = std::int16_t(Count);
    Label1->setText(QString::number(CycleCount));
    NameCount(true);
    Timer1->stop();
    ShowFate();
    if (History.ended() != RunEnd::None && Count == History.endCount()) {
        Run.stop();
    } else {
        Run.holdPaused(History.ended() != RunEnd::None);
    }
    ShowRunStatus();
}

void MainWindow::RunFaster()
{
    if (Run.faster()) {
        Timer1->setInterval(Run.intervalMs());
        ShowRunStatus();
    }
}

void MainWindow::RunSlower()
{
    if (Run.slower()) {
        Timer1->setInterval(Run.intervalMs());
        ShowRunStatus();
    }
}

bool MainWindow::CanRunAgain() const
{
    // Once a run has begun; while the editor is open, «Пуск» is the way.
    return Run.hasStarted() && !History.empty() && !Picture3->isVisible();
}

void MainWindow::RunAgain()
{
    if (!CanRunAgain()) {
        return;
    }
    FieldArray first{};
    History.unpack(0, first);
    Undo->push(new RunStart(this, QStringLiteral("пуск снова"), [this, first] { StartRun(first); }));
}

void MainWindow::StartRun(const FieldArray& Start)
{
    EndRun();
    FieldCells = Start;
    Timer1->start(Run.intervalMs());
    Run.start();
    CycleCount = 0;
    History.start(FieldCells);
    ShowFate();
    if (EditorShown()) {
        ShowEditor(false);
    }
    Picture1->setFocus();
    ShowRunStatus();
}

}  // namespace hexlife
