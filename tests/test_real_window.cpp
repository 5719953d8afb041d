// Starts the built program on a real X server (Xvfb), acts on it with real
// pointer events (xdotool) and checks screenshots of the screen (ImageMagick)
// against what the program must show.
#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

#include "field_helpers.h"
#include "x_server.h"
#include "figures/catalogue.h"
#include "reference/reference_engine.h"

using namespace hexlife;
using testing::Run;
using testing::WaitFor;
using testing::XServer;

namespace {

// The field's image as it stands on the screen: Picture1 at (96, 24) inside its border.
QImage FieldOnScreen(const QImage& screen, QSize size)
{
    return screen.copy(QRect(QPoint(97, 25), size)).convertToFormat(QImage::Format_RGB32);
}

// Pixel for pixel, whatever the images' formats and colour spaces.
bool SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

class RealWindowTest : public QObject {
    Q_OBJECT
    XServer xserver_;
    QProcess program_;
    QString display_, window_;
    QTemporaryDir dir_;
    QByteArray programErrors_;

    QString ProgramErrors()
    {
        programErrors_ += program_.readAllStandardError();
        return QString::fromLocal8Bit(programErrors_).trimmed();
    }

    QImage Screenshot()
    {
        const QString file = dir_.filePath("screen.png");
        if (!Run("import", {"-window", "root", file}, display_)) {
            return {};
        }
        return QImage(file);
    }

    void Click(int x, int y)
    {
        QString error;
        QVERIFY2(Run("xdotool", {"mousemove", QString::number(x), QString::number(y), "click", "1"},
                     display_, nullptr, &error),
                 qPrintable(error));
    }

private slots:
    void initTestCase()
    {
        const QString program = QCoreApplication::applicationDirPath() + "/../hexagonal-life";
        QVERIFY2(QFile::exists(program), "the program is not built");
        for (const char* tool : {"xdotool", "import", "xprop"}) {
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                     qPrintable(QString("%1 is not installed: this test needs it").arg(tool)));
        }
        QString error;
        display_ = xserver_.start(&error);
        QVERIFY2(!display_.isEmpty(), qPrintable(error));
        QVERIFY2(Run("xdpyinfo", {}, display_, nullptr, &error), qPrintable("the X server does not answer: " + error));

        // The program starts with no locale at all, as in a bare container.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANG", "LANGUAGE", "LC_ALL", "LC_CTYPE", "LC_MESSAGES"}) {
            environment.remove(name);
        }
        environment.insert("DISPLAY", display_);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("XDG_RUNTIME_DIR", dir_.path());
        program_.setProcessEnvironment(environment);
        program_.setProcessChannelMode(QProcess::SeparateChannels);
        program_.start(program, {});
        QVERIFY2(program_.waitForStarted(), "the program does not start");
        // xdotool finds windows by WM_NAME, so this also needs that title right.
        QByteArray windows;
        const bool shown = WaitFor([&] {
            return program_.state() == QProcess::Running &&
                   Run("xdotool", {"search", "--onlyvisible", "--name", "Жизнь"}, display_, &windows) &&
                   !windows.trimmed().isEmpty();
        }, 15000);
        QVERIFY2(shown, qPrintable("waited 15 s for a visible window named «Жизнь»; the program's "
                                   "standard error: " + ProgramErrors()));
        window_ = QString::fromLatin1(windows.split('\n').first());
        // With no window manager the window stands at the screen's top-left corner.
        QByteArray geometry;
        QVERIFY(Run("xdotool", {"getwindowgeometry", "--shell", window_}, display_, &geometry));
        QVERIFY2(geometry.contains("X=0\n") && geometry.contains("Y=0\n"), geometry.constData());
    }

    void cleanupTestCase()
    {
        program_.kill();
        program_.waitForFinished();
    }

    // Both title properties name the window right, under no locale too.
    void titleInEveryLocale()
    {
        QByteArray properties;
        QVERIFY(Run("xprop", {"-id", window_, "WM_NAME", "_NET_WM_NAME"}, display_, &properties));
        const QString text = QString::fromUtf8(properties);
        QVERIFY2(text.contains(QString::fromUtf8("WM_NAME(COMPOUND_TEXT) = \"Шестигранная \"Жизнь\"\"")) ||
                     text.contains(QString::fromUtf8("WM_NAME(UTF8_STRING) = \"Шестигранная \\\"Жизнь\\\"\"")),
                 qPrintable(text));
        QVERIFY2(text.contains(QString::fromUtf8("_NET_WM_NAME(UTF8_STRING) = \"Шестигранная \\\"Жизнь\\\"\"")),
                 qPrintable(text));
    }

    void startUpShowsThumbnailsAndGrid()
    {
        MainWindow offscreen;  // the same start-up, drawn by the program's own code
        QImage screen;
        QVERIFY2(WaitFor([&] {
            return !(screen = Screenshot()).isNull() &&
                   FieldOnScreen(screen, offscreen.Picture1->surface().size()).pixel(7, 0) == ToQRgb(GridColor);
        }, 10000), "waited 10 s for a screenshot that shows the field's grid");
        for (int k = 0; k < FigureCount; ++k) {
            const QImage& thumbnail = offscreen.Picture2[k]->surface().image();
            const QPoint at(k % 2 == 0 ? 0 : 48, 96 + 48 * (k / 2));
            int red = 0;
            // The next row's box covers the last pixel row of each box, and
            // the window's bottom edge cuts off the last row of boxes.
            const int rows = k < 24 ? thumbnail.height() - 1 : 717 - at.y();
            for (int y = 0; y < rows; ++y) {
                for (int x = 0; x < thumbnail.width(); ++x) {
                    QVERIFY2(screen.pixel(at + QPoint(x, y)) == thumbnail.pixel(x, y),
                             qPrintable(QString("thumbnail %1 at (%2, %3)").arg(k).arg(x).arg(y)));
                    red += thumbnail.pixel(x, y) == ToQRgb(LiveColor);
                }
            }
            QVERIFY(red > 0);
        }
        const QImage grid = offscreen.Picture1->surface().image().copy(0, 0, 889, 689);
        QVERIFY(SamePixels(FieldOnScreen(screen, grid.size()), grid));
    }

    void aChosenFigureRunsToItsEnd_data()
    {
        QTest::addColumn<int>("figure");
        QTest::newRow("figure 23") << 23;
        QTest::newRow("figure 5") << 5;
    }
    void aChosenFigureRunsToItsEnd()
    {
        QFETCH(int, figure);
        MainWindow offscreen;
        offscreen.Picture2_MouseUp(std::int16_t(figure), 1, 0, 0, 0);
        offscreen.Command1_Click();
        const reference::Run run = reference::RunToEnd(offscreen.FieldCells);
        const QImage expected =
            testing::ExpectedField(offscreen.Picture1->surface().image(), run.drawn).copy(0, 0, 889, 689);

        Click((figure % 2 ? 48 : 0) + 20, 96 + 48 * (figure / 2) + 24);  // the thumbnail
        Click(104 + 44, 12);                                               // «Пуск»
        QImage screen;
        WaitFor([&] {
            return !(screen = Screenshot()).isNull() && SamePixels(FieldOnScreen(screen, expected.size()), expected);
        }, 20000);
        if (!SamePixels(FieldOnScreen(screen, expected.size()), expected)) {
            const QString saved = QCoreApplication::applicationDirPath() + "/real_window_failure.png";
            screen.save(saved);
            expected.save(QCoreApplication::applicationDirPath() + "/real_window_expected.png");
            QFAIL(qPrintable("waited 20 s for the field on the screen to show the last drawn "
                             "generation; see " + saved));
        }
    }

    // Closed by «Выход», the program ends with status 0 and no report of
    // the sanitizers (leaks in third-party libraries are suppressed by
    // tests/lsan.supp, never the program's own).
    void exitClosesCleanly()
    {
        Click(352 + 44, 12);
        QVERIFY2(program_.waitForFinished(20000),
                 qPrintable("waited 20 s for the program to end after «Выход»: " + ProgramErrors()));
        const QString errors = ProgramErrors();
        QCOMPARE(program_.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program_.exitCode() == 0, qPrintable(QString("exit status %1: %2").arg(program_.exitCode()).arg(errors)));
        for (const char* report : {"Sanitizer", "runtime error", "leak"}) {
            QVERIFY2(!errors.contains(QLatin1String(report)), qPrintable(errors));
        }
    }

    // «Выход» ends the process at once in every state: the time from the
    // click (xdotool's own start-up included) to the process's end,
    // measured with the real program, is held to a second, which leaves
    // room for a loaded machine; README gives the times measured.
    void exitIsPrompt_data()
    {
        QTest::addColumn<QString>("state");
        for (const char* state : {"fresh", "editing", "running", "paused", "ended", "plot", "search", "searching"}) {
            QTest::newRow(state) << state;
        }
    }
    void exitIsPrompt()
    {
        QFETCH(QString, state);
        QProcess program;
        // Leaks are looked for by exitClosesCleanly: LeakSanitizer's scan at
        // exit (0.1 to 0.8 s here) is not the program's to make shorter.
        QProcessEnvironment environment = program_.processEnvironment();
        environment.insert("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1");
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationDirPath() + "/../hexagonal-life", {});
        QVERIFY(program.waitForStarted());
        QByteArray found;
        auto windowNamed = [&](const QString& name) {
            return Run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(program.processId()), "--name", name},
                       display_, &found) && !found.trimmed().isEmpty();
        };
        QVERIFY2(WaitFor([&] { return windowNamed("Жизнь"); }, 15000), "no window");
        const QString window = QString::fromLatin1(found.split('\n').first());
        auto key = [&](const QString& target, const QStringList& keys) {
            QVERIFY(Run("xdotool", QStringList{"windowfocus", "--sync", target} + keys, display_));
        };
        // Figure 6 dies out at cycle 38.
        if (state != "fresh") Click(48 + 20, 96 + 48 * 2 + 24);
        if (state == "running" || state == "paused" || state == "ended" || state == "plot") Click(104 + 44, 12);
        if (state == "paused") key(window, {"key", "space"});
        if (state == "ended") {
            // The fate shown right of «Справка» once the run has ended.
            QVERIFY2(WaitFor([&] {
                         const QImage strip = Screenshot().copy(700, 4, 280, 18);
                         for (int y = 0; y < strip.height(); ++y)
                             for (int x = 0; x < strip.width(); ++x)
                                 if (qGray(strip.pixel(x, y)) < 100) return true;
                         return false;
                     }, 20000), "the run did not end");
        }
        if (state == "plot") {
            key(window, {"key", "ctrl+g"});
            QVERIFY(WaitFor([&] { return windowNamed("Ход колонии"); }, 15000));
        }
        if (state == "search" || state == "searching") {
            key(window, {"key", "ctrl+f"});
            QVERIFY(WaitFor([&] { return windowNamed("Поиск фигур"); }, 15000));
            // A 5 × 5 box: minutes of work, going when «Выход» is clicked.
            if (state == "searching") {
                key(QString::fromLatin1(found.split('\n').first()),
                    {"key", "ctrl+a", "type", "5"});
                QVERIFY(Run("xdotool", {"key", "Tab", "ctrl+a", "type", "5"}, display_));
                QVERIFY(Run("xdotool", {"key", "ctrl+Return"}, display_));
            }
        }
        QElapsedTimer clock;
        clock.start();
        Click(352 + 44, 12);
        QVERIFY2(program.waitForFinished(20000), "the program did not end");
        const qint64 ms = clock.elapsed();
        qInfo("%s: the process ended %lld ms after the click began", qPrintable(state), ms);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(ms <= 1000, qPrintable(QString("%1 ms").arg(ms)));
    }
};

QTEST_MAIN(RealWindowTest)
#include "test_real_window.moc"
