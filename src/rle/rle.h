// Patterns as RLE text, the file format of Golly and the Life community.
// Plain C++: a pattern in, text out; text in, a pattern or a precise error
// out.
//
// Golly runs this program's rule as B2/S2H on its hexagonal grid, where cell
// (x, y) has the neighbours (x +- 1, y), (x, y +- 1), (x - 1, y - 1) and
// (x + 1, y + 1). Pattern cell (k, j), column k and position j, is Golly's
// cell (k, j + k div 2); with that mapping Golly evolves a pattern exactly as
// the field does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lattice/lattice.h"
#include "model.h"
#include "rule/rule.h"

namespace hexlife::rle {

// Longest line of RLE text written; most a pattern file may hold.
constexpr int RleLineWidth = 70;
constexpr std::int64_t MaxPatternFileBytes = 1 << 20;
// Largest run count and #CXRLE position read; larger ones are refused.
constexpr std::int64_t RleMaxRunCount = 2147483647;
constexpr std::int64_t RleMaxPosition = 1000000000000;

// A live cell in Golly's coordinates.
struct GollyCell {
    std::int64_t x, y;
    bool operator==(const GollyCell&) const = default;
    auto operator<=>(const GollyCell&) const = default;
};

constexpr GollyCell ToGolly(int column, int position)
{
    return {column, position + column / 2};
}

// The rule as the header names it, so that Golly runs the file: a
// totalistic rule by its canonical text (B2/S34H), any other by its MAP
// string, as Golly writes MAP rules (bgolly 3.3 reads no letters o, m, p).
std::string HeaderRule(const rule::Rule& rule);

// The RLE text of the pattern's live cells: #N, #C and #CXRLE lines, the
// header with the tight bounding box and the rule (B2/S2H unless given;
// HeaderRule), lines of at most RleLineWidth characters, "!" at the end.
std::string WritePattern(const PatternArray& pattern, const std::string& name, const rule::Rule& rule = {});
// The same for any live cells, in Golly's coordinates; a generation of a
// run is written with its number, as Golly writes it (#CXRLE Gen=), which
// marks the text as the field at that generation.
std::string WriteCells(std::vector<GollyCell> live, const std::string& name,
                       std::optional<int> generation = std::nullopt, const rule::Rule& rule = {});
// A shape without a place of its own (no #CXRLE line): opened, it goes to
// the middle of the editor or the field, as a pasted pattern does.
std::string WriteShape(std::vector<GollyCell> live, const std::string& name, const rule::Rule& rule = {});

enum class ErrorKind {
    NotRle,         // text that is no RLE at all, or a character RLE has not
    Truncated,      // ends inside the header or a run
    CountOverflow,  // a run count or header number too large to hold
    WrongRule,      // no rule of the hexagonal grid (detail: rule::Message's words)
    TooLarge,       // does not fit the pattern grid (nor the field, where tried)
    TooBig,         // more text than a pattern file may hold
};

struct Error {
    ErrorKind kind = ErrorKind::NotRle;
    int line = 0;        // where it was found, from 1; 0 for the whole text
    int column = 0;      // the character's place in its line, from 1; 0 where none
    std::string detail;  // the character as written, the rule, ...
    // TooLarge: the size the header declares (else the cells' own), whether
    // it is only the slant of Golly's rows that makes it too tall, and its
    // height in the editor's columns.
    std::int64_t width = 0, height = 0;
    bool slanted = false;
    std::int64_t columnHeight = 0;
    // Whether the field was tried too, and the size of the field's live
    // area that it does not fit either.
    bool field = false;
    std::int64_t fieldColumns = 0, fieldRows = 0;
};

// The message for the user, in Russian (UTF-8).
std::string Message(const Error& error);

// The live cells of RLE text as runs along its rows, relative to its
// #CXRLE position if it has one (else to the top-left of its body), or the
// error. Runs keep a long run count cheap: no text can take long or much
// memory, whatever it holds.
struct LiveRun {
    std::int64_t y, x1, x2;  // the live cells (x1..x2, y)
};
struct Cells {
    std::vector<LiveRun> runs;
    bool positioned = false;  // a #CXRLE Pos line placed the pattern
    bool generation = false;  // a #CXRLE Gen: the field at a generation of a run
    std::int64_t width = -1, height = -1;  // the header's x and y, if given
    rule::Rule rule;        // the header's rule; B2/S2H where it names none
    std::string ruleText;   // as written; empty where the header names none
};
struct ParseResult {
    std::optional<Cells> cells;
    Error error;
};
ParseResult Parse(std::string_view text);

// A rectangle of a grid of columns `colLen` cells tall, column-major like
// the pattern and the field (cell number colLen × column + row), that a
// pattern may fill: columns c1..c2, rows r1..r2. Golly's cell (x, y) is the
// grid's cell (x, y − x div 2).
struct GridArea {
    int colLen;
    int c1, r1, c2, r2;
};
constexpr GridArea PatternArea{PatternColLen, 0, 0, PatternColLast, PatternPosLast};
// The field's live area: the cells a run can change.
constexpr GridArea FieldArea{FieldColLen, 1, 1, FieldColInnerLast, FieldPosLast};

// The cell numbers a pattern's live cells take in an area: where its #CXRLE
// position puts them when `atPosition` and they fit there, otherwise in the
// middle of the area, its left column even where it can be (any move in
// Golly's coordinates keeps the shape). Empty with a TooLarge error when
// the pattern does not fit.
struct Placed {
    std::optional<std::vector<int>> cells;
    Error error;
    bool atPosition = false;  // where the #CXRLE position put it
};
Placed Place(const Cells& cells, const GridArea& area, bool atPosition);

// The same with the middle of the cells' box on the area's cell `centre`,
// moved only as far as it takes to lie within the area; in the middle of
// the area where it is too large to lie around the centre.
Placed PlaceAround(const Cells& cells, const GridArea& area, lattice::GridCell centre);

// Where pasted cells go: a field or a part of it that the program copied
// (#CXRLE Gen) back to its place on the field; a pattern whose #CXRLE place
// lies in the editor there in the editor, else one whose place lies in the
// field's live area there on the field; one without a place around the
// field cell under the pointer, when it is over the field; else into the
// middle of the editor where it fits, else into the middle of the field.
// The cells put on the field are added to what is there.
struct Pasting {
    std::optional<PatternArray> pattern;    // the editor's new pattern
    std::optional<std::vector<int>> field;  // the field cells made live
    bool atPlace = false;                   // where its #CXRLE place put it
    Error error;
};
Pasting PlacePaste(const Cells& cells, std::optional<lattice::GridCell> pointer);

// RLE text as a pattern, placed in the pattern grid.
struct ReadResult {
    std::optional<PatternArray> pattern;
    Error error;
    rule::Rule rule;
};
ReadResult ReadPattern(std::string_view text);

// RLE text where it goes: a pattern that fits the editor to the editor; the
// field at a generation of a run (#CXRLE Gen) back onto the field at its
// place when it fits there; else onto the field's live area, centred, when
// it fits there. One error naming both sizes when it fits neither.
struct Opened {
    std::optional<PatternArray> pattern;
    std::optional<FieldArray> field;
    Error error;
    rule::Rule rule;
};
Opened ReadAnywhere(std::string_view text);

}  // namespace hexlife::rle
