// The exhaustive search of small figures. Plain C++ (no Qt): the figures
// of a box of C columns of R cells in the field's lattice, first column
// even, numbered as the catalogue numbers cells (cell k is column k / R,
// place k % R, and figure n has cell k live when bit k of n is set). Each
// figure runs alone on the unbounded plane until its verdict; the results
// of many figures are tallied into counts, the distinct final objects and
// the longest-lived figures. RunSearch runs a range on several threads
// with progress and a cancel flag; its result does not depend on the
// thread count.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "rle/rle.h"
#include "rule/rule.h"

namespace hexlife::search {

using rle::GollyCell;

// A figure grows once its live cells no longer fit this many columns or
// rows of the field's lattice; it is undecided when nothing is decided by
// this generation.
constexpr int GrowthColumns = 60;
constexpr int GrowthRows = 60;
constexpr int GenerationLimit = 5000;
// Boxes from 1 x 1 to 6 x 6.
constexpr int MaxBoxSide = 6;
constexpr int MaxBoxCells = 36;
// The longest-lived figures kept.
constexpr int TopCount = 20;

enum class Verdict { Died, Still, Oscillator, Ship, Grows, Undecided };
// "died", "still", ...: the words of the summary and the result file.
const char* VerdictName(Verdict verdict);

struct Box {
    int columns = 0, rows = 0;
    int cells() const { return columns * rows; }
    std::uint64_t figures() const { return std::uint64_t(1) << cells(); }
    bool operator==(const Box&) const = default;
};
bool ValidBox(const Box& box);

// Figure n's live cells in Golly's coordinates, its first column at x = 0.
std::vector<GollyCell> FigureCellsOf(const Box& box, std::uint64_t figure);

// How a pattern ends: the generation of its verdict (generation 0 is the
// start; died at g: g is the first empty generation; a repetition is
// decided at first + period), and for still lifes, oscillators and ships
// the first generation that repeats, the smallest period and the
// displacement per period in Golly's coordinates.
struct Fate {
    Verdict verdict = Verdict::Undecided;
    int generation = 0;
    int first = 0, period = 0;
    int dx = 0, dy = 0;
    bool operator==(const Fate&) const = default;
};

// A final object in its canonical form: the least of its phases under the
// 12 symmetries of the lattice, moved to x, y >= 0 touching both axes; its
// own period, and its displacement per period in that orientation.
struct ObjectForm {
    std::vector<GollyCell> cells;  // sorted by (y, x)
    int period = 1;
    int dx = 0, dy = 0;
    Verdict kind() const;
    bool operator==(const ObjectForm&) const = default;
};

// One figure's verdict and the objects it ends in (none where it is not
// made of objects: died, undecided, or a growth that is no set of
// separate periodic objects).
struct FigureResult {
    Fate fate;
    std::vector<ObjectForm> objects;  // one entry per copy
    std::vector<GollyCell> final;     // the live cells at the verdict
};

// The run of a pattern to its verdict, without the objects.
Fate Evolve(const std::vector<GollyCell>& start);
// The run with the objects. The caches make repeated objects cheap; pass
// the same one for the figures of one thread.
class ObjectCache;
FigureResult Analyse(const std::vector<GollyCell>& start, ObjectCache* cache = nullptr);

// Tallies of many figures: added together exactly in any order.
struct ObjectTally {
    ObjectForm form;
    std::uint64_t count = 0;     // copies in the final patterns
    std::uint64_t smallest = 0;  // the least figure number that ends in it
    bool operator==(const ObjectTally&) const = default;
};
struct TopEntry {
    std::uint64_t figure = 0;
    Fate fate;
    bool operator==(const TopEntry&) const = default;
};
// Longer-lived first, then the smaller figure.
bool TopBefore(const TopEntry& a, const TopEntry& b);

struct Tally {
    std::uint64_t figures = 0;
    std::uint64_t died = 0, still = 0, grows = 0, undecided = 0;
    std::map<int, std::uint64_t> oscillators;  // by period
    std::map<int, std::uint64_t> ships;        // by period
    std::map<std::string, ObjectTally> objects;  // by ObjectKey
    std::vector<TopEntry> top;                   // at most TopCount, in TopBefore order

    void add(std::uint64_t figure, const FigureResult& result);
    void add(const Tally& other);
    bool operator==(const Tally&) const = default;
};
// The object's canonical cells as text, "x,y x,y ...": its key.
std::string ObjectKey(const ObjectForm& form);

// Half-open ranges of item numbers, sorted, disjoint and not touching.
using Ranges = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
void AddRange(Ranges& ranges, std::uint64_t begin, std::uint64_t end);
std::uint64_t RangesSize(const Ranges& ranges);
bool RangesOverlap(const Ranges& a, const Ranges& b);

// A search: the items begin..end - 1 of a box. Items are figure numbers,
// or with a sample the indices of the sample's draws (SampleFigure).
struct Request {
    Box box;
    std::uint64_t begin = 0, end = 0;
    bool sample = false;
    std::uint64_t seed = 0;
    int threads = 1;
    // A search of the whole box runs one figure of each pair that the
    // box's symmetry maps onto each other (BoxSymmetry), in units of blocks
    // the symmetry maps onto themselves, where the box has at least this
    // many units (and at most MaxSymmetryUnits); the result is the same.
    int symmetryMinUnits = 8;
    // The rule the figures run by (B2/S2H unless set); never one with B0.
    // Last, so that the requests written as {box, begin, end, ...} stand.
    rule::Rule rule{};
};
constexpr int MaxSymmetryUnits = 64;
// Draw i of the sample with this seed: a figure of the box, the same on
// every machine (splitmix64 of seed and i).
std::uint64_t SampleFigure(const Box& box, std::uint64_t seed, std::uint64_t index);
// The seed of a sample when none is given.
constexpr std::uint64_t DefaultSampleSeed = 1;

// A result in the making: the tally of the items done so far.
struct Progress {
    Ranges done;
    Tally tally;
};

// Figures a worker takes at a time: a block is added to the result whole
// or not at all, so that progress counts whole blocks.
constexpr std::uint64_t BlockSize = 4096;

// Runs the items of the request not yet in progress.done, adding each
// finished block of items to progress (done and tally) under its lock.
// onProgress is called on the calling thread about every `interval`
// seconds with the progress so far, and once at the end; it may read and
// save it. Returns false when cancelled: progress then holds exactly the
// blocks finished, a valid partial result to go on from.
bool RunSearch(const Request& request, Progress& progress, const std::atomic<bool>& cancel,
               const std::function<void(const Progress&)>& onProgress = {}, double interval = 0.25);

}  // namespace hexlife::search
