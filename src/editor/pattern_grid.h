// The 14 x 11 pattern grid: numbering, cell centres at the two scales the
// window shows it, and the editor's hit test.
#pragma once

#include "model.h"

namespace hexlife {

constexpr int PatternCellNumber(int column, int position) { return PatternColLen * column + position; }

// Distance between neighbouring columns: the whole number nearest to radius * sqrt 3.
constexpr int PatternColumnPitch(int radius) { return static_cast<int>(radius * Sqrt3 + 0.5); }

struct PatternCentre {
    int x, y;
};

// Centre of a pattern cell drawn at the given radius; even columns lie one
// radius lower than odd ones.
constexpr PatternCentre PatternCellCentre(int column, int position, int radius)
{
    const int shift = column % 2 == 0 ? radius : 0;
    return {radius + PatternColumnPitch(radius) * column, radius + shift + 2 * radius * position};
}

// Fills the centres of cells 0..PatternLast for one scale.
void BuildPatternCentres(int radius, PatternCoordArray& centreX, PatternCoordArray& centreY);

// The editor cell a click at (x, y) hits: the first cell, in cell number
// order, whose centre lies within EditorRadius (boundary included); -1 when
// no cell is in reach.
int EditorHitTest(double x, double y, const PatternCoordArray& centreX,
                  const PatternCoordArray& centreY);

}  // namespace hexlife
