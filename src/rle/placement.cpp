// Where read cells go: a pattern into the editor's grid or onto the field's
// live area, at the place its file gives, in the middle, or around a cell.
#include <algorithm>
#include <limits>

#include "lattice/lattice.h"
#include "rle/rle.h"

namespace hexlife::rle {

using lattice::HalfDown;

Placed Place(const Cells& cells, const GridArea& area, bool atPosition)
{
    Placed result;
    std::vector<int> numbers;
    // Grid column k = x, row j = y - k div 2; runs are the rows of Golly's
    // grid, so each run's rows fall from its left end to its right end.
    auto put = [&](std::int64_t shiftX, std::int64_t shiftJ, bool write) {
        for (const LiveRun& run : cells.runs) {
            const std::int64_t k1 = run.x1 + shiftX, k2 = run.x2 + shiftX;
            if (k1 < area.c1 || k2 > area.c2) {
                return false;
            }
            for (std::int64_t k = k1; k <= k2; ++k) {
                const std::int64_t j = run.y + shiftJ - HalfDown(k);
                if (j < area.r1 || j > area.r2) {
                    return false;
                }
                if (write) {
                    numbers.push_back(int(area.colLen * k + j));
                }
            }
        }
        return true;
    };
    if (cells.runs.empty()) {
        result.cells = numbers;
        return result;
    }
    if (atPosition && cells.positioned && put(0, 0, false)) {
        put(0, 0, true);
        result.cells = std::move(numbers);
        result.atPosition = true;
        return result;
    }
    std::int64_t left = cells.runs.front().x1, right = cells.runs.front().x2;
    for (const LiveRun& run : cells.runs) {
        left = std::min(left, run.x1);
        right = std::max(right, run.x2);
    }
    const std::int64_t width = right - left + 1;
    const std::int64_t columns = area.c2 - area.c1 + 1, rows = area.r2 - area.r1 + 1;
    // The rows the pattern spans with its left column at `first`: along a
    // run they fall from its left end to its right end. The column's parity
    // decides the half-cell shifts, so the span may differ by one.
    auto span = [&](std::int64_t first) {
        std::int64_t low = std::numeric_limits<std::int64_t>::max(), high = std::numeric_limits<std::int64_t>::min();
        for (const LiveRun& run : cells.runs) {
            low = std::min(low, run.y - HalfDown(run.x2 - left + first));
            high = std::max(high, run.y - HalfDown(run.x1 - left + first));
        }
        return std::pair{low, high};
    };
    // In the middle, the left column even where the area leaves room for
    // it, as the figures' is, so that the pattern shows as Golly shows it.
    const std::int64_t middle = area.c1 + (columns - width) / 2;
    std::vector<std::int64_t> firsts;
    if (middle % 2 != 0 && middle - 1 >= area.c1) firsts.push_back(middle - 1);
    if (middle % 2 != 0 && middle + width <= area.c2) firsts.push_back(middle + 1);
    firsts.push_back(middle);
    std::int64_t height = 0;
    for (std::int64_t first : firsts) {
        const auto [low, high] = span(first);
        const std::int64_t rowsTaken = high - low + 1;
        height = height == 0 ? rowsTaken : height;
        if (width <= columns && rowsTaken <= rows) {
            const std::int64_t firstRow = area.r1 + (rows - rowsTaken) / 2;
            put(first - left, firstRow - low, true);
            result.cells = std::move(numbers);
            return result;
        }
    }
    result.error.kind = ErrorKind::TooLarge;
    // The size the file declares, where it does: what its author knows.
    std::int64_t top = cells.runs.front().y, bottom = top;
    for (const LiveRun& run : cells.runs) {
        top = std::min(top, run.y);
        bottom = std::max(bottom, run.y);
    }
    result.error.width = cells.width >= 0 ? cells.width : width;
    result.error.height = cells.height >= 0 ? cells.height : bottom - top + 1;
    result.error.slanted = result.error.width <= columns && result.error.height <= rows;
    result.error.columnHeight = height;
    return result;
}

namespace {

// The cells placed, as the editor's or the field's array.
template <typename Array>
Array ArrayOf(const std::vector<int>& cells)
{
    Array array{};
    for (int n : cells) {
        array[size_t(n)] = 1;
    }
    return array;
}

// A pattern too large for the editor and the field: the error names both.
Error FitsNowhere(Error error)
{
    error.field = true;
    error.fieldColumns = FieldArea.c2 - FieldArea.c1 + 1;
    error.fieldRows = FieldArea.r2 - FieldArea.r1 + 1;
    return error;
}

}  // namespace

ReadResult ReadPattern(std::string_view text)
{
    ReadResult result;
    const ParseResult parsed = Parse(text);
    if (!parsed.cells) {
        result.error = parsed.error;
        return result;
    }
    const Placed placed = Place(*parsed.cells, PatternArea, true);
    if (!placed.cells) {
        result.error = placed.error;
        return result;
    }
    result.pattern = ArrayOf<PatternArray>(*placed.cells);
    result.rule = parsed.cells->rule;
    return result;
}

Opened ReadAnywhere(std::string_view text)
{
    Opened result;
    const ParseResult parsed = Parse(text);
    if (!parsed.cells) {
        result.error = parsed.error;
        return result;
    }
    const Cells& cells = *parsed.cells;
    result.rule = cells.rule;
    auto onField = [&](const Placed& placed) {
        result.field = ArrayOf<FieldArray>(*placed.cells);
        return result;
    };
    if (cells.generation) {
        if (const Placed placed = Place(cells, FieldArea, true); placed.cells && placed.atPosition) {
            return onField(placed);
        }
    }
    const Placed inEditor = Place(cells, PatternArea, true);
    if (inEditor.cells) {
        result.pattern = ArrayOf<PatternArray>(*inEditor.cells);
        return result;
    }
    const Placed onTheField = Place(cells, FieldArea, false);
    if (onTheField.cells) {
        return onField(onTheField);
    }
    result.error = FitsNowhere(onTheField.error);
    return result;
}

Placed PlaceAround(const Cells& cells, const GridArea& area, lattice::GridCell centre)
{
    if (cells.runs.empty()) {
        return Place(cells, area, false);
    }
    // The middle of the cells' box in Golly's coordinates goes to the
    // centre's; any move in those coordinates keeps the shape.
    std::int64_t left = cells.runs.front().x1, right = left, top = cells.runs.front().y, bottom = top;
    for (const LiveRun& run : cells.runs) {
        left = std::min(left, run.x1);
        right = std::max(right, run.x2);
        top = std::min(top, run.y);
        bottom = std::max(bottom, run.y);
    }
    if (right - left > area.c2 - area.c1) {
        return Place(cells, area, false);  // wider than the area: refused without walking its runs
    }
    const lattice::Cell target = lattice::FromGrid(centre);
    std::int64_t dx = target.x - (left + HalfDown(right - left)), dy = target.y - (top + HalfDown(bottom - top));
    // Moved in whole columns, then rows, to lie within the area where the
    // centre is too near its edge.
    dx += std::max<std::int64_t>(0, area.c1 - (left + dx)) - std::max<std::int64_t>(0, right + dx - area.c2);
    std::int64_t low = std::numeric_limits<std::int64_t>::max(), high = std::numeric_limits<std::int64_t>::min();
    for (const LiveRun& run : cells.runs) {
        for (std::int64_t x = run.x1 + dx; x <= run.x2 + dx; ++x) {
            const std::int64_t row = run.y + dy - HalfDown(x);
            low = std::min(low, row);
            high = std::max(high, row);
        }
    }
    dy += std::max<std::int64_t>(0, area.r1 - low) - std::max<std::int64_t>(0, high - area.r2);
    Placed result;
    std::vector<int> numbers;
    for (const LiveRun& run : cells.runs) {
        for (std::int64_t x = run.x1 + dx; x <= run.x2 + dx; ++x) {
            const std::int64_t row = run.y + dy - HalfDown(x);
            if (x < area.c1 || x > area.c2 || row < area.r1 || row > area.r2) {
                return Place(cells, area, false);  // wider or taller than the area: as the middle has it
            }
            numbers.push_back(int(area.colLen * x + row));
        }
    }
    result.cells = std::move(numbers);
    return result;
}

Pasting PlacePaste(const Cells& cells, std::optional<lattice::GridCell> pointer)
{
    Pasting result;
    auto onField = [&](Placed placed) {
        result.field = std::move(placed.cells);
        result.atPlace = placed.atPosition;
        return result;
    };
    if (cells.positioned) {
        if (!cells.generation) {
            if (const Placed placed = Place(cells, PatternArea, true); placed.cells && placed.atPosition) {
                result.pattern = ArrayOf<PatternArray>(*placed.cells);
                result.atPlace = true;
                return result;
            }
        }
        if (Placed placed = Place(cells, FieldArea, true); placed.cells && placed.atPosition) {
            return onField(std::move(placed));
        }
    }
    if (pointer) {
        if (Placed placed = PlaceAround(cells, FieldArea, *pointer); placed.cells) {
            return onField(std::move(placed));
        }
    } else if (const Placed placed = Place(cells, PatternArea, false); placed.cells) {
        result.pattern = ArrayOf<PatternArray>(*placed.cells);
        return result;
    }
    Placed placed = Place(cells, FieldArea, false);
    if (placed.cells) {
        return onField(std::move(placed));
    }
    result.error = FitsNowhere(placed.error);
    return result;
}

}  // namespace hexlife::rle
