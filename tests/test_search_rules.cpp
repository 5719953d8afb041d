// The search by rules other than B2/S2: every step kernel against the plain
// one and against a cell-by-cell step by the rule's table, on random boards
// under random rules; every 3 x 3 figure's fate and the objects of the
// whole search against the plain run of tests/reference; mirrored figures
// under isotropic rules; the box's symmetry left alone under a rule that
// is not isotropic; a rule with B0 refused.
#include <QtTest>

#include <map>
#include <random>

#include "reference/rule_search_reference.h"
#include "search/board.h"
#include "search/objects.h"
#include "search/search.h"
#include "search/step_kernel.h"
#include "search/symmetry.h"

using namespace hexlife;
using namespace hexlife::search;

namespace {

rule::Rule Parsed(const char* text)
{
    const rule::ParseResult parsed = rule::Parse(text);
    Q_ASSERT(parsed.rule);
    return *parsed.rule;
}

// A random rule of each kind, never with B0.
rule::Rule RandomTotalistic(std::mt19937_64& random)
{
    return rule::Rule::Totalistic(unsigned(random()) & 126, unsigned(random()) & 127);
}

rule::Rule RandomIsotropic(std::mt19937_64& random)
{
    const char* shapes[] = {"1", "2o", "2m", "2p", "3o", "3m", "3p", "4o", "4m", "4p", "5", "6"};
    std::string text = "B";
    for (int part = 0; part < 2; ++part) {
        if (part == 1 && random() % 2 != 0) text += "0";
        for (const char* shape : shapes) {
            if (random() % 2 != 0) text += shape;
        }
        text += part == 0 ? "/S" : "H";
    }
    return Parsed(text.c_str());
}

// A table with no births by one neighbour or none and few by more, so that
// its figures do not all explode at once.
rule::Rule RandomTable(std::mt19937_64& random)
{
    std::array<bool, rule::TableSize> table{};
    for (int index = 0; index < rule::TableSize; ++index) {
        const int neighbours = std::popcount(unsigned(index & ~rule::Centre));
        table[size_t(index)] = (index & rule::Centre) != 0 ? random() % 100 < 50
                               : neighbours >= 2           ? random() % 100 < 22
                                                           : false;
    }
    return rule::Rule::FromTable(table);
}

std::vector<GollyCell> Sorted(std::vector<GollyCell> cells)
{
    std::sort(cells.begin(), cells.end());
    return cells;
}

reference::Cells SetOf(const std::vector<GollyCell>& cells) { return {cells.begin(), cells.end()}; }

Verdict VerdictOf(reference::Kind kind)
{
    switch (kind) {
    case reference::Kind::Died: return Verdict::Died;
    case reference::Kind::Still: return Verdict::Still;
    case reference::Kind::Oscillator: return Verdict::Oscillator;
    case reference::Kind::Ship: return Verdict::Ship;
    case reference::Kind::Grows: return Verdict::Grows;
    case reference::Kind::Undecided: break;
    }
    return Verdict::Undecided;
}

QString Describe(const Fate& f)
{
    return QString("%1 at %2 (first %3, period %4, move %5,%6)")
        .arg(VerdictName(f.verdict)).arg(f.generation).arg(f.first).arg(f.period).arg(f.dx).arg(f.dy);
}

// The rules every figure is run by: B2/S2, a totalistic and an isotropic
// one by letters, and a random table that is neither (of a seed whose 3 x 3
// figures die, settle, oscillate, move and grow: checked below).
std::vector<std::pair<QString, rule::Rule>> FigureRules()
{
    std::mt19937_64 random(15);
    const rule::Rule table = RandomTable(random);
    return {{"B2/S2H", rule::Rule()}, {"B2/S34H", Parsed("B2/S34H")}, {"B2o/S2m34H", Parsed("B2o/S2m34H")},
            {QString::fromStdString(table.Map()), table}};
}

}  // namespace

class TestSearchRules : public QObject {
    Q_OBJECT

private slots:
    void rulesAreOfTheirKinds()
    {
        const auto rules = FigureRules();
        QVERIFY(rules[1].second.IsTotalistic() && !(rules[1].second == rule::Rule()));
        QVERIFY(rules[2].second.IsIsotropic() && !rules[2].second.IsTotalistic());
        QVERIFY(!rules[3].second.IsIsotropic() && !rules[3].second.HasB0());
        QCOMPARE(int(StepRule(rules[0].second).kind), int(StepRule::Kind::TwoOfSix));
        QCOMPARE(int(StepRule(rules[1].second).kind), int(StepRule::Kind::Totalistic));
        QCOMPARE(int(StepRule(rules[2].second).kind), int(StepRule::Kind::Table));
    }

    // Random patterns up to the widest and tallest the board takes, under
    // random rules of each kind: on every kernel the same cells as the
    // cell-by-cell step by the table, generation after generation, and the
    // same hash as the plain kernel's, equal to shapeHash().
    void kernelsStepAsTheTable()
    {
        const std::vector<StepPath> paths = AvailableStepPaths();
        qInfo("kernels: %zu (fastest %s)", paths.size(), StepPathName(paths.back()));
        std::mt19937_64 random(43);
        std::map<int, int> kinds;
        for (int round = 0; round < 90; ++round) {
            const rule::Rule rule = round % 3 == 0 ? RandomTotalistic(random) : round % 3 == 1 ? RandomIsotropic(random)
                                                                                             : RandomTable(random);
            const StepRule compiled(rule);
            ++kinds[int(compiled.kind)];
            const int w = 1 + int(random() % 40), h = 1 + int(random() % (round % 4 == 0 ? 100 : 20));
            const std::int64_t x0 = std::int64_t(random() % 2001) - 1000, y0 = std::int64_t(random() % 2001) - 1000;
            std::vector<GollyCell> cells;
            for (int k = 0; k < w * h / (1 + int(random() % 4)); ++k) {
                cells.push_back({x0 + std::int64_t(random() % w), y0 + std::int64_t(random() % h)});
            }
            cells = Sorted(cells);
            cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
            std::vector<Board> boards(paths.size());
            for (Board& b : boards) b.setRule(compiled), b.set(cells);
            reference::Cells want = SetOf(cells);
            for (int g = 0; g < 12 && !want.empty(); ++g) {
                const Extent e = boards[0].extent();
                if (e.width() > Board::MaxWidth - 2 || e.height() > Board::Height - 10) break;
                std::vector<std::uint64_t> hashes;
                for (size_t p = 0; p < paths.size(); ++p) {
                    SetStepPath(paths[p]);
                    const QString what = QString("%1, rule %2, round %3, generation %4")
                                             .arg(StepPathName(paths[p]), QString::fromStdString(rule.Text()))
                                             .arg(round).arg(g);
                    QVERIFY2(Sorted(boards[p].cells()) == std::vector<GollyCell>(want.begin(), want.end()), qPrintable(what));
                    const std::uint64_t shape = boards[p].shapeHash();
                    hashes.push_back(boards[p].stepHashing());
                    QVERIFY2(hashes.back() == shape && hashes.back() == hashes.front(), qPrintable(what));
                }
                want = reference::RuleStep(want, rule);
            }
        }
        SetStepPath(paths.back());
        QVERIFY(kinds[int(StepRule::Kind::Totalistic)] >= 25 && kinds[int(StepRule::Kind::Table)] >= 55);
    }

    // Every 3 x 3 figure by each rule: the verdict, its generation, the
    // first repeat, the period, the move and the final cells of the plain
    // run. One cache serves every rule in turn.
    void figuresAsThePlainRun()
    {
        ObjectCache cache;
        for (const auto& [name, rule] : FigureRules()) {
            std::map<Verdict, int> verdicts;
            for (std::uint64_t n = 0; n < 512; ++n) {
                const std::vector<GollyCell> cells = FigureCellsOf({3, 3}, n);
                const reference::RunEnd want =
                    reference::RunToEnd(SetOf(cells), rule, GrowthColumns, GrowthRows, GenerationLimit);
                const Fate expected{VerdictOf(want.kind), want.generation, want.first, want.period, want.dx, want.dy};
                const FigureResult got = Analyse(cells, rule, &cache);
                QVERIFY2(got.fate == expected, qPrintable(QString("%1, figure %2: %3 against %4")
                                                              .arg(name).arg(n).arg(Describe(got.fate), Describe(expected))));
                QVERIFY(Evolve(cells, rule) == expected);
                if (expected.verdict != Verdict::Died && expected.verdict != Verdict::Grows &&
                    expected.verdict != Verdict::Undecided) {
                    QVERIFY(SetOf(got.final) == want.final);
                }
                ++verdicts[expected.verdict];
            }
            QString seen;
            for (const auto& [v, count] : verdicts) seen += QString(" %1 %2").arg(VerdictName(v)).arg(count);
            qInfo("%s:%s", qPrintable(name), qPrintable(seen));
            // The comparison means something only where the figures end in
            // more than one way; the table's in every way.
            QVERIFY2(verdicts.size() >= 2, qPrintable(seen));
            if (!rule.IsIsotropic()) QVERIFY2(verdicts.size() == 5, qPrintable(seen));
        }
    }

    // The whole 3 x 3 search by each rule: its counts as the plain runs',
    // and each object canonical as the rule allows: the least of its
    // phases under the twelve symmetries where the rule is isotropic, under
    // translations alone otherwise; run alone, it repeats first after its
    // period, moved as stated.
    void searchAndObjectsAsThePlainRun()
    {
        int turnedDiffers = 0;
        for (const auto& [name, rule] : FigureRules()) {
            Progress progress;
            std::atomic<bool> cancel{false};
            Request request{{3, 3}, 0, 512, false, 0, 2};
            request.rule = rule;
            QVERIFY(RunSearch(request, progress, cancel));
            Tally want;
            std::map<int, std::uint64_t> oscillators, ships;
            std::uint64_t died = 0, still = 0, grows = 0, undecided = 0;
            for (std::uint64_t n = 0; n < 512; ++n) {
                const reference::RunEnd end = reference::RunToEnd(SetOf(FigureCellsOf({3, 3}, n)), rule, GrowthColumns,
                                                                  GrowthRows, GenerationLimit);
                switch (end.kind) {
                case reference::Kind::Died: ++died; break;
                case reference::Kind::Still: ++still; break;
                case reference::Kind::Oscillator: ++oscillators[end.period]; break;
                case reference::Kind::Ship: ++ships[end.period]; break;
                case reference::Kind::Grows: ++grows; break;
                case reference::Kind::Undecided: ++undecided; break;
                }
            }
            const Tally& got = progress.tally;
            QCOMPARE(got.figures, std::uint64_t(512));
            QCOMPARE(got.died, died);
            QCOMPARE(got.still, still);
            QCOMPARE(got.grows, grows);
            QCOMPARE(got.undecided, undecided);
            QVERIFY(got.oscillators == oscillators);
            QVERIFY(got.ships == ships);
            QVERIFY2(!got.objects.empty(), qPrintable(name));
            const int symmetries = rule.IsIsotropic() ? SymmetryCount : 1;
            for (const auto& [key, tally] : got.objects) {
                const ObjectForm& form = tally.form;
                const reference::Cells cells = SetOf(form.cells);
                const std::vector<GollyCell> least = reference::LeastForm(cells, form.period, rule, symmetries);
                QVERIFY2(least == form.cells, qPrintable(name + ": " + QString::fromStdString(key)));
                turnedDiffers += symmetries == 1 && reference::LeastForm(cells, form.period, rule, SymmetryCount) != least;
                const reference::RunEnd alone = reference::RunToEnd(cells, rule, 1000, 1000, form.period);
                QVERIFY2(alone.first == 0 && alone.period == form.period && alone.dx == form.dx && alone.dy == form.dy &&
                             VerdictOf(alone.kind) == form.kind(),
                         qPrintable(name + ": " + QString::fromStdString(key)));
            }
        }
        // The table's objects include one whose turned form would be less:
        // a canonical form under the twelve symmetries would fail above.
        QVERIFY(turnedDiffers > 0);
    }

    // Under an isotropic rule a figure and its image under the box's own
    // symmetry (the mirror of a box of odd columns, the half turn of one
    // of even columns) end alike, their moves turned, their final cells
    // mapped, a periodic end in the same objects. (Drifting objects of a
    // growth are bounded by boxes of Golly's coordinates, which a turn does
    // not keep: the search finds an image's from its own cells.)
    void mirroredFiguresEndMirrored()
    {
        std::mt19937_64 random(47);
        for (const rule::Rule& rule : {Parsed("B2o/S2m34H"), RandomIsotropic(random), RandomIsotropic(random)}) {
            QVERIFY(rule.IsIsotropic());
            ObjectCache cache;
            int moved = 0;
            for (const Box box : {Box{5, 5}, Box{4, 4}}) {
                const BoxSymmetry symmetry(box);
                for (int k = 0; k < 1500; ++k) {
                    const std::uint64_t n = SampleFigure(box, 5, std::uint64_t(k));
                    const FigureResult a = Analyse(FigureCellsOf(box, n), rule, &cache);
                    const FigureResult b = Analyse(FigureCellsOf(box, symmetry.image(n)), rule, &cache);
                    const QString what = QString::fromStdString(rule.Text()) + ": " + Describe(a.fate) + " and " + Describe(b.fate);
                    QVERIFY2(symmetry.image(a.fate) == b.fate, qPrintable(what));
                    if (a.fate.verdict == Verdict::Grows) continue;
                    std::vector<GollyCell> mapped = a.final;
                    for (GollyCell& c : mapped) c = symmetry.image(c);
                    QVERIFY2(Sorted(mapped) == Sorted(b.final), qPrintable(what));
                    std::vector<std::string> ka, kb;
                    for (const ObjectForm& f : a.objects) ka.push_back(ObjectKey(f));
                    for (const ObjectForm& f : b.objects) kb.push_back(ObjectKey(f));
                    std::sort(ka.begin(), ka.end());
                    std::sort(kb.begin(), kb.end());
                    QVERIFY2(ka == kb, qPrintable(what));
                    moved += a.fate.dx != 0 || a.fate.dy != 0;
                }
            }
            qInfo("%s: %d ships", rule.Text().c_str(), moved);
        }
    }

    // Under the table that is not isotropic, figures and their images end
    // differently, so that a search by the box's symmetry would count
    // otherwise; the whole 4 x 4 search, asked to use the symmetry, counts
    // as every figure run alone does.
    void noBoxSymmetryUnlessIsotropic()
    {
        const rule::Rule rule = FigureRules()[3].second;
        const Box box{4, 4};
        const BoxSymmetry symmetry(box);
        ObjectCache cache(rule);
        std::vector<Fate> fates(box.figures());
        Tally alone;
        for (std::uint64_t n = 0; n < box.figures(); ++n) {
            const FigureResult r = Analyse(FigureCellsOf(box, n), rule, &cache);
            fates[n] = r.fate;
            alone.add(n, r);
        }
        // The counts of verdicts by the symmetry: each figure's image taken
        // to end as the figure does.
        std::map<Verdict, std::uint64_t> byFigure, bySymmetry;
        for (std::uint64_t n = 0; n < box.figures(); ++n) {
            ++byFigure[fates[n].verdict];
            const std::uint64_t m = symmetry.image(n);
            bySymmetry[fates[std::min(n, m)].verdict] += 1;
        }
        QVERIFY(byFigure != bySymmetry);

        Progress progress;
        std::atomic<bool> cancel{false};
        Request request{box, 0, box.figures(), false, 0, 2};
        request.rule = rule;
        request.symmetryMinUnits = 1;
        QVERIFY(RunSearch(request, progress, cancel));
        QVERIFY(progress.tally == alone);
    }

    // A rule with B0 is refused before anything runs.
    void ruleWithB0IsRefused()
    {
        const rule::Rule rule = Parsed("B0/S2H");
        QVERIFY(rule.HasB0());
        Progress progress;
        std::atomic<bool> cancel{false};
        Request request{{3, 3}, 0, 512, false, 0, 1};
        request.rule = rule;
        QVERIFY(!RunSearch(request, progress, cancel));
        QVERIFY(progress.done.empty());
        QCOMPARE(progress.tally.figures, std::uint64_t(0));
    }
};

QTEST_APPLESS_MAIN(TestSearchRules)
#include "test_search_rules.moc"
