// CPU that a run costs on a real display: the program and the X server
// together, per tick of the 1001-cycle run of figure 1 (the first
// thumbnail), with the idle cost of both subtracted; beside it a bare 1 ms
// timer measured the same way in the same process, in turns, their ratio
// round by round, and the frames shown per second. Run on an X server whose
// process id is in HEXLIFE_XSERVER_PID (scripts/bench.sh starts Xvfb).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>

#include "app/main_window.h"
#include "screen/frame_pacer.h"

using namespace hexlife;

namespace {

// CPU time in nanoseconds of all threads of a process, from schedstat.
double CpuNs(qint64 pid)
{
    double total = 0;
    const QDir tasks(QString("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream stat(tasks.filePath(task + "/schedstat").toStdString());
        double onCpu = 0;
        if (stat >> onCpu) {
            total += onCpu;
        }
    }
    return total;
}

struct Sample {
    double cpuNs;   // program and X server
    double wallNs;
    double serverNs;  // the X server's share
};

template <typename Work>
Sample Measure(qint64 server, Work work)
{
    const double program = CpuNs(QCoreApplication::applicationPid()), xserver = CpuNs(server);
    QElapsedTimer clock;
    clock.start();
    work();
    const double wall = double(clock.nsecsElapsed());
    const double serverNs = CpuNs(server) - xserver;
    return {CpuNs(QCoreApplication::applicationPid()) - program + serverNs, wall, serverNs};
}

void SpinUntil(const std::function<bool()>& done)
{
    while (!done()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const qint64 server = qEnvironmentVariableIntValue("HEXLIFE_XSERVER_PID");
    if (server <= 0) {
        std::fprintf(stderr, "HEXLIFE_XSERVER_PID names no X server process\n");
        return 2;
    }
    // The figure by its thumbnail's number; figure 1 lives all 1001 cycles
    // as a small oscillator, figure 3 grows over much of the field.
    const int figure = argc > 1 ? std::atoi(argv[1]) : 1;
    if (figure < 1 || figure > FigureCount) {
        std::fprintf(stderr, "figure 1 to %d\n", FigureCount);
        return 2;
    }
    MainWindow window;
    window.show();
    SpinUntil([&] { return window.isVisible(); });
    QElapsedTimer settle;
    settle.start();
    SpinUntil([&] { return settle.elapsed() > 500; });

    // Rounds in turn: idle, the program's run, the bare timer; the ratio is
    // taken round by round, so that the machine's drift between rounds
    // (a shared virtual machine's timer costs vary by half) cancels out.
    constexpr int Rounds = 15;
    std::vector<double> runTick, serverTick, bareTick, ratio, framesPerSecond;
    for (int round = 0; round < Rounds; ++round) {
        // Idle: the shown window, nothing running, for half a second.
        QTimer idleEnd;
        idleEnd.setSingleShot(true);
        idleEnd.start(500);
        const Sample idle = Measure(server, [&] { SpinUntil([&] { return !idleEnd.isActive(); }); });
        const double idleRate = idle.cpuNs / idle.wallNs, serverIdleRate = idle.serverNs / idle.wallNs;

        window.Picture2_MouseUp(std::int16_t(figure - 1), 1, 0, 0, 0);
        SpinUntil([&] { return true; });
        const int framesBefore = window.Pacer->framesShown();
        const Sample run = Measure(server, [&] {
            window.Command1_Click();
            SpinUntil([&] { return !window.Timer1->isActive(); });
        });
        const int ticks = window.CycleCount;
        runTick.push_back((run.cpuNs - idleRate * run.wallNs) / ticks / 1000);
        serverTick.push_back((run.serverNs - serverIdleRate * run.wallNs) / ticks / 1000);
        framesPerSecond.push_back((window.Pacer->framesShown() - framesBefore) / (run.wallNs / 1e9));

        // The floor: a bare 1 ms timer ticking as often, doing nothing.
        QTimer bare;
        bare.setTimerType(Qt::PreciseTimer);
        bare.setInterval(TimerIntervalMs);
        int bareTicks = 0;
        QObject::connect(&bare, &QTimer::timeout, [&] {
            if (++bareTicks >= ticks) {
                bare.stop();
            }
        });
        const Sample floor = Measure(server, [&] {
            bare.start();
            SpinUntil([&] { return !bare.isActive(); });
        });
        bareTick.push_back((floor.cpuNs - idleRate * floor.wallNs) / ticks / 1000);
        ratio.push_back(runTick.back() / bareTick.back());
    }
    const double rate = window.screen()->refreshRate();
    auto line = [](const char* what, std::vector<double> v, const char* unit, const char* note) {
        std::sort(v.begin(), v.end());
        std::printf("%-44s %7.2f %s  (median of %zu; %.2f to %.2f)%s\n", what, v[v.size() / 2], unit, v.size(),
                    v.front(), v.back(), note);
    };
    std::printf("figure %d, %d cycles:\n", figure, int(window.CycleCount));
    line("CPU per tick of the run, program + X:", runTick, "us", "");
    line("  of which the X server:", serverTick, "us", "");
    line("bare 1 ms timer, measured the same:", bareTick, "us", "");
    line("ratio, round by round:", ratio, "  ", "   (target <= 2)");
    std::printf("frames shown per second during the run:       %7.1f      (refresh %.0f Hz)\n", Median(framesPerSecond),
                rate > 0 ? rate : DefaultRefreshRate);
    return 0;
}
