// The search engine against plain readings of the rule: the bitboard step
// and every verdict against a per-cell run on the field's own lattice that
// compares every generation with every earlier one; each step kernel
// against the stepper the vector kernels replaced; the catalogue's figures
// against the window's own runs; canonical forms under the lattice's
// symmetries; objects that are kept apart truly never meet; damaged result
// files and shards that cannot be added refused. (The whole searches are
// in test_search_whole.)
#include <QtTest>

#include <map>
#include <numeric>
#include <random>
#include <set>

#include "figures/catalogue.h"
#include "history/run_history.h"
#include "reference/search_baseline.h"
#include "search/board.h"
#include "search/objects.h"
#include "search/result_file.h"
#include "search/search.h"
#include "search/step_kernel.h"
#include "search/symmetry.h"
#include "search_helpers.h"

using namespace hexlife;
using namespace hexlife::search;
using testing::RunRange;
using testing::Search44;
using testing::AsymmetricRule;
using testing::Resummed;

namespace {

// --- The plain reading: cells (column, row) of the field's lattice --------

using FieldCell = std::pair<std::int64_t, std::int64_t>;
using FieldCells = std::set<FieldCell>;

std::int64_t FloorHalf(std::int64_t c) { return c >= 0 ? c / 2 : -((1 - c) / 2); }
bool Even(std::int64_t c) { return ((c % 2) + 2) % 2 == 0; }

GollyCell GollyOf(FieldCell f) { return {f.first, f.second + FloorHalf(f.first)}; }
FieldCell FieldOf(GollyCell g) { return {g.x, g.y - FloorHalf(g.x)}; }

// One generation, cell by cell, with the six neighbours as the field has them.
FieldCells PlainStep(const FieldCells& live)
{
    std::map<FieldCell, int> counts;
    for (const auto& [c, r] : live) {
        const std::int64_t d = Even(c) ? 1 : -1;
        const FieldCell around[6] = {{c - 1, r}, {c - 1, r + d}, {c + 1, r}, {c + 1, r + d}, {c, r - 1}, {c, r + 1}};
        for (const FieldCell& n : around) ++counts[n];
    }
    FieldCells next;
    for (const auto& [cell, count] : counts) {
        if (count == 2) next.insert(cell);
    }
    return next;
}

std::vector<GollyCell> SortedGolly(const FieldCells& live)
{
    std::vector<GollyCell> out;
    for (const FieldCell& f : live) out.push_back(GollyOf(f));
    std::sort(out.begin(), out.end());
    return out;
}

// Figure n of a box on the field's lattice, read from the bits directly.
FieldCells PlainFigure(int columns, int rows, std::uint64_t n)
{
    FieldCells live;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            if ((n >> (c * rows + r) & 1) != 0) live.insert({c, r});
    return live;
}

// The fate by the plain reading: every generation's shape (in Golly's
// coordinates, where every translation is a lattice symmetry) against
// every earlier one; growth by the field's own columns and rows.
Fate PlainFate(FieldCells live)
{
    std::map<std::vector<GollyCell>, std::pair<int, GollyCell>> seen;  // shape -> generation, corner
    for (int g = 0;; live = PlainStep(live), ++g) {
        if (live.empty()) return {Verdict::Died, g, 0, 0, 0, 0};
        std::int64_t c0 = INT64_MAX, c1 = INT64_MIN, r0 = INT64_MAX, r1 = INT64_MIN;
        for (const auto& [c, r] : live) c0 = std::min(c0, c), c1 = std::max(c1, c), r0 = std::min(r0, r), r1 = std::max(r1, r);
        if (c1 - c0 + 1 > GrowthColumns || r1 - r0 + 1 > GrowthRows) return {Verdict::Grows, g, 0, 0, 0, 0};
        std::vector<GollyCell> shape = SortedGolly(live);
        GollyCell corner{INT64_MAX, INT64_MAX};
        for (const GollyCell& x : shape) corner.x = std::min(corner.x, x.x), corner.y = std::min(corner.y, x.y);
        for (GollyCell& x : shape) x = {x.x - corner.x, x.y - corner.y};
        std::sort(shape.begin(), shape.end());
        if (const auto it = seen.find(shape); it != seen.end()) {
            const int first = it->second.first, period = g - first;
            const int dx = int(corner.x - it->second.second.x), dy = int(corner.y - it->second.second.y);
            const Verdict v = dx != 0 || dy != 0 ? Verdict::Ship : period == 1 ? Verdict::Still : Verdict::Oscillator;
            return {v, g, first, period, dx, dy};
        }
        if (g == GenerationLimit) return {Verdict::Undecided, g, 0, 0, 0, 0};
        seen.emplace(std::move(shape), std::make_pair(g, corner));
    }
}

QString Describe(const Fate& f)
{
    return QString("%1 at %2 (first %3, period %4, move %5,%6)")
        .arg(VerdictName(f.verdict)).arg(f.generation).arg(f.first).arg(f.period).arg(f.dx).arg(f.dy);
}

// Each kernel this processor runs in turn, the fastest again at the end.
template <typename F>
void ForEachStepPath(F&& f)
{
    const StepPath was = CurrentStepPath();
    for (StepPath path : AvailableStepPaths()) {
        SetStepPath(path);
        f(path);
    }
    SetStepPath(was);
}

// The union of parts, each run alone, against the whole run: equal in
// every generation, and no two parts ever within hex distance 2.
bool PiecesRunApart(const std::vector<std::vector<GollyCell>>& parts, int generations, QString& why)
{
    std::vector<FieldCells> alone;
    FieldCells whole;
    for (const auto& part : parts) {
        alone.emplace_back();
        for (const GollyCell& g : part) alone.back().insert(FieldOf(g)), whole.insert(FieldOf(g));
    }
    for (int t = 0; t <= generations; ++t) {
        FieldCells joined;
        for (const FieldCells& a : alone) joined.insert(a.begin(), a.end());
        if (joined != whole) {
            why = QString("the parts run alone differ from the whole at generation %1").arg(t);
            return false;
        }
        for (size_t i = 0; i < alone.size(); ++i)
            for (size_t j = i + 1; j < alone.size(); ++j)
                for (const FieldCell& a : alone[i])
                    for (const FieldCell& b : alone[j])
                        if (HexDistance(GollyOf(a), GollyOf(b)) <= 2) {
                            why = QString("parts %1 and %2 come within 2 at generation %3").arg(i).arg(j).arg(t);
                            return false;
                        }
        for (FieldCells& a : alone) a = PlainStep(a);
        whole = PlainStep(whole);
    }
    return true;
}

}  // namespace

class TestSearch : public QObject {
    Q_OBJECT

private slots:
    // The bitboard step, its moves inside its words and rows and its
    // shape comparison against the plain step, on random patterns up to
    // the widest the search runs.
    void boardStepsAsThePlainStep()
    {
        std::mt19937_64 random(11);
        for (int round = 0; round < 150; ++round) {
            const int w = 1 + int(random() % 12), h = 1 + int(random() % 12);
            const std::int64_t x0 = std::int64_t(random() % 2001) - 1000, y0 = std::int64_t(random() % 2001) - 1000;
            FieldCells live;
            for (int k = 0; k < w * h / 2; ++k) live.insert({x0 + std::int64_t(random() % w), y0 + std::int64_t(random() % h)});
            Board board;
            board.set(SortedGolly(live));
            for (int g = 0; g < 100 && !live.empty(); ++g) {
                std::vector<GollyCell> got = board.cells();
                std::sort(got.begin(), got.end());
                QVERIFY2(got == SortedGolly(live), qPrintable(QString("round %1, generation %2").arg(round).arg(g)));
                const Extent e = board.extent();
                if (e.width() > GrowthColumns || e.height() > 100) break;
                // The fast field-row span against the rows of the plain cells.
                std::int64_t r0 = INT64_MAX, r1 = INT64_MIN;
                for (const auto& [c, r] : live) r0 = std::min(r0, r), r1 = std::max(r1, r);
                QCOMPARE(board.fieldRowSpan(), r1 - r0 + 1);
                QVERIFY(board.fieldRowSpanBound() >= board.fieldRowSpan());
                // A copy moved elsewhere is the same shape, with the same hash.
                Board moved;
                std::vector<GollyCell> shifted = got;
                const std::int64_t sx = std::int64_t(random() % 41) - 20, sy = std::int64_t(random() % 41) - 20;
                for (GollyCell& c : shifted) c = {c.x + sx, c.y + sy};
                moved.set(shifted);
                QVERIFY(moved.sameShape(board));
                QCOMPARE(moved.shapeHash(), board.shapeHash());
                const std::uint64_t hash = board.shapeHash();
                QCOMPARE(board.stepHashing(), hash);
                live = PlainStep(live);
                if (!live.empty() && !got.empty()) {
                    // One cell more or less is another shape.
                    std::vector<GollyCell> other = got;
                    other.pop_back();
                    if (!other.empty()) {
                        moved.set(other);
                        Board before;
                        before.set(got);
                        QVERIFY(!moved.sameShape(before));
                    }
                }
            }
        }
    }

    // Each kernel's board against the stepper it replaced, on random
    // patterns up to the widest and tallest it takes, placed anywhere: the
    // same cells every generation, and the same hash on every kernel, equal
    // to shapeHash() and the same for a moved copy.
    void kernelsStepAsTheBaseline()
    {
        const std::vector<StepPath> paths = AvailableStepPaths();
        qInfo("kernels: %zu (fastest %s)", paths.size(), StepPathName(paths.back()));
        std::mt19937_64 random(23);
        for (int round = 0; round < 60; ++round) {
            const int w = 1 + int(random() % 58), h = 1 + int(random() % (round % 3 == 0 ? 110 : 20));
            const std::int64_t x0 = std::int64_t(random() % 2001) - 1000, y0 = std::int64_t(random() % 2001) - 1000;
            std::vector<GollyCell> cells;
            for (int k = 0; k < w * h / (1 + int(random() % 4)); ++k) {
                cells.push_back({x0 + std::int64_t(random() % w), y0 + std::int64_t(random() % h)});
            }
            std::sort(cells.begin(), cells.end());
            cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
            std::vector<Board> boards(paths.size());
            for (Board& b : boards) b.set(cells);
            baseline::BaselineBoard old;
            old.set(cells);
            for (int g = 0; g < 80 && !old.empty(); ++g) {
                const Extent e = old.extent();
                if (e.width() > Board::MaxWidth - 2 || e.height() > Board::Height - 10) break;
                std::vector<GollyCell> want = old.cells();
                std::sort(want.begin(), want.end());
                std::vector<std::uint64_t> hashes;
                for (size_t p = 0; p < paths.size(); ++p) {
                    SetStepPath(paths[p]);
                    std::vector<GollyCell> got = boards[p].cells();
                    std::sort(got.begin(), got.end());
                    QVERIFY2(got == want, qPrintable(QString("%1, round %2, generation %3").arg(StepPathName(paths[p])).arg(round).arg(g)));
                    const std::uint64_t shape = boards[p].shapeHash();
                    hashes.push_back(boards[p].stepHashing());
                    QCOMPARE(hashes.back(), shape);
                    QCOMPARE(hashes.back(), hashes.front());
                }
                old.step();
            }
        }
        SetStepPath(paths.back());
    }

    // The flood fill on the rows refuses exactly the patterns Clusters
    // refuses for a group too wide or tall: random patterns, sparse and
    // dense, up to the widest the board holds, against limits small and large.
    void clusterCheckAsClusters()
    {
        std::mt19937_64 random(29);
        int refused = 0, taken = 0;
        for (int round = 0; round < 400; ++round) {
            const int w = 1 + int(random() % 62), h = 1 + int(random() % 100);
            const int cells = 1 + int(random() % (1 + w * h / (2 + int(random() % 40))));
            std::vector<GollyCell> live;
            for (int k = 0; k < cells; ++k) live.push_back({std::int64_t(random() % w) - 7, std::int64_t(random() % h) + 3});
            std::sort(live.begin(), live.end());
            live.erase(std::unique(live.begin(), live.end()), live.end());
            Board board;
            board.set(live);
            for (std::int64_t side : {1, 3, 8, 24, 40}) {
                const bool wide = board.clusterWiderThan(side);
                QVERIFY2(wide == Clusters(live, side).empty(), qPrintable(QString("round %1, side %2").arg(round).arg(side)));
                (wide ? refused : taken) += 1;
            }
        }
        QVERIFY(refused > 100 && taken > 100);
    }

    // Every 4 x 4 figure and samples of 5 x 5 and 6 x 6 on each kernel: the
    // same fate, final cells and objects as the stepper the kernels replaced.
    void figuresOnEveryKernelAsTheBaseline()
    {
        baseline::BaselineRunner runner;
        ObjectCache oldCache;
        std::vector<std::pair<Box, std::uint64_t>> figures;
        for (std::uint64_t n = 0; n < 65536; ++n) figures.push_back({{4, 4}, n});
        for (std::uint64_t i = 0; i < 1500; ++i) figures.push_back({{5, 5}, SampleFigure({5, 5}, 3, i)});
        for (std::uint64_t i = 0; i < 500; ++i) figures.push_back({{6, 6}, SampleFigure({6, 6}, 4, i)});
        // 5 x 5 figures that grow, leaving objects that drift apart.
        for (std::uint64_t n : {12179715, 31344926, 9100771, 19212179, 20225211, 2990482, 24615539, 32860457}) {
            figures.push_back({{5, 5}, n});
        }
        std::vector<FigureResult> want;
        for (const auto& [box, n] : figures) want.push_back(baseline::BaselineAnalyse(runner, FigureCellsOf(box, n), oldCache));
        std::map<std::string, int> kinds;
        for (const FigureResult& r : want) ++kinds[VerdictName(r.fate.verdict) + std::string(r.objects.empty() ? "" : " with objects")];
        // The figures reach every verdict the boxes have, with objects.
        QString seen;
        for (const auto& [kind, count] : kinds) seen += QString(" %1: %2;").arg(kind.c_str()).arg(count);
        qInfo("%s", qPrintable(seen));
        QVERIFY2(kinds["died"] > 0 && kinds["oscillator with objects"] > 0 && kinds["ship with objects"] > 0 &&
                     kinds["grows"] > 0 && kinds["grows with objects"] > 0, qPrintable(seen));
        ForEachStepPath([&](StepPath path) {
            ObjectCache cache;
            for (size_t k = 0; k < figures.size(); ++k) {
                const auto& [box, n] = figures[k];
                FigureResult got = Analyse(FigureCellsOf(box, n), &cache);
                const QString what = QString("%1: %2 x %3 figure %4: %5 against %6").arg(StepPathName(path)).arg(box.columns)
                                         .arg(box.rows).arg(n).arg(Describe(got.fate)).arg(Describe(want[k].fate));
                QVERIFY2(got.fate == want[k].fate, qPrintable(what));
                std::sort(got.final.begin(), got.final.end());
                std::vector<GollyCell> final = want[k].final;
                std::sort(final.begin(), final.end());
                QVERIFY2(got.final == final, qPrintable(what));
                QVERIFY2(got.objects == want[k].objects, qPrintable(what));
            }
        });
    }

    // The box's symmetry on random figures of every box: the image is the
    // figure's cells mapped (a box of the same cells, and the map its own
    // inverse), it keeps the neighbours of every cell of the field's lattice,
    // and the image runs to the figure's fate with the move turned, its
    // final cells the figure's mapped and the same objects.
    void boxSymmetryMapsFates()
    {
        std::mt19937_64 random(31);
        int moved = 0, withObjects = 0;
        for (int columns = 1; columns <= MaxBoxSide; ++columns) {
            for (int rows = 1; rows <= MaxBoxSide; ++rows) {
                const Box box{columns, rows};
                const BoxSymmetry symmetry(box);
                // The map of cells keeps hex distances, so it is a symmetry of the lattice.
                for (int k = 0; k < 30; ++k) {
                    const GollyCell a{std::int64_t(random() % 41) - 20, std::int64_t(random() % 41) - 20};
                    const GollyCell b{a.x + std::int64_t(random() % 7) - 3, a.y + std::int64_t(random() % 7) - 3};
                    QCOMPARE(HexDistance(symmetry.image(a), symmetry.image(b)), HexDistance(a, b));
                    const GollyCell move = symmetry.imageMove(int(b.x - a.x), int(b.y - a.y));
                    QCOMPARE(symmetry.image(b), (GollyCell{symmetry.image(a).x + move.x, symmetry.image(a).y + move.y}));
                }
                for (int round = 0; round < 12; ++round) {
                    const std::uint64_t n = random() & (box.figures() - 1);
                    const std::uint64_t m = symmetry.image(n);
                    QCOMPARE(symmetry.image(m), n);
                    std::vector<GollyCell> mapped = FigureCellsOf(box, n), image = FigureCellsOf(box, m);
                    for (GollyCell& c : mapped) c = symmetry.image(c);
                    std::sort(mapped.begin(), mapped.end());
                    std::sort(image.begin(), image.end());
                    QVERIFY2(mapped == image, qPrintable(QString("%1 x %2 figure %3").arg(columns).arg(rows).arg(n)));
                    const FigureResult a = Analyse(FigureCellsOf(box, n)), b = Analyse(image);
                    const QString what = QString("%1 x %2 figure %3: %4, image %5: %6").arg(columns).arg(rows).arg(n)
                                             .arg(Describe(a.fate)).arg(m).arg(Describe(b.fate));
                    QVERIFY2(symmetry.image(a.fate) == b.fate, qPrintable(what));
                    std::vector<GollyCell> final = a.final, imageFinal = b.final;
                    for (GollyCell& c : final) c = symmetry.image(c);
                    std::sort(final.begin(), final.end());
                    std::sort(imageFinal.begin(), imageFinal.end());
                    QVERIFY2(final == imageFinal, qPrintable(what));
                    std::vector<std::string> ka, kb;
                    for (const ObjectForm& f : a.objects) ka.push_back(ObjectKey(f) + " " + std::to_string(f.dx) + "," + std::to_string(f.dy));
                    for (const ObjectForm& f : b.objects) kb.push_back(ObjectKey(f) + " " + std::to_string(f.dx) + "," + std::to_string(f.dy));
                    std::sort(ka.begin(), ka.end());
                    std::sort(kb.begin(), kb.end());
                    QVERIFY2(ka == kb, qPrintable(what));
                    moved += a.fate.dx != 0 || a.fate.dy != 0;
                    withObjects += !a.objects.empty();
                }
            }
        }
        // 5 x 5 figures that grow leaving drifting objects, and a ship of 4 x 4.
        for (const auto& [box, n] : std::vector<std::pair<Box, std::uint64_t>>{
                 {{5, 5}, 12179715}, {{5, 5}, 20225211}, {{5, 5}, 24615539}, {{4, 4}, 14010}}) {
            const BoxSymmetry symmetry(box);
            const FigureResult a = Analyse(FigureCellsOf(box, n)), b = Analyse(FigureCellsOf(box, symmetry.image(n)));
            QVERIFY2(symmetry.image(a.fate) == b.fate && !a.objects.empty(), qPrintable(Describe(a.fate)));
            QCOMPARE(a.objects.size(), b.objects.size());
            moved += a.fate.dx != 0 || a.fate.dy != 0;
        }
        qInfo("moved %d, with objects %d", moved, withObjects);
        QVERIFY(moved > 0 && withObjects > 20);
    }

    // Every 3 x 3 figure and a random sample of 4 x 4 ones: the same
    // verdict, generation, first repeat, period and move as the plain run.
    void verdictsAsThePlainRun_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<quint64>("figure");
        for (std::uint64_t n = 0; n < 512; ++n) QTest::addRow("3x3 %llu", (unsigned long long)n) << 3 << 3 << quint64(n);
        std::mt19937_64 random(7);
        for (int k = 0; k < 100; ++k) {
            const std::uint64_t n = random() % 65536;
            QTest::addRow("4x4 %llu", (unsigned long long)n) << 4 << 4 << quint64(n);
        }
        for (int k = 0; k < 10; ++k) {
            const std::uint64_t n = random() % (std::uint64_t(1) << 30);
            QTest::addRow("6x5 %llu", (unsigned long long)n) << 6 << 5 << quint64(n);
        }
    }
    void verdictsAsThePlainRun()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(quint64, figure);
        const Fate expected = PlainFate(PlainFigure(columns, rows, figure));
        const Fate got = Evolve(FigureCellsOf({columns, rows}, figure));
        QVERIFY2(got == expected, qPrintable(Describe(got) + " against " + Describe(expected)));
    }

    // The catalogue's figures as the window runs them on its field: where
    // the run repeats or dies out before it reaches the edge, the search
    // finds the same; where it reaches the edge or the cycle limit first,
    // the search decides nothing earlier.
    void catalogueAsTheWindowsRuns()
    {
        std::map<QString, int> agreed;
        for (int k = 0; k < FigureCount; ++k) {
            const auto cells = FigureCells(k);
            std::uint64_t n = 0;
            for (int c = 0; c < FigureCellCount; ++c) n |= std::uint64_t(cells[size_t(c)] != 0) << c;
            const Fate fate = Evolve(FigureCellsOf({FigureColCount, FigureColLen}, n));
            const RunHistory history = RunToEnd(FigureOnField(k));
            const QString what = QString("figure %1: %2, the window: %3").arg(k).arg(Describe(fate)).arg(QString::fromStdString(history.verdict()));
            // Generations the field ran without touching its edge.
            const int clean = history.ended() == RunEnd::Edge ? history.endCount() - 1 : history.size() - 1;
            int empty = -1;
            for (int g = 0; g < history.size() && empty < 0; ++g)
                if (history.population(g) == 0) empty = g;
            if (const auto& r = history.repetition(); r && r->first + r->period <= clean) {
                const Verdict v = r->moves() ? Verdict::Ship : r->period == 1 ? Verdict::Still : Verdict::Oscillator;
                QVERIFY2(fate == (Fate{v, r->first + r->period, r->first, r->period, r->dx, r->dy}), qPrintable(what));
                ++agreed[VerdictName(v)];
            } else if (empty >= 0 && empty <= clean) {
                QVERIFY2(fate == (Fate{Verdict::Died, empty, 0, 0, 0, 0}), qPrintable(what));
                ++agreed["died"];
            } else {
                const bool decided = fate.verdict != Verdict::Grows && fate.verdict != Verdict::Undecided;
                QVERIFY2(!decided || fate.generation > clean, qPrintable(what));
                ++agreed["not decided on the field"];
            }
        }
        for (const auto& [kind, count] : agreed) qInfo("%s: %d", qPrintable(kind), count);
        // The comparison means something only where the field decides.
        QVERIFY(agreed["died"] + agreed["oscillator"] + agreed["ship"] + agreed["still"] > 0);
    }

    // The twelve symmetries map the neighbours onto themselves, are twelve,
    // and the canonical form of a shape does not change under any of them,
    // nor under a move; that of an object, nor under its phases.
    void canonicalFormsAreInvariant()
    {
        const std::vector<GollyCell> neighbours = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, -1}};
        std::set<std::vector<GollyCell>> images;
        const std::vector<GollyCell> probe = {{0, 0}, {1, 0}, {3, 1}, {2, 5}};
        for (int s = 0; s < SymmetryCount; ++s) {
            std::vector<GollyCell> turned;
            for (const GollyCell& n : neighbours) turned.push_back(Transform(s, n));
            QCOMPARE(std::set<GollyCell>(turned.begin(), turned.end()), std::set<GollyCell>(neighbours.begin(), neighbours.end()));
            std::vector<GollyCell> image;
            for (const GollyCell& p : probe) image.push_back(Transform(s, p));
            images.insert(image);
        }
        QCOMPARE(int(images.size()), SymmetryCount);

        std::mt19937_64 random(5);
        for (int round = 0; round < 200; ++round) {
            std::vector<GollyCell> cells;
            const int n = 1 + int(random() % 9);
            for (int k = 0; k < n; ++k) cells.push_back({std::int64_t(random() % 6), std::int64_t(random() % 6)});
            std::sort(cells.begin(), cells.end());
            cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
            const ObjectForm form = Canonical(cells, 1, 0, 0);
            for (int s = 0; s < SymmetryCount; ++s) {
                const std::int64_t mx = std::int64_t(random() % 101) - 50, my = std::int64_t(random() % 101) - 50;
                std::vector<GollyCell> moved;
                for (const GollyCell& c : cells) {
                    const GollyCell t = Transform(s, c);
                    moved.push_back({t.x + mx, t.y + my});
                }
                QVERIFY(Canonical(moved, 1, 0, 0) == form);
            }
        }
        // The objects of the 4 x 4 search, in every phase and orientation.
        int objects = 0;
        for (const auto& [key, tally] : Search44().progress.tally.objects) {
            const ObjectForm& form = tally.form;
            Board board;
            board.set(form.cells);
            for (int phase = 0; phase < form.period; ++phase, board.step()) {
                for (int s = 0; s < SymmetryCount; ++s) {
                    std::vector<GollyCell> turned;
                    for (const GollyCell& c : board.cells()) turned.push_back(Transform(s, c));
                    const GollyCell move = Transform(s, {form.dx, form.dy});
                    QVERIFY2(Canonical(turned, form.period, int(move.x), int(move.y)) == form, key.c_str());
                }
            }
            ++objects;
        }
        QVERIFY(objects >= 3);
    }

    // Each object as the result keeps it: run alone by the plain step, its
    // canonical cells come back after its period, moved by its displacement,
    // and not before.
    void objectsRepeatAsStated()
    {
        for (const auto& [key, tally] : Search44().progress.tally.objects) {
            FieldCells live;
            for (const GollyCell& g : tally.form.cells) live.insert(FieldOf(g));
            const Fate fate = PlainFate(live);
            QVERIFY2(fate.first == 0 && fate.period == tally.form.period && fate.dx == tally.form.dx &&
                         fate.dy == tally.form.dy && fate.verdict == tally.form.kind(),
                     qPrintable(QString::fromStdString(key) + ": " + Describe(fate)));
            // The smallest figure that yields it ends in it.
            const FigureResult r = Analyse(FigureCellsOf({4, 4}, tally.smallest));
            QVERIFY(std::find(r.objects.begin(), r.objects.end(), tally.form) != r.objects.end());
        }
    }


    // The parts a settled figure is split into are its live cells, and run
    // alone they never come near each other and make up the whole run.
    void partsNeverInteract()
    {
        int split = 0, whole = 0;
        for (std::uint64_t n = 0; n < 65536; n += 7) {
            const FigureResult r = Analyse(FigureCellsOf({4, 4}, n));
            const Fate& f = r.fate;
            if (f.verdict == Verdict::Died || f.verdict == Verdict::Grows || f.verdict == Verdict::Undecided) continue;
            const auto parts = SeparateObjects(r.final, f.period, f.dx, f.dy);
            std::vector<GollyCell> joined;
            for (const auto& p : parts) joined.insert(joined.end(), p.begin(), p.end());
            std::vector<GollyCell> final = r.final;
            std::sort(joined.begin(), joined.end());
            std::sort(final.begin(), final.end());
            QVERIFY(joined == final);
            QCOMPARE(r.objects.size(), parts.size());
            if (parts.size() > 1) {
                QString why;
                QVERIFY2(PiecesRunApart(parts, 2 * f.period, why), qPrintable(QString("figure %1: %2").arg(n).arg(why)));
                ++split;
            } else {
                ++whole;
            }
        }
        QVERIFY(split > 0 && whole > 0);
    }

    // Objects that drift apart: a ship and an oscillator placed at random.
    // Where they are taken for separate objects, the plain run shows them
    // never meeting; some placements are taken and some refused.
    void driftingObjectsNeverMeet()
    {
        std::vector<ObjectForm> ships, others;
        for (const auto& [key, tally] : Search44().progress.tally.objects) {
            (tally.form.kind() == Verdict::Ship ? ships : others).push_back(tally.form);
        }
        QVERIFY(!ships.empty() && !others.empty());
        std::mt19937_64 random(3);
        int taken = 0, refused = 0;
        ObjectCache cache;
        for (int round = 0; round < 120; ++round) {
            const ObjectForm& a = ships[random() % ships.size()];
            const ObjectForm& b = random() % 2 ? ships[random() % ships.size()] : others[random() % others.size()];
            const int sa = int(random() % SymmetryCount), sb = int(random() % SymmetryCount);
            const std::int64_t bx = std::int64_t(random() % 31) - 15, by = std::int64_t(random() % 31) - 15;
            std::vector<std::vector<GollyCell>> parts(2);
            for (const GollyCell& c : a.cells) parts[0].push_back(Transform(sa, c));
            for (const GollyCell& c : b.cells) {
                const GollyCell t = Transform(sb, c);
                parts[1].push_back({t.x + bx, t.y + by});
            }
            if (Clusters(parts[0]).size() != 1 || Clusters(parts[1]).size() != 1) continue;
            std::vector<GollyCell> all = parts[0];
            all.insert(all.end(), parts[1].begin(), parts[1].end());
            std::sort(all.begin(), all.end());
            if (std::adjacent_find(all.begin(), all.end()) != all.end() || Clusters(all).size() != 2) continue;
            Board board;
            board.set(all);
            const auto objects = DriftingObjects(board, cache);
            if (objects) {
                QCOMPARE(objects->size(), size_t(2));
                QString why;
                QVERIFY2(PiecesRunApart(parts, 150, why), qPrintable(QString("round %1: %2").arg(round).arg(why)));
                ++taken;
            } else {
                ++refused;
            }
        }
        qInfo("taken %d, refused %d", taken, refused);
        QVERIFY(taken > 5 && refused > 5);
    }



    // Files that are not whole results are refused with the line at fault;
    // shards that cannot be added are refused with both names.
    void damagedFilesAndMismatchedShardsAreRefused()
    {
        const std::string good = FormatResult(Search44());
        const auto resum = Resummed;
        QVERIFY(ParseResult(resum(good)).result.has_value());
        const std::vector<std::pair<std::string, std::string>> edits = {
            {"figures 65536", "figures 65535"},        // not the items done
            {"died ", "died 1"},                         // the verdicts no longer add up
            {"box 4 4", "box 7 4"},                      // no box of the search
            {"done 0 65536", "done 0 65537"},            // beyond the range
            {"object oscillator p2 0 0", "object ship p2 0 0"},  // a kind its move denies
            {"top 52663", "top 99999999"},               // no figure of the box
        };
        for (const auto& [from, to] : edits) {
            std::string bad = good;
            const size_t at = bad.find(from);
            QVERIFY2(at != std::string::npos, from.c_str());
            bad.replace(at, from.size(), to);
            const ParsedResult parsed = ParseResult(resum(bad));
            QVERIFY2(!parsed.result && parsed.error.rfind("строка ", 0) == 0, (from + " -> " + to + ": " + parsed.error).c_str());
        }
        std::mt19937_64 random(1);
        for (int round = 0; round < 50; ++round) {
            std::string bad = good;
            if (round % 2 == 0) bad[random() % bad.size()] ^= char(1 + random() % 127);
            else bad.resize(random() % bad.size());
            QVERIFY(!ParseResult(bad).result);
        }
        const Result a = RunRange({3, 3}, 0, 300, 1), b = RunRange({3, 3}, 200, 512, 1), c = RunRange({3, 2}, 0, 64, 1);
        const Result d = RunRange({3, 3}, 0, 100, 1, true, 1), e = RunRange({3, 3}, 100, 200, 1, true, 2);
        for (const auto& [x, y, words] : std::vector<std::tuple<Result, Result, std::string>>{
                 {a, b, "пересекаются"}, {a, c, "другой размер"}, {d, e, "другая выборка"}, {a, d, "другая выборка"}}) {
            const ParsedResult m = MergeResults({x, y}, {"x.txt", "y.txt"});
            QVERIFY2(!m.result && m.error.find(words) != std::string::npos && m.error.find("y.txt") != std::string::npos,
                     m.error.c_str());
        }
    }

    // A result file names its rule and how its objects were made canonical,
    // and reads back whole under every kind of rule.
    void resultFilesNameTheirRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");     // the file's rule line as Golly's notation has it
        QTest::addColumn<QString>("objects");  // the objects line
        QTest::newRow("B2/S2H") << "B2/S2H" << "rule B2/S2H" << "objects symmetries";
        QTest::newRow("B2/S34H") << "b2/s34h" << "rule B2/S34H" << "objects symmetries";
        QTest::newRow("letters") << "B2o/S2m34H" << "rule B2o/S2m34H" << "objects symmetries";
        QTest::newRow("MAP") << QString::fromStdString(AsymmetricRule().Map())
                             << QString::fromStdString("rule " + AsymmetricRule().Map()) << "objects translations";
    }

    void resultFilesNameTheirRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QFETCH(QString, objects);
        const rule::ParseResult read = rule::Parse(text.toStdString());
        QVERIFY(read.rule);
        const Result r = RunRange({3, 3}, 0, 512, 1, false, 0, *read.rule);
        const std::string file = FormatResult(r);
        const QStringList lines = QString::fromStdString(file).split('\n');
        QCOMPARE(lines[0], QString("hexagonal-life-search 2"));
        QCOMPARE(lines[1], line);
        QCOMPARE(lines[2], objects);
        const ParsedResult back = ParseResult(file);
        QVERIFY2(back.result, back.error.c_str());
        QVERIFY(back.result->rule == *read.rule);
        QVERIFY(back.result->box == r.box && back.result->complete());
        QVERIFY(back.result->progress.tally == r.progress.tally);
        QCOMPARE(FormatResult(*back.result), file);
    }

    // A file of version 1, as the program wrote before rules, reads as
    // B2/S2H with the same counts; rule lines that do not fit are refused
    // at their line.
    void oldFilesAndBadRuleLines()
    {
        const Result r = RunRange({3, 3}, 0, 512, 1);
        const std::string v2 = FormatResult(r);
        const std::string head = "hexagonal-life-search 2\nrule B2/S2H\nobjects symmetries\n";
        QCOMPARE(v2.substr(0, head.size()), head);
        const std::string v1 = Resummed("hexagonal-life-search 1\n" + v2.substr(head.size()));
        const ParsedResult old = ParseResult(v1);
        QVERIFY2(old.result, old.error.c_str());
        QVERIFY(old.result->rule == rule::Rule());
        QVERIFY(old.result->progress.tally == r.progress.tally);
        // Written again, it is of version 2.
        QCOMPARE(FormatResult(*old.result), v2);

        const std::vector<std::tuple<std::string, std::string, std::string>> bad = {
            {"rule B2/S2H\n", "rule B3/S23\n", "строка 2: правило «B3/S23» — для квадратной решётки"},
            {"rule B2/S2H\n", "rule B2/S2V\n", "строка 2: правило «B2/S2V» — для окрестности фон Неймана"},
            {"rule B2/S2H\n", "rule B02/S2H\n", "строка 2: правило B02/S2H с B0"},
            {"rule B2/S2H\n", "rule\n", "строка 2: ожидалось правило"},
            {"rule B2/S2H\n", "", "строка 2: ожидалось правило"},
            {"objects symmetries\n", "objects translations\n", "строка 3: объекты правила B2/S2H"},
            {"objects symmetries\n", "", "строка 3: ожидалось «objects symmetries»"},
            {"hexagonal-life-search 2\n", "hexagonal-life-search 3\n", "строка 1: версия формата 3"},
        };
        for (const auto& [from, to, words] : bad) {
            std::string text = v2;
            text.replace(text.find(from), from.size(), to);
            const ParsedResult parsed = ParseResult(Resummed(text));
            QVERIFY2(!parsed.result && parsed.error.rfind(words, 0) == 0, (to + ": " + parsed.error).c_str());
        }
        // A MAP rule's file that says its objects were turned and mirrored.
        std::string map = FormatResult(RunRange({2, 2}, 0, 16, 1, false, 0, AsymmetricRule()));
        map.replace(map.find("objects translations"), 20, "objects symmetries");
        QVERIFY(!ParseResult(Resummed(map)).result);
    }

    // Shards of different rules do not add up, and the message names both
    // files and both rules; a version 1 shard adds to a version 2 one of
    // B2/S2H as the whole search does.
    void shardsOfOneRuleMerge()
    {
        const rule::Rule other = *rule::Parse("B2/S34H").rule;
        const Result a = RunRange({3, 3}, 0, 300, 1), b = RunRange({3, 3}, 300, 512, 1, false, 0, other);
        const ParsedResult refused = MergeResults({a, b}, {"a.txt", "b.txt"});
        QVERIFY(!refused.result);
        for (const char* words : {"a.txt", "b.txt", "B2/S2H", "B2/S34H", "другое правило"}) {
            QVERIFY2(refused.error.find(words) != std::string::npos, refused.error.c_str());
        }
        const std::string v2 = FormatResult(a);
        const std::string head = "hexagonal-life-search 2\nrule B2/S2H\nobjects symmetries\n";
        const ParsedResult v1 = ParseResult(Resummed("hexagonal-life-search 1\n" + v2.substr(head.size())));
        QVERIFY(v1.result);
        const Result c = RunRange({3, 3}, 300, 512, 1);
        const ParsedResult merged = MergeResults({*v1.result, c}, {"v1.txt", "v2.txt"});
        QVERIFY2(merged.result, merged.error.c_str());
        QVERIFY(merged.result->rule == rule::Rule() && merged.result->complete());
        QCOMPARE(FormatResult(*merged.result), FormatResult(RunRange({3, 3}, 0, 512, 1)));
    }
};

QTEST_APPLESS_MAIN(TestSearch)
#include "test_search.moc"
