// The field as a workspace: random edits, strokes, fills and runs in the
// window against the plain reference step; undo and redo of random edit
// sequences back to every state they passed; a drawn cell seen at every
// zoom; random fields saved and opened back at their place; bad input.
#include <QtTest>

#include <QClipboard>
#include <QLabel>
#include <QTemporaryDir>
#include <QUndoStack>
#include <random>
#include <set>

#include "dialogs.h"
#include "field_helpers.h"
#include "figures/catalogue.h"
#include "lattice/lattice.h"
#include "reference/reference_engine.h"
#include "rle/pattern_files.h"
#include "rle/rle.h"

using namespace hexlife;

namespace {

// Where a cell's box is, in Picture1's widget pixels at scale 1.
QPoint CellPoint(int c, int r)
{
    const PixelPoint box = FieldInnerBoxOrigin(c, r);
    return QPoint(box.x + 2 + 1, box.y + 2 + 1);  // the box's middle, inside the border
}

FieldPosition RandomCell(std::mt19937& random, int spread)
{
    const auto near = [&](int middle, int low, int high) {
        return std::clamp(middle + int(random() % unsigned(2 * spread + 1)) - spread, low, high);
    };
    return {near(74, 1, FieldColInnerLast), near(57, 1, FieldPosLast)};
}

// What the user sees and what the next tick works on.
struct Observed {
    FieldArray cells, shown;
    int count;
    QString countText, status, fate;
    bool running, paused;
    PatternArray pattern;
    QImage image;
    bool editor, start;  // the editor shown, «Пуск» enabled
    std::string rule;
    bool operator==(const Observed&) const = default;
};
QString Differences(const Observed& a, const Observed& b)
{
    QStringList differ;
    if (a.cells != b.cells) differ << "cells";
    if (a.shown != b.shown) differ << "shown";
    if (a.count != b.count) differ << QString("count %1/%2").arg(a.count).arg(b.count);
    if (a.countText != b.countText) differ << "count text «" + a.countText + "»/«" + b.countText + "»";
    if (a.status != b.status) differ << "status «" + a.status + "»/«" + b.status + "»";
    if (a.fate != b.fate) differ << "fate «" + a.fate + "»/«" + b.fate + "»";
    if (a.running != b.running || a.paused != b.paused) differ << "run";
    if (a.pattern != b.pattern) differ << "pattern";
    if (a.image != b.image) differ << "image";
    if (a.editor != b.editor || a.start != b.start) differ << "editor";
    if (a.rule != b.rule) differ << QString::fromStdString("rule " + a.rule + "/" + b.rule);
    return differ.join(", ");
}

// A word shown a while in the fate's place (a file's rule taken) is
// ended first: what stays is the fate.
Observed Observe(MainWindow& w)
{
    w.EndNote();
    return {w.FieldCells,       w.Work->shownField(),    w.CycleCount,     w.Label1->text(), w.Label3->text(),
            w.Label4->text(),   w.Run.running(),   w.Run.paused(),   w.PatternCells,
            w.Picture1->surface().image(), w.Picture3->isVisibleTo(&w), w.Command1->isEnabled(), w.FieldRule.Text()};
}

// The window at its slowest pace: no tick of its timer comes between.
void Slow(MainWindow& w)
{
    while (w.Run.canGoSlower()) w.RunSlower();
}

FieldArray RandomField(std::mt19937& random, int percent)
{
    FieldArray field{};
    const CellRect area = CentredRect(20 + int(random() % 120), 10 + int(random() % 100));
    FillRandom(field, area, percent, random());
    return field;
}

}  // namespace

class WorkspaceTest : public QObject {
    Q_OBJECT
private slots:
    // Random clicks, strokes, fills, pauses, steps and ticks: after each,
    // the window holds and shows what the plain step gives for the same
    // edits, and its run stops where the reference's does.
    void editsAndRunsMatchTheReference()
    {
        const unsigned seed = unsigned(qEnvironmentVariableIntValue("HEXLIFE_SEED")) + 11u;
        std::mt19937 random(seed);
        const QImage grid = MainWindow().Picture1->surface().image();
        for (int session = 0; session < 6; ++session) {
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            Slow(w);
            reference::Run run;  // cells: the next tick's; drawn: the field shown
            bool going = false, begun = false;
            if (session % 2 == 1) {  // from a figure, as «Пуск» places it
                w.Picture2_MouseUp(std::int16_t(random() % FigureCount), 1, 0, 0, 0);
                w.Command1_Click();
                run.cells = run.drawn = w.FieldCells;
                going = begun = true;
            }
            for (int action = 0; action < 400; ++action) {
                const QString where = QString("seed %1, session %2, action %3").arg(seed).arg(session).arg(action);
                const int kind = int(random() % 100);
                // An edit of the field shown: the tick that drew it runs again.
                auto edited = [&](const FieldArray& shown) {
                    if (going) return;
                    if (shown == (run.cycleCount == 0 ? run.cells : run.drawn)) return;
                    run.drawn = shown;
                    run.cells = shown;
                    run.running = true;
                    // Before the start figure is shown the edit makes a
                    // new one, drawn by a first tick as «Пуск» draws it.
                    run.cycleCount = std::max(run.cycleCount, 1) - 1;
                    reference::Tick(run);
                    begun = true;
                };
                if (kind < 40) {
                    const FieldPosition cell = RandomCell(random, 6);
                    FieldArray shown = run.cycleCount == 0 ? run.cells : run.drawn;
                    shown[size_t(FieldCellNumber(cell.column, cell.row))] ^= 1;
                    QTest::mouseClick(w.Picture1, Qt::LeftButton, {}, CellPoint(cell.column, cell.row));
                    edited(shown);
                } else if (kind < 50) {
                    // A stroke paints its cells in the state the first took.
                    FieldPosition cell = RandomCell(random, 8);
                    FieldArray shown = run.cycleCount == 0 ? run.cells : run.drawn;
                    const std::int8_t state = std::int8_t(1 - shown[size_t(FieldCellNumber(cell.column, cell.row))]);
                    QTest::mousePress(w.Picture1, Qt::LeftButton, {}, CellPoint(cell.column, cell.row));
                    for (int step = 0; step < 8; ++step) {
                        shown[size_t(FieldCellNumber(cell.column, cell.row))] = state;
                        cell = {std::clamp(cell.column + int(random() % 3) - 1, 1, FieldColInnerLast),
                                std::clamp(cell.row + int(random() % 3) - 1, 1, FieldPosLast)};
                        QMouseEvent move(QEvent::MouseMove, CellPoint(cell.column, cell.row), w.Picture1->mapToGlobal(CellPoint(cell.column, cell.row)),
                                         Qt::NoButton, Qt::LeftButton, {});
                        QApplication::sendEvent(w.Picture1, &move);
                    }
                    shown[size_t(FieldCellNumber(cell.column, cell.row))] = state;
                    QTest::mouseRelease(w.Picture1, Qt::LeftButton, {}, CellPoint(cell.column, cell.row));
                    edited(going ? run.drawn : shown);
                } else if (kind < 55) {
                    // A soup, or a cleared rectangle, in a selection.
                    const FieldPosition a = RandomCell(random, 20), b = RandomCell(random, 20);
                    w.SelectCells(SpanOf(a, b));
                    FieldArray shown = run.cycleCount == 0 ? run.cells : run.drawn;
                    if (random() % 2) {
                        FillChoice fill;
                        fill.area = FillChoice::Area::Selection;
                        fill.percent = 10 + int(random() % 50);
                        fill.seed = random();
                        FillRandom(shown, SpanOf(a, b), fill.percent, fill.seed);
                        w.FillField(fill);
                    } else {
                        ClearCells(shown, SpanOf(a, b));
                        w.ClearFieldCells();
                    }
                    w.SelectCells({});
                    edited(shown);
                } else if (kind < 70) {
                    QTest::keyClick(&w, Qt::Key_Space);
                    if (going) {
                        going = false;
                    } else if (begun && run.running) {
                        going = true;
                    }
                } else if (kind < 80) {
                    QTest::keyClick(&w, Qt::Key_Right);
                    if (!going && begun && run.running) reference::Tick(run);
                } else {
                    for (int burst = int(random() % 20); burst > 0 && going; --burst) {
                        w.Timer1_Timer();
                        reference::Tick(run);
                        going = run.running;
                    }
                }
                QVERIFY2(w.FieldCells == run.cells, qPrintable(where + ": the next generation"));
                QVERIFY2(w.Work->shownField() == (run.cycleCount == 0 ? run.cells : run.drawn), qPrintable(where + ": the field shown"));
                QCOMPARE(int(w.CycleCount), run.cycleCount);
                QVERIFY2(w.Timer1->isActive() == going && w.Run.running() == (begun && run.running),
                         qPrintable(where + ": the run's state"));
                if (run.cycleCount > 0 && action % 10 == 0) {
                    QVERIFY2(w.Picture1->surface().image() == testing::ExpectedField(grid, run.drawn),
                             qPrintable(where + ": the field's picture"));
                }
            }
        }
    }

    // Any sequence of edits and changes of rule, undone step by step, passes
    // back through every state it passed, and done again, forward through
    // them: the field, the count and the rule the run goes on by. (A file
    // opened brings B2/S2H back in the same change.)
    void undoAndRedoRetraceEveryState()
    {
        std::mt19937 random(23);
        QTemporaryDir dir;
        for (int trial = 0; trial < 4; ++trial) {
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            Slow(w);
            if (trial % 2) {  // edits of a run paused a while in
                w.Picture2_MouseUp(2, 1, 0, 0, 0);
                w.Command1_Click();
                for (int i = 0; i < 40; ++i) w.Timer1_Timer();
                w.RunPause();
            }
            std::vector<Observed> states{Observe(w)};
            for (int edit = 0; edit < 40; ++edit) {
                const int before = w.Undo->count();
                switch (random() % 7) {
                case 0:
                case 1: {
                    const FieldPosition cell = RandomCell(random, 10);
                    QTest::mouseClick(w.Picture1, Qt::LeftButton, {}, CellPoint(cell.column, cell.row));
                    break;
                }
                case 2: {
                    FillChoice fill;
                    fill.columns = 1 + int(random() % 30);
                    fill.rows = 1 + int(random() % 30);
                    fill.seed = random();
                    w.FillField(fill);
                    break;
                }
                case 3:
                    w.SelectCells(SpanOf(RandomCell(random, 30), RandomCell(random, 30)));
                    w.ClearFieldCells();
                    w.SelectCells({});
                    break;
                case 4: {  // a figure chosen, a cell of it changed in the editor
                    // (Choosing a figure also stops a run, which an undo
                    // holds again, and which runs on between the redos:
                    // chosen here where no run is held, and mid-run in
                    // aFigureChosenMidRunIsUndone.)
                    const int k = int(random() % FigureCount);
                    if (!w.Run.running()) w.EditPattern("figure", [&] { w.Picture2_MouseUp(std::int16_t(k), 1, 0, 0, 0); });
                    if (w.Undo->count() > before) states.push_back(Observe(w));
                    const int i = int(random() % PatternCount);
                    if (w.Picture3->isVisible()) {
                        QTest::mouseClick(w.Picture3, Qt::LeftButton, {}, QPoint(w.EditorCellX[i] + 1, w.EditorCellY[i] + 1));
                    }
                    break;
                }
                case 5: {  // the rule changed, from the generation shown
                    static const char* const rules[] = {"B2/S34H", "B2o/S2m34H", "B245/S3H", "B2/S2H"};
                    w.ChangeRule(*rule::Parse(rules[random() % 4]).rule);
                    break;
                }
                default: {  // a field too large for the editor opened onto the field
                    const QString path = dir.filePath(QString("soup%1.rle").arg(edit));
                    QFile file(path);
                    QVERIFY(file.open(QIODevice::WriteOnly));
                    std::vector<rle::GollyCell> live;
                    const FieldArray soup = RandomField(random, 30);
                    for (int n = 0; n <= FieldLast; ++n)
                        if (soup[size_t(n)]) live.push_back(rle::ToGolly(n / FieldColLen, n % FieldColLen));
                    file.write(QByteArray::fromStdString(rle::WriteCells(live, "soup")));
                    file.close();
                    QVERIFY(w.Files->open(path));
                    break;
                }
                }
                // Each change made is one entry; a change to nothing is none.
                QVERIFY(size_t(w.Undo->count()) + 1 - states.size() <= 1);
                if (size_t(w.Undo->count()) + 1 > states.size()) states.push_back(Observe(w));
            }
            const int made = w.Undo->count();
            QVERIFY(made >= 20);
            for (int back = made - 1; back >= 0; --back) {
                w.UndoEdit();
                QVERIFY2(Observe(w) == states[size_t(back)], qPrintable(QString("trial %1, undone to %2: %3").arg(trial).arg(back).arg(Differences(Observe(w), states[size_t(back)]))));
            }
            for (int forth = 1; forth <= made; ++forth) {
                // Running on from an undone state, or looking back, between
                // the redos: each redo still gives back what its change left.
                if (forth % 5 == 0 && w.Run.running()) {
                    w.RunPause();
                    for (int i = 0; i < 7; ++i) w.Timer1_Timer();
                    if (w.Run.running()) w.RunPause();
                    w.RunBack();
                }
                w.RedoEdit();
                QVERIFY2(Observe(w) == states[size_t(forth)], qPrintable(QString("trial %1, redone to %2: %3").arg(trial).arg(forth).arg(Differences(Observe(w), states[size_t(forth)]))));
                QVERIFY(w.CycleCount <= std::max(1, w.History.size()));
            }
        }
    }

    // A cell clicked at any scale the window is drawn at shows on the screen
    // in the live colour, and one clicked again in the empty one.
    void aDrawnCellShowsAtEveryZoom()
    {
        for (double scale : {0.4, 0.76, 1.0, 1.3, 2.0, 3.0}) {
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.Zoom = scale;  // what the zoom commands set
            w.Refit();
            QCOMPARE(w.WindowScale, scale);
            for (const FieldPosition cell : {FieldPosition{1, 1}, FieldPosition{74, 57}, FieldPosition{146, 113}, FieldPosition{3, 100}}) {
                const PixelPoint box = FieldInnerBoxOrigin(cell.column, cell.row);
                const QPointF middle(box.x + 2.5 + 1, box.y + 2.5 + 1);  // image pixels, inside the border
                const QPoint at = (middle * scale).toPoint();
                for (Color colour : {LiveColor, EmptyColor}) {
                    QTest::mouseClick(w.Picture1, Qt::LeftButton, {}, at);
                    QCoreApplication::processEvents();
                    const QImage screen = w.Picture1->grab().toImage();
                    QVERIFY2(QColor(screen.pixel(at)) == QColor(ToQRgb(colour)),
                             qPrintable(QString("cell (%1, %2) at scale %3").arg(cell.column).arg(cell.row).arg(scale)));
                }
            }
        }
    }

    // A field saved as RLE opens back cell for cell where it stood, paused
    // at generation 0, from a file and from the clipboard; the editor is
    // left as it was.
    void savedFieldsOpenBackAtTheirPlace()
    {
        std::mt19937 random(31);
        QTemporaryDir dir;
        for (int trial = 0; trial < 12; ++trial) {
            MainWindow w;
            Slow(w);
            w.PutOnField(RandomField(random, 5 + int(random() % 60)), "soup");
            QTest::keyClick(&w, Qt::Key_Space);
            for (int tick = int(random() % 6); tick > 0 && w.Timer1->isActive(); --tick) w.Timer1_Timer();
            if (w.Timer1->isActive()) w.RunPause();
            if (!w.FieldHasCells()) continue;
            const FieldArray shown = w.Work->shownField();
            const QString path = dir.filePath(QString("field%1.rle").arg(trial));
            QVERIFY(w.SaveFieldRleTo(path));
            w.CopyField();
            const PatternArray pattern = w.PatternCells;
            MainWindow other;
            QVERIFY(other.Files->open(path));
            QVERIFY(other.Work->shownField() == shown);
            QCOMPARE(int(other.CycleCount), 1);
            QVERIFY(other.Run.paused() && other.PatternCells == PatternArray{});
            MainWindow pasted;
            QVERIFY(pasted.Files->paste());
            QVERIFY(pasted.Work->shownField() == shown);
            QVERIFY(w.PatternCells == pattern);
        }
    }

    // A thumbnail clicked in a going or paused run stops it; undone, the
    // editor closes and the run is held where it stood, Space going on.
    void aFigureChosenMidRunIsUndone()
    {
        for (bool paused : {false, true}) {
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            Slow(w);
            w.Picture2_MouseUp(7, 1, 0, 0, 0);
            w.Command1_Click();
            for (int i = 0; i < 12; ++i) w.Timer1_Timer();
            if (paused) w.RunPause();
            Observed before = Observe(w);
            QTest::mouseClick(w.Picture2[2], Qt::LeftButton, {}, QPoint(20, 20));
            QVERIFY(!w.Run.running() && w.Picture3->isVisible());
            QTest::keySequence(&w, QKeySequence::Undo);
            if (!paused) {  // a going run comes back paused, its status says so
                QVERIFY(w.Run.paused());
                before.paused = true;
                before.status = w.Label3->text();
            }
            QVERIFY2(Observe(w) == before, qPrintable(Differences(Observe(w), before)));
            QTest::keyClick(&w, Qt::Key_Space);
            QVERIFY(w.Timer1->isActive());
        }
    }

    // A soup of the whole field runs: its band at the frame is left empty,
    // so that no cell of the frame is live or born at the first tick.
    void aWholeFieldSoupRuns()
    {
        std::mt19937 random(47);
        for (int percent = 10; percent <= 90; percent += 20) {
            MainWindow w;
            Slow(w);
            FillChoice fill;
            fill.area = FillChoice::Area::Whole;
            fill.percent = percent;
            fill.seed = random();
            w.FillField(fill);
            const FieldArray soup = w.Work->shownField();
            int live = 0;
            for (int n = 0; n < FieldCellCount; ++n) {
                const int c = n / FieldColLen, r = n % FieldColLen;
                live += soup[size_t(n)];
                if (!RunnableArea.contains(c, r)) QCOMPARE(int(soup[size_t(n)]), 0);
            }
            QVERIFY(live > RunnableArea.columns() * RunnableArea.rows() * (percent - 5) / 100);
            // Shown as cycle 1 by the run's first tick, which did not end it:
            // Space runs it on, and → steps it.
            QVERIFY2(w.CycleCount == 1 && w.History.ended() == RunEnd::None,
                     qPrintable(QString("%1 %: ended at cycle %2").arg(percent).arg(w.CycleCount)));
            QVERIFY(w.Work->canStep());
            w.RunPause();
            QVERIFY2(w.Timer1->isActive(), qPrintable(QString("%1 %: Space does not run it").arg(percent)));
        }
    }

    // Running again runs what the run started from, a drawn soup or «Пуск»'s
    // figure, never the preview's older figure; undone, the run is as it
    // was; done again, it starts over.
    void runAgainRunsItsOwnStart()
    {
        std::mt19937 random(41);
        for (int trial = 0; trial < 6; ++trial) {
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            Slow(w);
            FieldArray start{};
            if (trial % 2 == 0) {  // an older figure in the preview, then a soup drawn over its run
                w.Picture2_MouseUp(std::int16_t(random() % FigureCount), 1, 0, 0, 0);
                w.Command1_Click();
                for (int i = 0; i < 5; ++i) w.Timer1_Timer();
                w.RunPause();
                start = RandomField(random, 30);
                w.EditField("soup", start);
                if (w.CycleCount > 1) start = w.Work->shownField();
                w.RunFirst();
                start = w.Work->shownField();
            } else {
                start = RandomField(random, 30);
                w.PutOnField(start, "soup");
            }
            QTest::keyClick(&w, Qt::Key_Space);
            for (int i = 0; i < 20 && w.Timer1->isActive(); ++i) w.Timer1_Timer();
            if (w.Timer1->isActive()) w.RunPause();
            const Observed before = Observe(w);
            QTest::keySequence(&w, QKeySequence(Qt::CTRL | Qt::Key_R));
            QVERIFY(w.Timer1->isActive());
            w.Timer1_Timer();
            QVERIFY2(w.Work->shownField() == start, qPrintable(QString("trial %1: not run from its start").arg(trial)));
            QTest::keySequence(&w, QKeySequence(Qt::CTRL | Qt::Key_Z));
            QVERIFY2(Observe(w) == before, qPrintable(QString("trial %1, undone: %2").arg(trial).arg(Differences(Observe(w), before))));
            QTest::keySequence(&w, QKeySequence(Qt::CTRL | Qt::Key_Y));
            QVERIFY(w.Timer1->isActive() && w.CycleCount == 0);
            w.Timer1_Timer();
            QVERIFY(w.Work->shownField() == start);
        }
    }

    // A pasted pattern is added to the cells on the field as one change,
    // and the selection turns and mirrors as the lattice's symmetries do:
    // the shape left is the original one under the symmetries composed,
    // the cells outside it stay, and undo brings back the field as it was.
    void pastesAndTurnsAreChangesToUndo()
    {
        std::mt19937 random(43);
        const QKeySequence keys[] = {QKeySequence(Qt::Key_Greater), QKeySequence(Qt::Key_Less), QKeySequence(Qt::Key_X),
                                     QKeySequence(Qt::Key_Y)};
        const lattice::Symmetry does[] = {{1, false}, {5, false}, {0, true}, {3, true}};
        for (int trial = 0; trial < 20; ++trial) {
            const QString where = QString("trial %1").arg(trial);
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            Slow(w);
            // A soup at the left, away from where the selection turns.
            FieldArray soup{};
            FillRandom(soup, {2, 2, 30, 110}, 30, random());
            w.PutOnField(soup, "soup");
            const int entries = w.Undo->index();

            std::set<lattice::Cell> shape;
            while (shape.empty()) {
                for (int c = 70; c < 78; ++c)
                    for (int r = 50; r < 58; ++r)
                        if (random() % 3 == 0) shape.insert(lattice::FromGrid({c, r}));
            }
            std::vector<rle::GollyCell> copied;
            for (const auto& c : shape) copied.push_back({c.x, c.y});
            QGuiApplication::clipboard()->setText(QString::fromStdString(rle::WriteCells(copied, "part", 0)));
            QTest::keySequence(&w, QKeySequence::Paste);
            FieldArray pasted = soup;
            for (const auto& c : shape) {
                const lattice::GridCell g = lattice::ToGrid(c);
                pasted[size_t(FieldCellNumber(int(g.column), int(g.row)))] = 1;
            }
            QVERIFY2(w.Work->shownField() == pasted, qPrintable(where + ": the paste"));
            QCOMPARE(w.Undo->index(), entries + 1);

            w.SelectCells({60, 40, 90, 70});
            lattice::Symmetry composed;
            for (int turn = 0, turns = 1 + int(random() % 8); turn < turns; ++turn) {
                const int k = int(random() % 4);
                QTest::keySequence(&w, keys[k]);
                composed = lattice::Then(composed, does[k]);
            }
            std::set<lattice::Cell> expected, now;
            for (const auto& c : shape) expected.insert(lattice::Apply(composed, c));
            const FieldArray shown = w.Work->shownField();
            for (int n = 0; n < FieldCellCount; ++n) {
                if (shown[size_t(n)] == 1 && n / FieldColLen >= 40) now.insert(lattice::FromGrid({n / FieldColLen, n % FieldColLen}));
                if (n / FieldColLen < 40) QVERIFY2(shown[size_t(n)] == soup[size_t(n)], qPrintable(where + ": the soup changed"));
            }
            auto normalized = [](const std::set<lattice::Cell>& cells) {
                lattice::Cell low = *cells.begin();
                for (const auto& c : cells) low = {std::min(low.x, c.x), std::min(low.y, c.y)};
                std::set<lattice::Cell> moved;
                for (const auto& c : cells) moved.insert(c - low);
                return moved;
            };
            QVERIFY2(normalized(now) == normalized(expected), qPrintable(where + ": not the shape the lattice turns it to"));
            while (w.Undo->index() > entries) w.UndoEdit();
            QVERIFY2(w.Work->shownField() == soup, qPrintable(where + ": undone"));
        }
    }

    // Too large for the field, a header that declares too much, junk: one
    // message, and neither the field nor the pattern changes.
    void badInputChangesNothing()
    {
        QTemporaryDir dir;
        MainWindow w;
        w.Picture2_MouseUp(4, 1, 0, 0, 0);
        w.Command1_Click();
        for (int i = 0; i < 20; ++i) w.Timer1_Timer();
        w.RunPause();
        const struct {
            const char* text;
            const char* says;
        } bad[] = {
            {"x = 150, y = 1, rule = B2/S2H\n150o!", "ни в редактор (14 × 11 клеток), ни на поле (146 × 113 клеток"},
            {"x = 3, y = 120, rule = B2/S2H\no119$o!", "3 × 120 клеток"},
            {"x = 146, y = 60, rule = B2/S2H\n146o$146o59$146o!", "наискосок"},
            {"x = 2147483647, y = 2147483647, rule = B2/S2H\no2147483646bo!", "2147483647 × 2147483647"},
            {"x = 99999999999, y = 3\no!", "слишком велико"},
            {"\x89PNG\r\n\x1a\n", "не фигура"},
        };
        for (const auto& b : bad) {
            const Observed before = Observe(w);
            const int entries = w.Undo->count();
            QFile file(dir.filePath("bad.rle"));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(b.text);
            file.close();
            QStringList seen = testing::Dismissed([&] { QVERIFY(!w.Files->open(file.fileName())); });
            QVERIFY2(seen.size() == 1 && seen[0].contains(QString::fromUtf8(b.says)), qPrintable(seen.join(" / ")));
            QVERIFY(Observe(w) == before && w.Undo->count() == entries);
        }
    }
};

QTEST_MAIN(WorkspaceTest)
#include "test_workspace.moc"
