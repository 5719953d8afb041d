// The search's stepper as it was before the vector kernels: one 64-bit word
// per Golly row, one row at a time, each generation's hash chained through
// the rows. Kept unchanged as the oracle the engine's tests compare every
// kernel with and the baseline the search benchmark times in the same run.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <vector>

#include "search/board.h"  // Extent
#include "search/objects.h"
#include "search/search.h"

namespace baseline {

using hexlife::rle::GollyCell;
using namespace hexlife::search;

// Floor division by two, for columns left of x = 0 too.
constexpr std::int64_t HalfDown(std::int64_t x) { return x >= 0 ? x / 2 : -((-x + 1) / 2); }

class BaselineBoard {
public:
    static constexpr int Height = 128;
    // Widest pattern the step takes: one free bit stays on either side.
    static constexpr int MaxWidth = 62;

    BaselineBoard()
    {
        rows_[0].fill(0);
        rows_[1].fill(0);
    }

    // Only the live rows are cleared: the other buffer and the rows outside
    // the live ones are always zero.
    void clear()
    {
        if (lo_ <= hi_) std::memset(&rows_[size_t(cur_)][size_t(lo_)], 0, sizeof(std::uint64_t) * size_t(hi_ - lo_ + 1));
        lo_ = Height;
        hi_ = -1;
        bits_ = 0;
        ox_ = oy_ = 0;
    }

    // Cells of a pattern less than 62 wide and 120 tall.
    void set(const std::vector<GollyCell>& cells)
    {
        clear();
        if (cells.empty()) return;
        std::int64_t left = cells[0].x, top = cells[0].y;
        for (const GollyCell& c : cells) left = std::min(left, c.x), top = std::min(top, c.y);
        ox_ = left - 1;
        oy_ = top - 2;
        for (const GollyCell& c : cells) {
            const std::int64_t b = c.x - ox_, i = c.y - oy_;
            assert(b >= 0 && b < 64 && i >= 0 && i < Height);
            rows_[size_t(cur_)][size_t(i)] |= std::uint64_t(1) << b;
            lo_ = std::min(lo_, int(i));
            hi_ = std::max(hi_, int(i));
            bits_ |= std::uint64_t(1) << b;
        }
    }

    bool empty() const { return bits_ == 0; }

    int population() const
    {
        int count = 0;
        const auto& w = rows_[size_t(cur_)];
        for (int i = lo_; i <= hi_; ++i) count += std::popcount(w[size_t(i)]);
        return count;
    }

    std::vector<GollyCell> cells() const
    {
        std::vector<GollyCell> out;
        const auto& w = rows_[size_t(cur_)];
        for (int i = lo_; i <= hi_; ++i) {
            for (std::uint64_t r = w[size_t(i)]; r != 0; r &= r - 1) {
                out.push_back({ox_ + std::countr_zero(r), oy_ + i});
            }
        }
        return out;
    }

    Extent extent() const
    {
        if (empty()) return {};
        return {ox_ + std::countr_zero(bits_), ox_ + 63 - std::countl_zero(bits_), oy_ + lo_, oy_ + hi_};
    }

    // The span of the field lattice's rows j = y - x div 2 of the live cells.
    std::int64_t fieldRowSpan() const
    {
        if (empty()) return 0;
        std::int64_t least = INT64_MAX, most = INT64_MIN;
        const auto& w = rows_[size_t(cur_)];
        for (int i = lo_; i <= hi_; ++i) {
            const std::uint64_t r = w[size_t(i)];
            if (r == 0) continue;
            const std::int64_t y = oy_ + i;
            least = std::min(least, y - HalfDown(ox_ + 63 - std::countl_zero(r)));
            most = std::max(most, y - HalfDown(ox_ + std::countr_zero(r)));
        }
        return most - least + 1;
    }

    // A bound of fieldRowSpan() from the box alone: never less than it.
    std::int64_t fieldRowSpanBound() const
    {
        const Extent e = extent();
        return e.height() + HalfDown(e.right) - HalfDown(e.left);
    }

    // The next generation: a cell is live when exactly two of its six
    // neighbours are (B2/S2). Row y counts (x -+ 1, y), (x, y - 1),
    // (x - 1, y - 1), (x, y + 1) and (x + 1, y + 1).
    void step() { stepHashing(); }

    // The step, returning shapeHash() of the generation before it: the
    // rows are read once for both.
    std::uint64_t stepHashing()
    {
        if (empty()) return 0;
        makeRoom();
        const int shift = std::countr_zero(bits_);
        std::uint64_t hash = std::uint64_t(hi_ - lo_) * 0x9e3779b97f4a7c15ULL;
        auto& w = rows_[size_t(cur_)];
        auto& n = rows_[size_t(1 - cur_)];
        int lo = Height, hi = -1;
        std::uint64_t bits = 0;
        for (int i = lo_ - 1; i <= hi_ + 1; ++i) {
            const std::uint64_t up = w[size_t(i - 1)], mid = w[size_t(i)], down = w[size_t(i + 1)];
            const std::uint64_t a = mid << 1, b = mid >> 1, c = up, d = up << 1, e = down, f = down >> 1;
            // Two full adders: s1 + 2 c1 = a + b + c, s2 + 2 c2 = d + e + f.
            const std::uint64_t ab = a ^ b, de = d ^ e;
            const std::uint64_t s1 = ab ^ c, c1 = (a & b) | (c & ab);
            const std::uint64_t s2 = de ^ f, c2 = (d & e) | (f & de);
            // Exactly two: both ones and no two, or no one and one two.
            const std::uint64_t next = (s1 & s2 & ~(c1 | c2)) | (~(s1 | s2) & (c1 ^ c2));
            n[size_t(i)] = next;
            hash = std::rotl(hash, 7) ^ ((mid >> shift) + std::uint64_t(i - lo_)) * 0xff51afd7ed558ccdULL;
            if (next != 0) {
                lo = std::min(lo, i);
                hi = i;
                bits |= next;
            }
        }
        // The old rows are zeroed, so that the buffer the next step writes
        // into is empty outside what it writes.
        std::memset(&w[size_t(lo_)], 0, sizeof(std::uint64_t) * size_t(hi_ - lo_ + 1));
        cur_ = 1 - cur_;
        lo_ = lo;
        hi_ = hi;
        bits_ = bits;
        return hash ^ (hash >> 29);
    }

    // A hash of the shape wherever it stands (0 for no cells).
    std::uint64_t shapeHash() const
    {
        if (empty()) return 0;
        const int shift = std::countr_zero(bits_);
        const auto& w = rows_[size_t(cur_)];
        std::uint64_t hash = std::uint64_t(hi_ - lo_) * 0x9e3779b97f4a7c15ULL;
        // The same rows as stepHashing() takes: the live ones and one either side.
        for (int i = lo_ - 1; i <= hi_ + 1; ++i) {
            hash = std::rotl(hash, 7) ^ ((w[size_t(i)] >> shift) + std::uint64_t(i - lo_)) * 0xff51afd7ed558ccdULL;
        }
        return hash ^ (hash >> 29);
    }

    // Whether the two patterns are the same shape, wherever each stands.
    bool sameShape(const BaselineBoard& other) const
    {
        if (empty() || other.empty()) return empty() == other.empty();
        if (hi_ - lo_ != other.hi_ - other.lo_) return false;
        const int s = std::countr_zero(bits_), t = std::countr_zero(other.bits_);
        if ((bits_ >> s) != (other.bits_ >> t)) return false;
        const auto& a = rows_[size_t(cur_)];
        const auto& b = other.rows_[size_t(other.cur_)];
        for (int i = 0; i <= hi_ - lo_; ++i) {
            if ((a[size_t(lo_ + i)] >> s) != (b[size_t(other.lo_ + i)] >> t)) return false;
        }
        return true;
    }

private:
    // Keeps a free bit on either side and a free row above and below.
    void makeRoom()
    {
        const int first = std::countr_zero(bits_), last = 63 - std::countl_zero(bits_);
        auto& w = rows_[size_t(cur_)];
        if (first < 1 || last > 62) {
            const int width = last - first + 1;
            assert(width <= MaxWidth);
            const int shift = (64 - width) / 2 - first;  // moves the live bits to the middle
            for (int i = lo_; i <= hi_; ++i) {
                w[size_t(i)] = shift > 0 ? w[size_t(i)] << shift : w[size_t(i)] >> -shift;
            }
            bits_ = shift > 0 ? bits_ << shift : bits_ >> -shift;
            ox_ -= shift;
        }
        if (lo_ < 2 || hi_ > Height - 3) {
            const int height = hi_ - lo_ + 1;
            assert(height <= Height - 4);
            const int to = (Height - height) / 2;
            std::memmove(&w[size_t(to)], &w[size_t(lo_)], sizeof(std::uint64_t) * size_t(height));
            // Rows left behind outside the new place are cleared.
            for (int i = lo_; i <= hi_; ++i) {
                if (i < to || i >= to + height) w[size_t(i)] = 0;
            }
            oy_ -= to - lo_;
            hi_ = to + height - 1;
            lo_ = to;
        }
    }

    std::array<std::array<std::uint64_t, Height>, 2> rows_;
    int cur_ = 0;
    int lo_ = Height, hi_ = -1;  // live rows of the current buffer
    std::uint64_t bits_ = 0;     // the OR of the live rows
    std::int64_t ox_ = 0, oy_ = 0;
};

// The run of one pattern to its verdict, as the search ran it.
class BaselineRunner {
public:
    BaselineRunner() : table_(TableSize) {}

    // The fate of the pattern; last() is then its generation at the verdict.
    Fate run(const std::vector<GollyCell>& start)
    {
        if (++epoch_ == 0) {
            std::fill(table_.begin(), table_.end(), Slot{});
            epoch_ = 1;
        }
        BaselineBoard& board = board_;
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
            size_t slot = size_t(hash) & (TableSize - 1);
            for (; table_[slot].epoch == epoch_; slot = (slot + 1) & (TableSize - 1)) {
                if (table_[slot].hash != hash) continue;
                const int earlier = table_[slot].generation;
                BaselineBoard then;
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
        }
    }

    const BaselineBoard& last() const { return board_; }

private:
    // Room for every generation up to the limit, a third full at most.
    static constexpr size_t TableSize = 16384;
    static_assert(TableSize >= 3 * GenerationLimit && (TableSize & (TableSize - 1)) == 0);
    struct Slot {
        std::uint64_t hash = 0;
        int generation = 0;
        std::uint32_t epoch = 0;  // the slot is in use for the run of this epoch
    };
    std::vector<Slot> table_;
    std::uint32_t epoch_ = 0;
    BaselineBoard board_;
};

// A figure's result as the search made it with this stepper: its fate and
// final cells from the run above, the objects from them.
inline FigureResult BaselineAnalyse(BaselineRunner& runner, const std::vector<GollyCell>& start, ObjectCache& cache)
{
    FigureResult result;
    result.fate = runner.run(start);
    const Fate& f = result.fate;
    switch (f.verdict) {
    case Verdict::Still:
    case Verdict::Oscillator:
    case Verdict::Ship:
        result.final = runner.last().cells();
        result.objects = PeriodicObjects(result.final, f.period, f.dx, f.dy, cache);
        break;
    case Verdict::Grows: {
        Board board;
        board.set(runner.last().cells());
        if (auto drifting = DriftingObjects(board, cache)) result.objects = std::move(*drifting);
        break;
    }
    case Verdict::Died:
    case Verdict::Undecided: break;
    }
    return result;
}

}  // namespace baseline
