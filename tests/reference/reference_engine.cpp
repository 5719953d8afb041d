#include "reference/reference_engine.h"

#include <cstdlib>

namespace reference {

using namespace hexlife;

bool MarkGeneration(FieldArray& cells)
{
    bool reachedFrame = false;
    for (int c = 1; c <= FieldColInnerLast; ++c) {
        const int d = c % 2 == 0 ? 1 : -1;
        for (int r = 1; r <= FieldPosLast; ++r) {
            const int neighbours[6][2] = {{c - 1, r}, {c - 1, r + d}, {c + 1, r},
                                          {c + 1, r + d}, {c, r - 1}, {c, r + 1}};
            int count = 0;
            for (const auto& [nc, nr] : neighbours) {
                if (nr <= FieldPosLast && std::abs(cells[FieldColLen * nc + nr]) == 1) {
                    ++count;
                }
            }
            std::int8_t& cell = cells[FieldColLen * c + r];
            if (cell == 1) {
                if (count >= CrowdNeighbours || count <= LonelyNeighbours) {
                    cell = -1;
                }
            } else if (count == BirthNeighbours) {
                cell = 2;
            }
            const bool onFrame = c == 1 || c == FieldColLast - 1 || r == 1 || r == FieldPosLast;
            if (onFrame && cell != 0) {
                reachedFrame = true;
            }
        }
    }
    return reachedFrame;
}

bool MarkGeneration(FieldArray& cells, const hexlife::rule::Rule& rule)
{
    namespace hr = hexlife::rule;
    // Golly's cell (x, y) is the field's (x, y - x div 2); its neighbours
    // are the offsets below.
    struct Offset {
        int dx, dy, bit;
    };
    const Offset offsets[6] = {{-1, -1, hr::NW}, {0, -1, hr::N}, {-1, 0, hr::W},
                               {1, 0, hr::E},    {0, 1, hr::S},   {1, 1, hr::SE}};
    bool reachedFrame = false;
    for (int c = 1; c <= FieldColInnerLast; ++c) {
        for (int r = 1; r <= FieldPosLast; ++r) {
            const int x = c, y = r + c / 2;
            std::int8_t& cell = cells[FieldColLen * c + r];
            int index = std::abs(cell) == 1 ? hr::Centre : 0;
            for (const Offset& o : offsets) {
                const int nc = x + o.dx, nr = y + o.dy - (x + o.dx) / 2;
                // Outside the field every cell is empty.
                if (nc >= 0 && nc <= FieldColLast && nr >= 0 && nr <= FieldPosLast &&
                    std::abs(cells[FieldColLen * nc + nr]) == 1) {
                    index |= o.bit;
                }
            }
            const bool next = rule.Next(index);
            if (cell == 1 && !next) {
                cell = -1;
            } else if (cell == 0 && next) {
                cell = 2;
            }
            const bool onFrame = c == 1 || c == FieldColLast - 1 || r == 1 || r == FieldPosLast;
            if (onFrame && cell != 0) {
                reachedFrame = true;
            }
        }
    }
    return reachedFrame;
}

void ResolveGeneration(FieldArray& cells)
{
    for (int n = 0; n <= FieldLast; ++n) {
        if (cells[n] == -1) {
            cells[n] = 0;
        }
        if (cells[n] == 2) {
            cells[n] = 1;
        }
    }
}

void Tick(Run& run)
{
    run.drawn = run.cells;
    run.liveCount = 0;
    for (int n = 0; n <= FieldLast; ++n) {
        run.liveCount += run.cells[n];
    }
    if (MarkGeneration(run.cells)) {
        run.running = false;
    }
    ++run.cycleCount;
    ResolveGeneration(run.cells);
    if (run.cycleCount > CycleLimit || run.liveCount == 0) {
        run.running = false;
    }
}

void Tick(Run& run, const hexlife::rule::Rule& rule)
{
    run.drawn = run.cells;
    run.liveCount = 0;
    for (int n = 0; n <= FieldLast; ++n) {
        run.liveCount += run.cells[n];
    }
    if (MarkGeneration(run.cells, rule)) {
        run.running = false;
    }
    ++run.cycleCount;
    ResolveGeneration(run.cells);
    if (run.cycleCount > CycleLimit || run.liveCount == 0) {
        run.running = false;
    }
}

Run RunToEnd(const FieldArray& start, const hexlife::rule::Rule& rule)
{
    Run run;
    run.cells = start;
    while (run.running) {
        Tick(run, rule);
    }
    return run;
}

Run RunToEnd(const FieldArray& start)
{
    Run run;
    run.cells = start;
    while (run.running) {
        Tick(run);
    }
    return run;
}

FieldArray PlacePattern(const PatternArray& pattern)
{
    FieldArray field{};
    for (int k = 0; k < PatternColCount; ++k) {
        for (int j = 0; j < PatternColLen; ++j) {
            field[FieldColLen * (68 + k) + 52 + j] = pattern[PatternColLen * k + j];
        }
    }
    return field;
}

}  // namespace reference
