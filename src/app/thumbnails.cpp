// The figure library on the window: loading the catalogue, drawing the 26
// thumbnails once, choosing a figure by clicking its thumbnail, and each
// figure's fate in its thumbnail's tooltip and accessible description.
#include <cmath>

#include <QEvent>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "app/main_window.h"
#include "editor/cell_marks.h"
#include "figures/catalogue.h"
#include "history/run_history.h"
#include "surface/picture_box.h"

namespace hexlife {

namespace {

// How long after the window is first shown the fates are worked out: after
// its first paint, off the start-up's way.
constexpr int FatesDelayMs = 300;

QString FateText(int figure, const rule::Rule& rule, const RunHistory& run)
{
    const QString detail = QString::fromStdString(run.verdictDetail());
    return rule == rule::Rule() ? QStringLiteral("Фигура %1. %2").arg(figure + 1).arg(detail)
                                : QStringLiteral("Фигура %1, правило %2. %3")
                                      .arg(figure + 1)
                                      .arg(QString::fromStdString(rule.Text()), detail);
}

}  // namespace

void MainWindow::StartFigureFates()
{
    if (FatesThread != nullptr) {
        return;
    }
    // The catalogue and the step are plain data and code: the thread needs
    // nothing of the window but the rule and a queued call back for each
    // result, which is dropped if the rule has changed since. Asked to stop
    // (the window closes, the rule changes), it stops within a generation,
    // so that the program's exit never waits for a figure's run.
    const int round = ++FatesRound;
    FatesThread.reset(QThread::create([this, round, rule = FieldRule] {
        const auto stop = [] { return QThread::currentThread()->isInterruptionRequested(); };
        for (int k = 0; k < FigureCount && !stop(); ++k) {
            const RunHistory run = RunToEnd(FigureOnField(k), rule, stop);
            if (stop()) break;
            const QString text = FateText(k, rule, run);
            QMetaObject::invokeMethod(
                this,
                [this, round, k, text] {
                    if (round == FatesRound) SetFigureFate(k, text);
                },
                Qt::QueuedConnection);
        }
    }));
    FatesThread->start(QThread::LowPriority);
}

void MainWindow::StopFigureFates()
{
    if (FatesThread != nullptr) {
        FatesThread->requestInterruption();
        FatesThread->wait();
        FatesThread.reset();
    }
}

void MainWindow::StartFigureFatesSoon()
{
    QTimer::singleShot(FatesDelayMs, this, &MainWindow::StartFigureFates);
}

void MainWindow::SetFigureFate(int k, const QString& text)
{
    Picture2[k]->setToolTip(text);
    Picture2[k]->setAccessibleDescription(text);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A tooltip asked for before the thread has told the fate: worked out
    // here (a few milliseconds).
    if (event->type() == QEvent::ToolTip) {
        for (int k = 0; k < FigureCount; ++k) {
            if (watched == Picture2[k] && Picture2[k]->toolTip().isEmpty()) {
                SetFigureFate(k, FateText(k, FieldRule, RunToEnd(FigureOnField(k), FieldRule)));
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

MainWindow::~MainWindow()
{
    StopFigureFates();
    // The Workspace, a child, goes after the window has stopped being one:
    // what it tells as it goes (its undo stack cleared) reaches no window.
    disconnect(Work, nullptr, this, nullptr);
    disconnect(Undo, nullptr, this, nullptr);
}

void MainWindow::LoadFigureLibrary()
{
    LoadFigures(FigureLibrary);
}

void MainWindow::DrawThumbnails()
{
    Timer1->stop();
    MarkHalfSize = CellRadius - 2;
    for (int k = 0; k <= ThumbLast; ++k) {
        Surface& thumbnail = Picture2[k]->surface();
        const int base = FigureCellCount * k;
        // Column x keeps its fraction; the surface rounds it to a pixel.
        double x = CellRadius;
        int shift = 1;
        for (int col = 0; col < FigureColCount; ++col) {
            int y = CellRadius + CellRadius * shift;
            for (int pos = 0; pos < FigureColLen; ++pos) {
                thumbnail.circle(float(x), y, CellRadius, GridColor);
                if (FigureLibrary[base + pos + FigureColLen * col] == 1) {
                    DrawCellMark(thumbnail, float(x), y, CellRadius - 1, MarkHalfSize, LiveColor);
                }
                y += ThumbCellPitch;
            }
            x += ThumbColumnPitch;
            shift = std::abs(shift - 1);
        }
    }
}

void MainWindow::Picture2_MouseUp(std::int16_t Index, std::int16_t, std::int16_t, float, float)
{
    PatternArray figure{};
    const int base = Index * FigureCellCount;
    for (int col = 0; col < FigureColCount; ++col) {
        for (int pos = 0; pos < FigureColLen; ++pos) {
            figure[FigureFirst + pos + PatternColLen * col] = std::int8_t(FigureLibrary[base + pos + FigureColLen * col]);
        }
    }
    Work->openEditor(figure);
}

}  // namespace hexlife
