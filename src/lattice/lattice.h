// The hexagonal lattice in Golly's coordinates, where cell (x, y) has the
// six neighbours (x ± 1, y), (x, y ± 1), (x − 1, y − 1) and (x + 1, y + 1),
// and its twelve symmetries. The field's and the pattern's grids are
// columns of cells, every even column half a cell lower: grid cell
// (column, row) is Golly's (column, row + column div 2). Plain C++.
#pragma once

#include <array>
#include <cstdint>

namespace hexlife::lattice {

struct Cell {
    std::int64_t x = 0, y = 0;
    bool operator==(const Cell&) const = default;
    auto operator<=>(const Cell&) const = default;
    constexpr Cell operator+(Cell o) const { return {x + o.x, y + o.y}; }
    constexpr Cell operator-(Cell o) const { return {x - o.x, y - o.y}; }
};

// Floor division by two, for columns left of Golly's origin too.
constexpr std::int64_t HalfDown(std::int64_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

// A grid's column and row, and Golly's cell, both ways.
struct GridCell {
    std::int64_t column = 0, row = 0;
    bool operator==(const GridCell&) const = default;
};
constexpr Cell FromGrid(GridCell g) { return {g.column, g.row + HalfDown(g.column)}; }
constexpr GridCell ToGrid(Cell c) { return {c.x, c.y - HalfDown(c.x)}; }

// The six neighbours clockwise as the field shows them (y grows downwards),
// from the one up and to the right of an even column's cell.
constexpr std::array<Cell, 6> Neighbours{{{1, 0}, {1, 1}, {0, 1}, {-1, 0}, {-1, -1}, {0, -1}}};

// One of the twelve symmetries: `turns` sixths of a turn clockwise (0..5)
// after a mirror left to right when `mirrored`.
struct Symmetry {
    int turns = 0;
    bool mirrored = false;
    bool operator==(const Symmetry&) const = default;
};

// The symmetry about the origin: a linear map of the lattice onto itself
// that keeps neighbours neighbours.
constexpr Cell Apply(Symmetry s, Cell c)
{
    if (s.mirrored) {
        c = {-c.x, c.y - c.x};  // left to right: up and down stay, the sides swap
    }
    for (int t = ((s.turns % 6) + 6) % 6; t > 0; --t) {
        c = {c.x - c.y, c.x};  // a sixth of a turn clockwise
    }
    return c;
}

// The same about `centre`.
constexpr Cell Apply(Symmetry s, Cell c, Cell centre) { return centre + Apply(s, c - centre); }

// `second` after `first`, as one symmetry.
constexpr Symmetry Then(Symmetry first, Symmetry second)
{
    // A mirror reverses the sense of the turns made before it.
    const int turns = second.mirrored ? second.turns - first.turns : second.turns + first.turns;
    return {((turns % 6) + 6) % 6, first.mirrored != second.mirrored};
}

// All twelve: the six turns, then each mirrored.
constexpr std::array<Symmetry, 12> Symmetries{{{0, false}, {1, false}, {2, false}, {3, false}, {4, false},
                                               {5, false}, {0, true}, {1, true}, {2, true}, {3, true},
                                               {4, true}, {5, true}}};

}  // namespace hexlife::lattice
