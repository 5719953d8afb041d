// At a device pixel ratio of 2: pictures are shown as blocks of whole screen
// pixels, never smoothed, and clicks still hit the cells under the pointer.
#include <QtTest>

#include "app/main_window.h"
#include "surface/picture_box.h"

using namespace hexlife;

class HiDpiTest : public QObject {
    Q_OBJECT
private slots:
    void crispPixelsAndClickMapping()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.devicePixelRatioF(), 2.0);
        w.Picture2_MouseUp(4, 1, 0, 0, 0);

        // Every image pixel of the editor is a 2 x 2 block of one colour on screen.
        const QImage screen = w.Picture3->grab().toImage();
        const QImage& image = w.Picture3->surface().image();
        QCOMPARE(screen.size(), 2 * w.Picture3->size());
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                for (int d = 0; d < 4; ++d) {
                    QCOMPARE(screen.pixel(2 * (x + 1) + d % 2, 2 * (y + 1) + d / 2), image.pixel(x, y));
                }
            }
        }

        // A click on every cell centre, and half a logical pixel off it, toggles that cell.
        for (int i = 0; i <= PatternLast; ++i) {
            const std::int8_t before = w.PatternCells[i];
            const QPoint centre(w.EditorCellX[i] + 1, w.EditorCellY[i] + 1);
            if (centre.y() >= w.Picture3->height()) {
                continue;  // the lowest cells of the even columns lie below the box
            }
            QTest::mouseClick(w.Picture3, i % 2 ? Qt::LeftButton : Qt::RightButton, {}, centre);
            QCOMPARE(w.PatternCells[i], std::int8_t(1 - before));
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(centre) + QPointF(0.5, 0.5),
                              w.Picture3->mapToGlobal(QPointF(centre)), Qt::LeftButton,
                              Qt::LeftButton, {});
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(centre) + QPointF(0.5, 0.5),
                                w.Picture3->mapToGlobal(QPointF(centre)), Qt::LeftButton,
                                Qt::NoButton, {});
            QApplication::sendEvent(w.Picture3, &press);
            QApplication::sendEvent(w.Picture3, &release);
            QCOMPARE(w.PatternCells[i], before);
        }
    }
};

QTEST_MAIN(HiDpiTest)
#include "test_hidpi.moc"
