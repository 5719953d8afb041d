// The plain per-cell reading of the generation step and of a run, kept as
// the reference the program's engine and window are checked against.
#pragma once

#include "model.h"
#include "rule/rule.h"

namespace reference {

using hexlife::FieldArray;

bool MarkGeneration(FieldArray& cells);
void ResolveGeneration(FieldArray& cells);
// The same by any rule: each cell's neighbours found in Golly's
// coordinates, the cell's next state read from the rule's table.
bool MarkGeneration(FieldArray& cells, const hexlife::rule::Rule& rule);

// A run as the timer drives it, without the drawing.
struct Run {
    FieldArray cells{};
    FieldArray drawn{};  // the generation the last tick drew
    int cycleCount = 0;
    int liveCount = 0;  // live cells of the generation drawn in the last tick
    bool running = true;
};

void Tick(Run& run);
Run RunToEnd(const FieldArray& start);
// The same by any rule, each cell read from the rule's table.
void Tick(Run& run, const hexlife::rule::Rule& rule);
Run RunToEnd(const FieldArray& start, const hexlife::rule::Rule& rule);

// The field after Start with the given pattern.
FieldArray PlacePattern(const hexlife::PatternArray& pattern);

}  // namespace reference
