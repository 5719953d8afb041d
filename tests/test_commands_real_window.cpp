// Every command of the table, on a real X server: a long random sequence of
// actions presses each command's keys in whichever window of the program
// is active (the main window, the plot, the key list) and picks it from the
// field's menu, in every state of a run, with the plot and the key list
// open and painting and the search window opened and closed; clicks,
// ticks and dialogs come between. After every
// action what must always hold is checked, and at the end that every
// command was reached by key and by menu in every state. HEXLIFE_SEED
// replays a seed, HEXLIFE_ACTIONS sets the number of actions.
#include <QtTest>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QUndoStack>
#include <memory>
#include <random>
#include <set>

#include "commands/command_table.h"
#include "dialogs.h"
#include "field_helpers.h"
#include "history/colony_plot.h"
#include "ui/search_window.h"

using namespace hexlife;

namespace {

enum class Phase { Idle, Editing, Running, Paused, Ended, Review };
constexpr int PhaseCount = 6;
const char* const PhaseNames[] = {"idle", "editing", "running", "paused", "ended", "review"};

Phase PhaseOf(const MainWindow& w)
{
    if (w.Run.running()) {
        if (w.Run.reviewing()) return Phase::Review;
        return w.Run.paused() ? Phase::Paused : Phase::Running;
    }
    if (w.Picture3->isVisible()) return Phase::Editing;
    return w.Run.hasStarted() ? Phase::Ended : Phase::Idle;
}

// What must hold after any action; empty when it does.
QString Violation(const MainWindow& w)
{
    for (int n = 0; n <= FieldLast; ++n) {
        if (w.FieldCells[n] != 0 && w.FieldCells[n] != 1) return QString("field cell %1 holds %2").arg(n).arg(w.FieldCells[n]);
        const int c = n / FieldColLen, r = n % FieldColLen;
        if ((c == 0 || c == FieldColLast || r == 0) && w.FieldCells[n] != 0) return QString("frame cell %1 is live").arg(n);
    }
    for (int i = 0; i <= PatternLast; ++i) {
        if (w.PatternCells[i] != 0 && w.PatternCells[i] != 1) return QString("pattern cell %1 holds %2").arg(i).arg(w.PatternCells[i]);
    }
    if (w.CycleCount < 0 || w.CycleCount > CycleLimit + 1 || w.CycleCount > std::max(0, w.History.size())) {
        return QString("cycle count %1 of %2 known").arg(w.CycleCount).arg(w.History.size());
    }
    const Phase phase = PhaseOf(w);
    const QString status = w.Label3->text();
    const bool saysPause = status.startsWith("Пауза"), saysReview = status.startsWith("Просмотр");
    if (saysPause != (phase == Phase::Paused) || saysReview != (phase == Phase::Review)) {
        return QString("status «%1» in state %2").arg(status, PhaseNames[int(phase)]);
    }
    if (w.Timer1->isActive() != (phase == Phase::Running)) {
        return QString("the timer is %1 in state %2").arg(w.Timer1->isActive() ? "on" : "off", PhaseNames[int(phase)]);
    }
    // At rest the count's accessible name tells the count shown.
    if (phase != Phase::Running) {
        const QString count = w.Label1->text().trimmed();
        const QString name = count.isEmpty() ? "Число циклов" : "Число циклов: " + count;
        if (w.Label1->accessibleName() != name) return "the count is named «" + w.Label1->accessibleName() + "»";
    }
    if (w.Label4->accessibleName() != (w.Label4->text().isEmpty() ? "Судьба колонии" : "Судьба колонии: " + w.Label4->text())) {
        return "the fate is named «" + w.Label4->accessibleName() + "»";
    }
    return {};
}

// What the user has made: the generation shown and the pattern.
struct Work {
    FieldArray shown;
    PatternArray pattern;
    bool operator==(const Work&) const = default;
};
Work WorkOf(const MainWindow& w) { return {w.Work->shownField(), w.PatternCells}; }

const WorkChange* ChangeAt(const MainWindow& w, int i) { return static_cast<const WorkChange*>(w.Undo->command(i)); }
// The serial of the last change done, 0 for none.
std::uint64_t LastChange(const MainWindow& w) { return w.Undo->index() > 0 ? ChangeAt(w, w.Undo->index() - 1)->serial() : 0; }

int EnvInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

bool OpensDialog(const Command& command)
{
    // Open, save and the like ask for a file; they are chosen less often.
    return command.text.endsWith("…");
}

}  // namespace

class CommandsRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == "xcb",
                 qPrintable("this test needs a real X server, not " + QGuiApplication::platformName()));
    }

    void everyCommandEverywhere()
    {
        const unsigned seed = unsigned(EnvInt("HEXLIFE_SEED", int(std::random_device{}() % 1000000)));
        const int actions = EnvInt("HEXLIFE_ACTIONS", 20000);
        qInfo("seed %u (HEXLIFE_SEED=%u replays it), %d actions", seed, seed, actions);
        std::mt19937 random(seed);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };

        // A new window every so many actions: each starts idle, and windows
        // are made and destroyed with their plot and key list open.
        constexpr int ActionsPerWindow = 2000;
        std::unique_ptr<MainWindow> window;
        std::vector<std::array<std::array<bool, PhaseCount>, 2>> reached;
        QWidget* target = nullptr;
        auto activate = [&](QWidget* next) {
            next->show();
            next->raise();
            next->activateWindow();
            if (QTest::qWaitForWindowActive(next, 2000)) target = next;
        };
        std::array<int, PhaseCount> perPhase{};
        int keys = 0, menus = 0, dialogs = 0, paints = 0, ticks = 0, plotPaints = 0, undoneChecks = 0;
        struct PaintCounter : QObject {
            int* count;
            explicit PaintCounter(int* c) : count(c) {}
            bool eventFilter(QObject*, QEvent* event) override
            {
                *count += event->type() == QEvent::Paint;
                return false;
            }
        } plotCounter(&plotPaints);

        for (int action = 0; action < actions; ++action) {
            if (action % ActionsPerWindow == 0) {
                window.reset();
                window = std::make_unique<MainWindow>();
                window->show();
                QVERIFY(QTest::qWaitForWindowExposed(window.get()));
                activate(window.get());
                QVERIFY(target == window.get());
                if (reached.empty()) reached.resize(size_t(window->Commands->size()));
            }
            MainWindow& w = *window;
            CommandTable& table = *w.Commands;
            const int rows = table.size();
            const QString where = QString("seed %1, action %2").arg(seed).arg(action);
            const Phase phase = PhaseOf(w);
            QString done = QString("in state %1, ").arg(PhaseNames[int(phase)]);
            // Clicks mostly where they start a run, so that runs get to end;
            // seldom at first, so that every command meets the idle window.
            const bool settled = phase == Phase::Idle || phase == Phase::Editing;
            const int kind = pick(100);
            ++perPhase[int(phase)];
            // What the user has made, before the action: nothing may change
            // it that undo cannot bring back. Ticks change the field while
            // a run goes, and the run's commands show other generations of
            // the same run: those are not looked at.
            const Work workBefore = WorkOf(w);
            const std::uint64_t lastChange = LastChange(w);
            bool mayLose = phase != Phase::Running && kind < 85;
            if (kind < 55) {
                // A command: mostly one not yet reached in this state, by a
                // way not yet taken, else any; those that ask for a file seldom.
                std::vector<std::pair<int, bool>> missing;
                for (int r = 0; r < rows; ++r) {
                    for (bool menu : {false, true}) {
                        if (!reached[size_t(r)][menu][int(phase)] && !(menu && table.command(r).group == CommandGroup::Hidden) &&
                            (menu || !table.command(r).keys.isEmpty())) {
                            missing.push_back({r, menu});
                        }
                    }
                }
                int row = pick(rows);
                // A submenu (the recent files) has no key.
                bool byMenu = (pick(8) == 0 || table.command(row).keys.isEmpty()) && table.command(row).group != CommandGroup::Hidden;
                // An ended run is looked back at: the state every command
                // must meet too.
                const bool lookBack = phase == Phase::Ended && pick(2) == 0;
                if (lookBack) {
                    for (int r = 0; r < rows; ++r) {
                        if (table.command(r).keys.contains(QKeySequence(Qt::Key_Left))) row = r;
                    }
                } else if (!missing.empty() && pick(3) != 0) {
                    std::tie(row, byMenu) = missing[size_t(pick(int(missing.size())))];
                } else if (OpensDialog(table.command(row)) && pick(40) != 0) {
                    continue;
                }
                const Command& command = table.command(row);
                mayLose = mayLose && (command.group != CommandGroup::Run || command.keys.contains(QKeySequence(Qt::CTRL | Qt::Key_R))) &&
                          !command.keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Z)) &&
                          !command.keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y));
                if (!byMenu && target != &w && pick(4) == 0) activate(&w);
                const QStringList seen = testing::Dismissed([&] {
                    if (byMenu) {
                        if (QApplication::activeWindow() != &w) activate(&w);
                        QMenu* menu = table.menu();
                        table.popUp(w.Picture1->mapToGlobal(QPoint(pick(800), pick(600))));
                        if (!QTest::qWaitForWindowExposed(menu, 2000)) return;
                        QAction* entry = table.action(row);
                        if (entry->isEnabled()) {
                            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
                        }
                        menu->close();
                    } else {
                        const QKeySequence key = command.keys[size_t(pick(int(command.keys.size())))];
                        QTest::keySequence(target, key);
                    }
                }, {}, !byMenu);
                dialogs += int(seen.size());
                reached[size_t(row)][byMenu][int(phase)] = true;
                done += QString("«%1» by %2").arg(command.text, byMenu ? "menu" : "key");
                (byMenu ? menus : keys)++;
                if (w.Plot != nullptr && w.Plot->isVisible()) w.Plot->installEventFilter(&plotCounter);
                // Esc closes the plot or the key list it was pressed in.
                if (target != &w && !target->isVisible()) activate(&w);
            } else if (kind < 63) {
                // Another window of the program takes the keys.
                switch (pick(3)) {
                case 0: activate(&w); break;
                case 1: if (w.Plot != nullptr) activate(w.Plot); break;
                default: if (w.KeyList != nullptr) activate(w.KeyList); break;
                }
            } else if (kind < 65) {
                // One of them, or the search window, closed, to be opened
                // again by its command.
                QWidget* const others[] = {w.Plot, w.KeyList, w.Search};
                QWidget* other = others[pick(3)];
                if (other != nullptr && other->isVisible()) {
                    other->close();
                    if (target == other) activate(&w);
                }
            } else if (kind < (phase == Phase::Idle ? 68 : settled ? 85 : 70)) {
                // A click: a thumbnail, the editor, Start, the preview.
                const int click = pick(6);
                done += QString("click %1").arg(click);
                switch (click) {
                case 4: {  // a cell of the field, or a stroke across it, or a selection
                    const Qt::KeyboardModifiers shift = pick(4) == 0 ? Qt::ShiftModifier : Qt::NoModifier;
                    QPoint at(pick(890), pick(690));
                    QTest::mousePress(w.Picture1, Qt::LeftButton, shift, at);
                    for (int step = pick(3) == 0 ? pick(12) : 0; step > 0; --step) {
                        at += QPoint(pick(13) - 6, pick(13) - 6);
                        QMouseEvent move(QEvent::MouseMove, at, w.Picture1->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, shift);
                        QApplication::sendEvent(w.Picture1, &move);
                    }
                    QTest::mouseRelease(w.Picture1, Qt::LeftButton, shift, at);
                    break;
                }
                case 5: break;
                case 0: QTest::mouseClick(w.Picture2[pick(FigureCount)], Qt::LeftButton, {}, QPoint(pick(41), pick(48))); break;
                case 1:
                    if (w.Picture3->isVisible()) {
                        const int i = pick(PatternCount);
                        QTest::mouseClick(w.Picture3, Qt::LeftButton, {}, QPoint(w.EditorCellX[i] + 1, w.EditorCellY[i] + 1));
                    }
                    break;
                case 2: QTest::mouseClick(w.Command1, Qt::LeftButton); break;
                default: QTest::mouseClick(w.Picture4, Qt::LeftButton, {}, QPoint(pick(97), pick(89))); break;
                }
            } else {
                // Time passes: the timer ticks and the windows paint; now and
                // then a burst of ticks brings a run to its end sooner.
                const int before = w.CycleCount;
                QTest::qWait(1 + pick(4));
                for (int burst = pick(2) == 0 ? pick(60) : 0; burst > 0 && w.Timer1->isActive(); --burst) {
                    w.Timer1_Timer();
                }
                ticks += std::max(0, w.CycleCount - before);
                ++paints;
            }
            // Whatever changed what the user made can be undone back to it,
            // and done again.
            if (mayLose && WorkOf(w) != workBefore) {
                int made = 0;
                for (int i = w.Undo->index() - 1; i >= 0 && ChangeAt(w, i)->serial() > lastChange; --i) ++made;
                if (made == 0) QFAIL(qPrintable(where + " (" + done + "): the field or the pattern changed with nothing to undo"));
                if (pick(2) == 0) {
                    for (int i = 0; i < made; ++i) w.UndoEdit();
                    if (WorkOf(w) != workBefore) QFAIL(qPrintable(where + " (" + done + "): undone, the field or the pattern is not as it was"));
                    for (int i = 0; i < made; ++i) w.RedoEdit();
                    ++undoneChecks;
                }
            }
            const QString violation = Violation(w);
            if (!violation.isEmpty()) QFAIL(qPrintable(where + " (" + done + "): " + violation));
        }
        const CommandTable& table = *window->Commands;
        QStringList unreached;
        for (int r = 0; r < table.size(); ++r) {
            for (int way = 0; way < 2; ++way) {
                if (way == 1 && table.command(r).group == CommandGroup::Hidden) continue;
                if (way == 0 && table.command(r).keys.isEmpty()) continue;
                for (int p = 0; p < PhaseCount; ++p) {
                    if (!reached[size_t(r)][way][p]) {
                        unreached << QString("«%1» %2 %3").arg(table.command(r).text, way ? "menu" : "key", PhaseNames[p]);
                    }
                }
            }
        }
        qInfo("seed %u: %d keys, %d menu picks, %d dialogs, %d waits, %d ticks, %d paints of the plot, %d changes undone "
              "and done again", seed, keys, menus, dialogs, paints, ticks, plotPaints, undoneChecks);
        qInfo("actions by state: %d idle, %d editing, %d running, %d paused, %d ended, %d review", perPhase[0],
              perPhase[1], perPhase[2], perPhase[3], perPhase[4], perPhase[5]);
        QVERIFY2(unreached.isEmpty(), qPrintable(QString("seed %1: not reached: ").arg(seed) + unreached.join(", ")));
        QVERIFY(plotPaints > 0);
        QVERIFY(undoneChecks > 0);
    }
};

QTEST_MAIN(CommandsRealWindowTest)
#include "test_commands_real_window.moc"
