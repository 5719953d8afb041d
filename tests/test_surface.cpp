// The drawing surface: exact pixels of each operation, and change reporting.
#include <QtTest>

#include "model.h"
#include "surface/picture_box.h"

using namespace hexlife;

namespace {
const QRgb White = qRgb(255, 255, 255);
const QRgb Red = ToQRgb(LiveColor);

int CountColour(const Surface& s, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < s.size().height(); ++y) {
        for (int x = 0; x < s.size().width(); ++x) {
            count += s.pixel(x, y) == colour;
        }
    }
    return count;
}
}  // namespace

class SurfaceTest : public QObject {
    Q_OBJECT
private slots:
    void colourLayout()
    {
        QCOMPARE(ToQRgb(RGB(222, 11, 11)), qRgb(222, 11, 11));
        QCOMPARE(RGB(182, 181, 211), Color(0x00D3B5B6));
    }

    void fillBoxIncludesBothCorners()
    {
        Surface s(QSize(20, 20), Qt::white);
        s.fillBox(7, 6, 3, 2, LiveColor);  // corners in any order
        QCOMPARE(CountColour(s, Red), 5 * 5);
        QCOMPARE(s.pixel(3, 2), Red);
        QCOMPARE(s.pixel(7, 6), Red);
        QCOMPARE(s.pixel(8, 6), White);
        s.fillBox(-5, -5, 30, 1, LiveColor);  // clipped, not written outside
        QCOMPARE(s.pixel(19, 1), Red);
        s.fillBox(9.6, 9.4, 10.4, 10.5, EmptyColor);  // fractions round to the nearest pixel
        QCOMPARE(s.pixel(10, 9), White);
    }

    void circleIsAOneRingOutline()
    {
        Surface s(QSize(30, 30), Qt::white);
        s.circle(10.93, 12, 4, LiveColor);  // centre rounds to (11, 12)
        for (auto [x, y] : {std::pair{15, 12}, {7, 12}, {11, 16}, {11, 8}}) {
            QCOMPARE(s.pixel(x, y), Red);
        }
        QCOMPARE(s.pixel(11, 12), White);
        QCOMPARE(s.pixel(16, 12), White);
        // Symmetric and closed: every row between the poles has its two edges.
        for (int y = 8; y <= 16; ++y) {
            int left = -1, right = -1;
            for (int x = 0; x < 30; ++x) {
                if (s.pixel(x, y) == Red) {
                    right = x;
                    left = left < 0 ? x : left;
                }
            }
            QVERIFY(left >= 0);
            QCOMPARE(11 - left, right - 11);
        }
        s.circle(-2, -2, 3, LiveColor);  // partly outside: clipped
    }

    void lineIncludesBothEnds()
    {
        Surface s(QSize(20, 20), Qt::white);
        s.line(2, 3, 8, 3, GridColor);
        QCOMPARE(CountColour(s, ToQRgb(GridColor)), 7);
        s.line(4, 0, 4, 19, GridColor);
        QCOMPARE(s.pixel(4, 19), ToQRgb(GridColor));
    }

    void reportsChanges()
    {
        Surface s(QSize(20, 20), Qt::white);
        s.takeDirty();
        int calls = 0;
        s.setChangeHandler([&](bool) { ++calls; });
        s.fillBox(1, 1, 2, 2, LiveColor);
        s.fillBox(10, 12, 11, 13, LiveColor);
        QCOMPARE(calls, 2);
        QCOMPARE(s.takeDirty(), QRect(QPoint(1, 1), QPoint(11, 13)));
        s.clear();
        QCOMPARE(calls, 3);
        QCOMPARE(CountColour(s, White), 400);
    }

    // What is drawn on a shown box reaches the screen: the changed area is
    // repainted after the event, whenever the drawing happens.
    void shownBoxRepaintsWhatChanges()
    {
        QWidget window;
        window.resize(100, 100);
        PictureBox box(&window);
        box.place(QRect(10, 10, 60, 60));
        box.setBorder(true);
        box.surface().fillBox(1, 1, 3, 3, LiveColor);  // before the first show
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        struct PaintWatch : QObject {
            QRegion painted;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Paint) {
                    painted += static_cast<QPaintEvent*>(e)->region();
                }
                return false;
            }
        } watch;
        box.installEventFilter(&watch);
        for (int round = 0; round < 3; ++round) {
            watch.painted = QRegion();
            box.surface().fillBox(20 + round, 30, 24, 34, LiveColor);
            QTRY_VERIFY(watch.painted.contains(QRect(QPoint(21 + round, 31), QPoint(25, 35))));
        }
        QCOMPARE(box.grab().toImage().pixel(2, 2), Red);  // image pixel (1, 1) inside the border
    }
};

QTEST_MAIN(SurfaceTest)
#include "test_surface.moc"
