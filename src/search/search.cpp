// The run of one figure: its fate and the objects it ends as.
#include "search/search.h"

#include <algorithm>
#include <optional>

#include "search/analysis.h"

#include "search/board.h"
#include "search/objects.h"
#include "search/symmetry.h"

namespace hexlife::search {

namespace {

// The run of one pattern with a table of the hashes of its generations'
// shapes: a hash proposes a repetition, an exact comparison with that
// generation, run again from the start, decides. One per thread. The table
// starts small enough to stay in the first-level cache, as most figures
// decide within a few hundred generations, and grows for those that do not.
class Runner {
public:
    Runner() : table_(LargeTable), hashes_(GenerationLimit + 1) { board_.setRule(rule_); }

    // The rule the runs go by, compiled once for the figures that follow.
    void setRule(const rule::Rule& rule)
    {
        if (!(rule == rule_.rule)) rule_ = StepRule(rule);
    }

    // The fate of the pattern; last() is then its generation at the verdict.
    Fate run(const std::vector<GollyCell>& start)
    {
        newRun(SmallTable);
        Board& board = board_;
        board.set(start);
        // The field rows' span grows by 2 a generation at most: it is
        // counted exactly only where this bound could pass the limit.
        std::int64_t rowSpan = board.fieldRowSpan();
        int rowSpanAt = 0;
        for (int g = 0;; ++g) {
            if (board.empty()) return {Verdict::Died, g, 0, 0, 0, 0};
            const Extent e = board.extent();
            if (e.width() > GrowthColumns) return {Verdict::Grows, g, 0, 0, 0, 0};
            if (rowSpan + 2 * (g - rowSpanAt) > GrowthRows) {
                rowSpan = board.fieldRowSpanBound();
                if (rowSpan > GrowthRows) rowSpan = board.fieldRowSpan();
                rowSpanAt = g;
                if (rowSpan > GrowthRows) return {Verdict::Grows, g, 0, 0, 0, 0};
            }
            // Generation g's hash comes with the step to g + 1: where g
            // repeats an earlier generation, both are made again from the
            // start to be compared.
            const std::uint64_t hash = board.stepHashing();
            size_t slot = size_t(hash) & mask_;
            for (; table_[slot].epoch == epoch_; slot = (slot + 1) & mask_) {
                if (table_[slot].hash != hash) continue;
                const int earlier = table_[slot].generation;
                Board then;
                then.setRule(rule_);
                then.set(start);
                for (int k = 0; k < earlier; ++k) then.step();
                board.set(then.cells());
                for (int k = earlier; k < g; ++k) board.step();
                if (!then.sameShape(board)) {
                    board.step();  // back to g + 1
                    continue;
                }
                const Extent was = then.extent();
                const int dx = int(e.left - was.left), dy = int(e.top - was.top);
                const int period = g - earlier;
                const Verdict verdict = dx != 0 || dy != 0 ? Verdict::Ship
                                        : period == 1      ? Verdict::Still
                                                           : Verdict::Oscillator;
                return {verdict, g, earlier, period, dx, dy};
            }
            if (g == GenerationLimit) return {Verdict::Undecided, g, 0, 0, 0, 0};
            table_[slot] = {hash, g, epoch_};
            hashes_[size_t(g)] = hash;
            if (mask_ == SmallTable - 1 && g + 1 == SmallTable / 3) {
                // A third full: every generation so far into the large table.
                newRun(LargeTable);
                for (int k = 0; k <= g; ++k) insert(hashes_[size_t(k)], k);
            }
        }
    }

    const Board& last() const { return board_; }

private:
    // Room for every generation up to the limit, a third full at most.
    static constexpr size_t SmallTable = 1024, LargeTable = 16384;
    static_assert(LargeTable >= 3 * GenerationLimit && (LargeTable & (LargeTable - 1)) == 0);
    static_assert((SmallTable & (SmallTable - 1)) == 0);
    struct Slot {
        std::uint64_t hash = 0;
        int generation = 0;
        std::uint32_t epoch = 0;  // the slot is in use for the run of this epoch
    };

    // An empty table of `size` slots, by a new epoch.
    void newRun(size_t size)
    {
        if (++epoch_ == 0) {
            std::fill(table_.begin(), table_.end(), Slot{});
            epoch_ = 1;
        }
        mask_ = size - 1;
    }

    void insert(std::uint64_t hash, int generation)
    {
        size_t slot = size_t(hash) & mask_;
        while (table_[slot].epoch == epoch_) slot = (slot + 1) & mask_;
        table_[slot] = {hash, generation, epoch_};
    }

    std::vector<Slot> table_;
    size_t mask_ = SmallTable - 1;
    std::uint32_t epoch_ = 0;
    std::vector<std::uint64_t> hashes_;  // by generation
    StepRule rule_;
    Board board_;
};

Runner& ThreadRunner()
{
    thread_local Runner runner;
    return runner;
}

std::uint64_t SplitMix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

}  // namespace

const char* VerdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Died: return "died";
    case Verdict::Still: return "still";
    case Verdict::Oscillator: return "oscillator";
    case Verdict::Ship: return "ship";
    case Verdict::Grows: return "grows";
    case Verdict::Undecided: return "undecided";
    }
    return "";
}

bool ValidBox(const Box& box)
{
    return box.columns >= 1 && box.columns <= MaxBoxSide && box.rows >= 1 && box.rows <= MaxBoxSide &&
           box.cells() <= MaxBoxCells;
}

std::vector<GollyCell> FigureCellsOf(const Box& box, std::uint64_t figure)
{
    std::vector<GollyCell> cells;
    for (int k = 0; k < box.cells(); ++k) {
        if ((figure >> k & 1) != 0) cells.push_back(rle::ToGolly(k / box.rows, k % box.rows));
    }
    return cells;
}

std::uint64_t SampleFigure(const Box& box, std::uint64_t seed, std::uint64_t index)
{
    return SplitMix(SplitMix(seed) ^ index) & (box.figures() - 1);
}

Verdict ObjectForm::kind() const
{
    if (dx != 0 || dy != 0) return Verdict::Ship;
    return period == 1 ? Verdict::Still : Verdict::Oscillator;
}

namespace {
// B2/S2H, made once.
const rule::Rule& TwoOfSixRule() { return StepRule::TwoOfSix().rule; }
}  // namespace

Fate Evolve(const std::vector<GollyCell>& start) { return Evolve(start, TwoOfSixRule()); }

Fate Evolve(const std::vector<GollyCell>& start, const rule::Rule& rule)
{
    Runner& runner = ThreadRunner();
    runner.setRule(rule);
    return runner.run(start);
}

FigureResult Analyse(const std::vector<GollyCell>& start, ObjectCache* cache)
{
    return Analyse(start, TwoOfSixRule(), cache);
}

FigureResult Analyse(const std::vector<GollyCell>& start, const rule::Rule& rule, ObjectCache* cache)
{
    // A cache of the figure's own only where none is given: making one
    // builds its rule's tables, which would cost every figure of a search.
    std::optional<ObjectCache> local;
    if (cache == nullptr) local.emplace();
    ObjectCache& objects = cache != nullptr ? *cache : *local;
    objects.setRule(rule);
    FigureResult result;
    Runner& runner = ThreadRunner();
    runner.setRule(rule);
    result.fate = runner.run(start);
    const Board& last = runner.last();
    switch (result.fate.verdict) {
    case Verdict::Still:
    case Verdict::Oscillator:
    case Verdict::Ship:
        result.final = last.cells();
        result.objects = PeriodicObjects(result.final, result.fate.period, result.fate.dx, result.fate.dy, objects);
        break;
    case Verdict::Grows:
        if (auto drifting = DriftingObjects(last, objects)) result.objects = std::move(*drifting);
        break;
    case Verdict::Died:
    case Verdict::Undecided: break;
    }
    return result;
}

std::pair<FigureResult, FigureResult> AnalyseWithImage(const std::vector<GollyCell>& start, const BoxSymmetry& symmetry,
                                                       ObjectCache& cache)
{
    std::pair<FigureResult, FigureResult> out;
    FigureResult& result = out.first;
    FigureResult& image = out.second;
    result = Analyse(start, cache.rule().rule, &cache);
    const Fate& f = result.fate;
    image.fate = symmetry.image(f);
    auto mapped = [&](std::vector<GollyCell> cells) {
        for (GollyCell& c : cells) c = symmetry.image(c);
        return cells;
    };
    switch (f.verdict) {
    case Verdict::Still:
    case Verdict::Oscillator:
    case Verdict::Ship:
        image.final = mapped(result.final);
        image.objects = PeriodicObjects(image.final, f.period, image.fate.dx, image.fate.dy, cache);
        break;
    case Verdict::Grows: {
        // The image has as many cells: the test DriftingObjects makes first.
        const Board& last = ThreadRunner().last();
        if (last.population() > DriftMaxCells) break;
        Board board;
        board.setRule(cache.rule());
        board.set(mapped(last.cells()));
        if (auto drifting = DriftingObjects(board, cache)) image.objects = std::move(*drifting);
        break;
    }
    case Verdict::Died:
    case Verdict::Undecided: break;
    }
    return out;
}

}  // namespace hexlife::search
