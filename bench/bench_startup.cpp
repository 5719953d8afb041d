// Start-up: from launch to the window shown on a real X server, for the
// program's window and for a bare Qt window of the same size, measured the
// same way in turns. Each start is a fresh process of this program: the
// parent notes the time, starts the child, and the child reports the
// moment its window first paints (CLOCK_MONOTONIC, the same clock in both).
// Run by hand under Xvfb (scripts/bench.sh).
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QProcess>
#include <QTimer>
#include <QWidget>

#include "app/layout.h"
#include "app/start_up.h"

namespace {

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Prints the time of the window's first paint, then quits.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            std::printf("%.9f\n", Now());
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool done_ = false;
};

int Child(int argc, char** argv, bool program)
{
    FirstPaint watch;
    if (program) {
        // The program's own start, from its command line on, without the
        // benchmark's argument.
        argv[1] = nullptr;
        return hexlife::StartProgram(1, argv, [&](QWidget& window) { window.installEventFilter(&watch); });
    }
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.setFixedSize(hexlife::ClientWidth, hexlife::ClientHeight);
    window.installEventFilter(&watch);
    window.show();
    return application.exec();
}

double Start(const char* self, const char* mode)
{
    QProcess child;
    const double before = Now();
    child.start(self, {mode});
    child.waitForFinished(30000);
    return std::stod(child.readAllStandardOutput().toStdString()) - before;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1) {
        return Child(argc, argv, std::string(argv[1]) == "program");
    }
    QCoreApplication application(argc, argv);
    std::vector<double> program, bare, ratio;
    Start(argv[0], "bare");  // warms the caches for both
    Start(argv[0], "program");
    for (int round = 0; round < 15; ++round) {
        bare.push_back(Start(argv[0], "bare"));
        program.push_back(Start(argv[0], "program"));
        ratio.push_back(program.back() / bare.back());
    }
    auto range = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return std::pair(v.front(), v.back());
    };
    std::printf("start-up to the first paint, the program:  %6.1f ms  (median of 15; %.1f to %.1f)\n",
                Median(program) * 1e3, range(program).first * 1e3, range(program).second * 1e3);
    std::printf("start-up to the first paint, a bare window: %6.1f ms  (median of 15; %.1f to %.1f)\n",
                Median(bare) * 1e3, range(bare).first * 1e3, range(bare).second * 1e3);
    std::printf("ratio, round by round:                       %6.2f    (median; %.2f to %.2f; target <= 1.2)\n",
                Median(ratio), range(ratio).first, range(ratio).second);
    return 0;
}
