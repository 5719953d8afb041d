// The command line of hexagonal-life-search: options, the run with
// progress on standard error, Ctrl+C kept as a partial result to go on
// from, the merge of shards, the summary on standard output.
#pragma once

namespace hexlife::search {

// Exit statuses.
constexpr int ExitDone = 0;
constexpr int ExitWriteFailed = 1;
constexpr int ExitBadInput = 2;
// Stopped by a signal: 128 + its number (130 for SIGINT, 143 for SIGTERM).
constexpr int ExitSignalBase = 128;

int SearchMain(int argc, char** argv);

}  // namespace hexlife::search
