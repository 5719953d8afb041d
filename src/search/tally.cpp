// The tally of a search's figures and the ranges of figures it has done.
#include "search/search.h"

#include <algorithm>

#include "search/objects.h"

namespace hexlife::search {

std::string ObjectKey(const ObjectForm& form)
{
    std::string key;
    for (const GollyCell& c : form.cells) {
        if (!key.empty()) key += ' ';
        key += std::to_string(c.x) + ',' + std::to_string(c.y);
    }
    return key;
}

bool TopBefore(const TopEntry& a, const TopEntry& b)
{
    return a.fate.generation != b.fate.generation ? a.fate.generation > b.fate.generation : a.figure < b.figure;
}

namespace {

void AddTop(std::vector<TopEntry>& top, const TopEntry& entry)
{
    if (top.size() == size_t(TopCount) && !TopBefore(entry, top.back())) return;
    const auto at = std::lower_bound(top.begin(), top.end(), entry, TopBefore);
    if (at != top.end() && at->figure == entry.figure) return;  // a sample may draw a figure twice
    top.insert(at, entry);
    if (top.size() > size_t(TopCount)) top.pop_back();
}

void AddObject(std::map<std::string, ObjectTally>& objects, const ObjectForm& form, std::uint64_t count,
               std::uint64_t smallest)
{
    auto [it, fresh] = objects.try_emplace(ObjectKey(form));
    ObjectTally& t = it->second;
    if (fresh) {
        t.form = form;
        t.smallest = smallest;
    }
    t.count += count;
    t.smallest = std::min(t.smallest, smallest);
}

}  // namespace

void Tally::add(std::uint64_t figure, const FigureResult& result)
{
    ++figures;
    const Fate& f = result.fate;
    switch (f.verdict) {
    case Verdict::Died: ++died; break;
    case Verdict::Still: ++still; break;
    case Verdict::Oscillator: ++oscillators[f.period]; break;
    case Verdict::Ship: ++ships[f.period]; break;
    case Verdict::Grows: ++grows; break;
    case Verdict::Undecided: ++undecided; break;
    }
    for (const ObjectForm& form : result.objects) AddObject(objects, form, 1, figure);
    if (f.verdict != Verdict::Grows && f.verdict != Verdict::Undecided) AddTop(top, {figure, f});
}

void Tally::add(const Tally& other)
{
    figures += other.figures;
    died += other.died;
    still += other.still;
    grows += other.grows;
    undecided += other.undecided;
    for (const auto& [period, count] : other.oscillators) oscillators[period] += count;
    for (const auto& [period, count] : other.ships) ships[period] += count;
    for (const auto& [key, t] : other.objects) AddObject(objects, t.form, t.count, t.smallest);
    for (const TopEntry& entry : other.top) AddTop(top, entry);
}

void AddRange(Ranges& ranges, std::uint64_t begin, std::uint64_t end)
{
    if (begin >= end) return;
    Ranges out;
    bool placed = false;
    for (const auto& [b, e] : ranges) {
        if (e < begin) {
            out.push_back({b, e});
        } else if (end < b) {
            if (!placed) out.push_back({begin, end}), placed = true;
            out.push_back({b, e});
        } else {
            begin = std::min(begin, b);
            end = std::max(end, e);
        }
    }
    if (!placed) out.push_back({begin, end});
    ranges = std::move(out);
}

std::uint64_t RangesSize(const Ranges& ranges)
{
    std::uint64_t size = 0;
    for (const auto& [b, e] : ranges) size += e - b;
    return size;
}

bool RangesOverlap(const Ranges& a, const Ranges& b)
{
    for (const auto& [ab, ae] : a) {
        for (const auto& [bb, be] : b) {
            if (ab < be && bb < ae) return true;
        }
    }
    return false;
}

}  // namespace hexlife::search
