// The run kept whole: its fate against a brute-force comparison of every
// generation with every earlier one (in place and moved across the
// lattice), its populations against the reference run; going back and forth
// in the window, and resuming after it, end where the unbroken run ends; the
// population plot's points and clicks.
#include <QtTest>

#include <QLabel>
#include <random>
#include <set>

#include "field_helpers.h"
#include "engine/life_step.h"
#include "figures/catalogue.h"
#include "history/colony_plot.h"
#include "history/run_history.h"
#include "reference/reference_engine.h"
#include "x_server.h"

using namespace hexlife;
using namespace testing;

namespace {

// A generation's live cells in Golly's coordinates, moved to (0, 0): the
// shape, and where it stood.
struct Shape {
    std::set<std::pair<int, int>> cells;
    int left = 0, top = 0;
};
Shape ShapeOf(const FieldArray& field)
{
    std::vector<std::pair<int, int>> live;
    for (int c = 0; c < FieldColCount; ++c)
        for (int r = 0; r < FieldColLen; ++r)
            if (field[size_t(c * FieldColLen + r)] == 1) live.push_back({c, r + c / 2});
    Shape shape;
    if (live.empty()) return shape;
    shape.left = shape.top = 1 << 30;
    for (auto [x, y] : live) shape.left = std::min(shape.left, x), shape.top = std::min(shape.top, y);
    for (auto [x, y] : live) shape.cells.insert({x - shape.left, y - shape.top});
    return shape;
}

// The run by the reference, with the first generation that equals an
// earlier one as a shape, compared with every earlier generation.
struct Expected {
    std::vector<FieldArray> generations;
    std::vector<int> populations;
    std::optional<Repetition> repetition;
    reference::Run end;
};
Expected BruteForce(const FieldArray& start)
{
    Expected e;
    // The step itself is checked against the reference elsewhere; the run's
    // stop rules are the reference's.
    reference::Run run;
    run.cells = start;
    std::vector<Shape> shapes;
    e.generations.push_back(start);
    while (run.running) {
        run.liveCount = int(std::count(run.cells.begin(), run.cells.end(), 1));
        const bool edge = MarkGeneration(run.cells);
        ++run.cycleCount;
        ResolveGeneration(run.cells);
        run.running = !edge && run.cycleCount <= CycleLimit && run.liveCount != 0;
        e.generations.push_back(run.cells);
    }
    e.end = run;
    for (size_t n = 0; n < e.generations.size(); ++n) {
        shapes.push_back(ShapeOf(e.generations[n]));
        e.populations.push_back(int(shapes[n].cells.size()));
        for (size_t k = 0; k < n && !e.repetition && !shapes[n].cells.empty(); ++k) {
            if (shapes[k].cells.size() == shapes[n].cells.size() && shapes[k].cells == shapes[n].cells) {
                e.repetition = Repetition{int(k), int(n - k), shapes[n].left - shapes[k].left,
                                          shapes[n].top - shapes[k].top};
            }
        }
    }
    return e;
}

FieldArray Figure(int k)
{
    PatternArray pattern{};
    const auto cells = FigureCells(k);
    for (int c = 0; c < FigureCellCount; ++c)
        pattern[size_t(FigureFirst + PatternColLen * (c / FigureColLen) + c % FigureColLen)] = std::int8_t(cells[size_t(c)]);
    return reference::PlacePattern(pattern);
}

void CheckAgainstBruteForce(const FieldArray& start, const QString& what, std::set<QString>* kinds = nullptr)
{
    const Expected e = BruteForce(start);
    const RunHistory history = RunToEnd(start);
    QCOMPARE(history.size(), int(e.generations.size()));
    for (int g = 0; g < history.size(); ++g) {
        QCOMPARE(history.population(g), e.populations[size_t(g)]);
        if (g > 0) {
            int born = 0, died = 0;
            for (int n = 0; n <= FieldLast; ++n) {
                born += e.generations[size_t(g)][size_t(n)] > e.generations[size_t(g - 1)][size_t(n)];
                died += e.generations[size_t(g)][size_t(n)] < e.generations[size_t(g - 1)][size_t(n)];
            }
            QCOMPARE(history.births(g), born);
            QCOMPARE(history.deaths(g), died);
        }
    }
    QCOMPARE(history.endCount(), e.end.cycleCount);
    QVERIFY2(history.repetition().has_value() == e.repetition.has_value(), qPrintable(what));
    if (e.repetition) {
        const Repetition& r = *history.repetition();
        QVERIFY2(r.first == e.repetition->first && r.period == e.repetition->period && r.dx == e.repetition->dx &&
                     r.dy == e.repetition->dy,
                 qPrintable(what + ": " + QString::fromStdString(history.verdict())));
    }
    if (kinds) {
        const RunEnd how = history.ended();
        kinds->insert(how == RunEnd::Empty ? "dies" : how == RunEnd::Edge ? "edge" : "limit");
        if (e.repetition) {
            kinds->insert(e.repetition->dx || e.repetition->dy ? "moves"
                          : e.repetition->period == 1       ? "still"
                                                            : "oscillates");
        }
    }
}

}  // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private slots:
    // The presets and random small patterns: every fate as the brute force
    // finds it, and each kind of fate met at least once.
    void fateMatchesBruteForce()
    {
        std::set<QString> kinds;
        for (int k = 0; k < FigureCount; ++k) {
            CheckAgainstBruteForce(Figure(k), QString("figure %1").arg(k + 1), &kinds);
        }
        // A shape that moves across the lattice until it meets the edge,
        // found by a search over random six-cell patterns.
        const Cells mover = {{72, 56}, {73, 58}, {74, 57}, {75, 56}, {76, 56}, {76, 58}};
        CheckAgainstBruteForce(FieldWith(mover), "the moving shape", &kinds);
        std::mt19937 random(17);
        for (int trial = 0; trial < 100; ++trial) {
            PatternArray pattern{};
            const int cells = 2 + int(random() % 7);
            for (int i = 0; i < cells; ++i) {
                pattern[size_t(PatternColLen * (4 + random() % 5) + 3 + random() % 5)] = 1;
            }
            CheckAgainstBruteForce(reference::PlacePattern(pattern), QString("random pattern %1").arg(trial), &kinds);
        }
        // A still life, an oscillator, a moving shape, dying out, the edge.
        for (const char* kind : {"oscillates", "moves", "dies", "edge"}) {
            QVERIFY2(kinds.count(kind), kind);
        }
        // A still life: the same generation twice.
        RunHistory still;
        still.start(Figure(4));
        still.record(1, Figure(4));
        QVERIFY(still.repetition() && still.repetition()->period == 1 && !still.repetition()->moves());
        QCOMPARE(QString::fromStdString(still.verdict()), QString("Неподвижна с цикла 1"));
        // Each thumbnail's tooltip names its figure's fate, the figure placed
        // as choosing and starting it places it.
        MainWindow w;
        for (int k = 0; k < FigureCount; ++k) {
            w.Picture2_MouseUp(std::int16_t(k), 1, 0, 0, 0);
            w.Command1_Click();
            QVERIFY(w.FieldCells == FigureOnField(k));
            QHelpEvent ask(QEvent::ToolTip, QPoint(5, 5), w.Picture2[k]->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(w.Picture2[k], &ask);
            QVERIFY2(w.Picture2[k]->toolTip().endsWith(QString::fromStdString(RunToEnd(Figure(k)).verdictDetail())),
                     qPrintable(w.Picture2[k]->toolTip()));
        }
        // A whole 1001-cycle run fits in 3 MB.
        for (int k = 0; k < FigureCount; ++k) {
            QVERIFY(RunToEnd(Figure(k)).bytes() <= 3u << 20);
        }
    }

    // What the fate says keeps what was learned when the run ends, in the
    // label, its tooltip and its accessible name, and in a thumbnail's
    // tooltip; figures whose runs the brute force above has checked.
    void fateKeepsWhatWasLearned()
    {
        const struct {
            int figure;
            const char *running, *ended, *detail;
        } runs[] = {
            {1, "Корабль, период 3 с цикла 1", "Корабль, период 3: край поля на цикле 108",
             "Корабль: повторяется с периодом 3, за период смещается на -1 по x и -2 по y (координаты Golly), с цикла 1. "
             "Дошла до края поля на цикле 108."},
            {13, "Период 2 с цикла 13", "Период 2: предел на цикле 1001",
             "Колеблется с периодом 2 с цикла 13. Остановлена на цикле 1001: запуск идёт не дольше 1001 цикла."},
            {5, "", "Вымерла на цикле 38", "Вымерла на цикле 38."},
            {2, "", "Край поля на цикле 373", "Дошла до края поля на цикле 373."},
        };
        for (const auto& run : runs) {
            MainWindow w;
            w.Picture2_MouseUp(std::int16_t(run.figure), 1, 0, 0, 0);
            w.Command1_Click();
            for (int i = 0; i < 30 && w.Run.running(); ++i) w.Timer1_Timer();
            QCOMPARE(w.Label4->text(), QString(run.running));
            while (w.Run.running()) w.Timer1_Timer();
            QCOMPARE(w.Label4->text(), QString(run.ended));
            QCOMPARE(w.Label4->toolTip(), QString(run.detail));
            QCOMPARE(w.Label4->accessibleName(), QString("Судьба колонии: ") + run.ended);
            QCOMPARE(w.Label1->accessibleName(), QString("Число циклов: %1").arg(w.CycleCount));
        }
        // Made by hand: a still life stopped by the limit, and a run in which
        // nothing repeats.
        RunHistory still, restless;
        still.start(Figure(4));
        still.record(1, Figure(4));
        still.end(RunEnd::Limit, 1001);
        QCOMPARE(QString::fromStdString(still.verdict()), QString("Неподвижна: предел на цикле 1001"));
        restless.start(Figure(4));
        restless.record(1, Figure(5));
        restless.end(RunEnd::Limit, 1001);
        QCOMPARE(QString::fromStdString(restless.verdict()), QString("Без повторов: предел на цикле 1001"));
        QVERIFY(QString::fromStdString(restless.verdictDetail()).startsWith("Ни одно поколение не повторило прежнее."));

        // An edit of a run ended by the limit: at the last cycle nothing
        // is left to judge; a cycle before it, only what came after.
        const struct {
            int back;
            const char* ended;
        } edits[] = {{0, "Предел на цикле 1001"}, {1, "Без повторов с цикла 1000: предел на цикле 1001"}};
        for (const auto& edit : edits) {
            MainWindow w;
            w.Picture2_MouseUp(13, 1, 0, 0, 0);  // a period-2 oscillator to the limit
            w.Command1_Click();
            while (w.Run.running()) w.Timer1_Timer();
            for (int i = 0; i < edit.back; ++i) w.RunBack();
            FieldArray field = w.Work->shownField();
            field[size_t(FieldCellNumber(10, 10))] ^= 1;  // a lone cell far from the colony dies at once
            w.EditField("cell", field);
            while (w.Run.running() && w.Run.paused()) w.RunStep();
            QCOMPARE(w.Label4->text(), QString(edit.ended));
        }
    }

    // In the window: from any paused generation, k back and k forward give
    // the same field and count; Home to End walks the reference; resuming
    // after going back ends where the unbroken run ends.
    void backAndForthEndWhereTheRunEnds()
    {
        std::mt19937 random(5);
        for (int figure : {0, 8, 21}) {
            MainWindow w;
            w.Picture2_MouseUp(std::int16_t(figure), 1, 0, 0, 0);
            w.Command1_Click();
            const Expected e = BruteForce(w.FieldCells);
            const int stopAt = 1 + int(random() % std::min<size_t>(200, e.generations.size() - 1));
            while (w.CycleCount < stopAt && w.Run.running()) w.Timer1_Timer();
            if (w.Run.running()) w.RunPause();
            for (int trial = 0; trial < 5; ++trial) {
                const std::int16_t count = w.CycleCount;
                const FieldArray field = w.FieldCells;
                const int k = int(random() % 20);
                for (int i = 0; i < k; ++i) w.RunBack();
                QCOMPARE(int(w.CycleCount), std::max(1, count - k));
                while (w.CycleCount < count) w.RunStep();
                QCOMPARE(w.CycleCount, count);
                QVERIFY(w.FieldCells == field);
            }
            w.RunFirst();
            QCOMPARE(int(w.CycleCount), 1);
            const QImage grid = MainWindow().Picture1->surface().image();
            for (int count = 1;; ++count) {
                QCOMPARE(int(w.CycleCount), count);
                QVERIFY(w.FieldCells == e.generations[size_t(count)]);
                if (count % 25 == 1) {  // the field image too, now and then
                    QVERIFY(w.Picture1->surface().image() == ExpectedField(grid, e.generations[size_t(count - 1)]));
                }
                if (!w.Work->canStep()) break;
                w.RunStep();
            }
            QCOMPARE(int(w.CycleCount), e.end.cycleCount);
            QVERIFY(!w.Run.running());
            // Back from the end, and Space: the same end.
            for (int i = 0; i < 30; ++i) w.RunBack();
            QVERIFY(w.Run.paused());
            QCOMPARE(w.Label3->text(), QString("Просмотр"));  // a run that has ended, not a pause
            w.RunPause();
            QVERIFY(WaitFor([&] { return !w.Run.running(); }, 60000));
            QCOMPARE(int(w.CycleCount), e.end.cycleCount);
            QVERIFY(w.FieldCells == e.end.cells);
            QCOMPARE(w.Label4->text(), QString::fromStdString(RunToEnd(e.generations[0]).verdict()));
        }
    }

    // The plot's points are the reference's populations, and a click shows
    // the generation under it.
    void plotShowsAndPicks()
    {
        MainWindow w;
        w.show();
        w.Picture2_MouseUp(6, 1, 0, 0, 0);
        w.Command1_Click();
        const Expected e = BruteForce(w.FieldCells);
        while (w.Run.running()) w.Timer1_Timer();
        w.ShowPlot();
        QVERIFY(QTest::qWaitForWindowExposed(w.Plot));
        for (int g = 0; g < w.History.size(); ++g) QCOMPARE(w.History.population(g), e.populations[size_t(g)]);
        for (int count : {w.History.size() - 1, 1, 2, w.History.size() / 3}) {
            QTest::mouseClick(w.Plot, Qt::LeftButton, {}, QPoint(w.Plot->xOf(count), w.Plot->plotArea().center().y()));
            QCOMPARE(int(w.CycleCount), count);
            QVERIFY(w.FieldCells == e.generations[size_t(count)]);
        }
        QVERIFY(w.Run.paused());

        // It grows with a new run: repainted while the ticks come.
        int paints = 0;
        struct Counter : QObject {
            int* paints;
            explicit Counter(int* p) : paints(p) {}
            bool eventFilter(QObject*, QEvent* event) override
            {
                *paints += event->type() == QEvent::Paint;
                return false;
            }
        } counter(&paints);
        w.Plot->installEventFilter(&counter);
        w.Command1_Click();
        QVERIFY(WaitFor([&] { return paints >= 3; }, 10000));
        QVERIFY(w.History.size() > 1);
    }
};

QTEST_MAIN(HistoryTest)
#include "test_history.moc"
