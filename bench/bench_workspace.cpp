// The field as a workspace, timed: a click on a field cell until the cell
// is painted on the window (the press and release handlers, the run going
// on from the edit, the repaint of the cell), beside a click in the editor
// measured the same way in the same run; and opening a whole 148 × 114
// field of RLE onto the field until it is painted, beside opening a small
// pattern into the editor. On the offscreen platform, a Release build, run
// by hand (scripts/bench.sh).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QUndoStack>

#include "app/main_window.h"
#include "engine/field_edit.h"
#include "rle/pattern_files.h"
#include "rle/rle.h"
#include "surface/picture_box.h"

using namespace hexlife;
using Clock = std::chrono::steady_clock;

namespace {

struct Spread {
    double low, median, high;
};
Spread Of(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

void Print(const char* what, Spread s, const char* target)
{
    std::printf("%-44s %8.3f ms  (median of runs; %.3f to %.3f)%s\n", what, s.median, s.low, s.high, target);
}

// Milliseconds from a press on `box` at `at` to its repaint done.
double ClickMs(PictureBox* box, QPoint at)
{
    const auto begin = Clock::now();
    QTest::mousePress(box, Qt::LeftButton, {}, at);
    QTest::mouseRelease(box, Qt::LeftButton, {}, at);
    QCoreApplication::sendPostedEvents();  // the box's queued repaint request
    box->repaint();
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

double OpenMs(MainWindow& w, const QString& path)
{
    const auto begin = Clock::now();
    if (!w.Files->open(path)) std::abort();
    QCoreApplication::sendPostedEvents();
    w.Picture1->repaint();
    w.Picture3->repaint();
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    MainWindow w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) return 1;
    while (w.Run.canGoSlower()) w.RunSlower();
    // A run of figure 3 paused a hundred cycles in: each click goes on
    // from an edit of a real colony.
    w.Picture2_MouseUp(2, 1, 0, 0, 0);
    w.Command1_Click();
    for (int i = 0; i < 100; ++i) w.Timer1_Timer();
    w.RunPause();
    w.Picture4_MouseUp(1, 0, 0, 0);  // the editor open on its pattern
    std::mt19937 random(3);
    std::vector<double> field, editor;
    for (int round = 0; round < 400; ++round) {
        const int c = 40 + int(random() % 60), r = 30 + int(random() % 50);
        const PixelPoint box = FieldInnerBoxOrigin(c, r);
        field.push_back(ClickMs(w.Picture1, QPoint(box.x + 3, box.y + 3)));
        const int i = 48 + int(random() % 40);
        editor.push_back(ClickMs(w.Picture3, QPoint(w.EditorCellX[i] + 1, w.EditorCellY[i] + 1)));
    }
    std::printf("(the editor %s, %d changes made)\n", w.Picture3->isVisible() ? "shown" : "hidden", w.Undo->count());
    Print("click to a field cell painted:", Of(field), "   (target <= 2 ms)");
    Print("click to an editor cell painted (baseline):", Of(editor), "");

    // A whole field of soup, and a small pattern, as RLE files.
    QTemporaryDir dir;
    FieldArray soup{};
    FillRandom(soup, LiveArea, 35, 7);
    std::vector<rle::GollyCell> live;
    for (int n = 0; n <= FieldLast; ++n)
        if (soup[size_t(n)]) live.push_back(rle::ToGolly(n / FieldColLen, n % FieldColLen));
    QFile big(dir.filePath("field.rle")), small(dir.filePath("figure.rle"));
    big.open(QIODevice::WriteOnly);
    big.write(QByteArray::fromStdString(rle::WriteCells(live, "soup", 0)));
    big.close();
    small.open(QIODevice::WriteOnly);
    small.write(QByteArray::fromStdString(rle::WritePattern(w.PatternCells, "figure")));
    small.close();
    std::vector<double> onField, inEditor;
    for (int round = 0; round < 30; ++round) {
        onField.push_back(OpenMs(w, big.fileName()));
        inEditor.push_back(OpenMs(w, small.fileName()));
    }
    std::printf("(%zu live cells, %lld bytes of RLE)\n", live.size(), static_cast<long long>(big.size()));
    Print("open a 148 x 114 field onto the field:", Of(onField), "   (target <= 20 ms)");
    Print("open a figure into the editor (baseline):", Of(inEditor), "");
    return 0;
}
