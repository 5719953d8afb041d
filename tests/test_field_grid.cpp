// Field numbering, inner-box geometry and the hexagonal neighbourhood.
#include <QtTest>

#include <algorithm>

#include "engine/field_grid.h"

using namespace hexlife;

class FieldGridTest : public QObject {
    Q_OBJECT
private slots:
    void sampleCells_data()
    {
        QTest::addColumn<int>("cell");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("0") << 0 << 0 << 0 << 1 << 4;
        QTest::newRow("113") << 113 << 0 << 113 << 1 << 682;
        QTest::newRow("114") << 114 << 1 << 0 << 7 << 1;
        QTest::newRow("16871") << 16871 << 147 << 113 << 883 << 679;
    }
    void sampleCells()
    {
        QFETCH(int, cell);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(int, x);
        QFETCH(int, y);
        QCOMPARE(FieldColumnOf(cell), column);
        QCOMPARE(FieldRowOf(cell), row);
        QCOMPARE(FieldCellNumber(column, row), cell);
        const PixelPoint origin = FieldInnerBoxOrigin(column, row);
        QCOMPARE(origin.x, x);
        QCOMPARE(origin.y, y);
    }

    void neighbourLists()
    {
        auto list = [](int c, int r) {
            QVector<QPair<int, int>> cells;
            for (const FieldPosition& p : FieldNeighbours(c, r)) {
                cells.append({p.column, p.row});
            }
            return cells;
        };
        const QVector<QPair<int, int>> even{{1, 5}, {1, 6}, {3, 5}, {3, 6}, {2, 4}, {2, 6}};
        const QVector<QPair<int, int>> odd{{2, 5}, {2, 4}, {4, 5}, {4, 4}, {3, 4}, {3, 6}};
        QCOMPARE(list(2, 5), even);
        QCOMPARE(list(3, 5), odd);
    }

    void neighbourhoodIsSymmetricAndTouching()
    {
        for (int c = 1; c <= FieldColInnerLast; ++c) {
            for (int r = 1; r < FieldPosLast; ++r) {
                for (const FieldPosition& p : FieldNeighbours(c, r)) {
                    const auto back = FieldNeighbours(p.column, p.row);
                    const bool found = std::any_of(back.begin(), back.end(), [&](auto q) {
                        return q.column == c && q.row == r;
                    });
                    QVERIFY2(found, qPrintable(QString("(%1,%2) -> (%3,%4)")
                                                   .arg(c).arg(r).arg(p.column).arg(p.row)));
                    // Neighbours' boxes are one pitch apart vertically, or in the
                    // next column and at most a half pitch up or down.
                    const PixelPoint a = FieldInnerBoxOrigin(c, r);
                    const PixelPoint b = FieldInnerBoxOrigin(p.column, p.row);
                    const int dx = std::abs(a.x - b.x), dy = std::abs(a.y - b.y);
                    QVERIFY((dx == 0 && dy == 6) || (dx == 6 && dy == 3));
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(FieldGridTest)
#include "test_field_grid.moc"
