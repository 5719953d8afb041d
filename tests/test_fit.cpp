// The window fits the screen it opens on. Offscreen: the zoom commands, the
// size they give, clicks that still land on the cell under the pointer, the
// zoom remembered; a small screen fits the window smaller (run with a
// 1024 × 600 screen, see CMakeLists.txt). On real X servers with a window
// manager that keeps a taskbar (icewm): the framed window inside the work
// area, and a figure chosen and started by clicks at the scaled places runs
// to the reference's end, read back through the clipboard.
#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QScreen>
#include <set>

#include "field_helpers.h"
#include "reference/reference_engine.h"
#include "surface/picture_box.h"
#include "rle/rle.h"
#include "screen/window_scale.h"
#include "x_server.h"

using namespace hexlife;
using namespace testing;

namespace {

// Clicks every editor cell whose centre lies in the box at its scaled
// place: each toggles that cell and no other.
void EveryClickLands(MainWindow& w)
{
    w.Picture2_MouseUp(0, 1, 0, 0, 0);
    const double s = w.WindowScale;
    for (int i = 0; i <= PatternLast; ++i) {
        const QPoint at(int((w.EditorCellX[i] + 1 + 0.5) * s), int((w.EditorCellY[i] + 1 + 0.5) * s));
        if (!w.Picture3->rect().contains(at)) continue;
        const PatternArray before = w.PatternCells;
        QTest::mouseClick(w.Picture3, Qt::LeftButton, {}, at);
        for (int j = 0; j <= PatternLast; ++j) {
            QVERIFY2(w.PatternCells[j] == (j == i ? 1 - before[j] : before[j]),
                     qPrintable(QString("scale %1: a click on cell %2 changed cell %3").arg(s).arg(i).arg(j)));
        }
    }
}

QList<int> Numbers(const QByteArray& text)
{
    QList<int> numbers;
    for (const QByteArray& word : QByteArray(text).replace(',', ' ').replace('=', ' ').simplified().split(' ')) {
        bool ok = false;
        const int n = word.trimmed().toInt(&ok);
        if (ok) numbers << n;
    }
    return numbers;
}

// Empty where the window's content stands in its middle, its controls at
// their scaled places relative to each other; else what is off.
QString Uncentred(const MainWindow& w)
{
    const double s = w.WindowScale;
    const QPoint origin = w.Picture4->pos();  // the content's top left corner
    const int left = origin.x(), right = w.width() - (origin.x() + ScaledEdge(ClientWidth, s));
    const int top = origin.y(), bottom = w.height() - (origin.y() + ScaledEdge(ClientHeight, s));
    if (std::abs(left - right) > 1 || std::abs(top - bottom) > 1 || left < 0 || top < 0) {
        return QString("window %1 × %2 at scale %3: margins left %4 right %5 top %6 bottom %7")
            .arg(w.width()).arg(w.height()).arg(s).arg(left).arg(right).arg(top).arg(bottom);
    }
    const struct {
        const QWidget* control;
        int x, y;
    } places[] = {{w.Command1, 104, 0}, {w.Command3, 352, 0}, {w.Command5, 600, 0},
                  {w.Picture1, 96, 24},  {w.Picture2[25], 48, 96 + 48 * 12}, {w.Label4, 697, 0}};
    for (const auto& place : places) {
        const QPoint at = place.control->pos() - origin, expected(ScaledEdge(place.x, s), ScaledEdge(place.y, s));
        if (at != expected) {
            return QString("%1 at %2,%3 of the content, not %4,%5")
                .arg(place.control->accessibleName()).arg(at.x()).arg(at.y()).arg(expected.x()).arg(expected.y());
        }
    }
    return {};
}

}  // namespace

class FitTest : public QObject {
    Q_OBJECT
private slots:
    // Ctrl++ and Ctrl+- change the size in steps, Ctrl+0 restores 993 × 717;
    // clicks land at every scale; a new window opens at the zoom chosen.
    void zoomCommands()
    {
        {
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            w.ZoomReset();
            QCOMPARE(w.size(), QSize(ClientWidth, ClientHeight));
            QTest::keyClick(&w, Qt::Key_Equal, Qt::ControlModifier);
            QCOMPARE(w.WindowScale, 1.1);
            QCOMPARE(w.size(), QSize(qRound(ClientWidth * 1.1), qRound(ClientHeight * 1.1)));
            EveryClickLands(w);
            for (int i = 0; i < 3; ++i) QTest::keyClick(&w, Qt::Key_Minus, Qt::ControlModifier);
            QCOMPARE(w.WindowScale, 0.8);
            EveryClickLands(w);
        }
        {
            MainWindow again;
            again.show();
            QVERIFY(QTest::qWaitForWindowActive(&again));
            QCOMPARE(again.WindowScale, 0.8);
            QCOMPARE(again.size(), QSize(qRound(ClientWidth * 0.8), qRound(ClientHeight * 0.8)));
            QTest::keyClick(&again, Qt::Key_0, Qt::ControlModifier);
            QCOMPARE(again.size(), QSize(ClientWidth, ClientHeight));
        }
    }

    // Maximized, the content stands in the window's middle at the largest
    // scale the window holds, clicks landing; restored, at the window's top
    // left corner again, the window its fitted size.
    void maximizedIsCentred()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.ZoomReset();
        const QSize fitted = w.size();
        w.showMaximized();
        QTRY_VERIFY(w.isMaximized() && w.width() > fitted.width() && w.WindowScale > 1.0);
        QTRY_VERIFY2(Uncentred(w).isEmpty(), qPrintable(Uncentred(w)));
        QVERIFY(w.Picture4->x() > 0 || w.Picture4->y() > 0);
        EveryClickLands(w);
        w.showNormal();
        QTRY_VERIFY(!w.isMaximized() && w.size() == fitted);
        QCOMPARE(w.Picture4->pos(), QPoint(0, 0));
        QVERIFY2(Uncentred(w).isEmpty(), qPrintable(Uncentred(w)));
    }

    // On a screen too small for it the window takes one smaller scale.
    void fitsTheScreen()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect area = w.screen()->availableGeometry();
        if (area.height() >= ClientHeight) QSKIP("the screen holds the window: run with a small one");
        QVERIFY(w.WindowScale < 1.0);
        QVERIFY(w.frameGeometry().height() <= area.height() && w.frameGeometry().width() <= area.width());
        QVERIFY(!w.CanZoomIn());
        EveryClickLands(w);
        // A scale the screen imposed is not the user's: smaller, then larger
        // again, the window is as fitted, and what is remembered is the
        // step the user asked for, a tenth, at least the fitted scale, so
        // that a larger screen shows the window no smaller.
        const double fitted = w.WindowScale;
        QTest::keyClick(&w, Qt::Key_Minus, Qt::ControlModifier);
        QVERIFY(w.WindowScale < fitted);
        QTest::keyClick(&w, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(w.WindowScale, fitted);
        const double saved = QSettings("hexagonal-life", "hexagonal-life").value("zoom").toDouble();
        QVERIFY2(std::abs(saved * 10 - std::round(saved * 10)) < 1e-9 && saved >= fitted,
                 qPrintable(QString("fitted %1, remembered %2").arg(fitted).arg(saved)));
    }

    void realScreens_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("factor");
        QTest::newRow("1024 × 600") << "1024x600x24" << "1";
        QTest::newRow("1366 × 768") << "1366x768x24" << "1";
        QTest::newRow("1920 × 1080 at 150 %") << "1920x1080x24" << "1.5";
        QTest::newRow("1920 × 1080") << "1920x1080x24" << "1";
    }
    void realScreens()
    {
        QFETCH(QString, screen);
        QFETCH(QString, factor);
        if (qEnvironmentVariableIsEmpty("HEXLIFE_REAL_SCREENS")) QSKIP("real X servers: run as test_fit_real_screens");
        for (const char* tool : {"icewm", "xdotool", "xprop", "xclip", "wmctrl"}) {
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), qPrintable(QString("%1 is not installed").arg(tool)));
        }
        XServer x;
        QString error;
        const QString display = x.start(&error, screen);
        QVERIFY2(!display.isEmpty(), qPrintable(error));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        QProcess windowManager;
        windowManager.setProcessEnvironment(environment);
        windowManager.start("icewm", {});
        QByteArray workArea;
        QVERIFY2(WaitFor([&] { return Run("xprop", {"-root", "_NET_WORKAREA"}, display, &workArea) &&
                                      Numbers(workArea).size() >= 4; }, 15000),
                 "icewm set no work area");

        QTemporaryDir config;
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("QT_SCALE_FACTOR", factor);
        environment.insert("XDG_CONFIG_HOME", config.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(HEXLIFE_PROGRAM, {});
        QByteArray windows;
        QVERIFY2(WaitFor([&] { return Run("xdotool", {"search", "--onlyvisible", "--name", "Жизнь"}, display, &windows) &&
                                      !windows.trimmed().isEmpty(); }, 20000),
                 qPrintable("no window: " + program.readAllStandardError()));
        const QString window = QString::fromLatin1(windows.split('\n').first());
        // Fitted after the window manager has framed it.
        QByteArray geometry, extents;
        QList<int> g, e;
        const QList<int> area = Numbers(workArea).mid(0, 4);
        auto insideArea = [&](const QString& id) {
            if (!Run("xdotool", {"getwindowgeometry", "--shell", id}, display, &geometry) ||
                !Run("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}, display, &extents)) return false;
            g = Numbers(geometry);  // WINDOW X Y WIDTH HEIGHT SCREEN
            e = Numbers(extents);   // left right top bottom
            return g.size() >= 5 && e.size() == 4 && g[1] - e[0] >= area[0] && g[2] - e[2] >= area[1] &&
                   g[1] + g[3] + e[1] <= area[0] + area[2] && g[2] + g[4] + e[3] <= area[1] + area[3];
        };
        auto inside = [&] { return insideArea(window); };
        QVERIFY2(WaitFor(inside, 10000), qPrintable(QString("window %1 frame %2 work area %3")
                                                        .arg(geometry.simplified(), extents.simplified(), workArea.simplified())));
        const double scale = g[3] / double(ClientWidth);
        if (screen.startsWith("1920") && factor == "1") {
            QCOMPARE(g[3], ClientWidth);
            QCOMPARE(g[4], ClientHeight);
        } else {
            QVERIFY(scale < factor.toDouble());
        }

        // Figure 3 (it ends at the edge with live cells, which the copy needs)
        // chosen and started by clicks at the scaled places.
        const int figure = 2;
        MainWindow offscreen;
        offscreen.Picture2_MouseUp(figure, 1, 0, 0, 0);
        offscreen.Command1_Click();
        const reference::Run expected = reference::RunToEnd(offscreen.FieldCells);
        auto click = [&](double x, double y) {
            QVERIFY(Run("xdotool", {"mousemove", QString::number(g[1] + int(x * scale)), QString::number(g[2] + int(y * scale)),
                                    "click", "1"}, display));
        };
        click((figure % 2 ? 48 : 0) + 20.5, 96 + 48 * (figure / 2) + 24.5);
        click(148.5, 12.5);
        const QString end = QString("цикл %1\n").arg(expected.cycleCount);
        QByteArray copied;
        QVERIFY2(WaitFor([&] {
                     return Run("xdotool", {"key", "ctrl+shift+c"}, display) &&
                            Run("timeout", {"5", "xclip", "-o", "-selection", "clipboard"}, display, &copied) &&
                            QString::fromUtf8(copied).contains(end);
                 }, 30000),
                 qPrintable("the field copied: " + QString::fromUtf8(copied).left(200)));
        const rle::ParseResult parsed = rle::Parse(copied.toStdString());
        QVERIFY(parsed.cells);
        std::set<std::pair<std::int64_t, std::int64_t>> onScreen, drawn;
        for (const rle::LiveRun& run : parsed.cells->runs)
            for (std::int64_t xx = run.x1; xx <= run.x2; ++xx) onScreen.insert({xx, run.y});
        for (int n = 0; n <= FieldLast; ++n)
            if (expected.drawn[size_t(n)] == 1) {
                const rle::GollyCell c = rle::ToGolly(n / FieldColLen, n % FieldColLen);
                drawn.insert({c.x, c.y});
            }
        QVERIFY(onScreen == drawn);

        // The program's other windows open wholly in the work area, title
        // bars on the screen, beside the main window or where there is room;
        // Esc closes them.
        const std::pair<const char*, const char*> others[] = {
            {"F1", "Клавиши и команды"}, {"ctrl+g", "Ход колонии"}, {"ctrl+f", "Поиск фигур"}};
        for (const auto& [key, title] : others) {
            QByteArray found;
            QVERIFY(WaitFor([&] { return Run("xdotool", {"windowactivate", "--sync", window, "key", key}, display) &&
                                         Run("xdotool", {"search", "--onlyvisible", "--name", title}, display, &found) &&
                                         !found.trimmed().isEmpty(); }, 10000));
            const QString other = QString::fromLatin1(found.split('\n').first());
            QVERIFY2(WaitFor([&] { return insideArea(other); }, 10000),
                     qPrintable(QString("%1: %2 frame %3 work area %4")
                                    .arg(title, geometry.simplified(), extents.simplified(), workArea.simplified())));
        }
        // Esc closes each of them.
        for (const auto& [key, title] : others) {
            QByteArray found;
            QVERIFY(Run("xdotool", {"search", "--onlyvisible", "--name", title}, display, &found));
            const QString other = QString::fromLatin1(found.split('\n').first());
            QVERIFY2(WaitFor([&] {
                         Run("xdotool", {"windowactivate", "--sync", other, "key", "Escape"}, display);
                         return !Run("xdotool", {"search", "--onlyvisible", "--name", title}, display, &found) ||
                                found.trimmed().isEmpty();
                     }, 10000), qPrintable(QString("Esc left «%1» open").arg(title)));
        }
        QVERIFY(WaitFor(inside, 10000));  // the main window as it was

        // Maximized, the window fills the work area and shows the largest
        // scale it holds, in its middle: a thumbnail clicked at that scale
        // and place is chosen (its figure copied as RLE); restored, it is as
        // it was.
        const QList<int> fitted = g;
        QVERIFY(Run("wmctrl", {"-i", "-r", window, "-b", "add,maximized_vert,maximized_horz"}, display));
        // The frame reported may be the unmaximized one: the client's edges tell.
        QVERIFY2(WaitFor([&] {
                     return Run("xdotool", {"getwindowgeometry", "--shell", window}, display, &geometry) &&
                            (g = Numbers(geometry)).size() >= 5 && g[3] > fitted[3] &&
                            (g[1] + g[3] == area[0] + area[2] || g[2] + g[4] == area[1] + area[3]);
                 }, 10000), qPrintable(QString("maximized: window %1 work area %2").arg(geometry.simplified(), workArea.simplified())));
        const double largest = std::floor(std::min(g[3] / double(ClientWidth), g[4] / double(ClientHeight)) * 100 + 1e-9) / 100;
        // The content stands in the middle of the maximized window.
        const QPoint offset((g[3] - ScaledEdge(ClientWidth, largest)) / 2, (g[4] - ScaledEdge(ClientHeight, largest)) / 2);
        QVERIFY2(offset.x() > 41 * largest || offset.y() > 49 * largest,
                 "the window is maximized to the content's size: nothing tells centred from not");
        // On the screen: as many columns of the window's background left of
        // the content as right of it.
        QString margins;
        QVERIFY2(WaitFor([&] {
                     const QString file = config.filePath("maximized.png");
                     if (!Run("import", {"-window", window, file}, display)) return false;
                     const QImage shot = QImage(file).convertToFormat(QImage::Format_RGB32);
                     if (shot.width() != g[3]) return false;
                     const QRgb background = shot.pixel(0, shot.height() / 2);
                     auto blank = [&](int x) {
                         for (int y = 0; y < shot.height(); ++y) if (shot.pixel(x, y) != background) return false;
                         return true;
                     };
                     int left = 0, right = 0;
                     while (left < shot.width() && blank(left)) ++left;
                     while (right < shot.width() && blank(shot.width() - 1 - right)) ++right;
                     margins = QString("left %1, right %2 of %3 (offset %4)").arg(left).arg(right).arg(shot.width()).arg(offset.x());
                     return std::abs(left - right) <= 2 && std::abs(left - offset.x()) <= 1;
                 }, 10000), qPrintable("maximized, the content's margins: " + margins));
        // Figure 2's cells, whatever the header says.
        offscreen.Picture2_MouseUp(1, 1, 0, 0, 0);
        const QString figure2 = QString::fromStdString(rle::WritePattern(offscreen.PatternCells, "Фигура")).section('\n', 3);
        QByteArray pattern;
        QVERIFY2(WaitFor([&] {
                     return Run("xdotool", {"mousemove", QString::number(g[1] + offset.x() + int(68.5 * largest)),
                                            QString::number(g[2] + offset.y() + int(120.5 * largest)), "click", "1", "key", "ctrl+c"}, display) &&
                            Run("timeout", {"5", "xclip", "-o", "-selection", "clipboard"}, display, &pattern) &&
                            QString::fromUtf8(pattern).section('\n', 3) == figure2;
                 }, 10000),
                 qPrintable("copied at the maximized scale: " + QString::fromUtf8(pattern)));
        QVERIFY(Run("wmctrl", {"-i", "-r", window, "-b", "remove,maximized_vert,maximized_horz"}, display));
        QVERIFY2(WaitFor([&] { return inside() && g[3] == fitted[3] && g[4] == fitted[4]; }, 10000),
                 qPrintable(QString("restored: window %1").arg(geometry.simplified())));
        program.terminate();
        program.waitForFinished(5000);
        windowManager.terminate();
        windowManager.waitForFinished(5000);
    }
};

QTEST_MAIN(FitTest)
#include "test_fit.moc"
