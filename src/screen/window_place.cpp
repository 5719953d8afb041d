#include "screen/window_place.h"

#include <algorithm>

namespace hexlife {

std::optional<ScreenPoint> BesidePlace(const std::vector<ScreenRect>& taken, int width, int height,
                                       ScreenRect area)
{
    if (width > area.width || height > area.height) {
        return std::nullopt;
    }
    for (const ScreenRect& anchor : taken) {
        // Level with the anchor, moved just enough to stay in the area.
        const int top = std::clamp(anchor.top, area.top, area.bottom() - height);
        const int left = std::clamp(anchor.left, area.left, area.right() - width);
        const ScreenPoint candidates[] = {{anchor.right(), top},
                                          {anchor.left - width, top},
                                          {left, anchor.bottom()},
                                          {left, anchor.top - height}};
        for (const ScreenPoint& at : candidates) {
            const ScreenRect place{at.x, at.y, width, height};
            const bool inside = place.left >= area.left && place.top >= area.top && place.right() <= area.right() &&
                                place.bottom() <= area.bottom();
            if (inside && std::none_of(taken.begin(), taken.end(),
                                       [&](const ScreenRect& other) { return other.intersects(place); })) {
                return at;
            }
        }
    }
    return std::nullopt;
}

}  // namespace hexlife
