// The search of many figures: in blocks on threads of its own, or by the
// units of the box's symmetry, told as it goes and stopped by its flag.
#include "search/search.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "search/analysis.h"
#include "search/objects.h"
#include "search/symmetry.h"

namespace hexlife::search {

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
