// The options of hexagonal-life-search, read from its command line, its
// help text and its words to the user on standard error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rule/rule.h"
#include "search/search.h"

namespace hexlife::search {

extern const char* const HelpText;

struct Options {
    std::optional<rule::Rule> rule;
    std::optional<int> columns, rows;
    std::optional<std::pair<std::uint64_t, std::uint64_t>> range;
    std::optional<std::uint64_t> sample;
    std::uint64_t seed = DefaultSampleSeed;
    bool seedGiven = false;
    int threads = 0;
    std::string out, rleDir;
    std::vector<std::string> merge;
    bool progress = false, help = false, version = false;
};

// A line on standard error.
void Say(const std::string& text);
// The message of a fault in the command line and where to read more; the
// exit status of refused input.
int Usage(const std::string& text);
// The options, or the message of the first fault.
std::optional<std::string> ParseOptions(int argc, char** argv, Options& o);

}  // namespace hexlife::search
