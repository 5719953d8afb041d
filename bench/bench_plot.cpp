// «Ход колонии» drawn with QPainter (the program's plot) against the same
// plot made with Qt Charts, on a real X server. Each opening is a fresh
// process: the child runs figure 1 through its 1001 cycles, notes the
// time, opens the plot (the program's, or a QChartView with the same three
// series, value axes and legend) and reports when its window has first
// painted. The cost of linking Qt Charts at all is a bare window's start-up
// in this program (linked with Qt Charts) against the same in bench_startup
// (not linked). Run by hand under Xvfb (scripts/bench.sh).
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QLineSeries>
#include <QProcess>
#include <QTimer>
#include <QValueAxis>

#include "app/layout.h"
#include "app/main_window.h"
#include "history/colony_plot.h"

namespace {

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Prints the time elapsed since `from` when the watched window has painted
// for the first time, then quits.
class FirstPaint : public QObject {
public:
    double from = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // After this paint has been handled.
            QTimer::singleShot(0, qApp, [this] {
                std::printf("%.9f\n", Now() - from);
                std::fflush(stdout);
                qApp->quit();
            });
        }
        return false;
    }

private:
    bool done_ = false;
};

QWidget* ChartsPlot(const hexlife::RunHistory& history)
{
    auto* chart = new QChart;
    const char* const names[] = {"Живые клетки", "Рождения", "Гибель"};
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setTitleText(QStringLiteral("Цикл"));
    x->setTickType(QValueAxis::TicksDynamic);
    y->setTickType(QValueAxis::TicksDynamic);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    int top = 0;
    for (int s = 0; s < 3; ++s) {
        auto* series = new QLineSeries;
        series->setName(QString::fromUtf8(names[s]));
        QList<QPointF> points;
        for (int g = 0; g < history.size(); ++g) {
            const int v = s == 0 ? history.population(g) : s == 1 ? history.births(g) : history.deaths(g);
            top = std::max(top, v);
            points.append(QPointF(g + 1, v));
        }
        series->replace(points);
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    x->setRange(1, history.size());
    x->setTickInterval(100);
    y->setRange(0, top);
    y->setTickInterval(std::max(1, top / 5));
    chart->setTitle(QStringLiteral("Ход колонии"));
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->resize(640, 400);
    return view;
}

int Child(int argc, char** argv, const std::string& mode)
{
    QApplication application(argc, argv);
    FirstPaint watch;
    if (mode == "bare") {
        QWidget window;
        window.setFixedSize(hexlife::ClientWidth, hexlife::ClientHeight);
        window.installEventFilter(&watch);
        watch.from = 0;  // the moment itself, as bench_startup reports it
        window.show();
        return application.exec();
    }
    hexlife::MainWindow w;
    w.show();
    w.Picture2_MouseUp(0, 1, 0, 0, 0);
    w.Command1_Click();
    while (w.Timer1->isActive()) w.Timer1_Timer();
    QWidget* chartsPlot = nullptr;
    // The main window painted and idle before the plot is asked for.
    QTimer::singleShot(50, [&] {
        watch.from = Now();
        if (mode == "painter") {
            w.ShowPlot();
            w.Plot->installEventFilter(&watch);
        } else {
            auto* view = static_cast<QChartView*>(ChartsPlot(w.History));
            chartsPlot = view;
            view->viewport()->installEventFilter(&watch);  // a graphics view paints its viewport
            chartsPlot->show();
        }
    });
    const int code = application.exec();
    delete chartsPlot;
    return code;
}

double Run(const QString& program, const char* mode)
{
    QProcess child;
    child.start(program, {mode});
    child.waitForFinished(30000);
    return std::stod(child.readAllStandardOutput().toStdString());
}

// Launch to first paint of a bare window, as bench_startup measures it.
double StartUp(const QString& program)
{
    QProcess child;
    const double before = Now();
    child.start(program, {"bare"});
    child.waitForFinished(30000);
    return std::stod(child.readAllStandardOutput().toStdString()) - before;
}

struct Stats {
    double median, low, high;
};

Stats Of(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

void Print(const char* what, const std::vector<double>& v, const char* tail = "")
{
    const Stats s = Of(v);
    std::printf("%-44s %7.1f ms  (median of %zu; %.1f to %.1f)%s\n", what, s.median * 1e3, v.size(), s.low * 1e3,
                s.high * 1e3, tail);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1) {
        return Child(argc, argv, argv[1]);
    }
    QCoreApplication application(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const QString startup = QDir(QCoreApplication::applicationDirPath()).filePath("bench_startup");
    std::vector<double> painter, charts, linked, unlinked;
    Run(self, "painter");  // warms the caches
    Run(self, "charts");
    constexpr int Rounds = 9;
    for (int round = 0; round < Rounds; ++round) {
        painter.push_back(Run(self, "painter"));
        charts.push_back(Run(self, "charts"));
        unlinked.push_back(StartUp(startup));
        linked.push_back(StartUp(self));
    }
    Print("plot opened to first paint, QPainter:", painter, "   (target <= 100 ms)");
    Print("plot opened to first paint, Qt Charts:", charts);
    Print("bare window start-up, without Qt Charts:", unlinked);
    Print("bare window start-up, linked with Qt Charts:", linked);
    return 0;
}
