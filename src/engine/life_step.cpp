#include "engine/life_step.h"

#include <algorithm>

#include "engine/field_grid.h"

namespace hexlife {

namespace {

static_assert(LonelyNeighbours == static_cast<int>(LonelyNeighbours),
              "the lonely limit is a whole number of neighbours");
constexpr int LonelyLimit = static_cast<int>(LonelyNeighbours);

// Live for the neighbour count: 1 and -1 have the low bit set, 0 and 2 do not.
inline int Live(std::int8_t state) { return state & 1; }

inline std::int8_t Mark(std::int8_t state, int count)
{
    if (state == 1) {
        return (count >= CrowdNeighbours || count <= LonelyLimit) ? DyingMark : std::int8_t{1};
    }
    return count == BirthNeighbours ? BornMark : state;
}

// Marks rows 1..113 of one column. Rows 1..112 are computed into a scratch
// column so that the loop reads only unmarked cells of its own column and the
// compiler can vectorize it; row 113 is done apart because its lower
// neighbours lie outside the field. D is the column's side row step.
template <int D>
bool MarkColumn(std::int8_t* cells, int column)
{
    std::int8_t* own = cells + FieldColLen * column;
    const std::int8_t* left = own - FieldColLen;
    const std::int8_t* right = own + FieldColLen;

    std::int8_t marks[FieldColLen];
    for (int r = 1; r < FieldPosLast; ++r) {
        const int count = Live(left[r]) + Live(left[r + D]) + Live(right[r]) +
                          Live(right[r + D]) + Live(own[r - 1]) + Live(own[r + 1]);
        marks[r] = Mark(own[r], count);
    }
    {
        const int r = FieldPosLast;
        int count = Live(left[r]) + Live(right[r]) + Live(own[r - 1]);
        if (D < 0) {
            count += Live(left[r + D]) + Live(right[r + D]);
        }
        marks[r] = Mark(own[r], count);
    }
    std::copy(marks + 1, marks + FieldColLen, own + 1);

    if (column == 1 || column == FieldColInnerLast) {
        return std::any_of(marks + 1, marks + FieldColLen, [](std::int8_t m) { return m != 0; });
    }
    return marks[1] != 0 || marks[FieldPosLast] != 0;
}

}  // namespace

bool MarkGeneration(FieldArray& cells)
{
    bool reachedFrame = false;
    for (int column = 1; column <= FieldColInnerLast; ++column) {
        const bool touched = SideRowStep(column) > 0 ? MarkColumn<1>(cells.data(), column)
                                                     : MarkColumn<-1>(cells.data(), column);
        reachedFrame = reachedFrame || touched;
    }
    return reachedFrame;
}

void ResolveGeneration(FieldArray& cells)
{
    for (int n = 0; n <= FieldLast; ++n) {
        const std::int8_t state = cells[n];
        cells[n] = state == DyingMark ? std::int8_t{0} : state == BornMark ? std::int8_t{1} : state;
    }
}

}  // namespace hexlife
