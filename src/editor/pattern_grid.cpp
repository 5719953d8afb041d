#include "editor/pattern_grid.h"

#include <cmath>

namespace hexlife {

void BuildPatternCentres(int radius, PatternCoordArray& centreX, PatternCoordArray& centreY)
{
    for (int column = 0; column <= PatternColLast; ++column) {
        for (int position = 0; position <= PatternPosLast; ++position) {
            const int i = PatternCellNumber(column, position);
            const PatternCentre centre = PatternCellCentre(column, position, radius);
            centreX[i] = static_cast<std::int16_t>(centre.x);
            centreY[i] = static_cast<std::int16_t>(centre.y);
        }
    }
}

int EditorHitTest(double x, double y, const PatternCoordArray& centreX,
                  const PatternCoordArray& centreY)
{
    // Every position of every column is tried, the lowest one included.
    for (int i = 0; i <= PatternLast; ++i) {
        if (std::hypot(centreY[i] - y, centreX[i] - x) <= EditorRadius) {
            return i;
        }
    }
    return -1;
}

}  // namespace hexlife
