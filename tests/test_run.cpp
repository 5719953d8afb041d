// The timer tick in the window: stop rules, the engine against the plain
// reference tick by tick, and the field's pixels.
#include <QtTest>

#include <QLabel>
#include <QTimer>
#include <random>

#include "field_helpers.h"
#include "reference/reference_engine.h"

using namespace hexlife;
using namespace testing;

namespace {

// Ticks the window like the timer would until the run stops (one started
// from the field by Workspace::startFrom), checking it
// against the reference after every tick, and the image after each of the
// first `imageChecks` ticks. Returns the number of ticks.
int RunAgainstReference(MainWindow& w, const QImage& grid, int imageChecks)
{
    reference::Run run;
    run.cells = w.FieldCells;
    while (w.Timer1->isActive()) {
        const FieldArray drawn = w.FieldCells;
        w.Timer1_Timer();
        reference::Tick(run);
        if (w.FieldCells != run.cells || w.LiveCount != run.liveCount ||
            w.CycleCount != run.cycleCount || w.Timer1->isActive() != run.running) {
            qWarning("differs from the reference after tick %d", run.cycleCount);
            return -1;
        }
        if (run.cycleCount <= imageChecks || !run.running) {
            if (w.Picture1->surface().image() != ExpectedField(grid, drawn)) {
                qWarning("field image wrong after tick %d", run.cycleCount);
                return -1;
            }
        }
    }
    return run.cycleCount;
}

}  // namespace

class RunTest : public QObject {
    Q_OBJECT
private slots:
    void stopRules_data()
    {
        QTest::addColumn<Cells>("start");
        QTest::addColumn<int>("ticks");
        QTest::newRow("empty field") << Cells{} << 1;
        QTest::newRow("single cell") << Cells{{70, 57}} << 2;
        // Each pair gives birth on the edge of the live area in tick 1.
        QTest::newRow("reaches row 113") << Cells{{70, 112}, {71, 112}} << 1;
        QTest::newRow("reaches row 1") << Cells{{70, 2}, {71, 2}} << 1;
        QTest::newRow("reaches column 1") << Cells{{2, 50}, {2, 51}} << 1;
        QTest::newRow("reaches column 146") << Cells{{145, 50}, {145, 51}} << 1;
        // A pair two cells apart that turns into a pair side by side and back.
        QTest::newRow("never stops by itself") << Cells{{75, 58}, {76, 59}} << 1001;
    }
    void stopRules()
    {
        QFETCH(Cells, start);
        QFETCH(int, ticks);
        MainWindow w;
        const QImage grid = w.Picture1->surface().image();
        w.Work->startFrom(FieldWith(start));
        QCOMPARE(RunAgainstReference(w, grid, 3), ticks);
        QCOMPARE(w.Label1->text(), QString::number(ticks));
        QCOMPARE(w.CycleCount, std::int16_t(ticks));
    }

    // The last generation computed stays in the field but is not drawn.
    void lastGenerationIsNotDrawn()
    {
        MainWindow w;
        w.Work->startFrom(FieldWith({{70, 112}, {71, 112}}));
        QVERIFY(w.Timer1->isActive());
        w.Timer1_Timer();
        QVERIFY(!w.Timer1->isActive());
        QCOMPARE(w.FieldCells, FieldWith({{70, 111}, {71, 113}}));
        const Surface& field = w.Picture1->surface();
        const QRgb red = ToQRgb(LiveColor);
        QCOMPARE(field.pixel(w.FieldCellX[70 * 114 + 112], w.FieldCellY[70 * 114 + 112]), red);
        QVERIFY(field.pixel(w.FieldCellX[71 * 114 + 113], w.FieldCellY[71 * 114 + 113]) != red);
    }

    void randomColoniesMatchTheReference()
    {
        std::mt19937 random(7);
        int totalTicks = 0;
        for (int trial = 0; trial < 12; ++trial) {
            MainWindow w;
            const QImage grid = w.Picture1->surface().image();
            std::bernoulli_distribution live(0.15 + 0.05 * (trial % 4));
            FieldArray start{};
            for (int c = 55; c <= 95; ++c) {
                for (int r = 35; r <= 75; ++r) {
                    start[114 * c + r] = live(random) ? 1 : 0;
                }
            }
            w.Work->startFrom(start);
            const int ticks = RunAgainstReference(w, grid, 15);
            QVERIFY(ticks > 0);
            totalTicks += ticks;
        }
        QVERIFY(totalTicks > 12 * 10);  // the colonies really developed
    }

    // The record of what each box shows never outlives the image it was made
    // for: whatever changes the field's image behind its back, the next tick
    // paints as if every box were painted again.
    void paintingRecordFollowsTheImage_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("cleared") << 0;
        QTest::newRow("new background") << 1;
        QTest::newRow("resized") << 2;
        QTest::newRow("drawn over") << 3;
    }
    void paintingRecordFollowsTheImage()
    {
        QFETCH(int, change);
        MainWindow w;
        std::mt19937 random{unsigned(change)};
        std::bernoulli_distribution live(0.3);
        FieldArray start{};
        for (int c = 60; c <= 90; ++c) {
            for (int r = 40; r <= 70; ++r) {
                start[114 * c + r] = live(random) ? 1 : 0;
            }
        }
        w.Work->startFrom(start);
        for (int tick = 0; tick < 3; ++tick) {
            w.Timer1_Timer();
        }
        Surface& field = w.Picture1->surface();
        switch (change) {
        case 0: field.clear(); break;
        case 1: field.setBackground(Qt::green); break;
        case 2: field.resize(field.size() + QSize(7, 5)); break;
        case 3: field.fillBox(0, 0, 400, 300, LiveColor); break;
        }
        const QImage changed = field.image();
        const FieldArray drawn = w.FieldCells;
        w.Timer1_Timer();
        QVERIFY(field.image() == ExpectedField(changed, drawn));
    }

    void boxExtentsAndLiveCount()
    {
        MainWindow w;
        FieldArray start{};
        start[0] = 1;
        start[114] = 1;
        start[8000] = 1;
        w.Work->setField(start);
        w.Timer1_Timer();
        QCOMPARE(w.LiveCount, 3);
        const Surface& field = w.Picture1->surface();
        const QRgb red = ToQRgb(LiveColor);
        auto redBox = [&](int left, int top, int right, int bottom) {
            QRect found;
            // The box and the grid lines around it.
            for (int y = top - 1; y <= bottom + 1; ++y) {
                for (int x = std::max(0, left - 1); x <= right + 1; ++x) {
                    if (field.pixel(x, y) == red) {
                        found |= QRect(x, y, 1, 1);
                    }
                }
            }
            return found;
        };
        QCOMPARE(redBox(1, 4, 5, 8), QRect(QPoint(1, 4), QPoint(5, 8)));
        QCOMPARE(redBox(7, 1, 11, 5), QRect(QPoint(7, 1), QPoint(11, 5)));
    }
};

QTEST_MAIN(RunTest)
#include "test_run.moc"
