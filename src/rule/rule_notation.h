// The pieces of the rule's notation that its reading (rule_parse.cpp) and
// its writing (rule.cpp) share: the ring of neighbours, the letters of the
// arrangements, the MAP string's characters and order.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <string_view>

#include "rule/rule.h"

namespace hexlife::rule::notation {

inline constexpr std::string_view Base64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
inline constexpr std::string_view Letters = "omp";
// Hensel's letters of the square grid, which Golly reads for Moore rules.
inline constexpr std::string_view SquareLetters = "ceaiknjqrytwz";
// Golly refuses longer rule texts.
inline constexpr int MaxRuleLength = 400;
inline constexpr int MapCharacters = 22;

// The live neighbours of an index as a ring mask: bit i for Ring[i].
inline int RingMask(int index)
{
    int mask = 0;
    for (int i = 0; i < 6; ++i) {
        if (index & Ring[i]) {
            mask |= 1 << i;
        }
    }
    return mask;
}

inline int IndexOfRing(int mask, bool centre)
{
    int index = centre ? Centre : 0;
    for (int i = 0; i < 6; ++i) {
        if (mask & (1 << i)) {
            index |= Ring[i];
        }
    }
    return index;
}

// The letter of a ring mask, 0 o, 1 m, 2 p, for two, three or four live
// neighbours; 0 for the other counts, which have one arrangement each.
inline int LetterOf(int mask)
{
    int count = std::popcount(unsigned(mask));
    if (count == 4) {
        mask ^= 63;
        count = 2;
    }
    if (count == 2) {
        const int a = std::countr_zero(unsigned(mask));
        const int b = std::bit_width(unsigned(mask)) - 1;
        const int apart = std::min(b - a, 6 - (b - a));
        return apart - 1;
    }
    if (count == 3) {
        int adjacent = 0;
        for (int i = 0; i < 6; ++i) {
            adjacent += (mask >> i & 1) && (mask >> ((i + 1) % 6) & 1);
        }
        return adjacent == 2 ? 0 : adjacent == 1 ? 1 : 2;
    }
    return 0;
}

// Where bgolly reads a table entry in a hexagonal MAP string. Golly's help
// lists the bits in the order NW N W C E S SE, but bgolly (3.3) runs the
// string with the neighbours in the order S SE W C E NW N: one neighbour
// alone born or surviving by a MAP rule tells which one each bit is. The
// program reads and writes MAP strings as bgolly runs them, so that a MAP
// rule runs the same here and in Golly.
constexpr int MapPosition(int index)
{
    return (index & S ? 64 : 0) | (index & SE ? 32 : 0) | (index & W ? 16 : 0) | (index & Centre ? 8 : 0) |
           (index & E ? 4 : 0) | (index & NW ? 2 : 0) | (index & N ? 1 : 0);
}
static_assert(MapPosition(MapPosition(NW | E)) == (NW | E));

// Birth or survival: for each count, the letters it is on for.
using Part = std::array<int, 7>;

inline bool HasLetters(int count) { return count >= 2 && count <= 4; }
inline constexpr int AllLetters = 7;

}  // namespace hexlife::rule::notation
