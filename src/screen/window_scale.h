// The scale the whole window is drawn at: 1 where it fits the screen, one
// smaller scale where its usual size would not fit the work area, and
// the user's zoom within what the work area holds. Plain C++.
#pragma once

#include <cmath>

namespace hexlife {

constexpr double MinWindowScale = 0.4;
constexpr double MaxWindowScale = 3.0;
constexpr double ZoomStep = 0.1;

// The largest scale at which a window of `width` × `height`, with `frameWidth`
// and `frameHeight` of decoration around it, fits an area of `areaWidth` ×
// `areaHeight` (all in the same units), in hundredths, at least the smallest.
double FitScale(int width, int height, int frameWidth, int frameHeight, int areaWidth, int areaHeight);

// Where an edge at `position` (unscaled pixels) lies at a scale: every
// control and box scales its edges alike, so neighbours stay neighbours.
inline int ScaledEdge(double position, double scale)
{
    return int(std::lround(position * scale));
}

// The scale the window takes: the user's zoom, no larger than what fits.
double EffectiveScale(double zoom, double fit);

// The zoom the user asks for one step up or down from the scale shown,
// within limits. What the screen holds is not part of it: a zoom capped by
// a small screen is remembered as asked, and a larger screen shows it.
double ZoomIn(double shown);
double ZoomOut(double shown);

}  // namespace hexlife
