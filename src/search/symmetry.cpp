#include "search/symmetry.h"

namespace hexlife::search {

BoxSymmetry::BoxSymmetry(const Box& box) : box_(box), halfTurn_(box.columns % 2 == 0)
{
    for (unsigned bits = 0; bits < (1u << box.rows); ++bits) {
        unsigned out = 0;
        for (int r = 0; r < box.rows; ++r) {
            if ((bits >> r & 1) != 0) out |= 1u << (box.rows - 1 - r);
        }
        reversed_[bits] = std::uint8_t(out);
    }
}

std::uint64_t BoxSymmetry::image(std::uint64_t figure) const
{
    const int rows = box_.rows;
    const std::uint64_t mask = (std::uint64_t(1) << rows) - 1;
    std::uint64_t out = 0;
    for (int c = 0; c < box_.columns; ++c) {
        std::uint64_t column = figure >> (c * rows) & mask;
        if (halfTurn_) column = reversed_[column];
        out |= column << ((box_.columns - 1 - c) * rows);
    }
    return out;
}

GollyCell BoxSymmetry::image(GollyCell cell) const
{
    const std::int64_t c = box_.columns;
    if (halfTurn_) return {c - 1 - cell.x, box_.rows - 1 - cell.y + (c - 2) / 2};
    return {c - 1 - cell.x, cell.y - cell.x + (c - 1) / 2};
}

GollyCell BoxSymmetry::imageMove(int dx, int dy) const
{
    if (halfTurn_) return {-dx, -dy};
    return {-dx, dy - dx};
}

Fate BoxSymmetry::image(const Fate& fate) const
{
    Fate out = fate;
    const GollyCell move = imageMove(fate.dx, fate.dy);
    out.dx = int(move.x);
    out.dy = int(move.y);
    return out;
}

int BoxSymmetry::imageCell(int k) const
{
    const int column = k / box_.rows, place = k % box_.rows;
    return (box_.columns - 1 - column) * box_.rows + (halfTurn_ ? box_.rows - 1 - place : place);
}

}  // namespace hexlife::search
