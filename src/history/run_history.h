// The run as one object: every generation of it, packed a bit a cell, with
// its population, births and deaths, and what is known of its fate: whether
// a generation has repeated an earlier one, in place or moved across the
// lattice, and how the run ended. Plain C++; the window records each tick's
// generation and shows any recorded one again.
//
// Generation g is the field after g steps from the start figure; the tick
// that draws it counts g + 1, which is how cycles are numbered for the user.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "model.h"
#include "rule/rule.h"

namespace hexlife {

// How a run stopped, by the three rules of a tick.
enum class RunEnd { None, Edge, Empty, Limit };

// A generation that repeats an earlier one: `first` repeats from
// generation `first` with period `period`, moved by (dx, dy) in Golly's
// hexagonal coordinates (column x, and y = position + x div 2) each period.
struct Repetition {
    int first = 0;
    int period = 0;
    int dx = 0, dy = 0;
    bool moves() const { return dx != 0 || dy != 0; }
};

class RunHistory {
public:
    // One column of 114 cells in two words, bit r for row r.
    static constexpr int WordsPerColumn = 2;
    using Packed = std::array<std::uint64_t, FieldColCount * WordsPerColumn>;

    // A new run from its start figure (generation 0).
    void start(const FieldArray& field);
    // The field after step `generation` (1, 2, ...). Generations already
    // known are not recorded again: the step is deterministic.
    void record(int generation, const FieldArray& field);
    // The run stopped at the tick that counted `count`.
    void end(RunEnd how, int count);
    // Generation `generation`, the next one, changed by hand: recorded
    // whole, and the fate judged from it on, as from a start figure.
    void recordEdited(int generation, const FieldArray& field);

    // The generations from `from` on, taken out with what was known of the
    // fate: an edit of generation `from` replaces them, and giving them back
    // undoes it. What was found among the generations kept stays known.
    struct Tail;
    Tail cut(int from);
    // Cuts at the tail's generation and puts the tail back, with the fate
    // as it was known with it.
    void restore(Tail tail);

    bool empty() const { return generations_.empty(); }
    // Generations known: 0 .. size() - 1.
    int size() const { return int(generations_.size()); }
    void unpack(int generation, FieldArray& field) const;
    // Counted when first asked for (off the tick's path) and kept.
    int population(int generation) const { return counts(generation).population; }
    // Cells born and died in the step that made the generation (0 for 0).
    int births(int generation) const { return counts(generation).births; }
    int deaths(int generation) const { return counts(generation).deaths; }

    const std::optional<Repetition>& repetition() const { return repetition_; }
    RunEnd ended() const { return end_; }
    int endCount() const { return endCount_; }
    // Bytes held for the generations.
    std::size_t bytes() const { return generations_.capacity() * sizeof(Generation); }

    // What is known of the fate, in Russian, short enough for the status
    // strip: «Период 2 с цикла 4», «Вымерла на цикле 38», and once the run
    // has ended, what was learned before with how it ended: «Корабль,
    // период 3: край поля на цикле 108». Empty while nothing is known.
    std::string verdict() const;
    // The same in full sentences, for a tooltip: where the repetition
    // starts, how far a ship moves, how the run ended.
    std::string verdictDetail() const;

private:
    struct Generation {
        Packed cells;  // zeroed when made
        mutable int population = -1, births = -1, deaths = -1;  // -1 until counted
        // The columns with live cells (first > last: none); the first is the
        // least Golly x of its live cells, `top` their least Golly y.
        int firstColumn = FieldColCount, lastColumn = -1;
        int top = 0;
    };
    void detectRepetition();
    const Generation& counts(int generation) const;
    void append(const FieldArray& field, int first, int last);

    std::vector<Generation> generations_;
    // Generations by the hash of their shape wherever it stands: a hash
    // proposes, an exact comparison decides.
    std::unordered_multimap<std::uint64_t, int> byShape_;
    std::optional<Repetition> repetition_;
    RunEnd end_ = RunEnd::None;
    int endCount_ = 0;
    int judgedFrom_ = 0;  // the generation repetitions are looked for from (the last edit)
};

struct RunHistory::Tail {
    int from = 0;
    std::vector<Generation> generations;
    std::unordered_multimap<std::uint64_t, int> byShape;
    std::optional<Repetition> repetition;
    RunEnd end = RunEnd::None;
    int endCount = 0;
    int judgedFrom = 0;
};

// The fate of a start figure left to run by the tick's rules, without a
// window: the history of the whole run, by B2/S2 or by another rule.
// `stop`, asked every generation, cuts it short, its history not ended.
RunHistory RunToEnd(const FieldArray& start);
RunHistory RunToEnd(const FieldArray& start, const rule::Rule& rule, const std::function<bool()>& stop = {});

}  // namespace hexlife
