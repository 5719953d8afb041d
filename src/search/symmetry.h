// The box's own symmetry: a box of C columns, first column even, is mapped
// onto itself by the mirror c -> C - 1 - c where C is odd (the columns
// keep their parity) and by the half turn (c, r) -> (C - 1 - c, R - 1 - r)
// where C is even. Both are symmetries of the lattice, so under an
// isotropic rule a figure and its image run to the same verdict at the same
// generation, their moves and final cells mapped, and the search runs only
// one of each pair. Under any other rule they need not.
#pragma once

#include <array>
#include <cstdint>

#include "rle/rle.h"
#include "search/search.h"

namespace hexlife::search {

class BoxSymmetry {
public:
    explicit BoxSymmetry(const Box& box);

    // The image of figure n: a figure of the same box.
    std::uint64_t image(std::uint64_t figure) const;
    // The image of a cell in Golly's coordinates, the box's first column at
    // x = 0: (x, y) -> (C - 1 - x, y - x + (C - 1) / 2) for the mirror,
    // (C - 1 - x, R - 1 - y + (C - 2) / 2) for the half turn.
    GollyCell image(GollyCell cell) const;
    // A move per period turned as the cells are.
    GollyCell imageMove(int dx, int dy) const;
    // The image's fate.
    Fate image(const Fate& fate) const;
    // The cell k = column * R + place that cell k goes to.
    int imageCell(int k) const;

private:
    Box box_;
    bool halfTurn_ = false;
    std::array<std::uint8_t, 64> reversed_{};  // place r -> R - 1 - r of a column's bits
};

}  // namespace hexlife::search
