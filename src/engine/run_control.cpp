// Start, the generation tick, and the commands that pause, step and pace a
// run and start it again.
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "engine/field_grid.h"
#include "engine/life_step.h"
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
    if (MarkGeneration(FieldCells)) {
        EndRun();  // the colony has reached the edge of the live area
    }
    ++CycleCount;
    Label1->setText(QString::number(CycleCount));
    ResolveGeneration(FieldCells);
    if (CycleCount > CycleLimit || LiveCount == 0) {
        EndRun();
    }
}

void MainWindow::EndRun()
{
    Timer1->stop();
    if (Run.running()) {
        Run.stop();
        ShowRunStatus();
    }
}

void MainWindow::ShowRunStatus()
{
    Label3->setText(QString::fromStdString(Run.statusText()));
}

void MainWindow::RunPause()
{
    if (Run.togglePause()) {
        if (Run.paused()) {
            Timer1->stop();
        } else {
            Timer1->start(Run.intervalMs());
        }
        ShowRunStatus();
    }
}

void MainWindow::RunStep()
{
    // One tick as the timer would run it, stop rules and all.
    if (Run.paused()) {
        Timer1_Timer();
    }
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
    // The preview holds a start figure once a run has begun; while the
    // editor is open, «Пуск» is the way.
    return Run.hasStarted() && !Picture3->isVisible();
}

void MainWindow::RunAgain()
{
    if (CanRunAgain()) {
        Picture4_MouseUp(1, 0, 0, 0);
        Command1_Click();
    }
}

}  // namespace hexlife
