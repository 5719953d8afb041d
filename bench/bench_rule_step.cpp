// Times the generation step by rules other than B2/S2 against today's
// B2/S2 step, frozen below as it stood before the step took a rule, in
// the same run and in turns. Run by hand on a Release build
// (scripts/bench.sh); prints one figure a line with its target.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/field_grid.h"
#include "engine/life_step.h"
#include "rule/rule.h"

using namespace hexlife;
using Clock = std::chrono::steady_clock;

namespace baseline {

// The B2/S2 first pass before rules: a copy, kept unchanged as the measure.
inline std::int8_t Mark(std::int8_t state, std::uint8_t count)
{
    return static_cast<std::int8_t>((count == 2 ? BornMark : 0) - state);
}
inline std::uint8_t Sum(std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(a + b); }

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

bool MarkGeneration(FieldArray& cells)
{
    bool reachedFrame = false;
    for (int column = 1; column <= FieldColInnerLast; ++column) {
        const bool touched = SideRowStep(column) > 0 ? MarkColumn<1>(cells.data(), column)
                                                     : MarkColumn<-1>(cells.data(), column);
        reachedFrame = reachedFrame || touched;
    }
    return reachedFrame;
}

}  // namespace baseline

namespace {

// The field filled at random to 30 % in columns 2..145, rows 2..112, as
// bench_tick fills it.
FieldArray RandomField(unsigned seed)
{
    std::mt19937 random(seed);
    std::bernoulli_distribution live(0.3);
    FieldArray field{};
    for (int c = 2; c <= 145; ++c) {
        for (int r = 2; r <= 112; ++r) {
            field[FieldCellNumber(c, r)] = live(random) ? 1 : 0;
        }
    }
    return field;
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The median time of one whole-field step (both passes) in microseconds.
template <typename Step>
double MedianStep(const FieldArray& start, Step step, int samples)
{
    std::vector<double> times;
    FieldArray field;
    for (int i = 0; i < samples; ++i) {
        field = start;
        const auto begin = Clock::now();
        step(field);
        const auto end = Clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - begin).count());
    }
    return Median(times);
}

struct Variant {
    std::string name;
    rule::Rule rule;
    double target;  // the most its time may be, in times the baseline's
    bool fixedSignature = false;  // MarkGeneration(cells), no rule
    std::vector<double> times{}, ratios{};
};

rule::Rule Read(const char* text) { return *rule::Parse(text).rule; }

}  // namespace

int main()
{
    const FieldArray start = RandomField(1);
    std::mt19937 random(20261210);
    std::array<bool, rule::TableSize> table{};
    for (bool& entry : table) {
        entry = random() % 2;
    }
    table[0] = false;

    std::vector<Variant> variants = {
        {"B2/S2, MarkGeneration(cells)", rule::Rule(), 1.10, true},
        {"B2/S2H given as a rule", rule::Rule(), 1.10},
        {"B2/S34H (totalistic)", Read("B2/S34H"), 1.5},
        {"B245/S3H (totalistic)", Read("B245/S3H"), 1.5},
        {"B0/S2H (totalistic, B0)", Read("B0/S2H"), 1.5},
        {"B2o/S2m34H (isotropic)", Read("B2o/S2m34H"), 3.0},
        {"B2o3-o4m/S12m3o4m5H (isotropic)", Read("B2o3-o4m/S12m3o4m5H"), 3.0},
        {"random MAP table", rule::Rule::FromTable(table), 3.0},
    };

    // The copy is the step of today: the same generation as the step's.
    {
        FieldArray a = start, b = start;
        if (baseline::MarkGeneration(a) != MarkGeneration(b) || a != b) {
            std::printf("the baseline copy no longer steps as MarkGeneration does\n");
            return 1;
        }
    }

    // Rounds taken in turn, each variant against the baseline of its round.
    constexpr int Rounds = 15, Samples = 2000;
    volatile bool sink = false;
    std::vector<double> baseTimes;
    for (int round = 0; round < Rounds; ++round) {
        const double base = MedianStep(start, [&](FieldArray& f) {
            sink = baseline::MarkGeneration(f);
            ResolveGeneration(f);
        }, Samples);
        baseTimes.push_back(base);
        for (Variant& v : variants) {
            const double t = v.fixedSignature ? MedianStep(start, [&](FieldArray& f) {
                sink = MarkGeneration(f);
                ResolveGeneration(f);
            }, Samples)
                                              : MedianStep(start, [&](FieldArray& f) {
                sink = MarkGeneration(f, v.rule);
                ResolveGeneration(f);
            }, Samples);
            v.times.push_back(t);
            v.ratios.push_back(t / base);
        }
    }
    std::printf("whole-field step, 30 %% random field; medians of %d rounds of %d steps each\n", Rounds, Samples);
    std::printf("%-36s %8.2f us\n", "today's B2/S2 step (baseline)", Median(baseTimes));
    for (const Variant& v : variants) {
        const auto [low, high] = std::minmax_element(v.ratios.begin(), v.ratios.end());
        std::printf("%-36s %8.2f us   %5.2f x baseline (%.2f to %.2f; target <= %.2f)\n", v.name.c_str(),
                    Median(v.times), Median(v.ratios), *low, *high, v.target);
    }
    return 0;
}
