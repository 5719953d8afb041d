// Watching a run from the keyboard: pause and resume, single steps and the
// pace, all against the plain reference; where the keyboard's focus rests;
// and a top bar whose labels leave every button its room and its clicks at
// any font size (run at 96, 144 and 192 dpi, see CMakeLists.txt).
#include <QtTest>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <random>

#include "field_helpers.h"
#include "reference/reference_engine.h"
#include "x_server.h"

using namespace hexlife;
using namespace testing;

namespace {

void Key(MainWindow& w, int key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &w, Qt::Key(key), modifiers);
}

bool RunEnded(MainWindow& w)
{
    return WaitFor([&] { return !w.Run.running(); }, 120000);
}

}  // namespace

class RunKeysTest : public QObject {
    Q_OBJECT
private slots:
    // Runs with random pauses, single steps and resumes end exactly where
    // an undisturbed run ends; while paused, no tick runs.
    void pausesAndStepsEndWhereTheRunEnds()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        std::mt19937 random(12);
        for (int figure : {2, 13, 23}) {
            w.Picture2_MouseUp(std::int16_t(figure), 1, 0, 0, 0);
            w.Command1_Click();
            const reference::Run expected = reference::RunToEnd(w.FieldCells);
            bool heldASecond = false;
            while (w.Run.running()) {
                QTest::qWait(int(random() % 30));
                Key(w, Qt::Key_Space);
                if (!w.Run.running()) {
                    break;
                }
                QVERIFY(w.Run.paused() && !w.Timer1->isActive());
                QCOMPARE(w.Label3->text(), QString::fromUtf8("Пауза"));
                const std::int16_t cycles = w.CycleCount;
                const FieldArray field = w.FieldCells;
                QTest::qWait(heldASecond ? 20 : 1000);
                heldASecond = true;
                QCOMPARE(w.CycleCount, cycles);
                QVERIFY(w.FieldCells == field);
                for (int steps = int(random() % 4); steps > 0 && w.Run.running(); --steps) {
                    const std::int16_t before = w.CycleCount;
                    Key(w, steps % 2 ? Qt::Key_Right : Qt::Key_N);
                    QCOMPARE(int(w.CycleCount), before + 1);  // one tick, no more
                    QVERIFY(!w.Timer1->isActive());
                }
                if (w.Run.running()) {
                    Key(w, Qt::Key_Space);
                    QVERIFY(w.Timer1->isActive());
                }
            }
            QVERIFY(RunEnded(w));
            QCOMPARE(int(w.CycleCount), expected.cycleCount);
            QVERIFY(w.FieldCells == expected.cells);
            QCOMPARE(w.Label3->text(), QString());
        }
    }

    // Paused before its first tick, a run stepped key by key is the reference
    // generation by generation, to its end by the stop rules.
    void singleStepsAreTheReference()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        for (int figure : {5, 25}) {
            w.Picture2_MouseUp(std::int16_t(figure), 1, 0, 0, 0);
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            Key(w, Qt::Key_Space);  // before any tick: the click and the key come first
            QVERIFY(InState(w, State::Paused));
            reference::Run run;
            run.cells = w.FieldCells;
            while (run.running) {
                Key(w, Qt::Key_N);
                reference::Tick(run);
                QCOMPARE(int(w.CycleCount), run.cycleCount);
                QVERIFY(w.FieldCells == run.cells);
                QCOMPARE(w.Run.running(), run.running);
                QVERIFY(!w.Timer1->isActive());
            }
            QVERIFY(InState(w, State::Ended));
            Key(w, Qt::Key_Right);  // after the end: nothing
            QCOMPARE(int(w.CycleCount), run.cycleCount);
        }
    }

    // The pace keys walk 1, 2, 5, ... 500 ms; the measured tick rate follows.
    void paceSetsTheTickRate()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.Timer1->interval(), 1);
        Key(w, Qt::Key_Plus);  // already the fastest
        QCOMPARE(w.Run.intervalMs(), 1);
        QCOMPARE(w.Label3->text(), QString());
        for (int pace : {20, 100}) {
            while (w.Run.intervalMs() < pace) {
                Key(w, w.Run.intervalMs() % 2 ? Qt::Key_Minus : Qt::Key_Underscore);
            }
            QCOMPARE(w.Label3->text(), QString("%1 мс").arg(pace));
            w.Picture2_MouseUp(0, 1, 0, 0, 0);
            w.Command1_Click();
            QCOMPARE(w.Timer1->interval(), pace);
            QElapsedTimer clock;
            clock.start();
            // Timed over a number of ticks rather than a fixed time. A loaded
            // machine delays ticks but never hastens them: a pace slower than
            // asked by less than the next pace's step (50 after 20, 200 after
            // 100) is a busy machine's, not another pace.
            const int ticks = 1500 / pace;
            QVERIFY(QTest::qWaitFor([&] { return w.CycleCount >= ticks; }, 60000));
            const double measured = clock.elapsed() / double(w.CycleCount);
            qInfo("%d ms pace: %.1f ms a tick over %d ticks", pace, measured, int(w.CycleCount));
            QVERIFY2(measured >= 0.8 * pace && measured <= 1.6 * pace, qPrintable(QString::number(measured)));
        }
        for (int presses = 0; presses < 9; ++presses) {
            Key(w, presses % 2 ? Qt::Key_Plus : Qt::Key_Equal, presses % 2 ? Qt::KeypadModifier : Qt::NoModifier);
        }
        QCOMPARE(w.Run.intervalMs(), 1);
        QCOMPARE(w.Timer1->interval(), 1);
        QCOMPARE(w.Label3->text(), QString());
    }

    // At start-up and after Start the focus is on the field: Space presses
    // no button and never quits. Tab then Space still presses a button.
    void spaceNeverPressesAnUnchosenButton()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Picture1));
        QSignalSpy start(w.Command1, &QPushButton::clicked), quit(w.Command3, &QPushButton::clicked),
            help(w.Command5, &QPushButton::clicked);
        Key(w, Qt::Key_Space);
        w.Picture2_MouseUp(3, 1, 0, 0, 0);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(start.count(), 1);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Picture1));
        Key(w, Qt::Key_Space);
        QVERIFY(InState(w, State::Paused));
        Key(w, Qt::Key_Space);
        QCOMPARE(quit.count() + help.count(), 0);

        QTimer::singleShot(0, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->accept();
            }
        });
        Key(w, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Command5));
        Key(w, Qt::Key_Space);
        QCOMPARE(help.count(), 1);
        QCOMPARE(quit.count(), 0);
    }

    // No label overlaps a button, and a press at each button's centre,
    // routed by the window as a real one is, reaches the button.
    void topBarLeavesButtonsTheirRoom()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        qInfo("font dpi %d: labels in %.1f pt", w.logicalDpiY(), w.Label1->font().pointSizeF());
        w.Label1->setText("1001");
        w.Label3->setText(QString::fromUtf8("Пауза, 500 мс"));
        for (QPushButton* button : {w.Command1, w.Command3, w.Command5}) {
            for (QLabel* label : {w.Label1, w.Label2, w.Label3}) {
                QVERIFY2(!label->geometry().intersects(button->geometry()),
                         qPrintable(label->text() + " covers " + button->text()));
                QVERIFY2(label->sizeHint().width() <= label->width(),
                         qPrintable(label->text() + " does not fit its room"));
            }
            const QPoint centre = button->geometry().center();
            QCOMPARE(w.childAt(centre), static_cast<QWidget*>(button));
            QTest::mousePress(w.windowHandle(), Qt::LeftButton, {}, centre);
            QVERIFY2(button->isDown() || !button->isEnabled(), qPrintable(button->text()));
            QTest::mouseRelease(w.windowHandle(), Qt::LeftButton, {}, QPoint(990, 700));
        }
        QCOMPARE(w.Label3->geometry().left() > w.Command3->geometry().right(), true);
    }
};

QTEST_MAIN(RunKeysTest)
#include "test_run_keys.moc"
