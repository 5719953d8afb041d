// The table of commands: every command's keys and its menu entry do the
// same in every state of a run, and nothing where the command is disabled;
// the context menu and where it opens; the key list and the manual page
// held to the table; Qt's dialogs in Russian in any locale; the inputs that
// used to be taken silently or named wrongly.
#include <QtTest>

#include <algorithm>
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
#include <QHeaderView>
#include <QTreeView>

#include "app/russian.h"
#include "commands/command_table.h"
#include "ui/search_window.h"
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

    // Esc closes the program's other windows, the plot, the key list and
    // the search window, with a selection on the field or without; the
    // selection stays. In the main window it selects nothing.
    void escapeClosesOtherWindows()
    {
        for (bool selected : {false, true}) {
            MainWindow w;
            Prepare(w, Setup::Paused);
            const CellRect cells{40, 30, 60, 50};
            if (selected) w.SelectCells(cells);
            w.ShowPlot();
            w.ShowKeyList();
            w.ShowSearch();
            for (QWidget* other : {static_cast<QWidget*>(w.Plot), static_cast<QWidget*>(w.KeyList),
                                   static_cast<QWidget*>(w.Search)}) {
                QVERIFY(ActivateWindow(other));
                QTest::keyClick(other->focusWidget() != nullptr ? other->focusWidget() : other, Qt::Key_Escape);
                QTRY_VERIFY2(!other->isVisible(), other->metaObject()->className());
                QCOMPARE(w.Selection, selected ? cells : CellRect{});
            }
            QVERIFY(w.isVisible());
            QVERIFY(ActivateWindow(&w));
            QTest::keyClick(&w, Qt::Key_Escape);
            QVERIFY(w.isVisible() && w.Selection.empty());
        }
    }

    // The saved picture of the field is its grid: every outermost row and
    // column of the PNG holds grid lines, and what the field's image holds
    // beyond it is blank; inside, it is the field's image pixel for pixel.
    void savedFieldPictureIsTheGrid()
    {
        QTemporaryDir dir;
        MainWindow w;
        Prepare(w, Setup::Paused);
        for (int i = 0; i < 40; ++i) w.RunStep();
        const QString path = dir.filePath("field.png");
        const QStringList seen = Dismissed([&] { w.SaveFieldPng(); }, [&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog != nullptr);
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(seen.size(), 1);
        QImage png(path);
        QVERIFY(!png.isNull());
        png = png.convertToFormat(QImage::Format_RGB32);
        const QImage field = w.Picture1->surface().image().convertToFormat(QImage::Format_RGB32);
        const QRgb grid = ToQRgb(GridColor), background = field.pixel(field.width() - 1, field.height() - 1);
        QVERIFY(png.width() < field.width() && png.height() < field.height());
        auto count = [&](const QImage& image, QRect area, QRgb colour) {
            int n = 0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) n += image.pixel(x, y) == colour;
            }
            return n;
        };
        const QRect edges[] = {{0, 0, png.width(), 1}, {0, png.height() - 1, png.width(), 1},
                               {0, 0, 1, png.height()}, {png.width() - 1, 0, 1, png.height()}};
        for (const QRect& edge : edges) {
            // A grid line along the edge, or a line's end every cell.
            QVERIFY2(count(png, edge, grid) >= std::max(edge.width(), edge.height()) / (2 * FieldHalfPitch),
                     qPrintable(QString("%1,%2 %3×%4").arg(edge.x()).arg(edge.y()).arg(edge.width()).arg(edge.height())));
            QCOMPARE(count(png, edge, background), std::max(edge.width(), edge.height()) - count(png, edge, grid));
        }
        // The left edge is the grid's line the box's border stands for.
        QCOMPARE(count(png, edges[2], grid), png.height());
        for (int y = 0; y < png.height(); ++y) {
            for (int x = 1; x < png.width(); ++x) {
                if (png.pixel(x, y) != field.pixel(x, y)) QFAIL(qPrintable(QString("pixel %1,%2 differs").arg(x).arg(y)));
            }
        }
        const QRect right(png.width(), 0, field.width() - png.width(), field.height());
        const QRect below(0, png.height(), field.width(), field.height() - png.height());
        QCOMPARE(count(field, right, background), right.width() * right.height());
        QCOMPARE(count(field, below, background), below.width() * below.height());
        // Live cells are in it.
        QVERIFY(count(png, png.rect(), ToQRgb(LiveColor)) > 0);
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
            if (command.group == CommandGroup::Help) {
                QVERIFY(w.Command5->toolTip().contains(CommandTable::KeysText(command.keys) + " — " + command.text.toLower()));
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
        // The program's own dialog lists a folder's files with Russian sizes,
        // types and dates, whatever the locale, in columns that hold them.
        QTemporaryDir dir;
        const struct {
            const char* name;
            qint64 bytes;
            const char* size;
            const char* type;
        } files[] = {
            {"a.rle", 153, "153 байта", "Фигура RLE"},   {"b.RLE", 41640, "40,7 КБ", "Фигура RLE"},
            {"c.png", 1, "1 байт", "Картинка PNG"},        {"d.txt", 22, "22 байта", "Текстовый файл"},
            {"e.dat", 0, "0 байт", "Файл DAT"},            {"f", 5, "5 байт", "Файл"},
            {"g.bin", 5LL << 30, "5 ГБ", "Файл BIN"},      {"Фигуры", -1, "", "Папка"},
        };
        for (const auto& f : files) {
            if (f.bytes < 0) {
                QVERIFY(QDir(dir.path()).mkdir(f.name));
            } else {
                QFile file(dir.filePath(f.name));
                QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(f.bytes));  // sparse: no 5 GB written
            }
            QCOMPARE(files::RussianFileType(QFileInfo(dir.filePath(f.name))), QString(f.type));
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
            return rows.size() == int(std::size(files)) && !rows.join('\n').contains(" |  | 2");
        }, 10000));
        const QString today = QDate::currentDate().toString("dd.MM.yyyy");
        for (const auto& f : files) {
            const QString start = QString("%1 | %2 | %3 | %4 ").arg(f.name, f.size, f.type, today);
            QVERIFY2(std::any_of(rows.begin(), rows.end(), [&](const QString& row) { return row.startsWith(start); }),
                     qPrintable(start + " not in\n" + rows.join('\n')));
        }
        // Each column is as wide as its widest text.
        QVERIFY(QTest::qWaitForWindowExposed(ours.get()));
        const QAbstractItemView* view = list;
        int columns = 0;
        for (int c = 0; c <= 3; ++c) {
            QVERIFY2(c == 0 || list->header()->sectionSize(c) >= view->sizeHintForColumn(c),
                     qPrintable(QString("column %1: %2 < %3").arg(c).arg(list->header()->sectionSize(c)).arg(view->sizeHintForColumn(c))));
            columns += list->header()->sectionSize(c);
        }
        // And the dialog wide enough to show them all, on a screen that holds it.
        QVERIFY2(list->viewport()->width() >= columns,
                 qPrintable(QString("the list %1 px wide, its columns %2").arg(list->viewport()->width()).arg(columns)));
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

    // The program itself: two files, unknown options, and no display.
    void commandLineAndDisplay()
    {
        QProcess program;
        program.start(HEXLIFE_PROGRAM, {"a.rle", "b.rle"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(QString::fromUtf8(program.readAllStandardError()).contains("только один файл"));
        // Bad options exit with 2, as the search's do, named as typed.
        const struct {
            QStringList arguments;
            const char* named;
        } bad[] = {{{"--bogus"}, "«--bogus»"},       {{"-q"}, "«-q»"},
                   {{"a.rle", "--bogus=3"}, "«--bogus»"}, {{"--version=2"}, "--version"},
                   {{"--help", "--frob"}, "«--frob»"}};
        for (const auto& c : bad) {
            program.start(HEXLIFE_PROGRAM, c.arguments);
            QVERIFY(program.waitForFinished(30000));
            const QString error = QString::fromUtf8(program.readAllStandardError());
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QVERIFY2(program.exitCode() == 2 && error.contains(c.named) && error.contains("hexagonal-life --help"),
                     qPrintable(c.arguments.join(' ') + ": " + QString::number(program.exitCode()) + " " + error));
        }

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
