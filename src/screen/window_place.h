// Where another window of the program goes: beside the main window, where
// the work area has room for it, so that it covers none of the field nor
// the program's other windows. Plain C++; rectangles in screen pixels,
// frames included.
#pragma once

#include <optional>
#include <vector>

namespace hexlife {

struct ScreenRect {
    int left, top, width, height;
    int right() const { return left + width; }    // one past the last column
    int bottom() const { return top + height; }   // one past the last row
    bool intersects(const ScreenRect& other) const
    {
        return left < other.right() && other.left < right() && top < other.bottom() && other.top < bottom();
    }
};

struct ScreenPoint {
    int x, y;
    bool operator==(const ScreenPoint&) const = default;
};

// The top-left corner for a window of `width` × `height` inside `area`
// that overlaps none of `taken`: right of the first of them (the main
// window), else left of it, below it or above it, then the same beside
// each of the others; level with the window it stands beside as far as the
// area allows. None where no such place has room.
std::optional<ScreenPoint> BesidePlace(const std::vector<ScreenRect>& taken, int width, int height,
                                       ScreenRect area);

}  // namespace hexlife
