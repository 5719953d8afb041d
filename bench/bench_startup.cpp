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

#include "app/main_window.h"
#include "app/russian.h"

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
    QApplication application(argc, argv);
    FirstPaint watch;
    if (program) {
        const double begin = Now();
        hexlife::UseRussian(application);
        const double translated = Now();
        hexlife::MainWindow window;
        // Where the program's own start-up goes, on standard error.
        std::fprintf(stderr, "%.2f %.2f\n", (translated - begin) * 1e3, (Now() - translated) * 1e3);
        window.installEventFilter(&watch);
        window.show();
        return application.exec();
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.setFixedSize(hexlife::ClientWidth, hexlife::ClientHeight);
    window.installEventFilter(&watch);
    window.show();
    return application.exec();
}

std::vector<double> TranslationMs, WindowMs;

double Start(const char* self, const char* mode)
{
    QProcess child;
    const double before = Now();
    child.start(self, {mode});
    child.waitForFinished(30000);
    double translation = 0, window = 0;
    const QList<QByteArray> lines = child.readAllStandardError().trimmed().split('\n');
    if (std::sscanf(lines.last().constData(), "%lf %lf", &translation, &window) == 2) {
        TranslationMs.push_back(translation);
        WindowMs.push_back(window);
    }
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
    if (!WindowMs.empty()) std::printf("  of which Qt's translation loaded: %.1f ms, the window built: %.1f ms (medians)\n",
                Median(TranslationMs), Median(WindowMs));
    std::printf("ratio, round by round:                       %6.2f    (median; %.2f to %.2f; target <= 1.3)\n",
                Median(ratio), range(ratio).first, range(ratio).second);
    return 0;
}
