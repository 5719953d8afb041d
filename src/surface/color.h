// Colours as the drawing procedures give them: 32-bit values 0x00BBGGRR.
#pragma once

#include <cstdint>

namespace hexlife {

using Color = std::uint32_t;
constexpr Color RGB(int red, int green, int blue)
{
    return Color(red) | Color(green) << 8 | Color(blue) << 16;
}

}  // namespace hexlife
