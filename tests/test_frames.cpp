// What reaches the screen: during a run at most one repaint per display
// frame, each showing one generation with its own count; after every way a
// run can stop, the last generation and the final count once the screen settles; and
// partial repaints that leave the screen exactly as a full repaint would, at
// any scale. Run offscreen, at fractional scale factors, and on a real X
// server (see CMakeLists.txt).
#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QBackingStore>
#include <QScreen>

#include "field_helpers.h"
#include "figures/catalogue.h"
#include "reference/reference_engine.h"
#include "screen/frame_pacer.h"
#include "x_server.h"

using namespace hexlife;
using namespace testing;

namespace {

// The window as it stands on the screen: read back from the X server on a
// real display; offscreen, the backing store's image, in device pixels.
QImage OnScreen(MainWindow& w)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QPaintDevice* device = w.backingStore()->paintDevice();
        if (device->devType() != QInternal::Image) {
            return {};
        }
        return static_cast<QImage*>(device)->convertToFormat(QImage::Format_RGB32);
    }
    return w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The screen once the repaints pending now have reached it: a pixel asked
// to be repainted as well, the next frame the pacer lets through paints
// every change pending with it. Waited for as long as a loaded machine
// takes; a null image if no frame comes.
QImage AfterNextFrame(MainWindow& w)
{
    const int frames = w.Pacer->framesShown();
    w.update(QRect(0, 0, 1, 1));
    if (!QTest::qWaitFor([&] { return w.Pacer->framesShown() > frames && !w.Pacer->holding(); }, 30000)) return {};
    return OnScreen(w);
}

// Lets the pending repaints reach the screen, then compares the screen with
// a full repaint of the whole window: the first device pixel that differs,
// or nothing.
QString ScreenDiffers(MainWindow& w)
{
    const QImage screen = AfterNextFrame(w);
    w.repaint();
    const QImage full = AfterNextFrame(w);
    if (screen.size() != full.size() || screen.isNull()) {
        return QString("the screen's image is %1x%2, the full repaint's %3x%4")
            .arg(screen.width()).arg(screen.height()).arg(full.width()).arg(full.height());
    }
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) {
            if (screen.pixel(x, y) != full.pixel(x, y)) {
                return QString("device pixel (%1, %2): the screen shows %3, a full repaint %4")
                    .arg(x).arg(y).arg(screen.pixel(x, y), 0, 16).arg(full.pixel(x, y), 0, 16);
            }
        }
    }
    return {};
}

// Paints of one widget while a run goes, each checked against the model.
class PaintWatch : public QObject {
public:
    PaintWatch(MainWindow& w, const std::vector<FieldArray>& drawn) : w_(w), drawn_(drawn)
    {
        w.Picture1->installEventFilter(this);
    }
    int frames = 0;  // repaints of the field that showed a new generation
    QString fault;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && w_.Timer1->isActive()) {
            // After tick t the count is t and the field shows what tick t drew.
            // One repaint may paint the field in several passes (the count's
            // label overlaps its top row); they show the same generation.
            const int count = w_.Label1->text().toInt();
            if (count == lastCount_) {
                return false;
            }
            lastCount_ = count;
            ++frames;
            if (fault.isEmpty() && (count < 1 || count > int(drawn_.size()) || !Shows(drawn_[count - 1]))) {
                fault = QString("a repaint shows the count %1 with another generation").arg(count);
            }
        }
        return false;
    }

private:
    // Every cell's box has the colour of its state in `cells`.
    bool Shows(const FieldArray& cells) const
    {
        const QImage& field = w_.Picture1->surface().image();
        const QRgb live = ToQRgb(LiveColor), empty = ToQRgb(EmptyColor);
        for (int n = 0; n <= FieldLast; ++n) {
            const QRgb* row = reinterpret_cast<const QRgb*>(field.constScanLine(w_.FieldCellY[n] + 2));
            if (row[w_.FieldCellX[n] + 2] != (cells[n] != 0 ? live : empty)) {
                return false;
            }
        }
        return true;
    }
    int lastCount_ = 0;

    MainWindow& w_;
    const std::vector<FieldArray>& drawn_;
};

// The generations a run of `start` draws, tick by tick.
std::vector<FieldArray> DrawnGenerations(const FieldArray& start)
{
    reference::Run run;
    run.cells = start;
    std::vector<FieldArray> drawn;
    while (run.running) {
        reference::Tick(run);
        drawn.push_back(run.drawn);
    }
    return drawn;
}

void Choose(MainWindow& w, int figure) { QTest::mouseClick(w.Picture2[figure], Qt::LeftButton, {}, {20, 24}); }

}  // namespace

class FramesTest : public QObject {
    Q_OBJECT
private slots:
    void eachRepaintShowsOneGeneration()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Choose(w, 0);  // lives all 1001 cycles
        w.Command1_Click();
        const std::vector<FieldArray> drawn = DrawnGenerations(w.FieldCells);
        w.Picture2_MouseUp(0, 1, 0, 0, 0);
        PaintWatch watch(w, drawn);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY2(WaitFor([&] { return !w.Timer1->isActive(); }, 60000), "waited 60 s for the run to end");
        const double seconds = clock.nsecsElapsed() / 1e9;
        QCOMPARE(w.Label1->text(), QStringLiteral("1001"));
        QVERIFY2(watch.fault.isEmpty(), qPrintable(watch.fault));
        const double rate = 1e9 / double(w.Pacer->framePeriodNs());
        qInfo("%d field repaints in %.3f s at %.1f Hz", watch.frames, seconds, rate);
        const QString counted = QString("%1 field repaints in %2 s at %3 Hz").arg(watch.frames).arg(seconds).arg(rate);
        QVERIFY2(watch.frames <= seconds * rate + 3, qPrintable(counted));
        QVERIFY2(watch.frames >= 30 * seconds - 2, qPrintable(counted));
    }

    void runEndIsOnScreen_data()
    {
        QTest::addColumn<QString>("stop");
        for (const char* stop : {"edge", "extinction", "1001 cycles", "figure chosen", "preview clicked"}) {
            QTest::newRow(stop) << QString(stop);
        }
    }
    void runEndIsOnScreen()
    {
        QFETCH(QString, stop);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage grid = w.Picture1->surface().image();
        // The first figure whose run ends the way asked for.
        int figure = stop == "1001 cycles" || stop.contains(' ') ? 0 : -1;
        for (int k = 0; figure < 0 && k < FigureCount; ++k) {
            w.Picture2_MouseUp(std::int16_t(k), 1, 0, 0, 0);
            w.Command1_Click();
            const reference::Run run = reference::RunToEnd(w.FieldCells);
            if ((stop == "extinction") == (run.liveCount == 0) && run.cycleCount <= CycleLimit) {
                figure = k;
            }
        }
        QVERIFY(figure >= 0);
        Choose(w, figure);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        if (stop.contains(' ') && stop != "1001 cycles") {
            QVERIFY(WaitFor([&] { return w.CycleCount >= 200; }, 30000));
            if (stop == "figure chosen") {
                Choose(w, 7);
            } else {
                QTest::mouseClick(w.Picture4, Qt::LeftButton, {}, {40, 40});
            }
        }
        QVERIFY2(WaitFor([&] { return !w.Timer1->isActive(); }, 60000), "waited 60 s for the run to end");
        const QString count = w.Label1->text();
        const QString differs = ScreenDiffers(w);
        QVERIFY2(differs.isEmpty(), qPrintable("after the run's end the screen does not show it: " + differs));
        QCOMPARE(w.Label1->text(), count);
        QCOMPARE(count, QString::number(w.CycleCount));
    }

    // Editor cells toggled one by one and field ticks, each shown by a
    // partial repaint, leave the screen as a full repaint paints it.
    void partialRepaintsAreExact()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Picture2_MouseUp(14, 1, 0, 0, 0);
        for (int i = 0; i <= PatternLast; i += 13) {
            w.Picture3_MouseUp(1, 0, w.EditorCellX[i], w.EditorCellY[i]);
            w.Picture3_MouseUp(1, 0, w.EditorCellX[(i * 7) % PatternCount], w.EditorCellY[(i * 7) % PatternCount]);
            const QString differs = ScreenDiffers(w);
            QVERIFY2(differs.isEmpty(), qPrintable(QString("after editor cell %1: %2").arg(i).arg(differs)));
        }
        w.Command1_Click();
        w.Timer1->stop();
        for (int tick = 0; tick < 12; ++tick) {
            w.Timer1_Timer();
            const QString differs = ScreenDiffers(w);
            QVERIFY2(differs.isEmpty(), qPrintable(QString("after tick %1: %2").arg(tick).arg(differs)));
        }
    }
};

QTEST_MAIN(FramesTest)
#include "test_frames.moc"
