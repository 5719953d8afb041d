// The generation step of hexagonal Life, in place on the field: B2/S2, or
// any rule of the hexagonal grid (rule/rule.h).
#pragma once

#include "model.h"
#include "rule/rule.h"

namespace hexlife {

// Cell states during a step: a live cell that dies is marked -1, an empty
// cell that is born is marked 2; both keep their old liveness for the count.
constexpr std::int8_t DyingMark = -1;
constexpr std::int8_t BornMark = 2;

// First pass: marks every cell of columns 1..146, rows 1..113 by the rule.
// Neighbour positions below row 113 count as empty. Returns true when a
// cell of column 1, column 146, row 1 or row 113 is non-empty after its
// update; the pass always runs to its end.
bool MarkGeneration(FieldArray& cells);

// Second pass: -1 becomes 0, then 2 becomes 1, for cells 0..FieldLast.
void ResolveGeneration(FieldArray& cells);

// A range of columns, first to last; empty when first > last.
struct ColumnSpan {
    int first = 0, last = -1;
    bool empty() const { return first > last; }
};
// The columns that hold a live cell, read eight cells at a time.
ColumnSpan LiveColumns(const FieldArray& cells);
// The columns a step can change: those next to a live cell, within the
// columns the first pass visits (1..146). Elsewhere every cell is empty
// with no live neighbour, and stays so.
ColumnSpan StepColumns(ColumnSpan live);
// The two passes over those columns only: the same generation and the same
// answer as the passes over the whole field, for `columns` = StepColumns
// of the field's live columns.
bool MarkGeneration(FieldArray& cells, ColumnSpan columns);
void ResolveGeneration(FieldArray& cells, ColumnSpan columns);

// The first pass by any rule, with the same marks and the same answer;
// B2/S2 runs the pass above. Cells outside the live area (columns 0 and
// 147, row 0, and below row 113) count as empty and stay so, whatever the
// rule: with B0 the empty live area is born, up to the field's edges.
bool MarkGeneration(FieldArray& cells, const rule::Rule& rule);
bool MarkGeneration(FieldArray& cells, ColumnSpan columns, const rule::Rule& rule);
// The columns a step by the rule can change: StepColumns(live), or the
// whole live area for a rule with B0, under which an empty cell without
// live neighbours is born.
ColumnSpan StepColumns(ColumnSpan live, const rule::Rule& rule);

// Whether the pass by a rule other than B2/S2 uses the processor's vector
// instructions (SSSE3) where it has them, as it does unless told; off, it
// steps cell by cell, as on other processors. For the tests of that path.
void SetVectorSteps(bool on);

}  // namespace hexlife
