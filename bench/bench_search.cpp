// What the search costs: the verdicts of a fixed sample of 5 x 5 figures
// by the search's bitboard engine against a plain per-cell step on an
// array of the field's lattice doing the same figures to the same verdicts
// (checked equal), one thread each; then the whole search (objects and
// tally) on one thread and on two. Run by hand on a Release build
// (scripts/bench.sh, or bench_search alone).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "search/search.h"

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

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    const Box box{5, 5};
    std::vector<std::vector<GollyCell>> sample;
    for (std::uint64_t i = 0; i < 1000; ++i) sample.push_back(FigureCellsOf(box, SampleFigure(box, 2026, i)));

    // The same verdicts, or the comparison means nothing.
    PlainRun plain;
    int differ = 0;
    for (const auto& figure : sample) differ += !(plain.run(figure) == Evolve(figure));
    std::printf("sample: 1000 figures of 5 x 5 (seed 2026); verdicts that differ: %d\n", differ);
    if (differ != 0) return 1;

    // Each per figure, over the whole sample.
    std::vector<double> plainTimes, fastTimes, fullTimes;
    for (int r = 0; r < runs; ++r) {
        plainTimes.push_back(Seconds([&] {
            for (const auto& figure : sample) plain.run(figure);
        }) / double(sample.size()));
        fastTimes.push_back(Seconds([&] {
            for (const auto& figure : sample) Evolve(figure);
        }) / double(sample.size()));
        fullTimes.push_back(Seconds([&] {
            for (const auto& figure : sample) Analyse(figure);
        }) / double(sample.size()));
    }
    auto line = [&](const char* what, const std::vector<double>& t) {
        std::printf("%-42s %9.2f us  (median of %d; %.2f to %.2f)\n", what, Median(t) * 1e6, runs,
                    *std::min_element(t.begin(), t.end()) * 1e6, *std::max_element(t.begin(), t.end()) * 1e6);
    };
    line("plain per-cell step, verdict per figure:", plainTimes);
    line("search engine, verdict per figure:", fastTimes);
    line("search engine, verdict and objects:", fullTimes);
    std::vector<double> ratios;
    for (int r = 0; r < runs; ++r) ratios.push_back(plainTimes[size_t(r)] / fastTimes[size_t(r)]);
    std::printf("speed-up over the plain step:              %9.1f x  (median; %.1f to %.1f; target >= 20 x)\n",
                Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));

    // The whole search of a range on one thread and on two, turn about.
    const std::uint64_t figures = 1 << 18;
    std::vector<double> one, two;
    for (int r = 0; r < runs; ++r) {
        for (int threads : {1, 2}) {
            Progress progress;
            std::atomic<bool> cancel{false};
            const double s = Seconds([&] { RunSearch({box, 0, figures, false, 0, threads}, progress, cancel); });
            (threads == 1 ? one : two).push_back(double(figures) / s);
        }
    }
    std::printf("search of 5 x 5 figures 0:%llu, 1 thread:  %9.0f figures/s (median of %d; %.0f to %.0f)\n",
                (unsigned long long)figures, Median(one), runs, *std::min_element(one.begin(), one.end()),
                *std::max_element(one.begin(), one.end()));
    std::printf("same, 2 threads:                           %9.0f figures/s (median of %d; %.0f to %.0f)\n",
                Median(two), runs, *std::min_element(two.begin(), two.end()), *std::max_element(two.begin(), two.end()));
    std::printf("2 threads / 1 thread:                      %9.2f\n", Median(two) / Median(one));
    std::printf("all 33554432 figures of 5 x 5 at that rate: %8.0f s on 2 threads (target <= 900 s)\n",
                33554432.0 / Median(two));
    return 0;
}
