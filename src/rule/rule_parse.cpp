// Reading a rule's text: B/S notation with the hexagonal letters, and MAP
// strings, with a message for what does not read.
#include "rule/rule.h"

#include <bit>
#include <vector>

#include "rule/rule_notation.h"

namespace hexlife::rule {

using namespace notation;

namespace {

// The text with its characters' places, spaces left out.
struct Glyph {
    char ascii;         // the character in lower case; 0 for any other
    char original;      // as written, for MAP strings
    int position;       // from 1, in characters
    std::string shown;  // as written, or its code
};

std::string CodeOf(unsigned char c)
{
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[c >> 4] + digits[c & 15];
}

// Splits UTF-8 text into characters; false with the offending one in
// `bad` when one is no printable ASCII.
bool Glyphs(std::string_view text, std::vector<Glyph>& glyphs, Glyph& bad)
{
    int position = 0;
    for (size_t at = 0; at < text.size();) {
        ++position;
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c >= 0x80) {
            size_t length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
            bool valid = length != 0 && at + length <= text.size();
            for (size_t i = 1; valid && i < length; ++i) {
                valid = (static_cast<unsigned char>(text[at + i]) & 0xC0) == 0x80;
            }
            bad = {0, 0, position, valid ? std::string(text.substr(at, length)) : CodeOf(c)};
            return false;
        }
        ++at;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            continue;
        }
        if (c < 0x20 || c == 0x7F) {
            bad = {0, 0, position, CodeOf(c)};
            return false;
        }
        const char lower = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c);
        glyphs.push_back({lower, char(c), position, std::string(1, char(c))});
    }
    return true;
}

Error Fault(Problem problem, std::string_view text, const Glyph* at = nullptr, int number = 0)
{
    Error error;
    error.problem = problem;
    error.text = std::string(text);
    if (at) {
        error.position = at->position;
        error.character = at->shown;
    }
    error.number = number;
    return error;
}

using GlyphList = std::vector<Glyph>;

struct PartResult {
    Part part{};
    std::optional<Error> error;
};

// One part: counts with optional letters, optionally with "-".
PartResult ReadPart(const Glyph* begin, const Glyph* end, std::string_view text)
{
    PartResult result;
    std::array<bool, 7> positive{}, negative{};
    int count = -1;
    bool minus = false;
    int letters = 0;
    const Glyph* minusAt = nullptr;
    const Glyph* countAt = nullptr;
    auto finish = [&]() -> std::optional<Error> {
        if (count < 0) {
            return std::nullopt;
        }
        if (minus && letters == 0) {
            return Fault(Problem::MinusWithoutLetter, text, minusAt);
        }
        if (letters != 0) {
            (minus ? negative : positive)[count] = true;
            if (positive[count] && negative[count]) {
                return Fault(Problem::MixedLetters, text, countAt, count);
            }
        }
        const int on = letters == 0 ? AllLetters : minus ? AllLetters & ~letters : letters;
        result.part[count] |= on;
        return std::nullopt;
    };
    for (const Glyph* g = begin; g != end; ++g) {
        const char c = g->ascii;
        if (c >= '0' && c <= '9') {
            if (auto error = finish()) {
                result.error = error;
                return result;
            }
            if (c > '6') {
                result.error = Fault(Problem::DigitTooLarge, text, g, c - '0');
                return result;
            }
            count = c - '0';
            countAt = g;
            minus = false;
            letters = 0;
        } else if (c == '-') {
            if (count < 0 || minus || letters != 0 || g == begin || (g - 1)->ascii != char('0' + count)) {
                result.error = Fault(Problem::MinusMisplaced, text, g);
                return result;
            }
            minus = true;
            minusAt = g;
        } else if (Letters.find(c) != std::string_view::npos && c != 0) {
            if (!HasLetters(count)) {
                result.error = Fault(Problem::LetterWithoutCount, text, g, count);
                return result;
            }
            letters |= 1 << Letters.find(c);
        } else if (SquareLetters.find(c) != std::string_view::npos && c != 0) {
            result.error = Fault(Problem::SquareLetter, text, g);
            return result;
        } else if (c == 'b' || c == 's') {
            result.error = Fault(Problem::LetterMisplaced, text, g);
            return result;
        } else {
            result.error = Fault(Problem::BadCharacter, text, g);
            return result;
        }
    }
    if (auto error = finish()) {
        result.error = error;
    }
    return result;
}

Rule FromParts(const Part& birth, const Part& survival)
{
    Rule rule = Rule::Totalistic(0, 0);
    for (int index = 0; index < TableSize; ++index) {
        const int mask = RingMask(index);
        const int count = std::popcount(unsigned(mask));
        const Part& part = index & Centre ? survival : birth;
        rule.Set(index, (part[count] >> LetterOf(mask)) & 1);
    }
    return rule;
}

ParseResult Failed(Error error)
{
    ParseResult result;
    result.error = std::move(error);
    return result;
}

ParseResult ReadMap(const GlyphList& glyphs, std::string_view text)
{
    const Glyph* begin = glyphs.data() + 3;
    int length = int(glyphs.size()) - 3;
    // Golly reads the map with or without base64's padding "==".
    if (length > 2 && glyphs[glyphs.size() - 1].original == '=' && glyphs[glyphs.size() - 2].original == '=') {
        length -= 2;
    }
    for (int i = 0; i < length; ++i) {
        if (Base64.find(begin[i].original) == std::string_view::npos) {
            return Failed(Fault(Problem::BadCharacter, text, begin + i));
        }
    }
    if (length == 86) {
        return Failed(Fault(Problem::SquareGrid, text));
    }
    if (length == 6) {
        return Failed(Fault(Problem::VonNeumannGrid, text));
    }
    if (length != MapCharacters) {
        return Failed(Fault(Problem::MapLength, text, nullptr, length));
    }
    Rule rule = Rule::Totalistic(0, 0);
    for (int at = 0; at < TableSize; ++at) {
        const int value = int(Base64.find(begin[at / 6].original));
        // The bits of a character, its highest first; Golly reads only the
        // two highest of the last one.
        rule.Set(MapPosition(at), (value >> (5 - at % 6)) & 1);
    }
    ParseResult result;
    result.rule = rule;
    return result;
}

bool IsSquareLike(const GlyphList& glyphs)
{
    for (const Glyph& g : glyphs) {
        const char c = g.ascii;
        const bool fits = (c >= '0' && c <= '9') || c == 'b' || c == 's' || c == '/' || c == '_' || c == '-' ||
                          (c != 0 && SquareLetters.find(c) != std::string_view::npos);
        if (!fits) {
            return false;
        }
    }
    return true;
}

// B/S notation without its final H.
ParseResult ReadBirthSurvival(const Glyph* begin, const Glyph* end, std::string_view text)
{
    const Glyph* slash = nullptr;
    const Glyph* b = nullptr;
    const Glyph* s = nullptr;
    for (const Glyph* g = begin; g != end; ++g) {
        if (g->ascii == '/' || g->ascii == '_') {
            slash = g;
        } else if (g->ascii == 'b') {
            if (b) {
                return Failed(Fault(Problem::TwoBirths, text, g));
            }
            b = g;
        } else if (g->ascii == 's') {
            if (s) {
                return Failed(Fault(Problem::TwoSurvivals, text, g));
            }
            s = g;
        }
    }
    const Glyph *birthBegin = begin, *birthEnd = begin, *survivalBegin = begin, *survivalEnd = begin;
    if (slash) {
        // Each letter begins its side; without letters the survival comes first.
        for (const Glyph* letter : {b, s}) {
            if (letter && letter != begin && letter != slash + 1) {
                const Glyph* other = letter == b ? s : b;
                const bool sameSide = other && (other < slash) == (letter < slash);
                return Failed(Fault(sameSide ? Problem::BirthSurvivalSide : Problem::LetterMisplaced, text, letter));
            }
        }
        const bool birthFirst = (b && b < slash) || (s && s > slash);
        const Glyph* left = begin;
        const Glyph* right = slash + 1;
        if (left != slash && (left->ascii == 'b' || left->ascii == 's')) ++left;
        if (right != end && (right->ascii == 'b' || right->ascii == 's')) ++right;
        if (birthFirst) {
            birthBegin = left, birthEnd = slash, survivalBegin = right, survivalEnd = end;
        } else {
            survivalBegin = left, survivalEnd = slash, birthBegin = right, birthEnd = end;
        }
    } else {
        if (!b && !s) {
            return Failed(Fault(Problem::NoBirthOrSurvival, text));
        }
        const Glyph* first = b && s ? std::min(b, s) : b ? b : s;
        if (first != begin) {
            return Failed(Fault(Problem::LetterMisplaced, text, first));
        }
        const Glyph* second = b && s ? std::max(b, s) : end;
        const Glyph* secondEnd = end;
        const Glyph* secondBegin = second == end ? end : second + 1;
        if (first == b) {
            birthBegin = first + 1, birthEnd = second, survivalBegin = secondBegin, survivalEnd = secondEnd;
        } else {
            survivalBegin = first + 1, survivalEnd = second, birthBegin = secondBegin, birthEnd = secondEnd;
        }
    }
    const PartResult birth = ReadPart(birthBegin, birthEnd, text);
    const PartResult survival = ReadPart(survivalBegin, survivalEnd, text);
    // The first fault in the text is the one named.
    const std::optional<Error>* first = &birth.error;
    if (!birth.error || (survival.error && survival.error->position && survival.error->position < birth.error->position)) {
        first = &survival.error;
    }
    if (*first) {
        return Failed(**first);
    }
    ParseResult result;
    result.rule = FromParts(birth.part, survival.part);
    return result;
}

}  // namespace

ParseResult Parse(std::string_view text)
{
    std::vector<Glyph> glyphs;
    Glyph bad;
    if (!Glyphs(text, glyphs, bad)) {
        return Failed(Fault(Problem::BadCharacter, text, &bad));
    }
    if (glyphs.empty()) {
        return Failed(Fault(Problem::Empty, text));
    }
    if (glyphs.back().position > MaxRuleLength) {
        return Failed(Fault(Problem::TooLong, text, nullptr, MaxRuleLength));
    }
    for (const Glyph& g : glyphs) {
        if (g.ascii == ':') {
            return Failed(Fault(Problem::BoundedGrid, text, &g));
        }
    }
    if (glyphs.size() >= 3 && glyphs[0].ascii == 'm' && glyphs[1].ascii == 'a' && glyphs[2].ascii == 'p') {
        return ReadMap(glyphs, text);
    }
    int slashes = 0;
    for (const Glyph& g : glyphs) {
        if (g.ascii == ',') {
            return Failed(Fault(Problem::LargerThanLife, text));
        }
        slashes += g.ascii == '/' || g.ascii == '_';
    }
    if (glyphs[0].ascii == 'w' && glyphs.size() > 1) {
        bool digits = true;
        for (size_t i = 1; i < glyphs.size(); ++i) {
            digits = digits && glyphs[i].ascii >= '0' && glyphs[i].ascii <= '9';
        }
        if (digits) {
            return Failed(Fault(Problem::Wolfram, text));
        }
    }
    if (slashes >= 2) {
        return Failed(Fault(Problem::Generations, text));
    }
    const char last = glyphs.back().ascii;
    if (last == 'v') {
        return Failed(Fault(Problem::VonNeumannGrid, text));
    }
    for (size_t i = 0; i + 1 < glyphs.size(); ++i) {
        if (glyphs[i].ascii == 'h' || glyphs[i].ascii == 'v') {
            return Failed(Fault(Problem::SuffixMisplaced, text, &glyphs[i]));
        }
    }
    if (last != 'h') {
        if (IsSquareLike(glyphs)) {
            return Failed(Fault(Problem::SquareGrid, text));
        }
        // Name the first character that is wrong in any rule, else the
        // missing suffix.
        const ParseResult body = ReadBirthSurvival(glyphs.data(), glyphs.data() + glyphs.size(), text);
        if (!body.rule) {
            return body;
        }
        return Failed(Fault(Problem::NoSuffix, text));
    }
    return ReadBirthSurvival(glyphs.data(), glyphs.data() + glyphs.size() - 1, text);
}

}  // namespace hexlife::rule
