#include "engine/life_step.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define HEXLIFE_SSSE3 1
#endif

#include "engine/field_grid.h"

namespace hexlife {

namespace {

// With B2/S2 a cell is live in the next generation exactly when it has two
// live neighbours now, live or empty; the kernel below relies on that.
static_assert(BirthNeighbours == 2 && CrowdNeighbours == 3 && LonelyNeighbours == 1.0f,
              "the kernel computes the rule B2/S2");

// The mark of a cell that is 0 or 1 and has `count` live neighbours: a
// live cell with two stays 1 (2 - 1), one without dies (0 - 1 = -1); an
// empty cell with two is born (2 - 0), one without stays 0.
static_assert(BornMark - 1 == 1 && 0 - 1 == DyingMark);
inline std::int8_t Mark(std::int8_t state, std::uint8_t count)
{
    return static_cast<std::int8_t>((count == BirthNeighbours ? BornMark : 0) - state);
}

// Cell values are summed in 8 bits so that the loop runs 16 cells a step.
inline std::uint8_t Sum(std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(a + b); }

// Marks rows 1..113 of one column into a scratch column, then copies them
// in; reading only unmarked cells of its own column lets the compiler
// vectorize the loop. Live for the count is the low bit: 1 and -1 have it,
// 0 and 2 do not; only the left column holds marks yet, the own and the
// right column are still 0 or 1. Row 113 is done apart because its lower
// neighbours lie outside the field. D is the column's side row step.
// Returns whether a cell on the frame of the live area is non-empty.
template <int D>
bool MarkColumn(std::int8_t* cells, int column)
{
    std::int8_t* own = cells + FieldColLen * column;
    const std::int8_t* left = own - FieldColLen;
    const std::int8_t* right = own + FieldColLen;

    std::int8_t marks[FieldColLen] = {};
    for (int r = 1; r < FieldPosLast; ++r) {
        const std::uint8_t count =
            Sum(Sum(Sum(left[r] & 1, left[r + D] & 1), Sum(right[r], right[r + D])),
                Sum(own[r - 1], own[r + 1]));
        marks[r] = Mark(own[r], count);
    }
    {
        const int r = FieldPosLast;
        int count = (left[r] & 1) + right[r] + own[r - 1];
        if (D < 0) {
            count += (left[r + D] & 1) + right[r + D];
        }
        marks[r] = Mark(own[r], static_cast<std::uint8_t>(count));
    }
    std::copy(marks + 1, marks + FieldColLen, own + 1);

    if (column == 1 || column == FieldColInnerLast) {
        std::int8_t any = 0;
        for (int r = 1; r <= FieldPosLast; ++r) {
            any |= marks[r];
        }
        return any != 0;
    }
    return (marks[1] | marks[FieldPosLast]) != 0;
}

// --- Any rule ---------------------------------------------------------------
//
// A cell's seven inputs, read as in MarkColumn: the left column's rows r
// and r + D, the own column's rows r - 1 and r + 1 (north and south), the
// right column's rows r and r + D, and the cell itself. In Golly's
// coordinates (rle.h) an even column (D = +1) sees NW, W on its left and
// E, SE on its right; an odd one (D = -1) sees W, NW and SE, E.
//
// The kernel splits them into a nibble (the left two, north, south) and
// three bits (the right two and the cell): a table of 16 bytes, looked up
// by the nibble, holds in its byte the rule's eight answers for the three
// bits. Two byte shuffles of 16 cells then step 16 cells by any rule.
//
// A totalistic rule needs one shuffle: the neighbours counted as the B2/S2
// pass counts them, the count and the cell index a table of marks to add.
struct Kernel {
    rule::Rule rule;
    bool b2s2 = true;
    bool totalistic = false;
    // [0] for even columns, [1] for odd ones.
    alignas(16) std::uint8_t table[2][16] = {};
    // BornMark for a next state live, by count + 8 × cell.
    alignas(16) std::uint8_t byCount[16] = {};
};

template <int D>
constexpr int Index(int leftHere, int leftSide, int north, int south, int rightHere, int rightSide, int centre)
{
    using namespace rule;
    const int left = D > 0 ? (leftHere ? NW : 0) | (leftSide ? W : 0) : (leftHere ? W : 0) | (leftSide ? NW : 0);
    const int right = D > 0 ? (rightHere ? E : 0) | (rightSide ? SE : 0) : (rightHere ? SE : 0) | (rightSide ? E : 0);
    return left | right | (north ? N : 0) | (south ? S : 0) | (centre ? Centre : 0);
}

template <int D>
void FillTable(const rule::Rule& rule, std::uint8_t* table)
{
    for (int nibble = 0; nibble < 16; ++nibble) {
        std::uint8_t byte = 0;
        for (int bits = 0; bits < 8; ++bits) {
            const int index = Index<D>(nibble & 1, nibble & 2, nibble & 4, nibble & 8, bits & 1, bits & 2, bits & 4);
            byte |= std::uint8_t(rule.Next(index) << bits);
        }
        table[nibble] = byte;
    }
}

// The kernel of the rule last asked for, kept per thread: compiling it
// costs more than a step of a small colony.
const Kernel& KernelFor(const rule::Rule& rule)
{
    thread_local Kernel kernel;
    thread_local bool filled = false;
    if (!filled || !(kernel.rule == rule)) {
        kernel.rule = rule;
        kernel.b2s2 = rule == rule::Rule();
        kernel.totalistic = rule.IsTotalistic();
        FillTable<1>(rule, kernel.table[0]);
        FillTable<-1>(rule, kernel.table[1]);
        for (int count = 0; count <= 6; ++count) {
            for (int centre = 0; centre < 2; ++centre) {
                // The first `count` neighbours of the ring live.
                int index = centre ? rule::Centre : 0;
                for (int i = 0; i < count; ++i) {
                    index |= rule::Ring[size_t(i)];
                }
                kernel.byCount[count + 8 * centre] = rule.Next(index) ? BornMark : 0;
            }
        }
        filled = true;
    }
    return kernel;
}

// The mark of a cell from its next state: 1 stays 1, 1 dies to -1, 0 is
// born as 2, 0 stays 0.
inline std::int8_t MarkOf(bool next, std::int8_t state) { return static_cast<std::int8_t>((next ? BornMark : 0) - state); }

// Marks rows `from`..FieldPosLast of a column one cell at a time. Below
// row 113 every neighbour counts as empty.
template <int D>
void MarkRowsPlain(const rule::Rule& rule, const std::int8_t* left, const std::int8_t* own, const std::int8_t* right,
                   std::int8_t* marks, int from)
{
    for (int r = from; r <= FieldPosLast; ++r) {
        const bool inside = r < FieldPosLast;
        const bool sideInside = D < 0 || inside;
        const int index = Index<D>(left[r] & 1, sideInside && (left[r + D] & 1), own[r - 1], inside && own[r + 1],
                                   right[r], sideInside && right[r + D], own[r]);
        marks[r] = MarkOf(rule.Next(index), own[r]);
    }
}

#ifdef HEXLIFE_SSSE3
// Rows 1..112 in seven runs of 16 cells, by the table's two shuffles.
static_assert(FieldPosLast - 1 == 7 * 16);
template <int D>
__attribute__((target("ssse3"))) void MarkRowsSsse3(const std::uint8_t* table, const std::int8_t* left,
                                                    const std::int8_t* own, const std::int8_t* right,
                                                    std::int8_t* marks)
{
    const __m128i one = _mm_set1_epi8(1);
    const __m128i born = _mm_set1_epi8(BornMark);
    const __m128i lookup = _mm_load_si128(reinterpret_cast<const __m128i*>(table));
    const __m128i bitOf = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0);
    auto load = [](const std::int8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    for (int r = 1; r < FieldPosLast; r += 16) {
        // The left column holds marks already: its live cells are the odd
        // values. Shifts within 16-bit lanes keep each byte's 0 or 1 in its byte.
        const __m128i leftHere = _mm_and_si128(load(left + r), one);
        const __m128i leftSide = _mm_and_si128(load(left + r + D), one);
        const __m128i nibble =
            _mm_or_si128(_mm_or_si128(leftHere, _mm_slli_epi16(leftSide, 1)),
                         _mm_or_si128(_mm_slli_epi16(load(own + r - 1), 2), _mm_slli_epi16(load(own + r + 1), 3)));
        const __m128i state = load(own + r);
        const __m128i bits = _mm_or_si128(_mm_or_si128(load(right + r), _mm_slli_epi16(load(right + r + D), 1)),
                                          _mm_slli_epi16(state, 2));
        const __m128i answers = _mm_shuffle_epi8(lookup, nibble);
        const __m128i bit = _mm_shuffle_epi8(bitOf, bits);
        const __m128i next = _mm_cmpeq_epi8(_mm_and_si128(answers, bit), bit);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(marks + r), _mm_sub_epi8(_mm_and_si128(next, born), state));
    }
}

// The same for a totalistic rule.
template <int D>
__attribute__((target("ssse3"))) void MarkRowsTotalisticSsse3(const std::uint8_t* byCount, const std::int8_t* left,
                                                              const std::int8_t* own, const std::int8_t* right,
                                                              std::int8_t* marks)
{
    const __m128i one = _mm_set1_epi8(1);
    const __m128i lookup = _mm_load_si128(reinterpret_cast<const __m128i*>(byCount));
    auto load = [](const std::int8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    for (int r = 1; r < FieldPosLast; r += 16) {
        const __m128i sides = _mm_add_epi8(_mm_and_si128(load(left + r), one), _mm_and_si128(load(left + r + D), one));
        const __m128i count = _mm_add_epi8(_mm_add_epi8(sides, _mm_add_epi8(load(right + r), load(right + r + D))),
                                           _mm_add_epi8(load(own + r - 1), load(own + r + 1)));
        const __m128i state = load(own + r);
        const __m128i next = _mm_shuffle_epi8(lookup, _mm_or_si128(count, _mm_slli_epi16(state, 3)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(marks + r), _mm_sub_epi8(next, state));
    }
}

bool HasSsse3()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

std::atomic<bool> vectorSteps{true};

// MarkColumn by any rule.
template <int D>
bool MarkColumnByRule(const Kernel& kernel, std::int8_t* cells, int column)
{
    std::int8_t* own = cells + FieldColLen * column;
    const std::int8_t* left = own - FieldColLen;
    const std::int8_t* right = own + FieldColLen;

    alignas(16) std::int8_t marks[FieldColLen] = {};
    int from = 1;
#ifdef HEXLIFE_SSSE3
    if (vectorSteps.load(std::memory_order_relaxed) && HasSsse3()) {
        if (kernel.totalistic) {
            MarkRowsTotalisticSsse3<D>(kernel.byCount, left, own, right, marks);
        } else {
            MarkRowsSsse3<D>(kernel.table[D > 0 ? 0 : 1], left, own, right, marks);
        }
        from = FieldPosLast;
    }
#endif
    MarkRowsPlain<D>(kernel.rule, left, own, right, marks, from);
    std::copy(marks + 1, marks + FieldColLen, own + 1);

    if (column == 1 || column == FieldColInnerLast) {
        std::int8_t any = 0;
        for (int r = 1; r <= FieldPosLast; ++r) {
            any |= marks[r];
        }
        return any != 0;
    }
    return (marks[1] | marks[FieldPosLast]) != 0;
}

}  // namespace

bool MarkGeneration(FieldArray& cells, const rule::Rule& rule)
{
    return MarkGeneration(cells, {1, FieldColInnerLast}, rule);
}

bool MarkGeneration(FieldArray& cells, ColumnSpan columns, const rule::Rule& rule)
{
    const Kernel& kernel = KernelFor(rule);
    if (kernel.b2s2) {
        return MarkGeneration(cells, columns);
    }
    bool reachedFrame = false;
    for (int column = std::max(1, columns.first); column <= std::min(FieldColInnerLast, columns.last); ++column) {
        const bool touched = SideRowStep(column) > 0 ? MarkColumnByRule<1>(kernel, cells.data(), column)
                                                     : MarkColumnByRule<-1>(kernel, cells.data(), column);
        reachedFrame = reachedFrame || touched;
    }
    return reachedFrame;
}

void SetVectorSteps(bool on) { vectorSteps = on; }

ColumnSpan StepColumns(ColumnSpan live, const rule::Rule& rule)
{
    if (rule.HasB0()) {
        return {1, FieldColInnerLast};
    }
    return StepColumns(live);
}

bool MarkGeneration(FieldArray& cells)
{
    return MarkGeneration(cells, {1, FieldColInnerLast});
}

bool MarkGeneration(FieldArray& cells, ColumnSpan columns)
{
    bool reachedFrame = false;
    for (int column = std::max(1, columns.first); column <= std::min(FieldColInnerLast, columns.last); ++column) {
        const bool touched = SideRowStep(column) > 0 ? MarkColumn<1>(cells.data(), column)
                                                     : MarkColumn<-1>(cells.data(), column);
        reachedFrame = reachedFrame || touched;
    }
    return reachedFrame;
}

void ResolveGeneration(FieldArray& cells)
{
    ResolveGeneration(cells, {0, FieldColLast});
}

void ResolveGeneration(FieldArray& cells, ColumnSpan columns)
{
    if (columns.empty()) {
        return;
    }
    const int end = (std::min(FieldColLast, columns.last) + 1) * FieldColLen;
    for (int n = std::max(0, columns.first) * FieldColLen; n < end; ++n) {
        // The states here are 0, 1, DyingMark (-1) and BornMark (2): what is
        // left live are exactly the positive ones.
        cells[size_t(n)] = cells[size_t(n)] > 0 ? 1 : 0;
    }
}

ColumnSpan LiveColumns(const FieldArray& cells)
{
    // Whole words of eight cells from each end; a word is all empty when
    // it reads 0, since every cell then is 0 or 1.
    static_assert(FieldCellCount % 8 == 0);
    constexpr int Words = FieldCellCount / 8;
    auto word = [&](int w) {
        std::uint64_t value;
        std::memcpy(&value, cells.data() + 8 * w, 8);
        return value;
    };
    int low = 0;
    while (low < Words && word(low) == 0) ++low;
    if (low == Words) {
        return {};
    }
    int high = Words - 1;
    while (word(high) == 0) --high;
    int first = 8 * low, last = 8 * high + 7;
    while (cells[size_t(first)] == 0) ++first;
    while (cells[size_t(last)] == 0) --last;
    return {FieldColumnOf(first), FieldColumnOf(last)};
}

ColumnSpan StepColumns(ColumnSpan live)
{
    if (live.empty()) {
        return {};
    }
    return {std::max(1, live.first - 1), std::min(FieldColInnerLast, live.last + 1)};
}

}  // namespace hexlife
