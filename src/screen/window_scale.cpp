#include "screen/window_scale.h"

#include <algorithm>
#include <cmath>

namespace hexlife {

double FitScale(int width, int height, int frameWidth, int frameHeight, int areaWidth, int areaHeight)
{
    const double across = double(areaWidth - frameWidth) / width;
    const double down = double(areaHeight - frameHeight) / height;
    // Hundredths, rounded down, so that rounding never makes it not fit.
    const double fit = std::floor(std::min(across, down) * 100.0 + 1e-9) / 100.0;
    return std::clamp(fit, MinWindowScale, MaxWindowScale);
}

double EffectiveScale(double zoom, double fit)
{
    return std::clamp(std::min(zoom, fit), MinWindowScale, MaxWindowScale);
}

double ZoomIn(double shown)
{
    // To the next tenth above what is shown.
    const double next = std::floor(shown * 10.0 + 1e-6) / 10.0 + ZoomStep;
    return std::min(next, MaxWindowScale);
}

double ZoomOut(double shown)
{
    const double next = std::ceil(shown * 10.0 - 1e-6) / 10.0 - ZoomStep;
    return std::max(next, MinWindowScale);
}

}  // namespace hexlife
