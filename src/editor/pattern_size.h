// The pattern grid's size: 14 columns of 11 cells, column-major, with one
// spare entry at the top as every cell array has.
#pragma once

#include <array>
#include <cstdint>

namespace hexlife {

constexpr int PatternColLen = 11;
constexpr int PatternColCount = 14;
constexpr int PatternColLast = PatternColCount - 1;
constexpr int PatternPosLast = PatternColLen - 1;
constexpr int PatternCount = PatternColCount * PatternColLen;
constexpr std::int16_t PatternLast = PatternCount - 1;

using PatternArray = std::array<std::int8_t, PatternCount + 1>;

}  // namespace hexlife
