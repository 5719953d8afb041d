#pragma once

#include "surface/surface.h"

namespace hexlife {

// The mark of a live cell in the pattern views: a circle inside the cell's
// ring and a filled square of the given half side at its centre.
inline void DrawCellMark(Surface& surface, double x, double y, int circleRadius, int halfSide,
                         Color color)
{
    surface.circle(x, y, circleRadius, color);
    surface.fillBox(x - halfSide, y - halfSide, x + halfSide, y + halfSide, color);
}

}  // namespace hexlife
