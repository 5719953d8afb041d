// A rule of two-state life on the hexagonal grid, as data: the next state
// of a cell for each of the 128 states of the cell and its six neighbours.
// Plain C++ without Qt (the build links this library with nothing else).
//
// Read from and written in Golly's notation for hexagonal rules:
//   totalistic              B2/S34H, also 34/2H and B2S34H (any case)
//   isotropic, by letters   B2o/S2m34H, B2o3-o4m/S12m3o4m5H
//   any rule, as a MAP      MAP + 22 base64 characters (with or without "==")
//
// A table index holds the seven cells as bits in the order Golly's help
// gives for a MAP string, in Golly's coordinates: NW N W C E S SE, NW the
// highest bit. Golly's (x, y) has the neighbours (x-1, y-1) NW, (x, y-1) N,
// (x-1, y) W, (x+1, y) E, (x, y+1) S and (x+1, y+1) SE. MAP strings are
// read and written in the order bgolly runs them, S SE W C E NW N (see
// MapPosition in rule.cpp).
//
// The letters, after Callahan's notation as LifeWiki gives it, name the
// arrangement of the live neighbours on the ring of six; for four neighbours
// they name the arrangement of the two empty ones:
//   2o adjacent, 2m one apart, 2p opposite;
//   3o three in a row, 3m two adjacent and one apart, 3p every other one;
//   4o the two empty ones adjacent, 4m one apart, 4p opposite.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hexlife::rule {

// The bits of a table index.
constexpr int SE = 1 << 0, S = 1 << 1, E = 1 << 2, Centre = 1 << 3, W = 1 << 4, N = 1 << 5, NW = 1 << 6;
constexpr int TableSize = 128;
// The neighbours in order around the cell: each is next to the one before
// and after it.
constexpr std::array<int, 6> Ring = {NW, N, E, SE, S, W};

class Rule {
public:
    // B2/S2H, the program's own rule.
    Rule();
    // Birth and survival by neighbour count: bit k of a mask for k live
    // neighbours, k = 0..6.
    static Rule Totalistic(unsigned birth, unsigned survival);
    static Rule FromTable(const std::array<bool, TableSize>& next);

    // The next state for a table index.
    bool Next(int index) const { return (bits_[index >> 6] >> (index & 63)) & 1; }
    void Set(int index, bool live);

    // Depends only on the cell and how many neighbours live.
    bool IsTotalistic() const;
    // Unchanged by the grid's rotations and reflections.
    bool IsIsotropic() const;
    // An empty cell without live neighbours is born.
    bool HasB0() const { return Next(0); }

    // The shortest text that reads back to this rule: B/S notation while the
    // rule is isotropic (totalistic ones as Golly writes them back), the MAP
    // string otherwise.
    std::string Text() const;
    // "MAP" and 22 base64 characters, as Golly writes a MAP rule back.
    std::string Map() const;

    bool operator==(const Rule&) const = default;

private:
    explicit Rule(std::array<std::uint64_t, 2> bits) : bits_(bits) {}
    std::array<std::uint64_t, 2> bits_{};
};

// Why a text is no rule this program runs.
enum class Problem {
    Empty,              // nothing but spaces
    TooLong,            // longer than Golly reads
    BadCharacter,       // a character no hexagonal rule has
    DigitTooLarge,      // 7 or 8 neighbours
    SquareLetter,       // one of Hensel's letters of the square grid
    LetterWithoutCount, // o, m or p not after 2, 3 or 4
    MinusMisplaced,     // "-" not right after a count
    MinusWithoutLetter, // "-" with no letter after it
    MixedLetters,       // letters with and without "-" for one count
    TwoBirths,          // B twice
    TwoSurvivals,       // S twice
    BirthSurvivalSide,  // B and S on one side of the slash
    LetterMisplaced,    // B or S inside a part
    NoBirthOrSurvival,  // neither a slash nor B nor S
    SuffixMisplaced,    // H not at the end
    NoSuffix,           // no H at the end of a rule with o, m or p
    MapLength,          // a MAP string of a length Golly does not read
    SquareGrid,         // a rule of the square grid (Moore neighbourhood)
    VonNeumannGrid,     // a rule of the von Neumann neighbourhood
    Generations,        // more than two states
    LargerThanLife,     // a range beyond the nearest neighbours
    Wolfram,            // a one-dimensional rule
    BoundedGrid,        // Golly's bounded-grid suffix
};

struct Error {
    Problem problem = Problem::Empty;
    std::string text;       // the rule as given
    int position = 0;       // the character's place in the text, from 1; 0 for the whole
    std::string character;  // that character as written (its code if unprintable)
    int number = 0;         // a count, or the length of a MAP string
};

struct ParseResult {
    std::optional<Rule> rule;
    Error error;
};

ParseResult Parse(std::string_view text);

// The message for the user, in Russian (UTF-8), naming what is wrong and
// where.
std::string Message(const Error& error);

}  // namespace hexlife::rule
