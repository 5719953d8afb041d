// The final objects of a run: its live cells split into clusters that never
// interact, each a still life, oscillator or ship of its own, and each in a
// canonical form under its phases and, where the rule is isotropic, the 12
// symmetries of the lattice (translations alone otherwise: a turned object
// is another object under a rule that is not).
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "search/board.h"
#include "search/search.h"

namespace hexlife::search {

constexpr int SymmetryCount = 12;
// Symmetry s of the lattice, s = 0..11, about the origin: the rotation
// R(x, y) = (x - y, x) taken s % 6 times, after the reflection
// S(x, y) = (y, x) when s >= 6.
GollyCell Transform(int symmetry, GollyCell cell);

// Hex distance of two cells: the fewest steps between them.
std::int64_t HexDistance(GollyCell a, GollyCell b);

// The cells moved to x, y >= 0 touching both axes, sorted by (y, x).
std::vector<GollyCell> Normalised(std::vector<GollyCell> cells);
// The order of canonical forms: fewer cells first, then by (y, x).
bool FormBefore(const std::vector<GollyCell>& a, const std::vector<GollyCell>& b);

// The canonical form of a pattern that repeats itself after `period`
// generations moved by (dx, dy) under the rule: the least of its phases
// under the 12 symmetries where the rule is isotropic, with the
// displacement turned as the least one is; the least phase, moved only,
// otherwise.
ObjectForm Canonical(const std::vector<GollyCell>& cells, int period, int dx, int dy,
                     const StepRule& rule = StepRule::TwoOfSix());

// Groups of live cells, each cell within hex distance 2 of another of its
// group, in the order of their least cell, each sorted by (y, x); none at
// all once a group is found wider or taller than maxSide.
std::vector<std::vector<GollyCell>> Clusters(const std::vector<GollyCell>& cells,
                                             std::int64_t maxSide = INT64_MAX);

// How a small pattern goes on from here: whether it repeats its own shape
// within `limit` generations, with its period and displacement, and the box
// its phases fill (relative to its own box now).
struct Orbit {
    bool periodic = false;
    int period = 0, dx = 0, dy = 0;
    Extent reach;
    ObjectForm form;  // canonical, when periodic
};

// Orbits of shapes seen before, by their normalised cells: most figures of
// a box end in a few dozen objects. A cache holds the orbits of one rule:
// set to another, it forgets them.
class ObjectCache {
public:
    ObjectCache() = default;
    explicit ObjectCache(const rule::Rule& rule) { setRule(rule); }
    void setRule(const rule::Rule& rule);
    const StepRule& rule() const { return rule_; }

    const Orbit& orbit(const std::vector<GollyCell>& cells, int limit);

private:
    StepRule rule_;
    std::unordered_map<std::string, Orbit> orbits_;
};

// The parts of a pattern that repeats itself after `period` generations
// moved by (dx, dy): its clusters where they never come within distance 2
// of each other in any phase and each repeats alone as the whole does;
// the whole as one part otherwise.
std::vector<std::vector<GollyCell>> SeparateObjects(const std::vector<GollyCell>& cells, int period, int dx, int dy,
                                                    const StepRule& rule = StepRule::TwoOfSix());
// Those parts as objects in canonical form, by the cache's rule.
std::vector<ObjectForm> PeriodicObjects(const std::vector<GollyCell>& cells, int period, int dx, int dy,
                                        ObjectCache& cache);

// The objects of a pattern that has grown too large, where it is made of
// small clusters, each periodic alone from now on, that can never meet as
// they move; nothing otherwise. Cheap to refuse a large growing pattern.
// By the cache's rule.
std::optional<std::vector<ObjectForm>> DriftingObjects(const Board& board, ObjectCache& cache);

// Limits of the drifting objects looked for: the most live cells of the
// whole pattern, the widest and tallest cluster and the longest period.
constexpr int DriftMaxCells = 400;
constexpr int DriftMaxSide = 24;
constexpr int DriftMaxPeriod = 256;

}  // namespace hexlife::search
