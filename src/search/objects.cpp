#include "search/objects.h"

#include <algorithm>
#include <numeric>

namespace hexlife::search {

namespace {

bool CellBefore(const GollyCell& a, const GollyCell& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; }

// Whether two groups of cells come within hex distance 2 of each other.
bool Near(const std::vector<GollyCell>& a, const Extent& ea, const std::vector<GollyCell>& b, const Extent& eb)
{
    if (ea.left > eb.right + 2 || eb.left > ea.right + 2 || ea.top > eb.bottom + 2 || eb.top > ea.bottom + 2) {
        return false;
    }
    for (const GollyCell& p : a) {
        for (const GollyCell& q : b) {
            if (HexDistance(p, q) <= 2) return true;
        }
    }
    return false;
}

Extent ExtentOf(const std::vector<GollyCell>& cells)
{
    Extent e{cells[0].x, cells[0].x, cells[0].y, cells[0].y};
    for (const GollyCell& c : cells) {
        e.left = std::min(e.left, c.x), e.right = std::max(e.right, c.x);
        e.top = std::min(e.top, c.y), e.bottom = std::max(e.bottom, c.y);
    }
    return e;
}

// The key of a shape wherever it stands: its normalised cells, two bytes each.
std::string ShapeKey(const std::vector<GollyCell>& cells)
{
    const std::vector<GollyCell> shape = Normalised(cells);
    std::string key;
    key.reserve(shape.size() * 2);
    for (const GollyCell& c : shape) {
        key += char(c.x);
        key += char(c.y);
    }
    return key;
}

// A pair of objects moving on straight lines may meet: the boxes their
// phases fill, widened by a period's move, come within 2 of each other in
// both x and y at some time t >= 0 (t real, which covers every generation).
struct Track {
    std::int64_t lo[2], hi[2];  // x and y at t = 0
    std::int64_t d[2];          // move per period
    std::int64_t period;
};
bool MayMeet(const Track& a, const Track& b)
{
    // Each condition is alpha + beta t <= 0; t ranges over [low, high].
    std::int64_t lowNum = 0, lowDen = 1, highNum = 1, highDen = 0;  // high = infinity
    const std::int64_t pp = a.period * b.period;
    for (int axis = 0; axis < 2; ++axis) {
        const std::int64_t rel = a.d[axis] * b.period - b.d[axis] * a.period;  // (va - vb) * pp
        const std::int64_t alphas[2] = {(a.lo[axis] - b.hi[axis] - 2) * pp, (b.lo[axis] - a.hi[axis] - 2) * pp};
        const std::int64_t betas[2] = {rel, -rel};
        for (int k = 0; k < 2; ++k) {
            const std::int64_t alpha = alphas[k], beta = betas[k];
            if (beta == 0) {
                if (alpha > 0) return false;
            } else if (beta > 0) {
                // t <= -alpha / beta
                if (highDen == 0 || -alpha * highDen < highNum * beta) highNum = -alpha, highDen = beta;
            } else {
                // t >= alpha / -beta
                if (alpha * lowDen > lowNum * -beta) lowNum = alpha, lowDen = -beta;
            }
        }
    }
    return highDen == 0 || lowNum * highDen <= highNum * lowDen;
}

}  // namespace

GollyCell Transform(int symmetry, GollyCell cell)
{
    if (symmetry >= 6) cell = {cell.y, cell.x};
    for (int k = 0; k < symmetry % 6; ++k) cell = {cell.x - cell.y, cell.x};
    return cell;
}

std::int64_t HexDistance(GollyCell a, GollyCell b)
{
    const std::int64_t dx = a.x - b.x, dy = a.y - b.y;
    return std::max({dx < 0 ? -dx : dx, dy < 0 ? -dy : dy, dx - dy < 0 ? dy - dx : dx - dy});
}

std::vector<GollyCell> Normalised(std::vector<GollyCell> cells)
{
    if (cells.empty()) return cells;
    const Extent e = ExtentOf(cells);
    for (GollyCell& c : cells) c = {c.x - e.left, c.y - e.top};
    std::sort(cells.begin(), cells.end(), CellBefore);
    return cells;
}

bool FormBefore(const std::vector<GollyCell>& a, const std::vector<GollyCell>& b)
{
    if (a.size() != b.size()) return a.size() < b.size();
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), CellBefore);
}

ObjectForm Canonical(const std::vector<GollyCell>& cells, int period, int dx, int dy, const StepRule& rule)
{
    Board board;
    board.setRule(rule);
    board.set(cells);
    std::vector<GollyCell> best;
    int bestSymmetry = -1;
    const int symmetries = rule.isotropic ? SymmetryCount : 1;
    for (int phase = 0; phase < period; ++phase) {
        const std::vector<GollyCell> now = board.cells();
        for (int s = 0; s < symmetries; ++s) {
            std::vector<GollyCell> turned(now.size());
            std::transform(now.begin(), now.end(), turned.begin(), [s](GollyCell c) { return Transform(s, c); });
            turned = Normalised(std::move(turned));
            if (bestSymmetry < 0 || FormBefore(turned, best)) {
                best = std::move(turned);
                bestSymmetry = s;
            }
        }
        board.step();
    }
    const GollyCell move = Transform(bestSymmetry, {dx, dy});
    return {std::move(best), period, int(move.x), int(move.y)};
}

std::vector<std::vector<GollyCell>> Clusters(const std::vector<GollyCell>& cells, std::int64_t maxSide)
{
    std::vector<GollyCell> sorted = cells;
    std::sort(sorted.begin(), sorted.end(), CellBefore);
    std::vector<int> group(sorted.size(), -1);
    std::vector<std::vector<GollyCell>> clusters;
    for (size_t seed = 0; seed < sorted.size(); ++seed) {
        if (group[seed] >= 0) continue;
        const int id = int(clusters.size());
        clusters.emplace_back();
        std::vector<GollyCell>& cluster = clusters.back();
        group[seed] = id;
        cluster.push_back(sorted[seed]);
        Extent e{sorted[seed].x, sorted[seed].x, sorted[seed].y, sorted[seed].y};
        // Breadth first, so that a large cluster is seen to be large soon.
        for (size_t head = 0; head < cluster.size(); ++head) {
            const GollyCell c = cluster[head];
            for (std::int64_t ddy = -2; ddy <= 2; ++ddy) {
                for (std::int64_t ddx = std::max<std::int64_t>(-2, ddy - 2); ddx <= std::min<std::int64_t>(2, ddy + 2); ++ddx) {
                    if (ddx == 0 && ddy == 0) continue;
                    const GollyCell n{c.x + ddx, c.y + ddy};
                    const auto it = std::lower_bound(sorted.begin(), sorted.end(), n, CellBefore);
                    if (it == sorted.end() || !(*it == n)) continue;
                    const size_t k = size_t(it - sorted.begin());
                    if (group[k] >= 0) continue;
                    group[k] = id;
                    cluster.push_back(n);
                    e.left = std::min(e.left, n.x), e.right = std::max(e.right, n.x);
                    e.top = std::min(e.top, n.y), e.bottom = std::max(e.bottom, n.y);
                    if (e.width() > maxSide || e.height() > maxSide) return {};
                }
            }
        }
        std::sort(cluster.begin(), cluster.end(), CellBefore);
    }
    return clusters;
}

void ObjectCache::setRule(const rule::Rule& rule)
{
    if (rule == rule_.rule) return;
    rule_ = StepRule(rule);
    orbits_.clear();
}

const Orbit& ObjectCache::orbit(const std::vector<GollyCell>& cells, int limit)
{
    std::string key = ShapeKey(cells);
    key += '/';
    key += std::to_string(limit);
    if (const auto it = orbits_.find(key); it != orbits_.end()) return it->second;
    if (orbits_.size() > 100000) orbits_.clear();  // a bound on the memory, never reached by a box's few objects

    Orbit orbit;
    Board board;
    board.setRule(rule_);
    board.set(cells);
    const Board start = board;
    const Extent first = board.extent();
    orbit.reach = {0, first.width() - 1, 0, first.height() - 1};
    for (int t = 1; t <= limit; ++t) {
        board.step();
        if (board.empty()) break;
        const Extent e = board.extent();
        if (e.width() > Board::MaxWidth - 2 || e.height() > Board::Height / 2) break;
        if (board.sameShape(start)) {
            orbit.periodic = true;
            orbit.period = t;
            orbit.dx = int(e.left - first.left);
            orbit.dy = int(e.top - first.top);
            orbit.form = Canonical(cells, t, orbit.dx, orbit.dy, rule_);
            break;
        }
        orbit.reach.left = std::min(orbit.reach.left, e.left - first.left);
        orbit.reach.right = std::max(orbit.reach.right, e.right - first.left);
        orbit.reach.top = std::min(orbit.reach.top, e.top - first.top);
        orbit.reach.bottom = std::max(orbit.reach.bottom, e.bottom - first.top);
    }
    return orbits_.emplace(std::move(key), std::move(orbit)).first->second;
}

std::vector<std::vector<GollyCell>> SeparateObjects(const std::vector<GollyCell>& cells, int period, int dx, int dy,
                                                    const StepRule& rule)
{
    std::vector<std::vector<GollyCell>> clusters = Clusters(cells);
    bool separate = clusters.size() > 1;
    while (separate) {
        // Run each cluster alone through a period; two that come near each
        // other in some phase are one.
        std::vector<Board> boards(clusters.size());
        for (size_t i = 0; i < clusters.size(); ++i) boards[i].setRule(rule), boards[i].set(clusters[i]);
        int nearA = -1, nearB = -1;
        for (int t = 0; t < period && nearA < 0; ++t) {
            std::vector<std::vector<GollyCell>> now(clusters.size());
            std::vector<Extent> boxes(clusters.size());
            for (size_t i = 0; i < clusters.size(); ++i) {
                now[i] = boards[i].cells();
                if (now[i].empty()) break;
                boxes[i] = ExtentOf(now[i]);
            }
            for (size_t i = 0; i < clusters.size() && nearA < 0; ++i) {
                for (size_t j = i + 1; j < clusters.size() && nearA < 0; ++j) {
                    if (now[i].empty() || now[j].empty() || Near(now[i], boxes[i], now[j], boxes[j])) {
                        nearA = int(i), nearB = int(j);
                    }
                }
            }
            for (Board& b : boards) b.step();
        }
        if (nearA >= 0) {
            clusters[size_t(nearA)].insert(clusters[size_t(nearA)].end(), clusters[size_t(nearB)].begin(),
                                           clusters[size_t(nearB)].end());
            clusters.erase(clusters.begin() + nearB);
            separate = clusters.size() > 1;
            continue;
        }
        // Apart in every phase: each must come back alone as the whole does.
        for (size_t i = 0; i < clusters.size() && separate; ++i) {
            Board start;
            start.setRule(rule);
            start.set(clusters[i]);
            const Extent was = start.extent(), now = boards[i].extent();
            separate = boards[i].sameShape(start) && now.left - was.left == dx && now.top - was.top == dy;
        }
        break;
    }
    if (!separate) return {cells};
    return clusters;
}

std::vector<ObjectForm> PeriodicObjects(const std::vector<GollyCell>& cells, int period, int dx, int dy,
                                        ObjectCache& cache)
{
    // One limit for every period up to DriftMaxPeriod, so that the cache
    // holds one orbit per shape.
    const int limit = std::max(period, DriftMaxPeriod);
    std::vector<ObjectForm> objects;
    for (const auto& part : SeparateObjects(cells, period, dx, dy, cache.rule())) {
        const Orbit& orbit = cache.orbit(part, limit);
        if (orbit.periodic) objects.push_back(orbit.form);
    }
    return objects;
}

std::optional<std::vector<ObjectForm>> DriftingObjects(const Board& board, ObjectCache& cache)
{
    if (board.population() > DriftMaxCells) return std::nullopt;
    // What Clusters refuses below, found on the rows first: most growing
    // patterns are refused here without their cells listed and sorted.
    if (board.clusterWiderThan(DriftMaxSide)) return std::nullopt;
    const std::vector<std::vector<GollyCell>> clusters = Clusters(board.cells(), DriftMaxSide);
    if (clusters.empty()) return std::nullopt;
    std::vector<Track> tracks;
    std::vector<ObjectForm> objects;
    for (const auto& cluster : clusters) {
        const Orbit& orbit = cache.orbit(cluster, DriftMaxPeriod);
        if (!orbit.periodic) return std::nullopt;
        const Extent e = ExtentOf(cluster);
        const std::int64_t adx = std::abs(orbit.dx), ady = std::abs(orbit.dy);
        tracks.push_back({{e.left + orbit.reach.left - adx, e.top + orbit.reach.top - ady},
                          {e.left + orbit.reach.right + adx, e.top + orbit.reach.bottom + ady},
                          {orbit.dx, orbit.dy},
                          orbit.period});
        objects.push_back(orbit.form);
    }
    for (size_t i = 0; i < tracks.size(); ++i) {
        for (size_t j = i + 1; j < tracks.size(); ++j) {
            if (MayMeet(tracks[i], tracks[j])) return std::nullopt;
        }
    }
    return objects;
}

}  // namespace hexlife::search
