// What the search costs: the verdicts of a fixed sample of 5 x 5 figures
// by the search's engine on each step kernel this processor runs, against
// the stepper the kernels replaced (tests/reference/search_baseline.h) and
// a plain per-cell step on an array of the field's lattice, all doing the
// same figures to the same verdicts (checked equal), one thread each, turn
// about in each round; then the whole search (objects and tally) of a
// range on one thread and on two, beside the replaced stepper's search of
// the same figures on one; and a whole box on one thread by the replaced
// stepper, by the engine block by block and by the box's symmetry.
// Single-thread times are CPU time, so that other
// work on the machine's cores counts less; the two-thread search is timed
// by the clock. Run by hand on a Release build
// (scripts/bench.sh, or bench_search alone).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "reference/search_baseline.h"
#include "search/search.h"
#include "search/step_kernel.h"

using namespace hexlife::search;
using Clock = std::chrono::steady_clock;

namespace {

// The plain reading: one byte a cell of a 256 x 256 array of the field's
// lattice; each generation counts every cell of the live box and its rim
// neighbour by neighbour. Every generation's shape in Golly's coordinates
// is kept whole, a hash proposing and a comparison deciding a repetition.
class PlainRun {
public:
    Fate run(const std::vector<GollyCell>& figure)
    {
        std::fill(cells_.begin(), cells_.end(), 0);
        c0_ = r0_ = Size;
        c1_ = r1_ = -1;
        for (const GollyCell& g : figure) {
            const int c = int(g.x) + Origin, r = int(g.y - g.x / 2) + Origin;
            at(c, r) = 1;
            c0_ = std::min(c0_, c), c1_ = std::max(c1_, c), r0_ = std::min(r0_, r), r1_ = std::max(r1_, r);
        }
        shapes_.clear();
        corners_.clear();
        byHash_.clear();
        for (int g = 0;; ++g) {
            if (c1_ < 0) return {Verdict::Died, g, 0, 0, 0, 0};
            if (c1_ - c0_ + 1 > GrowthColumns || r1_ - r0_ + 1 > GrowthRows) return {Verdict::Grows, g, 0, 0, 0, 0};
            // The shape in Golly's coordinates, from its least x and y.
            std::vector<GollyCell> shape;
            long left = 1L << 30, top = 1L << 30;
            for (int c = c0_; c <= c1_; ++c)
                for (int r = r0_; r <= r1_; ++r)
                    if (at(c, r) != 0) {
                        shape.push_back({c, r + c / 2});
                        left = std::min(left, long(c));
                        top = std::min(top, long(r + c / 2));
                    }
            std::uint64_t hash = shape.size();
            for (GollyCell& s : shape) {
                s = {s.x - left, s.y - top};
                hash = (hash ^ std::uint64_t(s.x * 131 + s.y)) * 0x100000001b3ULL;
            }
            const auto range = byHash_.equal_range(hash);
            for (auto it = range.first; it != range.second; ++it) {
                if (shapes_[size_t(it->second)] != shape) continue;
                const int first = it->second, period = g - first;
                const int dx = int(left - corners_[size_t(first)].x), dy = int(top - corners_[size_t(first)].y);
                const Verdict v = dx != 0 || dy != 0 ? Verdict::Ship : period == 1 ? Verdict::Still : Verdict::Oscillator;
                return {v, g, first, period, dx, dy};
            }
            if (g == GenerationLimit) return {Verdict::Undecided, g, 0, 0, 0, 0};
            byHash_.emplace(hash, g);
            shapes_.push_back(std::move(shape));
            corners_.push_back({left, top});
            // Kept away from the array's edge by whole pairs of columns.
            if (c0_ < 4 || r0_ < 4 || c1_ > Size - 5 || r1_ > Size - 5) recentre();
            step();
        }
    }

private:
    static constexpr int Size = 256, Origin = 98;

    std::uint8_t& at(int c, int r) { return cells_[size_t(c * Size + r)]; }

    void step()
    {
        int c0 = Size, c1 = -1, r0 = Size, r1 = -1;
        for (int c = c0_ - 1; c <= c1_ + 1; ++c) {
            const int d = c % 2 == 0 ? 1 : -1;
            for (int r = r0_ - 1; r <= r1_ + 1; ++r) {
                const int count = at(c - 1, r) + at(c - 1, r + d) + at(c + 1, r) + at(c + 1, r + d) + at(c, r - 1) + at(c, r + 1);
                next_[size_t(c * Size + r)] = count == 2;
                if (count == 2) c0 = std::min(c0, c), c1 = std::max(c1, c), r0 = std::min(r0, r), r1 = std::max(r1, r);
            }
        }
        for (int c = c0_; c <= c1_; ++c) std::fill_n(&at(c, r0_), r1_ - r0_ + 1, 0);
        cells_.swap(next_);
        c0_ = c0, c1_ = c1, r0_ = r0, r1_ = r1;
    }

    void recentre()
    {
        const int dc = ((Size - (c1_ - c0_ + 1)) / 2 - c0_) & ~1, dr = (Size - (r1_ - r0_ + 1)) / 2 - r0_;
        std::vector<std::uint8_t> moved(cells_.size(), 0);
        for (int c = c0_; c <= c1_; ++c)
            for (int r = r0_; r <= r1_; ++r) moved[size_t((c + dc) * Size + r + dr)] = at(c, r);
        cells_.swap(moved);
        c0_ += dc, c1_ += dc, r0_ += dr, r1_ += dr;
    }

    std::vector<std::uint8_t> cells_ = std::vector<std::uint8_t>(Size * Size), next_ = cells_;
    int c0_ = 0, c1_ = -1, r0_ = 0, r1_ = -1;  // the live box
    std::vector<std::vector<GollyCell>> shapes_;
    std::vector<GollyCell> corners_;
    std::unordered_multimap<std::uint64_t, int> byHash_;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F>
double Seconds(F&& f)
{
    const auto begin = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - begin).count();
}

double Cpu(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The CPU time of this thread, or of the whole process for a search that
// runs on a thread of its own while this one waits.
template <typename F>
double CpuSeconds(F&& f, clockid_t clock = CLOCK_THREAD_CPUTIME_ID)
{
    const double begin = Cpu(clock);
    f();
    return Cpu(clock) - begin;
}

void Line(const char* what, const std::vector<double>& t, double scale, const char* unit, int precision = 2)
{
    std::printf("%-46s %10.*f %s (median of %zu; %.*f to %.*f)\n", what, precision, Median(t) * scale, unit, t.size(),
                precision, *std::min_element(t.begin(), t.end()) * scale, precision,
                *std::max_element(t.begin(), t.end()) * scale);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    const Box box{5, 5};
    std::vector<std::vector<GollyCell>> sample;
    for (std::uint64_t i = 0; i < 1000; ++i) sample.push_back(FigureCellsOf(box, SampleFigure(box, 2026, i)));
    const std::vector<StepPath> paths = AvailableStepPaths();

    // The same verdicts, or the comparison means nothing.
    PlainRun plain;
    baseline::BaselineRunner old;
    int differ = 0;
    for (const auto& figure : sample) {
        const Fate want = old.run(figure);
        differ += !(plain.run(figure) == want);
        for (StepPath path : paths) {
            SetStepPath(path);
            differ += !(Evolve(figure) == want);
        }
    }
    std::printf("sample: 1000 figures of 5 x 5 (seed 2026); verdicts that differ: %d\n", differ);
    if (differ != 0) return 1;

    // Each per figure, over the whole sample, turn about in each round.
    std::vector<double> plainTimes, oldTimes, oldFullTimes, fullTimes;
    std::vector<std::vector<double>> fastTimes(paths.size()), ratios(paths.size());
    std::vector<double> fullRatios;
    ObjectCache oldCache;
    const double n = double(sample.size());
    for (int r = 0; r < runs; ++r) {
        plainTimes.push_back(CpuSeconds([&] {
            for (const auto& figure : sample) plain.run(figure);
        }) / n);
        oldTimes.push_back(CpuSeconds([&] {
            for (const auto& figure : sample) old.run(figure);
        }) / n);
        for (size_t p = 0; p < paths.size(); ++p) {
            SetStepPath(paths[p]);
            fastTimes[p].push_back(CpuSeconds([&] {
                for (const auto& figure : sample) Evolve(figure);
            }) / n);
            ratios[p].push_back(oldTimes.back() / fastTimes[p].back());
        }
        oldFullTimes.push_back(CpuSeconds([&] {
            for (const auto& figure : sample) baseline::BaselineAnalyse(old, figure, oldCache);
        }) / n);
        fullTimes.push_back(CpuSeconds([&] {
            ObjectCache cache;
            for (const auto& figure : sample) Analyse(figure, &cache);
        }) / n);
        fullRatios.push_back(oldFullTimes.back() / fullTimes.back());
    }
    Line("plain per-cell step, verdict per figure:", plainTimes, 1e6, "us");
    Line("replaced stepper, verdict per figure:", oldTimes, 1e6, "us");
    for (size_t p = 0; p < paths.size(); ++p) {
        const std::string what = std::string("engine (") + StepPathName(paths[p]) + "), verdict per figure:";
        Line(what.c_str(), fastTimes[p], 1e6, "us");
    }
    Line("replaced stepper, verdict and objects:", oldFullTimes, 1e6, "us");
    const std::string full = std::string("engine (") + StepPathName(paths.back()) + "), verdict and objects:";
    Line(full.c_str(), fullTimes, 1e6, "us");
    for (size_t p = 0; p < paths.size(); ++p) {
        const std::string what = std::string("speed-up of ") + StepPathName(paths[p]) + " over the replaced:";
        Line(what.c_str(), ratios[p], 1, "x ", 2);
    }
    Line("same with objects, fastest kernel:", fullRatios, 1, "x ", 2);
    std::vector<double> overPlain;
    for (int r = 0; r < runs; ++r) overPlain.push_back(plainTimes[size_t(r)] / fastTimes.back()[size_t(r)]);
    Line("fastest kernel over the plain per-cell step:", overPlain, 1, "x ", 1);

    // The whole search of a range on one thread and on two, turn about,
    // and the replaced stepper's search of the same figures on one.
    const std::uint64_t figures = 1 << 18;
    std::vector<double> one, two, oldOne, searchRatios;
    for (int r = 0; r < runs; ++r) {
        oldOne.push_back(double(figures) / CpuSeconds([&] {
            Tally tally;
            for (std::uint64_t f = 0; f < figures; ++f) tally.add(f, baseline::BaselineAnalyse(old, FigureCellsOf(box, f), oldCache));
        }));
        for (int threads : {1, 2}) {
            Progress progress;
            std::atomic<bool> cancel{false};
            const Request request{box, 0, figures, false, 0, threads};
            const double s = threads == 1 ? CpuSeconds([&] { RunSearch(request, progress, cancel); }, CLOCK_PROCESS_CPUTIME_ID)
                                          : Seconds([&] { RunSearch(request, progress, cancel); });
            (threads == 1 ? one : two).push_back(double(figures) / s);
        }
        searchRatios.push_back(one.back() / oldOne.back());
    }
    char what[96];
    std::snprintf(what, sizeof what, "replaced stepper, 5 x 5 figures 0:%llu, 1 thread:", (unsigned long long)figures);
    Line(what, oldOne, 1, "figures/s", 0);
    std::snprintf(what, sizeof what, "search of 5 x 5 figures 0:%llu, 1 thread:", (unsigned long long)figures);
    Line(what, one, 1, "figures/s", 0);
    Line("same, 2 threads (by the clock):", two, 1, "figures/s", 0);
    Line("1 thread over the replaced stepper:", searchRatios, 1, "x ", 2);
    std::printf("2 threads / 1 thread:                           %10.2f\n", Median(two) / Median(one));

    // A whole box on one thread: the replaced stepper figure by figure,
    // the engine block by block, and the engine by the box's symmetry (one
    // unit here, so asked for), turn about. 6 x 3: 262144 figures.
    const Box whole{6, 3};
    std::vector<double> oldWhole, blocks, paired, pairedRatios;
    for (int r = 0; r < runs; ++r) {
        oldWhole.push_back(double(whole.figures()) / CpuSeconds([&] {
            Tally tally;
            for (std::uint64_t f = 0; f < whole.figures(); ++f) {
                tally.add(f, baseline::BaselineAnalyse(old, FigureCellsOf(whole, f), oldCache));
            }
        }));
        for (int minUnits : {MaxSymmetryUnits + 1, 1}) {
            Progress progress;
            std::atomic<bool> cancel{false};
            Request request{whole, 0, whole.figures(), false, 0, 1};
            request.symmetryMinUnits = minUnits;
            const double s = CpuSeconds([&] { RunSearch(request, progress, cancel); }, CLOCK_PROCESS_CPUTIME_ID);
            (minUnits == 1 ? paired : blocks).push_back(double(whole.figures()) / s);
        }
        pairedRatios.push_back(paired.back() / oldWhole.back());
    }
    Line("whole 6 x 3 box, 1 thread, replaced stepper:", oldWhole, 1, "figures/s", 0);
    Line("same, engine block by block:", blocks, 1, "figures/s", 0);
    Line("same, engine by the box's symmetry:", paired, 1, "figures/s", 0);
    Line("by the symmetry over the replaced stepper:", pairedRatios, 1, "x ", 2);
    return 0;
}
