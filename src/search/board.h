// A small pattern on the unbounded plane as a bitboard: one 64-bit word per
// Golly row (bit b of row i is cell (ox + b, oy + i) in Golly's hexagonal
// coordinates). There every translation is a symmetry of the lattice, so
// the generation step is plain shifts with no column parity. The pattern
// may be at most 62 cells wide when stepped; it is moved inside the words
// and rows whenever it comes near their edge, and (ox, oy) keep its place.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <vector>

#include "rle/rle.h"
#include "search/step_kernel.h"

namespace hexlife::search {

using rle::GollyCell;

// Floor division by two, for columns left of x = 0 too (C++20 shifts a
// negative number arithmetically).
constexpr std::int64_t HalfDown(std::int64_t x) { return x >> 1; }
static_assert(HalfDown(-3) == -2 && HalfDown(-2) == -1 && HalfDown(-1) == -1 && HalfDown(3) == 1);

// The bounding box of live cells in Golly's coordinates.
struct Extent {
    std::int64_t left = 0, right = -1, top = 0, bottom = -1;
    std::int64_t width() const { return right - left + 1; }
    std::int64_t height() const { return bottom - top + 1; }
};

class Board {
public:
    static constexpr int Height = 128;
    // Widest pattern the step takes: one free bit stays on either side.
    static constexpr int MaxWidth = 62;

    static_assert(Height <= StepMaxRows);

    Board()
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

    // The rule the board steps by, B2/S2H unless set; it must outlive the
    // board's steps.
    void setRule(const StepRule& rule) { rule_ = &rule; }
    const StepRule& rule() const { return *rule_; }

    bool empty() const { return bits_ == 0; }

    int population() const
    {
        if (empty()) return 0;
        return CountCells(&rows_[size_t(cur_)][size_t(lo_)], hi_ - lo_ + 1);
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

    // The next generation by the board's rule. Row y's cells see
    // (x -+ 1, y), (x, y - 1), (x - 1, y - 1), (x, y + 1) and (x + 1, y + 1).
    void step() { stepHashing(); }

    // The step, returning shapeHash() of the generation before it: the
    // rows are read once for both, by the kernel of CurrentStepPath().
    std::uint64_t stepHashing()
    {
        if (empty()) return 0;
        makeRoom();
        auto& w = rows_[size_t(cur_)];
        auto& n = rows_[size_t(1 - cur_)];
        // The live rows and one either side; the kernel clears them in w.
        const int from = lo_ - 1, count = hi_ - lo_ + 3;
        const StepSums sums = StepRows(w.data(), n.data(), from, count, std::countr_zero(bits_), *rule_);
        const std::uint64_t hash = MixHash(sums.hash, hi_ - lo_);
        cur_ = 1 - cur_;
        bits_ = sums.bits;
        if (bits_ == 0) {
            lo_ = Height;
            hi_ = -1;
        } else {
            int lo = from, hi = from + count - 1;
            while (n[size_t(lo)] == 0) ++lo;
            while (n[size_t(hi)] == 0) --hi;
            lo_ = lo;
            hi_ = hi;
        }
        return hash;
    }

    // A hash of the shape wherever it stands (0 for no cells).
    std::uint64_t shapeHash() const
    {
        if (empty()) return 0;
        // The same rows as stepHashing() takes: the live ones and one either side.
        const auto& w = rows_[size_t(cur_)];
        return MixHash(StepRowsHash(&w[size_t(lo_ - 1)], hi_ - lo_ + 3, std::countr_zero(bits_)), hi_ - lo_);
    }

    // Whether the two patterns are the same shape, wherever each stands.
    bool sameShape(const Board& other) const
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

    // Whether some group of live cells, each within hex distance 2 of
    // another of its group, is wider or taller than maxSide: what
    // Clusters(cells(), maxSide) refuses, found by flood fill on the rows
    // without listing the cells. Within distance 2 of (x, y) are the cells
    // (x + dx, y + dy) with |dx|, |dy|, |dx - dy| <= 2.
    bool clusterWiderThan(std::int64_t maxSide) const
    {
        if (empty()) return false;
        // The cells not yet in a group, and the group being filled, with
        // two zero rows either side of the live ones.
        std::array<std::uint64_t, Height + 4> left{}, group{};
        const auto& w = rows_[size_t(cur_)];
        for (int i = lo_; i <= hi_; ++i) left[size_t(i + 2)] = w[size_t(i)];
        for (int top = lo_ + 2;;) {
            while (top <= hi_ + 2 && left[size_t(top)] == 0) ++top;
            if (top > hi_ + 2) return false;
            group[size_t(top)] = left[size_t(top)] & (~left[size_t(top)] + 1);  // its lowest cell
            int first = top, last = top;
            for (bool grew = true; grew;) {
                grew = false;
                std::uint64_t bits = 0;
                const int from = std::max(lo_ + 2, first - 2), to = std::min(hi_ + 2, last + 2);
                for (int y = from; y <= to; ++y) {
                    const std::uint64_t a = group[size_t(y - 2)], b = group[size_t(y - 1)], c = group[size_t(y)],
                                        d = group[size_t(y + 1)], e = group[size_t(y + 2)];
                    const std::uint64_t b1 = b | b << 1 | b >> 1, c1 = c | c << 1 | c >> 1, d1 = d | d << 1 | d >> 1;
                    const std::uint64_t a1 = a | a << 1, e1 = e | e >> 1;
                    // Rows y - 2 .. y + 2 reach x + 0..2, -1..2, -2..2, -2..1, -2..0.
                    const std::uint64_t reach = a1 | a1 << 1 | b1 | b1 << 1 | c1 | c1 << 1 | c1 >> 1 | d1 | d1 >> 1 | e1 | e1 >> 1;
                    const std::uint64_t now = c | (reach & left[size_t(y)]);
                    if (now != c) {
                        group[size_t(y)] = now;
                        grew = true;
                        first = std::min(first, y);
                        last = std::max(last, y);
                    }
                    bits |= now;
                }
                const int width = 64 - std::countl_zero(bits) - std::countr_zero(bits);
                if (width > maxSide || last - first + 1 > maxSide) return true;
            }
            for (int y = first; y <= last; ++y) {
                left[size_t(y)] &= ~group[size_t(y)];
                group[size_t(y)] = 0;
            }
        }
    }

private:
    // The rows' sum with the pattern's height, mixed (murmur's finaliser)
    // so that the low bits, which place it in a table, depend on all.
    static std::uint64_t MixHash(std::uint64_t sum, int height)
    {
        std::uint64_t h = sum ^ std::uint64_t(height) * 0x9e3779b97f4a7c15ULL;
        h = (h ^ (h >> 33)) * 0xff51afd7ed558ccdULL;
        h = (h ^ (h >> 33)) * 0xc4ceb9fe1a85ec53ULL;
        return h ^ (h >> 33);
    }

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

    // Room past the last row for the kernels' whole vectors.
    std::array<std::array<std::uint64_t, Height + StepOverrun + 1>, 2> rows_;
    int cur_ = 0;
    int lo_ = Height, hi_ = -1;  // live rows of the current buffer
    std::uint64_t bits_ = 0;     // the OR of the live rows
    std::int64_t ox_ = 0, oy_ = 0;
    const StepRule* rule_ = &StepRule::TwoOfSix();
};

}  // namespace hexlife::search
