// What keeping a run's history costs: the 26 figures' runs ticked with the
// window's tick, and the same ticks' step alone beside the step with the
// history recorded (packing, population, births, deaths, fate); the time to
// show a generation of a 1001-cycle run; the memory of a whole run. Run by
// hand on a Release build (scripts/bench.sh).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include "app/main_window.h"
#include "engine/life_step.h"

using namespace hexlife;
using Clock = std::chrono::steady_clock;

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Microseconds per tick over the 26 runs, with or without the history.
double TickMicroseconds(MainWindow& w, bool history)
{
    long ticks = 0;
    const auto begin = Clock::now();
    for (int k = 0; k < FigureCount; ++k) {
        w.Picture2_MouseUp(std::int16_t(k), 1, 0, 0, 0);
        w.Command1_Click();
        w.Timer1->stop();
        if (history) {
            while (w.Run.running()) {
                w.Timer1_Timer();
                ++ticks;
            }
        } else {
            // The same field with no run kept: record() keeps nothing, and
            // the tick's stop rules end it.
            w.Work->setField(w.FieldCells);
            while (w.History.ended() == RunEnd::None) {
                w.Timer1_Timer();
                ++ticks;
            }
        }
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - begin).count() / double(ticks);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    MainWindow w;
    std::vector<double> with, without, spread;
    for (int round = 0; round < 9; ++round) {
        without.push_back(TickMicroseconds(w, false));
        with.push_back(TickMicroseconds(w, true));
    }
    auto range = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return std::pair(v.front(), v.back());
    };
    const auto [wl, wh] = range(with);
    const auto [ol, oh] = range(without);
    std::printf("tick, 26 figure runs, without history:  %6.2f us  (median of 9; %.2f to %.2f)\n", Median(without), ol, oh);
    std::printf("tick, 26 figure runs, with history:     %6.2f us  (median of 9; %.2f to %.2f)\n", Median(with), wl, wh);
    std::printf("added by the history and the fate:      %6.2f us  (target <= 1 us)\n", Median(with) - Median(without));

    // A 1001-cycle run (figure 0) and the time to show its generations.
    w.Picture2_MouseUp(0, 1, 0, 0, 0);
    w.Command1_Click();
    w.Timer1->stop();
    while (w.Run.running()) w.Timer1_Timer();
    std::vector<double> show;
    for (int round = 0; round < 50; ++round) {
        const int count = round % 2 ? 1 : w.History.size() - 1;
        const auto begin = Clock::now();
        w.Work->showCycle(count);
        show.push_back(std::chrono::duration<double, std::micro>(Clock::now() - begin).count());
    }
    const auto [sl, sh] = range(show);
    std::printf("show a generation (Home / End), %d-cycle run: %6.1f us  (median of 50; %.1f to %.1f; target <= 1000 us)\n",
                w.History.size() - 1, Median(show), sl, sh);
    std::printf("history of that run:                    %6.2f MB  (target <= 3 MB)\n",
                double(w.History.bytes()) / (1 << 20));
    return 0;
}
