// Times the generation step, a whole tick and a whole timer-driven run.
// Run by hand on a Release build (scripts/bench.sh); prints one figure a line
// with its target.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "app/main_window.h"
#include "engine/field_grid.h"
#include "engine/life_step.h"
#include "reference/reference_engine.h"

using namespace hexlife;
using Clock = std::chrono::steady_clock;

namespace {

// The field filled at random to 30 % in columns 2..145, rows 2..112.
FieldArray RandomField(unsigned seed)
{
    std::mt19937 random(seed);
    std::bernoulli_distribution live(0.3);
    FieldArray field{};
    for (int c = 2; c <= 145; ++c) {
        for (int r = 2; r <= 112; ++r) {
            field[FieldCellNumber(c, r)] = live(random) ? 1 : 0;
        }
    }
    return field;
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename Step>
double MedianStepMicroseconds(const FieldArray& start, Step step, int samples)
{
    std::vector<double> times;
    FieldArray field;
    for (int i = 0; i < samples; ++i) {
        field = start;
        const auto begin = Clock::now();
        step(field);
        const auto end = Clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - begin).count());
    }
    return Median(times);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const FieldArray start = RandomField(1);

    // 1. The generation step, fast and plain.
    volatile bool sink = false;
    const double fast = MedianStepMicroseconds(start, [&](FieldArray& f) {
        sink = MarkGeneration(f);
        ResolveGeneration(f);
    }, 20000);
    const double plain = MedianStepMicroseconds(start, [&](FieldArray& f) {
        sink = reference::MarkGeneration(f);
        reference::ResolveGeneration(f);
    }, 2000);
    std::printf("generation step, median:          %8.2f us   (target <= 5 us)\n", fast);
    std::printf("plain per-cell step, median:      %8.2f us\n", plain);
    std::printf("speed-up over the plain step:     %8.1f x    (target >= 20 x)\n", plain / fast);

    // 2. A whole tick on a shown window: drawing, step, label. Timed on the
    // random field (about 40 % of the boxes change colour every tick) and on
    // the runs of the 26 preset figures from Start to their end.
    {
        MainWindow window;
        window.show();
        QApplication::processEvents();
        auto timeTick = [&](std::vector<double>& times) {
            const auto begin = Clock::now();
            window.Timer1_Timer();
            const auto end = Clock::now();
            times.push_back(std::chrono::duration<double, std::micro>(end - begin).count());
        };
        std::vector<double> randomTicks, figureTicks;
        for (int round = 0; round < 20; ++round) {
            window.Work->setField(RandomField(100 + round));
            for (int tick = 0; tick < 100; ++tick) {
                timeTick(randomTicks);
                QApplication::processEvents();  // the repaint, outside the tick
            }
        }
        for (int figure = 0; figure < FigureCount; ++figure) {
            window.Picture2_MouseUp(std::int16_t(figure), 1, 0, 0, 0);
            window.Command1_Click();
            // Ticks are driven here one at a time until the run stops the timer;
            // events (the timer's own ticks among them) wait until then.
            while (window.Timer1->isActive()) {
                timeTick(figureTicks);
            }
            QApplication::processEvents();
        }
        std::printf("whole tick, 26 figure runs:       %8.2f us   (target <= 50 us; %zu ticks)\n",
                    Median(figureTicks), figureTicks.size());
        std::printf("whole tick, random 30 %% field:    %8.2f us   (target <= 40 us)\n",
                    Median(randomTicks));
    }

    // 3. A 1001-cycle run driven by the real timer, against the same timer
    // doing nothing; nine rounds of each, alternating, medians compared.
    {
        MainWindow window;
        window.show();
        QApplication::processEvents();
        std::vector<double> runMs, idleMs;
        int cycles = 0, idleTicks = 0;
        for (int round = 0; round < 9; ++round) {
            window.Picture2_MouseUp(0, 1, 0, 0, 0);  // figure 0 lives all 1001 cycles
            QElapsedTimer clock;
            clock.start();
            window.Command1_Click();
            while (window.Timer1->isActive()) {
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            runMs.push_back(clock.nsecsElapsed() / 1e6);
            cycles = window.CycleCount;

            QTimer idle;
            idle.setTimerType(Qt::PreciseTimer);
            idle.setInterval(TimerIntervalMs);
            idleTicks = 0;
            QObject::connect(&idle, &QTimer::timeout, [&] {
                if (++idleTicks > CycleLimit) {
                    idle.stop();
                }
            });
            clock.restart();
            idle.start();
            while (idle.isActive()) {
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            idleMs.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::printf("timer-driven run of %d cycles:  %8.1f ms   (median of 9)\n", cycles, Median(runMs));
        std::printf("same timer doing nothing, %d:   %8.1f ms   (median of 9)\n", idleTicks,
                    Median(idleMs));
        std::printf("run / idle:                       %8.3f      (target <= 1.05)\n",
                    Median(runMs) / Median(idleMs));
    }
    return 0;
}
