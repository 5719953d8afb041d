#include "rule/rule.h"

#include <bit>

#include "rule/rule_notation.h"

namespace hexlife::rule {

using namespace notation;

Rule::Rule() : Rule(Totalistic(1u << 2, 1u << 2)) {}

Rule Rule::Totalistic(unsigned birth, unsigned survival)
{
    Rule rule(std::array<std::uint64_t, 2>{});
    for (int index = 0; index < TableSize; ++index) {
        const int count = std::popcount(unsigned(RingMask(index)));
        rule.Set(index, (((index & Centre) ? survival : birth) >> count) & 1);
    }
    return rule;
}

Rule Rule::FromTable(const std::array<bool, TableSize>& next)
{
    Rule rule = Totalistic(0, 0);
    for (int index = 0; index < TableSize; ++index) {
        rule.Set(index, next[size_t(index)]);
    }
    return rule;
}

void Rule::Set(int index, bool live)
{
    const std::uint64_t bit = std::uint64_t(1) << (index & 63);
    bits_[size_t(index >> 6)] = live ? bits_[size_t(index >> 6)] | bit : bits_[size_t(index >> 6)] & ~bit;
}

bool Rule::IsTotalistic() const
{
    unsigned birth = 0, survival = 0;
    for (int index = 0; index < TableSize; ++index) {
        (index & Centre ? survival : birth) |= unsigned(Next(index)) << std::popcount(unsigned(RingMask(index)));
    }
    return *this == Totalistic(birth, survival);
}

bool Rule::IsIsotropic() const
{
    // Invariant under a turn by one neighbour and under one reflection,
    // which together make every symmetry of the hexagon.
    for (int index = 0; index < TableSize; ++index) {
        const int mask = RingMask(index);
        const bool centre = index & Centre;
        const int turned = ((mask << 1) | (mask >> 5)) & 63;
        int reflected = 0;
        for (int i = 0; i < 6; ++i) {
            if (mask & (1 << i)) {
                reflected |= 1 << ((6 - i) % 6);
            }
        }
        if (Next(IndexOfRing(turned, centre)) != Next(index) || Next(IndexOfRing(reflected, centre)) != Next(index)) {
            return false;
        }
    }
    return true;
}

std::string Rule::Text() const
{
    if (!IsIsotropic()) {
        return Map();
    }
    std::string text;
    for (bool centre : {false, true}) {
        text += centre ? "/S" : "B";
        Part part{};
        for (int mask = 0; mask < 64; ++mask) {
            if (Next(IndexOfRing(mask, centre))) {
                const int count = std::popcount(unsigned(mask));
                part[size_t(count)] |= HasLetters(count) ? 1 << LetterOf(mask) : AllLetters;
            }
        }
        for (int count = 0; count <= 6; ++count) {
            if (part[size_t(count)] == 0) {
                continue;
            }
            text += char('0' + count);
            // With three letters a set is never shorter with "-": the
            // letters themselves, in the order o m p.
            if (part[size_t(count)] != AllLetters) {
                for (int letter = 0; letter < 3; ++letter) {
                    if (part[size_t(count)] & (1 << letter)) {
                        text += Letters[size_t(letter)];
                    }
                }
            }
        }
    }
    return text + "H";
}

std::string Rule::Map() const
{
    std::string map = "MAP";
    for (int c = 0; c < MapCharacters; ++c) {
        int value = 0;
        for (int bit = 0; bit < 6; ++bit) {
            const int at = 6 * c + bit;
            value = value << 1 | (at < TableSize && Next(MapPosition(at)));
        }
        map += Base64[size_t(value)];
    }
    return map;
}

}  // namespace hexlife::rule
