// The figure catalogue, its thumbnails in pixels, and choosing a figure.
#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <set>

#include "app/main_window.h"
#include "figures/catalogue.h"
#include "surface/picture_box.h"

using namespace hexlife;

namespace {

// The live cells of each figure, as the catalogue lists them beside its digits.
const QVector<QVector<int>> LiveLists = {
    {0, 1, 2, 8, 10, 11, 12, 13, 14, 18, 20, 21, 22}, {0, 1, 4, 6, 7, 13, 22},
    {1, 6, 7, 8, 9, 10, 14, 16, 17, 18, 19, 21}, {1, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 18, 19, 21},
    {1, 6, 7, 8, 9, 10, 13, 16, 17, 18, 19, 21}, {1, 6, 7, 8, 9, 10, 11, 12, 13, 16, 17, 18, 19, 21},
    {1, 2, 3, 6, 8, 10, 12, 16, 18, 21, 22, 23}, {0, 1, 2, 3, 6, 9, 11, 14, 16, 19, 20, 21, 22, 23},
    {5, 8, 10, 13, 15, 16, 17, 18}, {5, 9, 10, 14, 15, 16, 17, 18, 19},
    {0, 1, 2, 3, 7, 11, 12, 16, 18, 20, 23}, {5, 6, 7, 8, 9, 13, 19, 23},
    {0, 1, 2, 11, 12, 13, 20, 21, 22}, {0, 1, 2, 3, 11, 12, 13, 14, 20, 21, 22, 23},
    {0, 1, 2, 3, 4, 8, 12, 17, 20, 21, 22, 23, 24}, {0, 1, 2, 3, 8, 12, 17, 21, 22, 23, 24},
    {1, 2, 3, 4, 6, 11, 12, 13, 19, 20, 21, 22, 23}, {2, 3, 4, 7, 12, 13, 19, 20, 21, 22, 23},
    {0, 1, 5, 7, 8, 10, 11, 13, 15, 17, 18, 20, 21}, {0, 2, 6, 7, 10, 11, 12, 13, 14, 16, 17, 20, 22},
    {1, 2, 3, 6, 10, 16, 21, 22, 23}, {1, 2, 3, 4, 6, 10, 16, 21, 22, 23, 24},
    {1, 2, 6, 7, 8, 10, 11, 12, 13, 16, 17, 18, 21, 22}, {1, 2, 6, 8, 10, 13, 16, 18, 21, 22},
    {1, 3, 6, 9, 10, 11, 12, 13, 14, 16, 19, 21, 23}, {1, 2, 3, 10, 12, 14, 21, 22, 23},
};
const QVector<int> LiveCounts = {13, 7, 12, 15, 12, 14, 12, 14, 8, 9, 11, 8, 9,
                                 12, 13, 11, 13, 11, 13, 13, 9, 11, 14, 10, 13, 9};

QVector<int> LivePatternCells(const MainWindow& w)
{
    QVector<int> live;
    for (int i = 0; i <= 154; ++i) {
        if (w.PatternCells[i] != 0) {
            live.append(i);
        }
    }
    return live;
}

}  // namespace

class FiguresTest : public QObject {
    Q_OBJECT
private slots:
    void catalogue()
    {
        MainWindow w;
        std::set<QVector<std::int16_t>> distinct;
        for (int k = 0; k < 26; ++k) {
            QVector<std::int16_t> cells;
            QVector<int> live;
            for (int c = 0; c < 25; ++c) {
                const std::int16_t v = w.FigureLibrary[25 * k + c];
                QVERIFY(v == 0 || v == 1);
                cells.append(v);
                if (v == 1) {
                    live.append(c);
                }
            }
            QCOMPARE(live, LiveLists[k]);
            QCOMPARE(live.size(), LiveCounts[k]);
            distinct.insert(cells);
            const bool symmetric = QVector<int>{0, 2, 3, 4, 5, 6, 7, 12, 13, 18, 19, 20, 21, 22, 23, 24, 25}.contains(k);
            bool mirrored = true;
            for (int c = 0; c < 25; ++c) {
                mirrored = mirrored && cells[c] == cells[5 * (4 - c / 5) + c % 5];
            }
            QCOMPARE(mirrored, symmetric);
        }
        QCOMPARE(int(distinct.size()), 26);
        QVERIFY(std::all_of(w.FigureLibrary.begin() + 650, w.FigureLibrary.end(), [](auto v) { return v == 0; }));
        QCOMPARE(w.FigureLibrary[25], std::int16_t(1));
    }

    void thumbnails()
    {
        MainWindow w;
        const QRgb red = ToQRgb(LiveColor), grid = ToQRgb(GridColor);
        // The live markers of figure 1 and two of figure 0, rounded to pixels.
        const QVector<QPoint> figure1{{4, 8}, {4, 16}, {4, 40}, {11, 12}, {11, 20}, {18, 32}, {32, 24}};
        for (QPoint p : figure1) {
            QCOMPARE(w.Picture2[1]->surface().pixel(p.x(), p.y()), red);
        }
        QCOMPARE(w.Picture2[0]->surface().pixel(18, 8), red);
        QCOMPARE(w.Picture2[0]->surface().pixel(11, 28), red);
        for (int k = 0; k < 26; ++k) {
            const Surface& box = w.Picture2[k]->surface();
            for (int c = 0; c < 25; ++c) {
                const int col = c / 5, pos = c % 5;
                const int x = int(std::lround(4 + col * 4 * std::sqrt(3.0)));
                const int y = 4 * (1 + (col % 2 == 0 ? 1 : 0)) + 8 * pos;
                // Every cell has its outline (the top of its ring), live or not.
                QCOMPARE(box.pixel(x, y - 4), grid);
                const bool live = LiveLists[k].contains(c);
                QCOMPARE(box.pixel(x, y) == red, live);
                QCOMPARE(box.pixel(x + 3, y) == red, live);
            }
        }
        QCOMPARE(w.MarkHalfSize, 2);
        QVERIFY(!w.Timer1->isActive());
    }

    void selection_data()
    {
        QTest::addColumn<int>("figure");
        QTest::addColumn<QVector<int>>("live");
        QTest::newRow("0") << 0 << QVector<int>{47, 48, 49, 61, 69, 70, 71, 72, 73, 83, 91, 92, 93};
        QTest::newRow("1") << 1 << QVector<int>{47, 48, 51, 59, 60, 72, 93};
        QTest::newRow("25") << 25 << QVector<int>{48, 49, 50, 69, 71, 73, 92, 93, 94};
    }
    void selection()
    {
        QFETCH(int, figure);
        QFETCH(QVector<int>, live);
        MainWindow w;
        w.show();
        QTest::mouseClick(w.Picture2[figure], Qt::RightButton, {}, QPoint(40, 48));
        QCOMPARE(LivePatternCells(w), live);
        QVERIFY(w.Picture3->isVisible() && w.Command1->isEnabled());
        QCOMPARE(w.Picture3->surface().pixel(w.EditorCellX[live[0]], w.EditorCellY[live[0]]),
                 ToQRgb(LiveColor));
        // Edits are discarded when the same figure is chosen again.
        w.Picture3_MouseUp(1, 0, w.EditorCellX[0], w.EditorCellY[0]);
        w.Picture3_MouseUp(1, 0, w.EditorCellX[live[0]], w.EditorCellY[live[0]]);
        QVERIFY(LivePatternCells(w) != live);
        QTest::mouseClick(w.Picture2[figure], Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(LivePatternCells(w), live);
        QVERIFY(w.Picture3->surface().pixel(w.EditorCellX[0], w.EditorCellY[0]) != ToQRgb(LiveColor));
    }

    // A choice during a run stops it at once; field, count and preview stay.
    void choiceDuringARun()
    {
        MainWindow w;
        w.show();
        QTest::mouseClick(w.Picture2[2], Qt::LeftButton);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QTRY_VERIFY(w.CycleCount >= 10);
        QTest::mouseClick(w.Picture2[7], Qt::LeftButton);
        QVERIFY(!w.Timer1->isActive());
        const FieldArray field = w.FieldCells;
        const QImage fieldImage = w.Picture1->surface().image();
        const QImage preview = w.Picture4->surface().image();
        const QString count = w.Label1->text();
        QTest::qWait(30);
        QCOMPARE(w.FieldCells, field);
        QVERIFY(w.Picture1->surface().image() == fieldImage);
        QVERIFY(w.Picture4->surface().image() == preview);
        QCOMPARE(w.Label1->text(), count);
        QCOMPARE(count, QString::number(w.CycleCount));
    }
};

QTEST_MAIN(FiguresTest)
#include "test_figures.moc"
