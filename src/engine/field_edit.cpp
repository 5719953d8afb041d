#include "engine/field_edit.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace hexlife {

CellRect SpanOf(FieldPosition a, FieldPosition b)
{
    return {std::clamp(std::min(a.column, b.column), LiveArea.c1, LiveArea.c2),
            std::clamp(std::min(a.row, b.row), LiveArea.r1, LiveArea.r2),
            std::clamp(std::max(a.column, b.column), LiveArea.c1, LiveArea.c2),
            std::clamp(std::max(a.row, b.row), LiveArea.r1, LiveArea.r2)};
}

CellRect CentredRect(int columns, int rows)
{
    columns = std::clamp(columns, 1, LiveArea.columns());
    rows = std::clamp(rows, 1, LiveArea.rows());
    const int c1 = LiveArea.c1 + (LiveArea.columns() - columns) / 2;
    const int r1 = LiveArea.r1 + (LiveArea.rows() - rows) / 2;
    return {c1, r1, c1 + columns - 1, r1 + rows - 1};
}

std::optional<FieldPosition> FieldCellAt(double x, double y)
{
    const int pitch = 2 * FieldHalfPitch;
    const int column = int(std::floor(x / pitch));
    if (column < 0 || column > FieldColLast) {
        return std::nullopt;
    }
    const double within = y - FieldColumnShift(column);
    const int row = int(std::floor(within / pitch));
    if (within < 0 || row > FieldPosLast) {
        return std::nullopt;
    }
    return FieldPosition{column, row};
}

PixelRect PixelsOf(const CellRect& cells)
{
    const int pitch = 2 * FieldHalfPitch;
    // Odd columns start highest, even ones end lowest.
    const bool bothParities = cells.columns() > 1;
    const int top = pitch * cells.r1 + (bothParities ? 0 : FieldColumnShift(cells.c1));
    const int bottom = pitch * (cells.r2 + 1) + (bothParities ? FieldHalfPitch : FieldColumnShift(cells.c1));
    return {pitch * cells.c1, top, pitch * cells.columns() + 1, bottom - top + 1};
}

void ClearCells(FieldArray& field, const CellRect& area)
{
    for (int c = area.c1; c <= area.c2; ++c) {
        for (int r = area.r1; r <= area.r2; ++r) {
            field[size_t(FieldCellNumber(c, r))] = 0;
        }
    }
}

void FillRandom(FieldArray& field, const CellRect& area, int percent, std::uint64_t seed)
{
    // The engine is fixed by the standard; a draw's remainder by 100, not a
    // distribution (those differ between libraries), decides each cell.
    std::mt19937_64 random(seed);
    for (int c = area.c1; c <= area.c2; ++c) {
        for (int r = area.r1; r <= area.r2; ++r) {
            field[size_t(FieldCellNumber(c, r))] = std::int8_t(random() % 100 < std::uint64_t(percent) ? 1 : 0);
        }
    }
}

}  // namespace hexlife
