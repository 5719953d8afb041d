#include "engine/life_step.h"

#include <algorithm>
#include <cstring>

#include "engine/field_grid.h"

namespace hexlife {

namespace {

// With B2/S2 a cell is live in the next generation exactly when it has two
// live neighbours now, live or empty; the kernel below relies on that.
static_assert(BirthNeighbours == 2 && CrowdNeighbours == 3 && LonelyNeighbours == 1.0f,
              "the kernel computes the rule B2/S2");

// The mark of a cell that is 0 or 1 and has `count` live neighbours: a
// live cell with two stays 1 (2 - 1), one without dies (0 - 1 = -1); an
// empty cell with two is born (2 - 0), one without stays 0.
static_assert(BornMark - 1 == 1 && 0 - 1 == DyingMark);
inline std::int8_t Mark(std::int8_t state, std::uint8_t count)
{
    return static_cast<std::int8_t>((count == BirthNeighbours ? BornMark : 0) - state);
}

// Cell values are summed in 8 bits so that the loop runs 16 cells a step.
inline std::uint8_t Sum(std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(a + b); }

// Marks rows 1..113 of one column into a scratch column, then copies them
// in; reading only unmarked cells of its own column lets the compiler
// vectorize the loop. Live for the count is the low bit: 1 and -1 have it,
// 0 and 2 do not; only the left column holds marks yet, the own and the
// right column are still 0 or 1. Row 113 is done apart because its lower
// neighbours lie outside the field. D is the column's side row step.
// Returns whether a cell on the frame of the live area is non-empty.
template <int D>
bool MarkColumn(std::int8_t* cells, int column)
{
    std::int8_t* own = cells + FieldColLen * column;
    const std::int8_t* left = own - FieldColLen;
    const std::int8_t* right = own + FieldColLen;

    std::int8_t marks[FieldColLen] = {};
    for (int r = 1; r < FieldPosLast; ++r) {
        const std::uint8_t count =
            Sum(Sum(Sum(left[r] & 1, left[r + D] & 1), Sum(right[r], right[r + D])),
                Sum(own[r - 1], own[r + 1]));
        marks[r] = Mark(own[r], count);
    }
    {
        const int r = FieldPosLast;
        int count = (left[r] & 1) + right[r] + own[r - 1];
        if (D < 0) {
            count += (left[r + D] & 1) + right[r + D];
        }
        marks[r] = Mark(own[r], static_cast<std::uint8_t>(count));
    }
    std::copy(marks + 1, marks + FieldColLen, own + 1);

    if (column == 1 || column == FieldColInnerLast) {
        std::int8_t any = 0;
        for (int r = 1; r <= FieldPosLast; ++r) {
            any |= marks[r];
        }
        return any != 0;
    }
    return (marks[1] | marks[FieldPosLast]) != 0;
}

}  // namespace

bool MarkGeneration(FieldArray& cells)
{
    return MarkGeneration(cells, {1, FieldColInnerLast});
}

bool MarkGeneration(FieldArray& cells, ColumnSpan columns)
{
    bool reachedFrame = false;
    for (int column = std::max(1, columns.first); column <= std::min(FieldColInnerLast, columns.last); ++column) {
        const bool touched = SideRowStep(column) > 0 ? MarkColumn<1>(cells.data(), column)
                                                     : MarkColumn<-1>(cells.data(), column);
        reachedFrame = reachedFrame || touched;
    }
    return reachedFrame;
}

void ResolveGeneration(FieldArray& cells)
{
    ResolveGeneration(cells, {0, FieldColLast});
}

void ResolveGeneration(FieldArray& cells, ColumnSpan columns)
{
    if (columns.empty()) {
        return;
    }
    const int end = (std::min(FieldColLast, columns.last) + 1) * FieldColLen;
    for (int n = std::max(0, columns.first) * FieldColLen; n < end; ++n) {
        // The states here are 0, 1, DyingMark (-1) and BornMark (2): what is
        // left live are exactly the positive ones.
        cells[size_t(n)] = cells[size_t(n)] > 0 ? 1 : 0;
    }
}

ColumnSpan LiveColumns(const FieldArray& cells)
{
    // Whole words of eight cells from each end; a word is all empty when
    // it reads 0, since every cell then is 0 or 1.
    static_assert(FieldCellCount % 8 == 0);
    constexpr int Words = FieldCellCount / 8;
    auto word = [&](int w) {
        std::uint64_t value;
        std::memcpy(&value, cells.data() + 8 * w, 8);
        return value;
    };
    int low = 0;
    while (low < Words && word(low) == 0) ++low;
    if (low == Words) {
        return {};
    }
    int high = Words - 1;
    while (word(high) == 0) --high;
    int first = 8 * low, last = 8 * high + 7;
    while (cells[size_t(first)] == 0) ++first;
    while (cells[size_t(last)] == 0) --last;
    return {FieldColumnOf(first), FieldColumnOf(last)};
}

ColumnSpan StepColumns(ColumnSpan live)
{
    if (live.empty()) {
        return {};
    }
    return {std::max(1, live.first - 1), std::min(FieldColInnerLast, live.last + 1)};
}

}  // namespace hexlife
