// Start, the generation tick, and the commands that pause, step and pace a
// run and start it again: each the Workspace's operation. The timer, the
// count, the status and the fate follow what the Workspace tells.
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "history/colony_plot.h"
#include "surface/picture_box.h"

namespace hexlife {

void MainWindow::Command1_Click()
{
    Work->start();
}

void MainWindow::Timer1_Timer()
{
    Work->tick();
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
    const int fate = Work->fateKey();
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

void MainWindow::ShowRunStatus()
{
    // The timer goes while the run does, at its pace.
    if (Work->mode() == Workspace::Mode::Running) {
        if (!Timer1->isActive()) {
            Timer1->start(Run.intervalMs());
        } else if (Timer1->interval() != Run.intervalMs()) {
            Timer1->setInterval(Run.intervalMs());
        }
    } else {
        Timer1->stop();
        NameCount(true);
    }
    Label3->setText(QString::fromStdString(Run.statusText()));
    NameLabelValue(Label3, Label3Name);
}

void MainWindow::RunPause()
{
    const bool editor = EditorShown();
    if (Work->togglePause()) {
        if (Run.paused()) {
            TellWhatFieldClicksDo();
        } else if (editor) {
            Picture1->setFocus();  // as «Пуск» leaves the controls
        }
    }
}

void MainWindow::RunStep()
{
    Work->step();
}

void MainWindow::RunBack()
{
    Work->back();
}

void MainWindow::RunFirst()
{
    Work->first();
}

void MainWindow::RunLatest()
{
    Work->latest();
}

void MainWindow::RunFaster()
{
    Work->faster();
}

void MainWindow::RunSlower()
{
    Work->slower();
}

void MainWindow::RunAgain()
{
    Work->runAgain();
}

}  // namespace hexlife
