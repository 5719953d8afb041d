#include "history/run_history.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/life_step.h"

namespace hexlife {

namespace {

// Eight cells of 0 or 1, as bytes, to eight bits: the multiply gathers
// each byte's low bit into the top byte.
inline std::uint64_t GatherBits(const std::int8_t* cells)
{
    std::uint64_t bytes;
    std::memcpy(&bytes, cells, 8);
    return ((bytes & 0x0101010101010101ULL) * 0x0102040810204080ULL) >> 56;
}

// The bits of one column shifted down by `shift` (< 128): the column's cells
// from its first live one on.
inline std::pair<std::uint64_t, std::uint64_t> ShiftDown(std::uint64_t low, std::uint64_t high, int shift)
{
    if (shift == 0) return {low, high};
    if (shift >= 64) return {high >> (shift - 64), 0};
    return {(low >> shift) | (high << (64 - shift)), high >> shift};
}

inline int FirstLive(std::uint64_t low, std::uint64_t high)
{
    return low != 0 ? std::countr_zero(low) : 64 + std::countr_zero(high);
}

inline std::uint64_t Mix(std::uint64_t hash, std::uint64_t value)
{
    hash ^= value + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
    return hash * 0xff51afd7ed558ccdULL;
}

// Packs a field's columns first..last; the others stay as they are.
void PackColumns(RunHistory::Packed& packed, const FieldArray& field, int first, int last)
{
    for (int c = first; c <= last; ++c) {
        const std::int8_t* column = field.data() + c * FieldColLen;
        std::uint64_t words[RunHistory::WordsPerColumn] = {0, 0};
        int r = 0;
        for (; r + 8 <= FieldColLen; r += 8) {
            words[r / 64] |= GatherBits(column + r) << (r % 64);
        }
        for (; r < FieldColLen; ++r) {
            words[r / 64] |= std::uint64_t(column[r] == 1) << (r % 64);
        }
        packed[size_t(c * RunHistory::WordsPerColumn)] = words[0];
        packed[size_t(c * RunHistory::WordsPerColumn + 1)] = words[1];
    }
}

}  // namespace

void RunHistory::unpack(int generation, FieldArray& field) const
{
    const Packed& packed = generations_[size_t(generation)].cells;
    for (int c = 0; c < FieldColCount; ++c) {
        for (int r = 0; r < FieldColLen; ++r) {
            field[size_t(c * FieldColLen + r)] = std::int8_t(packed[size_t(c * WordsPerColumn + r / 64)] >> (r % 64) & 1);
        }
    }
}

void RunHistory::start(const FieldArray& field)
{
    generations_.clear();
    byShape_.clear();
    repetition_.reset();
    end_ = RunEnd::None;
    endCount_ = 0;
    judgedFrom_ = 0;
    record(0, field);
}

void RunHistory::record(int generation, const FieldArray& field)
{
    if (generation != size()) {
        return;  // known already, or not next (never, from the tick)
    }
    // A step reaches one column beyond the live ones at most: only those
    // columns are packed and counted.
    const Generation* previous = generations_.empty() ? nullptr : &generations_.back();
    const int first = previous == nullptr ? 0 : std::max(0, previous->firstColumn - 1);
    const int last = previous == nullptr ? FieldColLast : std::min(FieldColLast, previous->lastColumn + 1);
    append(field, first, last);
}

void RunHistory::recordEdited(int generation, const FieldArray& field)
{
    if (generation != size()) {
        return;
    }
    byShape_.clear();
    repetition_.reset();
    end_ = RunEnd::None;
    endCount_ = 0;
    judgedFrom_ = generation;
    append(field, 0, FieldColLast);
}

void RunHistory::append(const FieldArray& field, int first, int last)
{
    if (generations_.capacity() < size_t(CycleLimit + 2)) {
        // A whole run fits without moving the generations again.
        generations_.reserve(CycleLimit + 2);
    }
    // Packed in place: no copy of the 2.3 KB.
    Generation& next = generations_.emplace_back();
    PackColumns(next.cells, field, first, last);
    for (int c = first; c <= last; ++c) {
        if ((next.cells[size_t(c * WordsPerColumn)] | next.cells[size_t(c * WordsPerColumn + 1)]) != 0) {
            next.firstColumn = std::min(next.firstColumn, c);
            next.lastColumn = c;
        }
    }
    if (!repetition_) {
        detectRepetition();
    }
}

RunHistory::Tail RunHistory::cut(int from)
{
    from = std::clamp(from, 0, size());
    Tail tail{from, {}, byShape_, repetition_, end_, endCount_, judgedFrom_};
    if (from == 0) {
        tail.generations = std::move(generations_);
        generations_ = {};
    } else {
        tail.generations.assign(generations_.begin() + from, generations_.end());
        generations_.erase(generations_.begin() + from, generations_.end());
    }
    for (auto it = byShape_.begin(); it != byShape_.end();) {
        it = it->second >= from ? byShape_.erase(it) : std::next(it);
    }
    // A repetition is found at the generation that repeats.
    if (repetition_ && repetition_->first + repetition_->period >= from) {
        repetition_.reset();
    }
    end_ = RunEnd::None;
    endCount_ = 0;
    judgedFrom_ = std::min(judgedFrom_, from);
    return tail;
}

void RunHistory::restore(Tail tail)
{
    cut(tail.from);
    if (generations_.empty()) {
        generations_ = std::move(tail.generations);
    } else {
        generations_.insert(generations_.end(), tail.generations.begin(), tail.generations.end());
    }
    byShape_ = std::move(tail.byShape);
    repetition_ = tail.repetition;
    end_ = tail.end;
    endCount_ = tail.endCount;
    judgedFrom_ = tail.judgedFrom;
}

void RunHistory::detectRepetition()
{
    Generation& latest = generations_.back();
    if (latest.firstColumn > latest.lastColumn) {
        return;  // dying out is told as such, not as a repetition
    }
    // The shape wherever it stands: per live column, its place from the
    // leftmost column, its first live cell's Golly y from the topmost, and
    // its cells from there down.
    auto shapeOf = [](Generation& g) {
        g.top = 1 << 30;
        for (int c = g.firstColumn; c <= g.lastColumn; ++c) {
            const std::uint64_t low = g.cells[size_t(c * WordsPerColumn)], high = g.cells[size_t(c * WordsPerColumn + 1)];
            if ((low | high) != 0) g.top = std::min(g.top, FirstLive(low, high) + c / 2);
        }
        std::uint64_t hash = 0;
        for (int c = g.firstColumn; c <= g.lastColumn; ++c) {
            const std::uint64_t low = g.cells[size_t(c * WordsPerColumn)], high = g.cells[size_t(c * WordsPerColumn + 1)];
            if ((low | high) == 0) continue;
            const int first = FirstLive(low, high);
            const auto [a, b] = ShiftDown(low, high, first);
            hash = Mix(hash, (std::uint64_t(c - g.firstColumn) << 8 | std::uint64_t(first + c / 2 - g.top)) ^
                                 a * 0x9e3779b97f4a7c15ULL ^ b);
        }
        return hash;
    };
    const std::uint64_t hash = shapeOf(latest);
    auto same = [&](const Generation& a, const Generation& b) {
        if (a.lastColumn - a.firstColumn != b.lastColumn - b.firstColumn) return false;
        const int dx = b.firstColumn - a.firstColumn, dy = b.top - a.top;
        for (int c = 0; c < FieldColCount; ++c) {
            const int d = c + dx;
            const std::uint64_t aLow = a.cells[size_t(c * WordsPerColumn)], aHigh = a.cells[size_t(c * WordsPerColumn + 1)];
            const bool inside = d >= 0 && d < FieldColCount;
            const std::uint64_t bLow = inside ? b.cells[size_t(d * WordsPerColumn)] : 0,
                                bHigh = inside ? b.cells[size_t(d * WordsPerColumn + 1)] : 0;
            if ((aLow | aHigh) == 0 || (bLow | bHigh) == 0) {
                if ((aLow | aHigh | bLow | bHigh) != 0) return false;
                continue;
            }
            // Cell (c, r) of a is (c + dx, r + dy + c div 2 - (c + dx) div 2) of b.
            const int shift = dy + c / 2 - d / 2;
            const int aFirst = FirstLive(aLow, aHigh), bFirst = FirstLive(bLow, bHigh);
            if (bFirst - aFirst != shift) return false;
            if (ShiftDown(aLow, aHigh, aFirst) != ShiftDown(bLow, bHigh, bFirst)) return false;
        }
        return true;
    };
    const int now = size() - 1;
    auto [from, to] = byShape_.equal_range(hash);
    for (auto it = from; it != to; ++it) {
        const Generation& earlier = generations_[size_t(it->second)];
        if (same(earlier, latest)) {
            repetition_ = Repetition{it->second, now - it->second, latest.firstColumn - earlier.firstColumn,
                                     latest.top - earlier.top};
            return;
        }
    }
    byShape_.emplace(hash, now);
}

const RunHistory::Generation& RunHistory::counts(int generation) const
{
    const Generation& g = generations_[size_t(generation)];
    if (g.population < 0) {
        const Generation* previous = generation > 0 ? &generations_[size_t(generation - 1)] : nullptr;
        g.population = g.births = g.deaths = 0;
        for (size_t w = 0; w < g.cells.size(); ++w) {
            g.population += std::popcount(g.cells[w]);
            if (previous != nullptr) {
                g.births += std::popcount(g.cells[w] & ~previous->cells[w]);
                g.deaths += std::popcount(previous->cells[w] & ~g.cells[w]);
            }
        }
    }
    return g;
}

void RunHistory::end(RunEnd how, int count)
{
    end_ = how;
    endCount_ = count;
}

namespace {

// «Неподвижна», «Период 2», «Корабль, период 3».
std::string Kind(const Repetition& r)
{
    if (r.moves()) return "Корабль, период " + std::to_string(r.period);
    if (r.period == 1) return "Неподвижна";
    return "Период " + std::to_string(r.period);
}

// How the run ended: «край поля на цикле 108», capitalised where it stands
// alone.
std::string Ending(RunEnd how, int count, bool alone)
{
    const std::string at = " на цикле " + std::to_string(count);
    switch (how) {
    case RunEnd::Empty: return (alone ? "Вымерла" : "вымерла") + at;
    case RunEnd::Edge: return (alone ? "Край поля" : "край поля") + at;
    case RunEnd::Limit: return (alone ? "Предел" : "предел") + at;
    case RunEnd::None: break;
    }
    return {};
}

}  // namespace

std::string RunHistory::verdict() const
{
    if (end_ == RunEnd::None) {
        return repetition_ ? Kind(*repetition_) + " с цикла " + std::to_string(repetition_->first + 1) : "";
    }
    if (repetition_) {
        return Kind(*repetition_) + ": " + Ending(end_, endCount_, false);
    }
    if (end_ == RunEnd::Limit) {
        // Repetitions are looked for from the last edit on; an edit at the
        // limit leaves nothing to judge.
        if (judgedFrom_ == 0) return "Без повторов: предел на цикле " + std::to_string(endCount_);
        if (endCount_ > judgedFrom_ + 1) {
            return "Без повторов с цикла " + std::to_string(judgedFrom_ + 1) + ": предел на цикле " +
                   std::to_string(endCount_);
        }
    }
    return Ending(end_, endCount_, true);
}

std::string RunHistory::verdictDetail() const
{
    std::string text;
    if (repetition_) {
        const Repetition& r = *repetition_;
        const std::string from = " с цикла " + std::to_string(r.first + 1) + ".";
        if (r.moves()) {
            text = "Корабль: повторяется с периодом " + std::to_string(r.period) + ", за период смещается на " +
                   std::to_string(r.dx) + " по x и " + std::to_string(r.dy) + " по y (координаты Golly)," + from;
        } else if (r.period == 1) {
            text = "Неподвижна" + from;
        } else {
            text = "Колеблется с периодом " + std::to_string(r.period) + from;
        }
    } else if (end_ == RunEnd::Limit && judgedFrom_ == 0) {
        text = "Ни одно поколение не повторило прежнее.";
    } else if (end_ == RunEnd::Limit && endCount_ > judgedFrom_ + 1) {
        text = "С правки на цикле " + std::to_string(judgedFrom_ + 1) + " ни одно поколение не повторило прежнее.";
    }
    const std::string at = " на цикле " + std::to_string(endCount_);
    switch (end_) {
    case RunEnd::Empty: return text + (text.empty() ? "" : " ") + "Вымерла" + at + ".";
    case RunEnd::Edge: return text + (text.empty() ? "" : " ") + "Дошла до края поля" + at + ".";
    case RunEnd::Limit:
        return text + " Остановлена" + at + ": запуск идёт не дольше " + std::to_string(CycleLimit + 1) + " цикла.";
    case RunEnd::None: break;
    }
    return text;
}

RunHistory RunToEnd(const FieldArray& start)
{
    return RunToEnd(start, rule::Rule());
}

RunHistory RunToEnd(const FieldArray& start, const rule::Rule& rule, const std::function<bool()>& stop)
{
    // B2/S2 by its own pass, as the tick runs it.
    const bool b2s2 = rule == rule::Rule();
    RunHistory history;
    history.start(start);
    FieldArray field = start;
    for (int count = 1;; ++count) {
        if (stop && stop()) return history;
        int live = 0;
        for (int n = 0; n <= FieldLast; ++n) live += field[size_t(n)];
        const ColumnSpan step = b2s2 ? StepColumns(LiveColumns(field)) : StepColumns(LiveColumns(field), rule);
        const bool edge = b2s2 ? MarkGeneration(field, step) : MarkGeneration(field, step, rule);
        ResolveGeneration(field, step);
        history.record(count, field);
        if (edge || count > CycleLimit || live == 0) {
            history.end(edge ? RunEnd::Edge : live == 0 ? RunEnd::Empty : RunEnd::Limit, count);
            return history;
        }
    }
}

}  // namespace hexlife
