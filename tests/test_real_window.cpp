// Starts the built program on a real X server (Xvfb), acts on it with real
// pointer events (xdotool) and checks screenshots of the screen (ImageMagick)
// against what the program must show.
#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

#include "field_helpers.h"
#include "figures/catalogue.h"
#include "reference/reference_engine.h"

using namespace hexlife;

namespace {

bool Run(const QString& program, const QStringList& arguments, const QString& display,
         QByteArray* output = nullptr)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        qWarning() << program << arguments << "failed:" << process.readAllStandardError();
        return false;
    }
    if (output != nullptr) {
        *output = process.readAllStandardOutput();
    }
    return true;
}

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
    QProcess xvfb_, program_;
    QString display_;
    QTemporaryDir dir_;

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
        QVERIFY(Run("xdotool", {"mousemove", QString::number(x), QString::number(y), "click", "1"},
                    display_));
    }

private slots:
    void initTestCase()
    {
        const QString program = QCoreApplication::applicationDirPath() + "/../hexagonal-life";
        QVERIFY2(QFile::exists(program), "the program is not built");
        for (const char* tool : {"Xvfb", "xdotool", "import"}) {
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                     qPrintable(QString("%1 is not installed: this test needs a real X server").arg(tool)));
        }
        // Xvfb picks a free display itself and writes its number to standard output.
        xvfb_.setProcessChannelMode(QProcess::SeparateChannels);
        xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        QVERIFY2(xvfb_.waitForStarted(), "Xvfb does not start");
        QTRY_VERIFY_WITH_TIMEOUT(xvfb_.canReadLine() || xvfb_.state() != QProcess::Running, 15000);
        QVERIFY2(xvfb_.state() == QProcess::Running,
                 qPrintable("Xvfb ended at once, no X server to be had: " + xvfb_.readAllStandardError()));
        display_ = ":" + QString::fromLatin1(xvfb_.readLine().trimmed());
        QVERIFY2(Run("xdpyinfo", {}, display_), "the X server does not answer");

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display_);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        program_.setProcessEnvironment(environment);
        program_.start(program, {});
        QVERIFY(program_.waitForStarted());
        QByteArray windows;
        QTRY_VERIFY_WITH_TIMEOUT(Run("xdotool", {"search", "--onlyvisible", "--name", "Жизнь"}, display_, &windows) &&
                                     !windows.trimmed().isEmpty(),
                                 15000);
        // With no window manager the window stands at the screen's top-left corner.
        QByteArray geometry;
        QVERIFY(Run("xdotool", {"getwindowgeometry", "--shell", windows.split('\n').first()}, display_, &geometry));
        QVERIFY2(geometry.contains("X=0\n") && geometry.contains("Y=0\n"), geometry.constData());
    }

    void cleanupTestCase()
    {
        program_.kill();
        program_.waitForFinished();
        xvfb_.terminate();
        xvfb_.waitForFinished();
    }

    void startUpShowsThumbnailsAndGrid()
    {
        MainWindow offscreen;  // the same start-up, drawn by the program's own code
        QImage screen;
        QTRY_VERIFY_WITH_TIMEOUT(!(screen = Screenshot()).isNull() &&
                                     FieldOnScreen(screen, offscreen.Picture1->surface().size()).pixel(7, 0) ==
                                         ToQRgb(GridColor),
                                 10000);
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
        QElapsedTimer clock;
        clock.start();
        while (!((screen = Screenshot()).isNull() || SamePixels(FieldOnScreen(screen, expected.size()), expected)) &&
               clock.elapsed() < 20000) {
            QTest::qWait(200);
        }
        if (!SamePixels(FieldOnScreen(screen, expected.size()), expected)) {
            const QString saved = QCoreApplication::applicationDirPath() + "/real_window_failure.png";
            screen.save(saved);
            expected.save(QCoreApplication::applicationDirPath() + "/real_window_expected.png");
            QFAIL(qPrintable("the field on the screen is not the last drawn generation; see " + saved));
        }
    }
};

QTEST_MAIN(RealWindowTest)
#include "test_real_window.moc"
