// The window driven with real mouse events on its widgets: a colony drawn by
// hand from the editor to the end of its run, the state table of the run
// control, and every preset figure from its thumbnail to the end of its run.
#include <QtTest>

#include <QLabel>
#include <QPushButton>

#include "field_helpers.h"
#include "reference/reference_engine.h"

using namespace hexlife;
using namespace testing;

namespace {

void Click(PictureBox* box, QPointF imagePoint, Qt::MouseButton button = Qt::LeftButton)
{
    const QPoint offset = box->hasBorder() ? QPoint(1, 1) : QPoint();
    QTest::mouseClick(box, button, {}, imagePoint.toPoint() + offset);
}

bool WaitForRunEnd(const MainWindow& w)
{
    QElapsedTimer clock;
    clock.start();
    while (w.Timer1->isActive() && clock.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QCoreApplication::processEvents();
    return !w.Timer1->isActive();
}

PatternArray PatternOf(const QVector<int>& cells)
{
    PatternArray pattern{};
    for (int i : cells) {
        pattern[i] = 1;
    }
    return pattern;
}

}  // namespace

class JourneyTest : public QObject {
    Q_OBJECT
private slots:
    void handDrawnColony()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage grid = w.Picture1->surface().image();
        QVERIFY(InState(w, State::Idle));

        Click(w.Picture4, {40, 40});
        QVERIFY(InState(w, State::Editing));
        const QVector<int> drawnByHand{47, 48, 58, 70, 71};
        for (int i : drawnByHand) {
            Click(w.Picture3, QPointF(w.EditorCellX[i], w.EditorCellY[i]),
                  i % 2 ? Qt::RightButton : Qt::LeftButton);
        }
        const PatternArray pattern = PatternOf(drawnByHand);
        QCOMPARE(w.PatternCells, pattern);

        const reference::Run expected = reference::RunToEnd(reference::PlacePattern(pattern));
        for (int round = 0; round < 2; ++round) {
            const QImage before = w.Picture1->surface().image();
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            QVERIFY(InState(w, State::Running));
            QCOMPARE(w.FieldCells, reference::PlacePattern(pattern));
            // The old colony stays on the screen until the first tick paints.
            QVERIFY(w.Picture1->surface().image() == before);
            QCOMPARE(w.CycleCount, std::int16_t(0));
            QVERIFY(WaitForRunEnd(w));
            QVERIFY(InState(w, State::Ended));
            QCOMPARE(w.Label1->text(), QString::number(expected.cycleCount));
            QCOMPARE(w.FieldCells, expected.cells);
            QVERIFY(w.Picture1->surface().image() == ExpectedField(grid, expected.drawn));

            // Back to the editor on the same pattern; the field and the count stay.
            Click(w.Picture4, {10, 70});
            QVERIFY(InState(w, State::Editing));
            QCOMPARE(w.PatternCells, pattern);
            QCOMPARE(w.Picture3->surface().pixel(w.EditorCellX[58], w.EditorCellY[58]), ToQRgb(LiveColor));
            QCOMPARE(w.Label1->text(), QString::number(expected.cycleCount));
            QVERIFY(w.Picture1->surface().image() == ExpectedField(grid, expected.drawn));
        }
    }

    void stateTable()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.Command1, Qt::LeftButton);  // Start before any figure: nothing
        QVERIFY(InState(w, State::Idle));
        Click(w.Picture2[3], {20, 20});
        QVERIFY(InState(w, State::Editing));
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(InState(w, State::Running));
        QTRY_VERIFY(w.CycleCount >= 5);
        // Start cannot be pressed twice: the run goes on, nothing restarts.
        const std::int16_t cycles = w.CycleCount;
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(w.CycleCount >= cycles);
        QVERIFY(InState(w, State::Running));
        Click(w.Picture4, {1, 1});  // the preview stops the run
        QVERIFY(InState(w, State::Editing));
        const std::int16_t stoppedAt = w.CycleCount;
        QTest::qWait(30);
        QCOMPARE(w.CycleCount, stoppedAt);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(WaitForRunEnd(w));
        QVERIFY(InState(w, State::Ended));
        Click(w.Picture2[5], {1, 1});
        QVERIFY(InState(w, State::Editing));
        Click(w.Picture4, {1, 1});  // preview while editing: redraws, same state
        QVERIFY(InState(w, State::Editing));
    }

    void everyFigureFromThumbnailToEnd()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage grid = w.Picture1->surface().image();
        QStringList lengths;
        for (int k = 0; k < FigureCount; ++k) {
            Click(w.Picture2[k], {20, 24}, k % 3 == 1 ? Qt::RightButton : Qt::LeftButton);
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            const reference::Run expected = reference::RunToEnd(w.FieldCells);
            QVERIFY(WaitForRunEnd(w));
            QCOMPARE(w.Label1->text(), QString::number(expected.cycleCount));
            QVERIFY2(w.Picture1->surface().image() == ExpectedField(grid, expected.drawn),
                     qPrintable(QString("figure %1").arg(k)));
            lengths << QString("%1:%2").arg(k).arg(expected.cycleCount);
        }
        qInfo("run lengths: %s", qPrintable(lengths.join(' ')));
    }
};

QTEST_MAIN(JourneyTest)
#include "test_journey.moc"
