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

// Any table by byte lookups, a row at a time: each cell's seven inputs
// gathered into a byte of its own by three multishifts of the rows above,
// at and below (bits b - 1 .. b + 6, b - 4 .., b - 5 .. of each, rotated,
// so that the row's free first and last bits stand in for the cells past
// its ends), then the rule's 128 answers permuted by those bytes. The hash
// is the avx512 kernel's, over whole vectors of eight rows.
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vbmi")
namespace vbmi {
typedef std::uint64_t V __attribute__((vector_size(64)));

struct Controls {
    std::uint8_t mid[64], up[64], down[64];
};
constexpr Controls MakeControls()
{
    Controls c{};
    for (int b = 0; b < 64; ++b) {
        c.mid[b] = std::uint8_t((b - 1) & 63);
        c.up[b] = std::uint8_t((b - 4) & 63);
        c.down[b] = std::uint8_t((b - 5) & 63);
    }
    return c;
}
alignas(64) constexpr Controls Shifts = MakeControls();

StepSums StepByLookup(std::uint64_t* rows, std::uint64_t* next, int from, int count, int shift, const StepRule& rule)
{
    const __m512i low = _mm512_load_si512(rule.lookup), high = _mm512_load_si512(rule.lookup + 64);
    const __m512i atMid = _mm512_load_si512(Shifts.mid), atUp = _mm512_load_si512(Shifts.up),
                  atDown = _mm512_load_si512(Shifts.down);
    // Bits 0..2 of the byte from the cell's row, 3..4 from the row above.
    const __m512i fromMid = _mm512_set1_epi8(0x07), fromUp = _mm512_set1_epi8(0x18);
    V sum = V{} ^ V{};
    const V zero = sum;
    std::uint64_t bits = 0;
    int j = 0;
    for (; j < count; j += 8) {
        std::uint64_t* at = rows + from + j;
        for (int k = 0; k < 8; ++k) {
            const __m512i m = _mm512_maskz_multishift_epi64_epi8(~__mmask64(0), atMid, _mm512_set1_epi64(std::int64_t(at[k])));
            const __m512i u = _mm512_maskz_multishift_epi64_epi8(~__mmask64(0), atUp, _mm512_set1_epi64(std::int64_t(at[k - 1])));
            const __m512i d = _mm512_maskz_multishift_epi64_epi8(~__mmask64(0), atDown, _mm512_set1_epi64(std::int64_t(at[k + 1])));
            const __m512i index = _mm512_ternarylogic_epi64(fromMid, m, _mm512_ternarylogic_epi64(fromUp, u, d, 0xca), 0xca);
            const std::uint64_t n = _cvtmask64_u64(_mm512_movepi8_mask(_mm512_permutex2var_epi8(low, index, high)));
            next[from + j + k] = n;
            bits |= n;
        }
        V mid;
        std::memcpy(&mid, at, sizeof mid);
        // The vector before is read for the last time: it is cleared.
        if (j > 0) std::memcpy(at - 8, &zero, sizeof zero);
        V keysLow, keysHigh;
        std::memcpy(&keysLow, RowKeys.low + j, sizeof keysLow);
        std::memcpy(&keysHigh, RowKeys.high + j, sizeof keysHigh);
        const V h = mid >> shift;
        // (The masked forms: GCC 12 warns of the unmasked ones' undefined source.)
        sum += V(_mm512_maskz_mul_epu32(0xff, __m512i(h + keysLow), __m512i((h >> 32) + keysHigh)));
    }
    std::memcpy(rows + from + j - 8, &zero, sizeof zero);
    StepSums out;
    for (int k = 0; k < 8; ++k) out.hash += sum[k];
    out.bits = bits;
    out.hash -= RowKeys.zeros[j] - RowKeys.zeros[count];
    return out;
}
}  // namespace vbmi
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
    case StepPath::Avx512: {
        static const bool vbmi = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw");
        return {{avx512::Step, avx512::StepByCount, vbmi ? vbmi::StepByLookup : avx512::StepByTable}};
    }
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
    for (int entry = 0; entry < 128; ++entry) {
        const int index = (entry & 1 ? rule::W : 0) | (entry & 2 ? rule::Centre : 0) | (entry & 4 ? rule::E : 0) |
                          (entry & 8 ? rule::NW : 0) | (entry & 16 ? rule::N : 0) | (entry & 32 ? rule::S : 0) |
                          (entry & 64 ? rule::SE : 0);
        lookup[entry] = r.Next(index) ? 0x80 : 0;
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
