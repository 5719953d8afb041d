// The search by any rule read as plainly as it can be: a pattern is a set
// of cells in Golly's coordinates, a generation reads each cell's seven
// inputs into the rule's table, a run keeps every generation's shape
// (moved to touch both axes) and compares each new one with all of them.
// Kept apart from the search's bitboard and object code, as the oracle the
// search's tests compare it with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "rle/rle.h"
#include "rule/rule.h"

namespace reference {

using Cell = hexlife::rle::GollyCell;
using Cells = std::set<Cell>;

// The next generation: every cell that is live or next to a live one
// looks up its index (rule.h: NW N W C E S SE) in the table.
inline Cells RuleStep(const Cells& live, const hexlife::rule::Rule& rule)
{
    namespace r = hexlife::rule;
    struct Offset {
        int dx, dy, bit;
    };
    static constexpr Offset Inputs[7] = {{-1, -1, r::NW}, {0, -1, r::N}, {-1, 0, r::W}, {0, 0, r::Centre},
                                         {1, 0, r::E},    {0, 1, r::S},  {1, 1, r::SE}};
    Cells candidates;
    for (const Cell& c : live) {
        for (const Offset& o : Inputs) candidates.insert({c.x - o.dx, c.y - o.dy});
    }
    Cells next;
    for (const Cell& c : candidates) {
        int index = 0;
        for (const Offset& o : Inputs) {
            if (live.count({c.x + o.dx, c.y + o.dy}) != 0) index |= o.bit;
        }
        if (rule.Next(index)) next.insert(c);
    }
    return next;
}

// The cells moved to least x and y 0, in (y, x) order.
inline std::vector<Cell> Shape(const Cells& live, Cell* corner = nullptr)
{
    std::int64_t left = INT64_MAX, top = INT64_MAX;
    for (const Cell& c : live) left = std::min(left, c.x), top = std::min(top, c.y);
    std::vector<Cell> shape;
    for (const Cell& c : live) shape.push_back({c.x - left, c.y - top});
    std::sort(shape.begin(), shape.end(), [](const Cell& a, const Cell& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    if (corner != nullptr) *corner = {left, top};
    return shape;
}

enum class Kind { Died, Still, Oscillator, Ship, Grows, Undecided };

struct RunEnd {
    Kind kind = Kind::Undecided;
    int generation = 0, first = 0, period = 0, dx = 0, dy = 0;
    Cells final;
};

// The run to its end: died at the first empty generation; grown once the
// cells span more than `columns` columns or `rows` rows of the field's
// lattice (row y - floor(x / 2)); repeated at the first generation whose
// shape was seen before; undecided after `limit` generations. The cells
// live in a square window of the plane, moved whenever they come near its
// edge, each generation read cell by cell from the table over their box
// and its rim.
inline RunEnd RunToEnd(const Cells& start, const hexlife::rule::Rule& rule, int columns, int rows, int limit)
{
    namespace r = hexlife::rule;
    constexpr int Size = 256;
    std::vector<std::uint8_t> grid(Size * Size, 0);
    std::int64_t ox = 0, oy = 0;  // the window's corner on the plane
    auto at = [&](std::vector<std::uint8_t>& g, std::int64_t x, std::int64_t y) -> std::uint8_t& {
        return g[size_t((y - oy) * Size + (x - ox))];
    };
    Cells live = start;
    auto place = [&]() {
        std::fill(grid.begin(), grid.end(), 0);
        if (live.empty()) return;
        std::int64_t left = INT64_MAX, top = INT64_MAX;
        for (const Cell& c : live) left = std::min(left, c.x), top = std::min(top, c.y);
        ox = left - Size / 3, oy = top - Size / 3;
        for (const Cell& c : live) at(grid, c.x, c.y) = 1;
    };
    place();
    std::map<std::vector<Cell>, std::pair<int, Cell>> seen;
    auto fieldRow = [](const Cell& c) { return c.y - (c.x >= 0 ? c.x / 2 : -((1 - c.x) / 2)); };
    for (int g = 0;; ++g) {
        RunEnd end;
        end.generation = g;
        end.final = live;
        if (live.empty()) {
            end.kind = Kind::Died;
            return end;
        }
        std::int64_t c0 = INT64_MAX, c1 = INT64_MIN, r0 = INT64_MAX, r1 = INT64_MIN, y0 = INT64_MAX, y1 = INT64_MIN;
        for (const Cell& c : live) {
            c0 = std::min(c0, c.x), c1 = std::max(c1, c.x);
            r0 = std::min(r0, fieldRow(c)), r1 = std::max(r1, fieldRow(c));
            y0 = std::min(y0, c.y), y1 = std::max(y1, c.y);
        }
        if (c1 - c0 + 1 > columns || r1 - r0 + 1 > rows) {
            end.kind = Kind::Grows;
            return end;
        }
        Cell corner{};
        std::vector<Cell> shape = Shape(live, &corner);
        if (const auto it = seen.find(shape); it != seen.end()) {
            end.first = it->second.first;
            end.period = g - end.first;
            end.dx = int(corner.x - it->second.second.x);
            end.dy = int(corner.y - it->second.second.y);
            end.kind = end.dx != 0 || end.dy != 0 ? Kind::Ship : end.period == 1 ? Kind::Still : Kind::Oscillator;
            return end;
        }
        if (g == limit) return end;
        seen.emplace(std::move(shape), std::make_pair(g, corner));

        // The next generation over the box and its rim.
        if (c0 - ox < 3 || y0 - oy < 3 || c1 - ox > Size - 4 || y1 - oy > Size - 4) place();
        Cells born;
        for (std::int64_t y = y0 - 1; y <= y1 + 1; ++y) {
            for (std::int64_t x = c0 - 1; x <= c1 + 1; ++x) {
                const int index = (at(grid, x - 1, y - 1) ? r::NW : 0) | (at(grid, x, y - 1) ? r::N : 0) |
                                  (at(grid, x - 1, y) ? r::W : 0) | (at(grid, x, y) ? r::Centre : 0) |
                                  (at(grid, x + 1, y) ? r::E : 0) | (at(grid, x, y + 1) ? r::S : 0) |
                                  (at(grid, x + 1, y + 1) ? r::SE : 0);
                if (rule.Next(index)) born.insert({x, y});
            }
        }
        for (const Cell& c : live) at(grid, c.x, c.y) = 0;
        for (const Cell& c : born) at(grid, c.x, c.y) = 1;
        live = std::move(born);
    }
}

// The lattice's twelve symmetries about the origin, written out: the turn
// by a sixth (x, y) -> (x - y, x), k times, after the mirror (x, y) -> (y, x)
// for the last six.
inline Cell Turned(int symmetry, Cell c)
{
    if (symmetry >= 6) c = {c.y, c.x};
    for (int k = 0; k < symmetry % 6; ++k) c = {c.x - c.y, c.x};
    return c;
}

// Fewer cells first, then the cells in (y, x) order.
inline bool ShapeBefore(const std::vector<Cell>& a, const std::vector<Cell>& b)
{
    if (a.size() != b.size()) return a.size() < b.size();
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](const Cell& p, const Cell& q) { return p.y != q.y ? p.y < q.y : p.x < q.x; });
}

// The least shape of an object's `period` phases, turned by each of the
// given symmetries (all twelve, or the identity alone).
inline std::vector<Cell> LeastForm(Cells live, int period, const hexlife::rule::Rule& rule, int symmetries)
{
    std::vector<Cell> best;
    for (int phase = 0; phase < period; ++phase, live = RuleStep(live, rule)) {
        for (int s = 0; s < symmetries; ++s) {
            Cells turned;
            for (const Cell& c : live) turned.insert(Turned(s, c));
            const std::vector<Cell> shape = Shape(turned);
            if (best.empty() || ShapeBefore(shape, best)) best = shape;
        }
    }
    return best;
}

}  // namespace reference
