// Plays a long random sequence of user actions on the window and checks,
// after every action, what must always hold. HEXLIFE_SEED replays a seed,
// HEXLIFE_ACTIONS sets the number of actions.
#include <QtTest>

#include <QMessageBox>
#include <QLabel>
#include <QPushButton>
#include <random>

#include "field_helpers.h"
#include "figures/catalogue.h"
#include "surface/picture_box.h"

using namespace hexlife;
using testing::InState;
using testing::State;

namespace {

QString Violation(const MainWindow& w, State state, int chosenFigure)
{
    for (int n = 0; n <= FieldLast; ++n) {
        if (w.FieldCells[n] != 0 && w.FieldCells[n] != 1) {
            return QString("field cell %1 holds %2").arg(n).arg(w.FieldCells[n]);
        }
        const int c = n / FieldColLen, r = n % FieldColLen;
        if ((c == 0 || c == FieldColLast || r == 0) && w.FieldCells[n] != 0) {
            return QString("frame cell %1 is live").arg(n);
        }
    }
    for (int i = 0; i <= PatternLast; ++i) {
        if (w.PatternCells[i] != 0 && w.PatternCells[i] != 1) {
            return QString("pattern cell %1 holds %2").arg(i).arg(w.PatternCells[i]);
        }
    }
    if (w.CycleCount < 0 || w.CycleCount > CycleLimit + 1) {
        return QString("cycle count %1").arg(w.CycleCount);
    }
    if (!InState(w, state)) {
        return QString("controls do not match state %1").arg(int(state));
    }
    if (chosenFigure >= 0) {
        PatternArray expected{};
        const auto cells = FigureCells(chosenFigure);
        for (int c = 0; c < FigureCellCount; ++c) {
            expected[FigureFirst + PatternColLen * (c / 5) + c % 5] = std::int8_t(cells[c]);
        }
        if (w.PatternCells != expected) {
            return QString("pattern is not figure %1").arg(chosenFigure);
        }
    }
    return {};
}

int EnvInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

}  // namespace

class RandomActionsTest : public QObject {
    Q_OBJECT
private slots:
    void randomActions()
    {
        const unsigned seed = unsigned(EnvInt("HEXLIFE_SEED", 20261209));
        const int actions = EnvInt("HEXLIFE_ACTIONS", 20000);
        std::mt19937 random(seed);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};

        MainWindow w;
        w.show();
        // Keys reach the window's commands while it is the active window.
        QVERIFY(QTest::qWaitForWindowActive(&w));
        State state = State::Idle;
        int ticks = 0, helps = 0, starts = 0, steps = 0;
        for (int action = 0; action < actions; ++action) {
            int chosen = -1;
            switch (pick(12)) {
            case 0: {  // a thumbnail, any button, anywhere on it
                const int k = pick(FigureCount);
                QTest::mouseClick(w.Picture2[k], buttons[pick(3)], {}, QPoint(pick(41), pick(49)));
                chosen = k;
                state = State::Editing;
                break;
            }
            case 1:
            case 2:
            case 3: {  // the editor, in and outside the box, often on a boundary
                if (!w.Picture3->isVisible()) {
                    break;
                }
                const int i = pick(PatternCount);
                const float x = pick(2) ? float(pick(150) - 10) : float(w.EditorCellX[i] + pick(11) - 5);
                const float y = pick(2) ? float(pick(130) - 10) : float(w.EditorCellY[i] + pick(11) - 5);
                if (pick(2)) {
                    QTest::mouseClick(w.Picture3, buttons[pick(3)], {}, QPoint(int(x) + 1, int(y) + 1));
                } else {
                    w.Picture3_MouseUp(std::int16_t(pick(8)), std::int16_t(pick(8)), x, y);
                }
                break;
            }
            case 4:  // Start, pressed whatever the state
                QTest::mouseClick(w.Command1, Qt::LeftButton);
                if (state == State::Editing) {
                    state = State::Running;
                    ++starts;
                }
                break;
            case 5:  // the preview
                QTest::mouseClick(w.Picture4, buttons[pick(3)], {}, QPoint(pick(97), pick(89)));
                state = State::Editing;
                break;
            case 6:  // Help, opened and closed
                if (pick(8) == 0) {
                    QTimer::singleShot(0, [] {
                        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                            box->accept();
                        }
                    });
                    QTest::mouseClick(w.Command5, Qt::LeftButton);
                    // The offscreen platform has no window manager to give
                    // the activation back.
                    w.activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(&w));
                    ++helps;
                }
                break;
            case 10: {  // pause or resume, a single step, the pace
                const int keys[] = {Qt::Key_Space, Qt::Key_Right, Qt::Key_N, Qt::Key_Plus, Qt::Key_Minus};
                const int key = keys[pick(5)];
                const int interval = w.Run.intervalMs();
                QTest::keyClick(&w, Qt::Key(key));
                if (key == Qt::Key_Space && (state == State::Running || state == State::Paused)) {
                    state = state == State::Running ? State::Paused : State::Running;
                } else if (key == Qt::Key_Right || key == Qt::Key_N) {
                    steps += state == State::Paused;
                    if (state == State::Paused && !w.Run.running()) {
                        state = State::Ended;
                    }
                }
                // The pace moves one place along its scale at most, and the
                // status says what is not the default.
                const auto at = [](int ms) { return std::find(PaceIntervalsMs.begin(), PaceIntervalsMs.end(), ms) - PaceIntervalsMs.begin(); };
                if (std::abs(at(w.Run.intervalMs()) - at(interval)) > 1 ||
                    w.Label3->text().isEmpty() != (w.Run.intervalMs() == 1 && !w.Run.paused())) {
                    QFAIL(qPrintable(QString("seed %1, action %2: pace %3 ms, status «%4»")
                                         .arg(seed).arg(action).arg(w.Run.intervalMs()).arg(w.Label3->text())));
                }
                break;
            }
            default:  // a burst of timer ticks
                for (int burst = pick(6); burst > 0 && w.Timer1->isActive(); --burst) {
                    w.Timer1_Timer();
                    ++ticks;
                }
                if (state == State::Running && !w.Timer1->isActive()) {
                    state = State::Ended;
                }
                break;
            }
            const QString violation = Violation(w, state, chosen);
            if (!violation.isEmpty()) {
                QFAIL(qPrintable(QString("seed %1, action %2: %3").arg(seed).arg(action).arg(violation)));
            }
        }
        qInfo("seed %u: %d actions, %d starts, %d ticks, %d single steps, %d help boxes", seed, actions, starts,
              ticks, steps, helps);
    }
};

QTEST_MAIN(RandomActionsTest)
#include "test_random_actions.moc"
