#include "search/step_kernel.h"

#include <atomic>
#include <cassert>
#include <bit>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace hexlife::search {

namespace {

// --- The keys of the row hash ------------------------------------------------

constexpr std::uint64_t SplitMix64(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Two 32-bit keys a row (kept in 64-bit lanes, to be added to a row's lanes
// as they stand), and the sum of the products of the keys of the rows
// before each place: what zero rows add, taken off where a kernel hashes
// rows past the last.
constexpr int KeyCount = StepMaxRows + StepOverrun;
struct Keys {
    std::uint64_t low[KeyCount], high[KeyCount], zeros[KeyCount + 1];
};
constexpr Keys MakeKeys()
{
    Keys k{};
    k.zeros[0] = 0;
    for (int j = 0; j < KeyCount; ++j) {
        const std::uint64_t r = SplitMix64(std::uint64_t(j) + 0x5eed);
        k.low[j] = r & 0xffffffffu;
        k.high[j] = r >> 32;
        k.zeros[j + 1] = k.zeros[j] + k.low[j] * k.high[j];
    }
    return k;
}
alignas(64) constexpr Keys RowKeys = MakeKeys();

// The kernel for each instruction set.
namespace plain {
#define HEXLIFE_LANES 1
#include "search/step_kernel.inc"
#undef HEXLIFE_LANES
}  // namespace plain

#if defined(__x86_64__) && defined(__GNUC__)
#define HEXLIFE_VECTOR_PATHS 1

#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
#define HEXLIFE_LANES 4
#include "search/step_kernel.inc"
#undef HEXLIFE_LANES
}  // namespace avx2
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("popcnt")
int CountCellsPopcnt(const std::uint64_t* rows, int count)
{
    int cells = 0;
    for (int j = 0; j < count; ++j) cells += std::popcount(rows[j]);
    return cells;
}
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f")
namespace avx512 {
#define HEXLIFE_LANES 8
#include "search/step_kernel.inc"
#undef HEXLIFE_LANES
}  // namespace avx512
#pragma GCC pop_options
#endif

using StepFunction = StepSums (*)(std::uint64_t*, std::uint64_t*, int, int, int, const StepRule&);

// A path's kernels, by StepRule::Kind.
struct Kernels {
    StepFunction by[3];
};
constexpr Kernels PlainKernels = {{plain::Step, plain::StepByCount, plain::StepByTable}};

Kernels KernelsOf(StepPath path)
{
    switch (path) {
    case StepPath::Plain: return PlainKernels;
#ifdef HEXLIFE_VECTOR_PATHS
    case StepPath::Avx2: return {{avx2::Step, avx2::StepByCount, avx2::StepByTable}};
    case StepPath::Avx512: return {{avx512::Step, avx512::StepByCount, avx512::StepByTable}};
#else
    default: break;
#endif
    }
    return PlainKernels;
}

bool Runs(StepPath path)
{
    switch (path) {
    case StepPath::Plain: return true;
#ifdef HEXLIFE_VECTOR_PATHS
    case StepPath::Avx2: return __builtin_cpu_supports("avx2");
    case StepPath::Avx512: return __builtin_cpu_supports("avx512f");
#else
    default: break;
#endif
    }
    return false;
}

// Plain until the start-up picks the fastest, so that a step made before
// that is still right.
std::atomic<StepPath> CurrentPath{StepPath::Plain};
std::atomic<StepFunction> CurrentFunction[3] = {plain::Step, plain::StepByCount, plain::StepByTable};

// The all-ones mask of a table's answer.
std::int64_t MaskOf(bool live) { return live ? -1 : 0; }

}  // namespace

namespace {
const bool ChosenAtStart = (SetStepPath(AvailableStepPaths().back()), true);
}  // namespace

const char* StepPathName(StepPath path)
{
    switch (path) {
    case StepPath::Plain: return "plain";
    case StepPath::Avx2: return "avx2";
    case StepPath::Avx512: return "avx512";
    }
    return "";
}

std::vector<StepPath> AvailableStepPaths()
{
    std::vector<StepPath> paths;
    for (StepPath p : {StepPath::Plain, StepPath::Avx2, StepPath::Avx512}) {
        if (Runs(p)) paths.push_back(p);
    }
    return paths;
}

StepPath CurrentStepPath() { return CurrentPath.load(std::memory_order_relaxed); }

void SetStepPath(StepPath path)
{
    if (!Runs(path)) path = StepPath::Plain;
    CurrentPath = path;
    const Kernels kernels = KernelsOf(path);
    for (int k = 0; k < 3; ++k) CurrentFunction[k] = kernels.by[k];
}

StepRule::StepRule(const rule::Rule& r) : rule(r), isotropic(r.IsIsotropic())
{
    assert(!r.HasB0());
    kind = r == rule::Rule() ? Kind::TwoOfSix : r.IsTotalistic() ? Kind::Totalistic : Kind::Table;
    for (int n = 0; n <= 6; ++n) {
        // The first n neighbours of the ring live.
        int index = 0;
        for (int i = 0; i < n; ++i) index |= rule::Ring[size_t(i)];
        empty[n] = MaskOf(r.Next(index));
        flip[n] = MaskOf(r.Next(index) != r.Next(index | rule::Centre));
    }
    for (int entry = 0; entry < 64; ++entry) {
        // Bits 0..2 of an entry are SE, S, E as in a table index; 3..5 are
        // W, N, NW, one place up past the cell's bit.
        const int index = (entry & 7) | ((entry & 56) << 1);
        tableEmpty[entry] = MaskOf(r.Next(index));
        tableFlip[entry] = MaskOf(r.Next(index) != r.Next(index | rule::Centre));
    }
}

const StepRule& StepRule::TwoOfSix()
{
    static const StepRule rule;
    return rule;
}

StepSums StepRows(std::uint64_t* rows, std::uint64_t* next, int from, int count, int shift)
{
    static_assert(StepMaxRows % 8 == 0);
    return CurrentFunction[0].load(std::memory_order_relaxed)(rows, next, from, count, shift, StepRule::TwoOfSix());
}

StepSums StepRows(std::uint64_t* rows, std::uint64_t* next, int from, int count, int shift, const StepRule& rule)
{
    return CurrentFunction[int(rule.kind)].load(std::memory_order_relaxed)(rows, next, from, count, shift, rule);
}

int CountCells(const std::uint64_t* rows, int count)
{
#ifdef HEXLIFE_VECTOR_PATHS
    static const bool popcnt = __builtin_cpu_supports("popcnt");
    if (popcnt) return CountCellsPopcnt(rows, count);
#endif
    int cells = 0;
    for (int j = 0; j < count; ++j) cells += std::popcount(rows[j]);
    return cells;
}

std::uint64_t StepRowsHash(const std::uint64_t* rows, int count, int shift)
{
    std::uint64_t sum = 0;
    for (int j = 0; j < count; ++j) {
        const std::uint64_t m = rows[j] >> shift;
        sum += ((m + RowKeys.low[j]) & 0xffffffffu) * (((m >> 32) + RowKeys.high[j]) & 0xffffffffu);
    }
    return sum;
}

}  // namespace hexlife::search
