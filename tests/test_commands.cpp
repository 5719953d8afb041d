// The table of commands: every command's keys and its menu entry do the
// same in every state of a run, and nothing where the command is disabled;
// the context menu and where it opens; the key list and the manual page
// held to the table; Qt's dialogs in Russian in any locale; the inputs that
// used to be taken silently or named wrongly.
#include <QtTest>

#include <limits>

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>

#include "app/russian.h"
#include "commands/command_table.h"
#include "search/search_window.h"
#include "dialogs.h"
#include "files/file_dialog.h"
#include "history/colony_plot.h"
#include "field_helpers.h"
#include "rle/pattern_files.h"
#include "rle/rle.h"
#include "x_server.h"

using namespace hexlife;
using namespace testing;

namespace {

// What a command can change, seen from outside.
struct Snapshot {
    FieldArray field;
    PatternArray pattern;
    int cycles, interval;
    double scale;
    bool running, paused, editor, start, plot, keys, search;
    QString status, note, clipboard;
    QStringList dialogs;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const MainWindow& w, const QStringList& dialogs)
{
    return {w.FieldCells, w.PatternCells, w.CycleCount, w.Run.intervalMs(), w.WindowScale, w.Run.running(), w.Run.paused(),
            w.Picture3->isVisible(), w.Command1->isEnabled(), w.Plot != nullptr && w.Plot->isVisible(),
            w.KeyList != nullptr && w.KeyList->isVisible(), w.Search != nullptr && w.Search->isVisible(), w.Label3->text(),
            w.Label4->text(), QGuiApplication::clipboard()->text(), dialogs};
}

enum class Setup { Idle, EmptyEditor, Editing, Running, Paused, Ended };
const Setup Setups[] = {Setup::Idle, Setup::EmptyEditor, Setup::Editing, Setup::Running, Setup::Paused, Setup::Ended};

// A window in a given state, at a slow pace so that no tick comes between.
void Prepare(MainWindow& w, Setup setup)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.ZoomReset();  // whatever a zoom before left in the settings
    for (int i = 0; i < 7; ++i) {
        w.RunSlower();
    }
    if (setup == Setup::Idle) return;
    if (setup == Setup::EmptyEditor) {
        w.Picture4_MouseUp(1, 0, 0, 0);
        return;
    }
    w.Picture2_MouseUp(3, 1, 0, 0, 0);
    if (setup == Setup::Editing) return;
    w.Command1_Click();
    for (int i = 0; i < 3; ++i) w.Timer1_Timer();
    if (setup == Setup::Running) {
        // Going, but with no tick of its own between the command and the
        // look at what it did, however slow a loaded machine makes that.
        w.Timer1->setInterval(std::numeric_limits<int>::max());
        return;
    }
    w.RunPause();
    if (setup == Setup::Paused) return;
    while (w.Run.running()) w.RunStep();
}

// A part of a field, which pastes back to its place whether by key (where
// the pointer is) or from the menu (where the menu was opened).
const char* const Pasted = "#CXRLE Pos=70,90 Gen=0\nx = 2, y = 1, rule = B2/S2H\n2o!\n";

void ResetClipboard() { QGuiApplication::clipboard()->setText(Pasted); }

QString ManualPage()
{
    QFile file(HEXLIFE_SOURCE_DIR "/data/hexagonal-life.6");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        UseRussian(*qApp);
        // The word on what a click on the field does comes at a user's first
        // pause only: told already, so that every window's pause looks alike
        // however fresh the settings are.
        QSettings(QStringLiteral("hexagonal-life"), QStringLiteral("hexagonal-life"))
            .setValue(QStringLiteral("told/fieldClicks"), true);
    }
    // The zoom the commands changed is remembered: back to the usual size.
    void cleanupTestCase() { MainWindow().ZoomReset(); }

    // Each command, in each state: every one of its keys, and a click on its
    // menu entry, give the same result; a disabled one changes nothing, an
    // enabled one changes something.
    void keysAndMenuDoTheSame()
    {
        const int count = MainWindow().Commands->size();
        for (int c = 0; c < count; ++c) {
            for (Setup setup : Setups) {
                MainWindow probe;
                Prepare(probe, setup);
                const Command& command = probe.Commands->command(c);
                const bool enabled = !command.enabled || command.enabled();
                const QString where = QString("«%1», state %2").arg(command.text).arg(int(setup));
                ResetClipboard();
                const Snapshot before = Take(probe, {});
                // Only the menu's submenus (the recent files) go without a key.
                QVERIFY2(!command.keys.isEmpty() || command.group == CommandGroup::Help || command.entries, qPrintable(where));

                std::optional<Snapshot> first;
                for (const QKeySequence& key : command.keys) {
                    MainWindow w;
                    Prepare(w, setup);
                    ResetClipboard();
                    const QStringList dialogs = Dismissed([&] { QTest::keySequence(&w, key); });
                    const Snapshot after = Take(w, dialogs);
                    QVERIFY2(enabled != (after == before), qPrintable(where + " by " + key.toString()));
                    if (first) QVERIFY2(after == *first, qPrintable(where + " by " + key.toString()));
                    first = after;
                }
                if (command.group == CommandGroup::Hidden) continue;

                MainWindow w;
                Prepare(w, setup);
                ResetClipboard();
                QMenu* menu = w.Commands->menu();
                QAction* entry = w.Commands->action(c);
                QVERIFY(menu->actions().contains(entry));
                const QStringList dialogs = Dismissed([&] {
                    w.Commands->popUp(w.Picture1->mapToGlobal(QPoint(300, 200)));
                    QVERIFY(QTest::qWaitForWindowExposed(menu));
                    QCOMPARE(entry->isEnabled(), enabled);
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
                    menu->close();
                }, {}, false);
                const Snapshot after = Take(w, dialogs);
                QVERIFY2(enabled != (after == before), qPrintable(where + " from the menu"));
                if (first) QVERIFY2(after == *first, qPrintable(where + ": the menu differs from the keys"));
            }
        }
    }

    // The menu opens from a right click on the field, the Menu key and
    // Shift+F10; right clicks elsewhere keep their meaning.
    void menuOpensOnTheFieldOnly()
    {
        MainWindow w;
        Prepare(w, Setup::Idle);
        const QString menu = "QMenu: Меню команд";
        // A right click as the platform delivers it: the release, then a
        // context menu event.
        auto rightClick = [](QWidget* box, QPoint at) {
            QTest::mouseClick(box, Qt::RightButton, {}, at);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, box->mapToGlobal(at));
            QApplication::sendEvent(box, &event);
        };
        QCOMPARE(Dismissed([&] { rightClick(w.Picture1, QPoint(400, 300)); }), {menu});
        QCOMPARE(Dismissed([&] { QTest::keyClick(&w, Qt::Key_Menu); }), {menu});
        QCOMPARE(Dismissed([&] { QTest::keyClick(&w, Qt::Key_F10, Qt::ShiftModifier); }), {menu});

        QVERIFY(Dismissed([&] { rightClick(w.Picture2[5], QPoint(20, 20)); }).isEmpty());
        QVERIFY(InState(w, State::Editing));
        const PatternArray chosen = w.PatternCells;
        const int i = 50;
        QVERIFY(Dismissed([&] {
                    rightClick(w.Picture3, QPoint(w.EditorCellX[i] + 1, w.EditorCellY[i] + 1));
                }).isEmpty());
        QCOMPARE(int(w.PatternCells[i]), 1 - chosen[i]);
        w.Command1_Click();
        QVERIFY(Dismissed([&] { rightClick(w.Picture4, QPoint(40, 40)); }).isEmpty());
        QVERIFY(InState(w, State::Editing));

        // The keypad's + and − pace a run as the main keyboard's do.
        const int interval = w.Run.intervalMs();
        QTest::keyClick(&w, Qt::Key_Minus, Qt::KeypadModifier);
        QVERIFY(w.Run.intervalMs() > interval);
        QTest::keyClick(&w, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(w.Run.intervalMs(), interval);
    }

    // Running the start figure again is a click on the preview and «Пуск».
    void runAgainIsPreviewThenStart()
    {
        MainWindow again, byHand;
        for (MainWindow* w : {&again, &byHand}) {
            Prepare(*w, Setup::Paused);
            w->Picture2_MouseUp(7, 1, 0, 0, 0);
            w->Picture3_MouseUp(1, 0, float(w->EditorCellX[60]), float(w->EditorCellY[60]));
            w->Command1_Click();
            for (int i = 0; i < 9; ++i) w->Timer1_Timer();
        }
        again.RunAgain();
        byHand.Picture4_MouseUp(1, 0, 10, 10);
        byHand.Command1_Click();
        QVERIFY(Take(again, {}) == Take(byHand, {}));
        QCOMPARE(again.CycleCount, std::int16_t(0));
        QVERIFY(again.Picture4->toolTip().contains("начальную фигуру"));
    }

    // The list of keys, the tooltips and the manual page name what the
    // table holds, and nothing else.
    void keyListsFollowTheTable()
    {
        MainWindow w;
        const QString list = w.Commands->keyList();
        const QString manual = ManualPage();
        const QString keysSection = manual.section(".SH KEYS", 1).section(".SH ", 0, 0);
        QStringList manualKeys;
        for (const QString& line : keysSection.split('\n')) {
            if (line.startsWith(".B ")) manualKeys << line.mid(3).replace("\\-", "-");
        }
        QStringList tableKeys;
        for (int c = 0; c < w.Commands->size(); ++c) {
            const Command& command = w.Commands->command(c);
            QVERIFY(list.contains(QString(command.text).remove('&')));
            QVERIFY(list.contains(CommandTable::KeysText(command.keys)));
            QStringList keys;
            for (const QKeySequence& key : command.keys) keys << key.toString(QKeySequence::PortableText);
            if (!keys.isEmpty()) tableKeys << keys.join(", ");
            if (command.group == CommandGroup::Run) {
                QVERIFY(w.Picture1->toolTip().contains(CommandTable::KeysText(command.keys)));
            }
            if (command.group == CommandGroup::Figure) {
                QVERIFY(w.Picture4->toolTip().contains(CommandTable::KeysText(command.keys)));
            }
        }
        tableKeys.sort();
        manualKeys.sort();
        QCOMPARE(manualKeys, tableKeys);
    }

    // Run under LANG=C and LANG=en_US.UTF-8 too (see CMakeLists.txt).
    void qtDialogsReadRussian()
    {
        auto cyrillic = [](const QString& text) {
            return text.contains(QRegularExpression("[А-Яа-я]")) && !text.contains(QRegularExpression("[A-Za-z]"));
        };
        QMessageBox box(QMessageBox::Question, "?", "?", QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(cyrillic(box.button(QMessageBox::Yes)->text()), qPrintable(box.button(QMessageBox::Yes)->text()));
        QVERIFY(cyrillic(box.button(QMessageBox::No)->text()));
        QFileDialog dialog(nullptr, "?", QDir::tempPath());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        const auto buttons = dialog.findChild<QDialogButtonBox*>()->buttons();
        QVERIFY(buttons.size() == 2);
        for (QAbstractButton* button : buttons) {
            QVERIFY2(cyrillic(button->text()), qPrintable(button->text()));
        }
        const auto labels = dialog.findChildren<QLabel*>();
        for (QLabel* label : labels) {
            QVERIFY2(label->text().isEmpty() || cyrillic(label->text()), qPrintable(label->text()));
        }

        // Sizes with the noun's Russian forms and a decimal comma.
        const struct {
            std::int64_t bytes;
            const char* text;
        } sizes[] = {{0, "0 байт"},       {1, "1 байт"},          {2, "2 байта"},         {5, "5 байт"},
                     {11, "11 байт"},     {21, "21 байт"},        {22, "22 байта"},       {112, "112 байт"},
                     {1023, "1023 байта"}, {1024, "1 КБ"},        {41640, "40,7 КБ"},     {5000000, "4,8 МБ"},
                     {1LL << 40, "1 ТБ"}};
        for (const auto& size : sizes) {
            QCOMPARE(QString::fromStdString(files::RussianSize(size.bytes)), QString(size.text));
        }
        // The program's own dialog lists a folder's files with Russian sizes
        // and dates, whatever the locale.
        QTemporaryDir dir;
        for (auto [name, bytes] : {std::pair{"a.rle", 153}, {"b.rle", 41640}}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(bytes, 'o')) == bytes);
        }
        const std::unique_ptr<QFileDialog> ours(files::MakeFileDialog(nullptr, "?", dir.path(), "Все файлы (*)"));
        ours->show();
        auto* list = ours->findChild<QTreeView*>("treeView");
        QVERIFY(list != nullptr);
        QStringList rows;
        QVERIFY(WaitFor([&] {
            rows.clear();
            const QModelIndex root = list->rootIndex();
            for (int r = 0; r < list->model()->rowCount(root); ++r) {
                QStringList columns;
                for (int c = 0; c < 4; ++c) columns << list->model()->index(r, c, root).data().toString();
                rows << columns.join(" | ");
            }
            return rows.size() == 2 && !rows[0].contains("| |");
        }, 10000));
        rows.sort();
        const QString today = QDate::currentDate().toString("dd.MM.yyyy");
        QVERIFY2(rows[0].startsWith("a.rle | 153 байта | Фигура RLE | ") && rows[0].contains(" | " + today + " "), qPrintable(rows[0]));
        QVERIFY2(rows[1].startsWith("b.rle | 40,7 КБ | ") && rows[1].contains(" | " + today + " "), qPrintable(rows[1]));
    }

    // An empty pattern is neither copied nor saved; a pattern too large is
    // named by the size its header declares.
    void refusesWhatItCannotDo()
    {
        QTemporaryDir dir;
        MainWindow w;
        Prepare(w, Setup::EmptyEditor);
        ResetClipboard();
        QStringList seen = Dismissed([&] { QVERIFY(!w.Files->copy()); });
        QVERIFY(seen.size() == 1 && seen[0].contains("нет ни одной живой клетки"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString(Pasted));
        seen = Dismissed([&] { QVERIFY(!w.Files->save(dir.filePath("empty.rle"))); });
        QVERIFY(seen.size() == 1 && seen[0].contains("нет ни одной живой клетки"));
        QVERIFY(!QFile::exists(dir.filePath("empty.rle")));

        const struct {
            const char* text;
            const char* size;
            bool slanted;
        } large[] = {
            {"x = 14, y = 6, rule = B2/S2H\n14o$14o$14o$14o$14o$14o!", "14 × 6 ", true},
            {"x = 20, y = 3, rule = B2/S2H\n20o$20o$20o!", "20 × 3 ", false},
            {"20o!", "20 × 1 ", false},
            {"x = 3, y = 12\no$o$o$o$o$o$o$o$o$o$o$o!", "3 × 12 ", false},
        };
        for (const auto& c : large) {
            const rle::ReadResult read = rle::ReadPattern(c.text);
            QVERIFY(!read.pattern);
            const QString message = QString::fromStdString(rle::Message(read.error));
            QVERIFY2(message.contains(c.size) && message.contains("наискосок") == c.slanted, qPrintable(message));
        }
    }

    // The program itself: two files, and no display.
    void commandLineAndDisplay()
    {
        QProcess program;
        program.start(HEXLIFE_PROGRAM, {"a.rle", "b.rle"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(QString::fromUtf8(program.readAllStandardError()).contains("только один файл"));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("DISPLAY", ":4242");
        program.setProcessEnvironment(environment);
        program.start(HEXLIFE_PROGRAM, {});
        QVERIFY(program.waitForFinished(30000));
        const QString error = QString::fromUtf8(program.readAllStandardError()).trimmed();
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(!error.contains('\n') && error.contains("нет дисплея") && error.contains(":4242"), qPrintable(error));
    }
};

QTEST_MAIN(CommandsTest)
#include "test_commands.moc"
