// The search's result as text: the box, the items asked for and done, the
// counts, the objects and the longest-lived figures, with a checksum. Read
// back exactly, to go on with an interrupted search or to add up the
// results of shards. Plain C++.
//
//   hexagonal-life-search 2          the format and its version
//   rule TEXT                        the rule the figures ran by, as Rule::Text()
//                                    writes it (B2/S2H, B2o/S2m34H, MAP...)
//   objects symmetries               how objects were made canonical: under the
//                                    lattice's 12 symmetries ("symmetries", for an
//                                    isotropic rule) or by translations alone
//                                    ("translations", for any other); the rule
//                                    decides which, and a file that says the
//                                    other is refused
//   box C R                          columns, rows
//   sample SEED                      only for a random sample: its seed
//   range A B                        the items asked for: A .. B - 1
//   done A B                         items done, one line per run of them
//   figures N                        the summary, as the program prints it:
//   died N                             one line for each verdict, with
//   still N                            "oscillator pP N" and "ship pP N"
//   oscillator p2 N                    for each period found, by period
//   ship p3 N
//   grows N
//   undecided N
//   object KIND pP DX DY COUNT SMALLEST X,Y X,Y ...
//   top FIGURE GENERATION VERDICT FIRST PERIOD DX DY
//   checksum H                       FNV-1a (64 bits, hex) of all bytes before this line
//
// Version 2 is written for every rule. Version 1 had neither the rule nor
// the objects line: its figures ran by B2/S2H, and it is read as that.
// A rule with B0 is refused: no search runs by one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/search.h"

namespace hexlife::search {

constexpr const char* ResultMagic = "hexagonal-life-search";
constexpr int ResultVersion = 2;
// Most bytes a result file may hold when read.
constexpr std::int64_t MaxResultBytes = std::int64_t(1) << 30;

struct Result {
    Box box;
    bool sample = false;
    std::uint64_t seed = 0;
    std::uint64_t begin = 0, end = 0;  // items asked for
    Progress progress;                 // what is done of them
    rule::Rule rule;                   // the rule the figures ran by
    bool complete() const;
    std::uint64_t items() const { return end - begin; }
};

// The summary lines: figures, died, still, oscillator pP..., ship pP...,
// grows, undecided.
std::string SummaryText(const Tally& tally);
// The objects in the order of the file: more copies first, then by cells.
std::vector<const ObjectTally*> ObjectsInOrder(const Tally& tally);

// Why no search runs by a rule with B0, in Russian, from a small letter:
// «правило B0/S2H с B0 не годится для поиска: ...».
std::string B0Refusal(const rule::Rule& rule);

// "symmetries" or "translations": how the objects of a search by the rule
// are made canonical, the word of the file's objects line.
const char* ObjectsWord(const rule::Rule& rule);

std::string FormatResult(const Result& result);

// The result, or what is wrong with the text, in Russian.
struct ParsedResult {
    std::optional<Result> result;
    std::string error;
};
ParsedResult ParseResult(std::string_view text);

// The shards added up: one rule, one box, one sample seed or none, ranges that do not
// overlap; the result asks for the least range that holds them all.
// `names` name the shards in the Russian message on failure.
ParsedResult MergeResults(const std::vector<Result>& parts, const std::vector<std::string>& names);

}  // namespace hexlife::search
