#include "search/search.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

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
    ObjectCache local;
    ObjectCache& objects = cache != nullptr ? *cache : local;
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

namespace {

// A figure's result and its image's under the box's symmetry, from one run:
// the image's fate is the figure's with its move turned, and its objects
// are found from its own final cells, the figure's mapped, as Analyse finds
// them.
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

}  // namespace

std::string ObjectKey(const ObjectForm& form)
{
    std::string key;
    for (const GollyCell& c : form.cells) {
        if (!key.empty()) key += ' ';
        key += std::to_string(c.x) + ',' + std::to_string(c.y);
    }
    return key;
}

bool TopBefore(const TopEntry& a, const TopEntry& b)
{
    return a.fate.generation != b.fate.generation ? a.fate.generation > b.fate.generation : a.figure < b.figure;
}

namespace {

void AddTop(std::vector<TopEntry>& top, const TopEntry& entry)
{
    if (top.size() == size_t(TopCount) && !TopBefore(entry, top.back())) return;
    const auto at = std::lower_bound(top.begin(), top.end(), entry, TopBefore);
    if (at != top.end() && at->figure == entry.figure) return;  // a sample may draw a figure twice
    top.insert(at, entry);
    if (top.size() > size_t(TopCount)) top.pop_back();
}

void AddObject(std::map<std::string, ObjectTally>& objects, const ObjectForm& form, std::uint64_t count,
               std::uint64_t smallest)
{
    auto [it, fresh] = objects.try_emplace(ObjectKey(form));
    ObjectTally& t = it->second;
    if (fresh) {
        t.form = form;
        t.smallest = smallest;
    }
    t.count += count;
    t.smallest = std::min(t.smallest, smallest);
}

}  // namespace

void Tally::add(std::uint64_t figure, const FigureResult& result)
{
    ++figures;
    const Fate& f = result.fate;
    switch (f.verdict) {
    case Verdict::Died: ++died; break;
    case Verdict::Still: ++still; break;
    case Verdict::Oscillator: ++oscillators[f.period]; break;
    case Verdict::Ship: ++ships[f.period]; break;
    case Verdict::Grows: ++grows; break;
    case Verdict::Undecided: ++undecided; break;
    }
    for (const ObjectForm& form : result.objects) AddObject(objects, form, 1, figure);
    if (f.verdict != Verdict::Grows && f.verdict != Verdict::Undecided) AddTop(top, {figure, f});
}

void Tally::add(const Tally& other)
{
    figures += other.figures;
    died += other.died;
    still += other.still;
    grows += other.grows;
    undecided += other.undecided;
    for (const auto& [period, count] : other.oscillators) oscillators[period] += count;
    for (const auto& [period, count] : other.ships) ships[period] += count;
    for (const auto& [key, t] : other.objects) AddObject(objects, t.form, t.count, t.smallest);
    for (const TopEntry& entry : other.top) AddTop(top, entry);
}

void AddRange(Ranges& ranges, std::uint64_t begin, std::uint64_t end)
{
    if (begin >= end) return;
    Ranges out;
    bool placed = false;
    for (const auto& [b, e] : ranges) {
        if (e < begin) {
            out.push_back({b, e});
        } else if (end < b) {
            if (!placed) out.push_back({begin, end}), placed = true;
            out.push_back({b, e});
        } else {
            begin = std::min(begin, b);
            end = std::max(end, e);
        }
    }
    if (!placed) out.push_back({begin, end});
    ranges = std::move(out);
}

std::uint64_t RangesSize(const Ranges& ranges)
{
    std::uint64_t size = 0;
    for (const auto& [b, e] : ranges) size += e - b;
    return size;
}

bool RangesOverlap(const Ranges& a, const Ranges& b)
{
    for (const auto& [ab, ae] : a) {
        for (const auto& [bb, be] : b) {
            if (ab < be && bb < ae) return true;
        }
    }
    return false;
}

namespace {

// Whether any of the ranges meets begin .. end - 1.
bool Touches(const Ranges& ranges, std::uint64_t begin, std::uint64_t end)
{
    const auto it = std::lower_bound(ranges.begin(), ranges.end(), begin,
                                     [](const std::pair<std::uint64_t, std::uint64_t>& r, std::uint64_t b) { return r.second <= b; });
    return it != ranges.end() && it->first < end;
}

// AddRange for many at once.
void AddRanges(Ranges& ranges, Ranges more)
{
    more.insert(more.end(), ranges.begin(), ranges.end());
    std::sort(more.begin(), more.end());
    Ranges out;
    for (const auto& [b, e] : more) {
        if (!out.empty() && b <= out.back().second) {
            out.back().second = std::max(out.back().second, e);
        } else {
            out.push_back({b, e});
        }
    }
    ranges = std::move(out);
}

// Submasks of mask, 0 first, in increasing order.
template <typename F>
void ForEachSubmask(std::uint64_t mask, F&& f)
{
    std::uint64_t k = 0;
    do {
        f(k);
        k = (k - mask) & mask;
    } while (k != 0);
}

// The units of a whole box's symmetry. A block holds the figures with the
// same cells from the 13th on (the high cells); the high cells whose
// images are high too (fixed) keep their pattern, turned, in the images of
// a block's figures, and the others (free) take every pattern. A unit is
// the blocks of one pattern of the fixed cells and of its image, with
// every pattern of the free ones: the symmetry maps it onto itself.
struct SymmetryUnits {
    std::uint64_t fixed = 0, free = 0;
    std::vector<std::uint64_t> keys;  // each unit's least pattern of the fixed cells

    SymmetryUnits(const Box& box, const BoxSymmetry& symmetry)
    {
        if (box.figures() <= BlockSize) return;
        const std::uint64_t high = (box.figures() - 1) & ~(BlockSize - 1);
        fixed = high & symmetry.image(high);
        free = high & ~fixed;
        ForEachSubmask(fixed, [&](std::uint64_t k) {
            if (k <= symmetry.image(k)) keys.push_back(k);
        });
    }

    // The first figures of the unit's blocks.
    std::vector<std::uint64_t> blocks(std::uint64_t key, const BoxSymmetry& symmetry) const
    {
        std::vector<std::uint64_t> starts;
        const std::uint64_t turned = symmetry.image(key);
        for (std::uint64_t part : {key, turned}) {
            ForEachSubmask(free, [&](std::uint64_t v) { starts.push_back(part | v); });
            if (turned == key) break;
        }
        return starts;
    }
};

}  // namespace

bool RunSearch(const Request& request, Progress& progress, const std::atomic<bool>& cancel,
               const std::function<void(const Progress&)>& onProgress, double interval)
{
    if (request.rule.HasB0()) return false;
    const Box& box = request.box;
    const BoxSymmetry symmetry(box);
    // A job is a block of items, or a unit of the symmetry (begin its key).
    struct Job {
        std::uint64_t begin, end;
        bool unit;
    };
    std::vector<Job> todo;
    // The blocks of from .. to - 1 that are not done yet.
    auto addBlocks = [&](std::uint64_t from, std::uint64_t to) {
        auto add = [&](std::uint64_t b0, std::uint64_t e0) {
            for (std::uint64_t b = b0; b < e0; b += std::min(BlockSize, e0 - b)) {
                todo.push_back({b, std::min(e0, b + BlockSize), false});
            }
        };
        std::uint64_t at = from;
        for (const auto& [b, e] : progress.done) {
            if (e <= at || b >= to) continue;
            add(at, std::max(at, b));
            at = std::max(at, e);
        }
        add(at, to);
    };
    // The box's symmetry maps fates onto fates only where the rule is
    // isotropic.
    const bool wholeBox = !request.sample && request.begin == 0 && request.end == box.figures() &&
                          request.rule.IsIsotropic();
    const SymmetryUnits units = wholeBox ? SymmetryUnits(box, symmetry) : SymmetryUnits({0, 0}, symmetry);
    if (units.keys.size() >= size_t(std::max(1, request.symmetryMinUnits)) &&
        units.keys.size() <= size_t(MaxSymmetryUnits)) {
        // Units none of whose blocks is done yet run by the symmetry; the
        // others block by block.
        for (std::uint64_t key : units.keys) {
            const std::vector<std::uint64_t> starts = units.blocks(key, symmetry);
            const bool untouched = std::none_of(starts.begin(), starts.end(), [&](std::uint64_t b) {
                return Touches(progress.done, b, b + BlockSize);
            });
            if (untouched) {
                todo.push_back({key, 0, true});
            } else {
                for (std::uint64_t b : starts) addBlocks(b, b + BlockSize);
            }
        }
    } else {
        addBlocks(request.begin, request.end);
    }

    std::mutex lock;
    std::condition_variable changed;
    std::atomic<size_t> next{0};
    int running = std::max(1, std::min<int>(request.threads, int(std::min<size_t>(todo.size(), 1024))));
    // One unit of the symmetry: each pair of figures from one run. Its
    // blocks are added whole when all are done.
    auto runUnit = [&](std::uint64_t key, ObjectCache& cache) {
        Tally tally;
        Ranges blocks;
        for (std::uint64_t start : units.blocks(key, symmetry)) {
            for (std::uint64_t n = start; n < start + BlockSize; ++n) {
                if (cancel.load(std::memory_order_relaxed)) return false;
                const std::uint64_t m = symmetry.image(n);
                if (m < n) continue;  // run as the image of m
                if (m == n) {
                    tally.add(n, Analyse(FigureCellsOf(box, n), request.rule, &cache));
                } else {
                    const auto [result, image] = AnalyseWithImage(FigureCellsOf(box, n), symmetry, cache);
                    tally.add(n, result);
                    tally.add(m, image);
                }
            }
            blocks.push_back({start, start + BlockSize});
        }
        std::lock_guard<std::mutex> guard(lock);
        progress.tally.add(tally);
        AddRanges(progress.done, std::move(blocks));
        return true;
    };
    auto work = [&]() {
        ObjectCache cache(request.rule);
        for (size_t k = next++; k < todo.size() && !cancel.load(std::memory_order_relaxed); k = next++) {
            if (todo[k].unit) {
                if (!runUnit(todo[k].begin, cache)) break;
                continue;
            }
            Tally tally;
            bool whole = true;
            for (std::uint64_t item = todo[k].begin; item < todo[k].end; ++item) {
                if (cancel.load(std::memory_order_relaxed)) {
                    whole = false;
                    break;
                }
                const std::uint64_t figure =
                    request.sample ? SampleFigure(request.box, request.seed, item) : item;
                tally.add(figure, Analyse(FigureCellsOf(request.box, figure), request.rule, &cache));
            }
            if (!whole) break;
            std::lock_guard<std::mutex> guard(lock);
            progress.tally.add(tally);
            AddRange(progress.done, todo[k].begin, todo[k].end);
        }
        std::lock_guard<std::mutex> guard(lock);
        --running;
        changed.notify_all();
    };
    std::vector<std::thread> workers;
    const int count = running;
    for (int t = 0; t < count; ++t) workers.emplace_back(work);
    {
        std::unique_lock<std::mutex> guard(lock);
        while (running > 0) {
            changed.wait_for(guard, std::chrono::duration<double>(interval));
            if (onProgress) onProgress(progress);
        }
    }
    for (std::thread& w : workers) w.join();
    std::uint64_t done = 0;
    for (const auto& [b, e] : progress.done) {
        if (e > request.begin && b < request.end) done += std::min(e, request.end) - std::max(b, request.begin);
    }
    return done == request.end - request.begin;
}

}  // namespace hexlife::search
