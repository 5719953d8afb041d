// The field edited by hand: the cell under a point of the field's picture,
// the cells a hand may change, rectangles of cells, and clearing them or
// filling them at random. Plain C++.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/field_grid.h"
#include "model.h"

namespace hexlife {

// A rectangle of field cells: columns c1..c2 and rows r1..r2, inclusive.
struct CellRect {
    int c1 = 0, r1 = 0, c2 = -1, r2 = -1;
    bool empty() const { return c2 < c1 || r2 < r1; }
    bool contains(int c, int r) const { return c >= c1 && c <= c2 && r >= r1 && r <= r2; }
    int columns() const { return empty() ? 0 : c2 - c1 + 1; }
    int rows() const { return empty() ? 0 : r2 - r1 + 1; }
    bool operator==(const CellRect&) const = default;
};

// The cells a run can change: columns 1..146, rows 1..113. The frame
// around them never changes in a run, and no hand changes it either.
constexpr CellRect LiveArea{1, 1, FieldColInnerLast, FieldPosLast};
// The live area less the band at its frame that would end a run at its
// first tick: a live cell on the frame, or one born there from two live
// neighbours next to it. A soup of the whole field fills this.
constexpr int FrameBand = 2;
constexpr CellRect RunnableArea{LiveArea.c1 + FrameBand, LiveArea.r1 + FrameBand, LiveArea.c2 - FrameBand,
                                LiveArea.r2 - FrameBand};

// The rectangle two cells span, whichever corners they are, within the
// live area.
CellRect SpanOf(FieldPosition a, FieldPosition b);
// A rectangle of `columns` × `rows` cells in the middle of the live area,
// as much of it as fits there.
CellRect CentredRect(int columns, int rows);

// The cell whose square, between its grid lines, holds a point of the
// field's picture (in its pixels); none off the field.
std::optional<FieldPosition> FieldCellAt(double x, double y);

// The pixels of the field's picture a rectangle of cells covers, the grid
// lines around it included.
struct PixelRect {
    int x, y, width, height;
};
PixelRect PixelsOf(const CellRect& cells);

void ClearCells(FieldArray& field, const CellRect& area);
// Each cell of the area made live with `percent` chances in a hundred,
// empty otherwise, drawn from `seed`: the same seed, area and density give
// the same soup on any machine.
void FillRandom(FieldArray& field, const CellRect& area, int percent, std::uint64_t seed);

}  // namespace hexlife
