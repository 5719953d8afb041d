// The pattern grid at both scales, the editor's hit test and its drawing,
// and the start preview, in pixels of the boxes' images.
#include <QtTest>

#include <QPushButton>

#include "app/main_window.h"
#include "editor/pattern_grid.h"
#include "surface/picture_box.h"

using namespace hexlife;

namespace {

const QRgb Red = ToQRgb(LiveColor);

// The pixels of the square of half side `half` around a centre.
QVector<QRgb> Block(const Surface& s, int x, int y, int half)
{
    QVector<QRgb> pixels;
    for (int dy = -half; dy <= half; ++dy) {
        for (int dx = -half; dx <= half; ++dx) {
            pixels.append(s.pixel(x + dx, y + dy));
        }
    }
    return pixels;
}

// Opens the editor through the preview, as a user would before any Start.
void OpenEditor(MainWindow& w)
{
    w.Picture4_MouseUp(1, 0, 0, 0);
}

}  // namespace

class EditorTest : public QObject {
    Q_OBJECT
private slots:
    void centres_data()
    {
        QTest::addColumn<int>("cell");
        QTest::addColumn<QPoint>("editor");
        QTest::addColumn<QPoint>("preview");
        QTest::newRow("0") << 0 << QPoint(5, 10) << QPoint(4, 8);
        QTest::newRow("1") << 1 << QPoint(5, 20) << QPoint(4, 16);
        QTest::newRow("10") << 10 << QPoint(5, 110) << QPoint(4, 88);
        QTest::newRow("11") << 11 << QPoint(14, 5) << QPoint(11, 4);
        QTest::newRow("21") << 21 << QPoint(14, 105) << QPoint(11, 84);
        QTest::newRow("47") << 47 << QPoint(41, 40) << QPoint(32, 32);
        QTest::newRow("143") << 143 << QPoint(122, 5) << QPoint(95, 4);
        QTest::newRow("153") << 153 << QPoint(122, 105) << QPoint(95, 84);
    }
    void centres()
    {
        QFETCH(int, cell);
        QFETCH(QPoint, editor);
        QFETCH(QPoint, preview);
        MainWindow w;
        QCOMPARE(QPoint(w.EditorCellX[cell], w.EditorCellY[cell]), editor);
        QCOMPARE(QPoint(w.PreviewCellX[cell], w.PreviewCellY[cell]), preview);
    }

    void hitTest()
    {
        MainWindow w;
        const auto& xs = w.EditorCellX;
        const auto& ys = w.EditorCellY;
        for (int i = 0; i <= PatternLast; ++i) {
            const int j = i % 11;
            QCOMPARE(EditorHitTest(xs[i], ys[i], xs, ys), i);
            // 5 pixels above: a tie with the cell above, which has the lower number.
            QCOMPARE(EditorHitTest(xs[i], ys[i] - 5, xs, ys), j == 0 ? i : i - 1);
            QCOMPARE(EditorHitTest(xs[i], ys[i] + 5, xs, ys), i);
            QCOMPARE(EditorHitTest(xs[i], ys[i] + 5.01, xs, ys), j == 10 ? -1 : i + 1);
        }
        QCOMPARE(EditorHitTest(5, 15, xs, ys), 0);
        for (QPointF between : {QPointF(0, 0), QPointF(10, 0), QPointF(9.5, 7.5), QPointF(130, 60)}) {
            QCOMPARE(EditorHitTest(between.x(), between.y(), xs, ys), -1);
        }
    }

    // The lowest cell of every column can be toggled too.
    void clicksToggle()
    {
        MainWindow w;
        OpenEditor(w);
        w.Picture3_MouseUp(1, 0, 5, 110);
        w.Picture3_MouseUp(2, 0, 14, 105);
        w.Picture3_MouseUp(4, 1, 5, 105);
        QCOMPARE(w.PatternCells[10], std::int8_t(1));
        QCOMPARE(w.PatternCells[21], std::int8_t(1));
        QCOMPARE(w.PatternCells[9], std::int8_t(1));
        w.Picture3_MouseUp(1, 0, 5, 110);
        QCOMPARE(w.PatternCells[10], std::int8_t(0));
        const auto before = w.PatternCells;
        w.Picture3_MouseUp(1, 0, 60, 0);  // between cells: nothing
        QCOMPARE(w.PatternCells, before);
    }

    void editorPixels()
    {
        MainWindow w;
        OpenEditor(w);
        const Surface& editor = w.Picture3->surface();
        const int x = w.EditorCellX[47], y = w.EditorCellY[47];
        const QRgb grid = ToQRgb(GridColor), white = ToQRgb(EmptyColor);
        // An empty cell: a white ring of radius 4 inside the grid ring of radius 5.
        QCOMPARE(editor.pixel(x + 5, y), grid);
        QCOMPARE(editor.pixel(x, y - 5), grid);
        QCOMPARE(editor.pixel(x + 4, y), white);
        QVERIFY(!Block(editor, x, y, 4).contains(Red));
        const QVector<QRgb> empty = Block(editor, x, y, 5);

        w.MarkHalfSize = 2;
        w.Picture3_MouseUp(1, 0, x, y);  // live by a click
        QCOMPARE(w.MarkHalfSize, 3);
        const QVector<QRgb> clicked = Block(editor, x, y, 5);
        QCOMPARE(Block(editor, x, y, 3), QVector<QRgb>(49, Red));
        QCOMPARE(editor.pixel(x + 4, y), Red);
        QCOMPARE(editor.pixel(x + 5, y), grid);

        // A full redraw adds the circle of radius 3, which lies inside the
        // square here: the cell looks the same as right after the click.
        OpenEditor(w);
        QCOMPARE(Block(editor, x, y, 5), clicked);

        w.Picture3_MouseUp(1, 0, x, y);  // and back: white inside the same ring
        QCOMPARE(Block(editor, x, y, 5), empty);
    }

    void previewPixelsAndMarkSize()
    {
        MainWindow w;
        // «Пуск» shows the pattern in the preview.
        PatternArray one{};
        one[0] = 1;
        w.Work->openEditor(one);
        w.Work->start();
        QCOMPARE(w.MarkHalfSize, 2);
        w.DrawPreview();
        const Surface& preview = w.Picture4->surface();
        const QRgb grid = ToQRgb(GridColor);
        QCOMPARE(Block(preview, 4, 8, 2), QVector<QRgb>(25, Red));
        QCOMPARE(preview.pixel(4 + 3, 8), Red);  // the circle of radius 3
        QVERIFY(preview.pixel(4 + 3, 8 + 3) != Red);  // outside a square of half side 2
        QCOMPARE(preview.pixel(4 + 4, 8), grid);
        QVERIFY(preview.pixel(4 + 7, 4) != Red);  // an empty cell is not filled
        QCOMPARE(preview.pixel(4 + 7 + 4, 4), grid);

        // After any click in the editor the square has half side 3; its
        // corners lie on the grid ring, drawn last, so the cell looks the same.
        const QVector<QRgb> before = Block(preview, 4, 8, 4);
        OpenEditor(w);
        w.Picture3_MouseUp(1, 0, 200, 200);
        QCOMPARE(w.MarkHalfSize, 3);
        w.DrawPreview();
        QCOMPARE(Block(preview, 4, 8, 2), QVector<QRgb>(25, Red));
        QCOMPARE(preview.pixel(4 + 3, 8 + 3), grid);
        QCOMPARE(Block(preview, 4, 8, 4), before);
    }

    void previewClickBeforeAnyStart()
    {
        MainWindow w;
        w.show();
        QTest::mouseClick(w.Picture4, Qt::LeftButton, {}, QPoint(50, 50));
        QVERIFY(w.Picture3->isVisible() && w.Picture3->isEnabled());
        QVERIFY(w.Command1->isEnabled());
        QVERIFY(!w.Timer1->isActive());
        // The editor shows 154 empty cells: every centre has its white ring.
        for (int i = 0; i <= PatternLast; ++i) {
            QCOMPARE(w.Picture3->surface().pixel(w.EditorCellX[i] + 4, w.EditorCellY[i]),
                     ToQRgb(EmptyColor));
        }
    }
};

QTEST_MAIN(EditorTest)
#include "test_editor.moc"
