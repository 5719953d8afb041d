// The generation step of a bitboard's rows, with the hash of the rows it
// reads, in plain C++ and with x86-64 vector instructions across rows. The
// vector paths are compiled for their instruction sets alone and chosen at
// run time by what the processor has, so the program runs on any x86-64;
// every path writes the same rows and returns the same hash.
#pragma once

#include <cstdint>
#include <vector>

#include "rule/rule.h"

namespace hexlife::search {

enum class StepPath { Plain, Avx2, Avx512 };
const char* StepPathName(StepPath path);
// The paths this processor runs, Plain first, the fastest last.
std::vector<StepPath> AvailableStepPaths();
// The path the search uses: the fastest available unless set. Set it only
// while no search is running (the tests compare the paths).
StepPath CurrentStepPath();
void SetStepPath(StepPath path);

// Rows the kernels may read and write past the last one asked for, rounding
// up to whole vectors of eight rows, and one more for the row below.
constexpr int StepOverrun = 8;
// The most rows one call takes.
constexpr int StepMaxRows = 136;

// A rule compiled for the kernels, once per rule. B2/S2 runs by its own
// kernel; a totalistic rule selects by the neighbour count; any other rule
// by a multiplexer tree over its whole table. The masks are all ones or all
// zeros, each the answer of one table entry (or the difference of two),
// so that 64 cells of a row take each entry at once. Never a rule with B0:
// the kernels rely on zero rows giving no births.
struct StepRule {
    enum class Kind { TwoOfSix, Totalistic, Table };
    Kind kind = Kind::TwoOfSix;
    rule::Rule rule;
    bool isotropic = true;
    // Totalistic: the next state for count n is empty[n] for an empty cell,
    // empty[n] ^ flip[n] for a live one (n = 0..6; entry 7 never counted).
    std::int64_t empty[8] = {}, flip[8] = {};
    // Table: the same by the six neighbours, bit 0 SE, 1 S, 2 E, 3 W, 4 N,
    // 5 NW of the entry's number (rule::Rule's index without the cell).
    std::int64_t tableEmpty[64] = {}, tableFlip[64] = {};
    // Table, looked up a byte a cell where the processor has byte
    // permutes (AVX-512 VBMI): 0x80 where the cell lives, by the entry
    // numbered with bit 0 W, 1 the cell, 2 E, 3 NW, 4 N, 5 S, 6 SE.
    alignas(64) std::uint8_t lookup[128] = {};

    // B2/S2H.
    StepRule() = default;
    explicit StepRule(const rule::Rule& rule);
    // The B2/S2 rule compiled, shared.
    static const StepRule& TwoOfSix();
};

struct StepSums {
    std::uint64_t hash = 0;  // the rows' sum (StepRowsHash), before mixing
    std::uint64_t bits = 0;  // the OR of the rows written
};

// Rows from .. from + count - 1 of `next` become the generation after those
// of `rows`: a cell lives when exactly two of its six neighbours do (B2/S2).
// Row i of a Golly bitboard counts bits b -+ 1 of row i, b and b - 1 of row
// i - 1, b and b + 1 of row i + 1. Rows from - 1 .. from + count + StepOverrun
// of `rows` are read (those outside the pattern must be zero), and rows from
// .. from + count - 1 are cleared, so that the buffer is empty for the next
// step to write into; up to StepOverrun rows past the last are cleared in
// both and written in `next`, with zeros, for zero rows give no births. The
// hash is of the rows read in, each shifted right by `shift`, numbered from
// `from`.
StepSums StepRows(std::uint64_t* rows, std::uint64_t* next, int from, int count, int shift);
// The same by any rule without B0.
StepSums StepRows(std::uint64_t* rows, std::uint64_t* next, int from, int count, int shift, const StepRule& rule);

// The live cells of count rows, by the processor's own popcount where it
// has one.
int CountCells(const std::uint64_t* rows, int count);

// The hash of count rows alone, as StepRows sums it: the NH hash of each
// 64-bit row as two 32-bit halves, with keys by the row's place.
std::uint64_t StepRowsHash(const std::uint64_t* rows, int count, int shift);

}  // namespace hexlife::search
