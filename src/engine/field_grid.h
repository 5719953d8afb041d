// Numbering, geometry and neighbourhood of the hexagonal field.
// Columns run left to right, cells top to bottom within a column; even
// columns lie half a cell (3 pixels) lower than odd ones.
#pragma once

#include <array>

#include "model.h"

namespace hexlife {

constexpr int FieldCellNumber(int column, int row) { return FieldColLen * column + row; }
constexpr int FieldColumnOf(int cell) { return cell / FieldColLen; }
constexpr int FieldRowOf(int cell) { return cell % FieldColLen; }

// +1 for an even column, -1 for an odd one: the row offset of the second
// neighbour in each side column.
constexpr int SideRowStep(int column) { return column % 2 == 0 ? 1 : -1; }

// Vertical shift of a column in pixels: half a pitch for even columns.
constexpr int FieldColumnShift(int column) { return column % 2 == 0 ? FieldHalfPitch : 0; }

struct PixelPoint {
    int x, y;
};

// Top-left pixel of the inner box of a field cell (one pixel inside its grid lines).
constexpr PixelPoint FieldInnerBoxOrigin(int column, int row)
{
    const int pitch = 2 * FieldHalfPitch;
    return {pitch * column + 1, pitch * row + FieldColumnShift(column) + 1};
}

struct FieldPosition {
    int column, row;
};

// The six neighbours of (column, row), in the order the generation step counts them:
// left, left shifted, right, right shifted, above, below.
constexpr std::array<FieldPosition, 6> FieldNeighbours(int column, int row)
{
    const int d = SideRowStep(column);
    return {{{column - 1, row},
             {column - 1, row + d},
             {column + 1, row},
             {column + 1, row + d},
             {column, row - 1},
             {column, row + 1}}};
}

}  // namespace hexlife
