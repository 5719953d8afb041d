#include "search/result_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace hexlife::search {

namespace {

std::uint64_t Fnv1a(std::string_view bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string Hex(std::uint64_t value)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        const size_t end = std::min(line.find(' ', at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

template <typename T>
bool Number(std::string_view word, T& value)
{
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size() && !word.empty() &&
           (word.size() == 1 || word[0] != '0' || word[0] == '-');
}

// "p12" as 12.
bool Period(std::string_view word, int& period)
{
    return word.size() > 1 && word[0] == 'p' && Number(word.substr(1), period) && period >= 1;
}

bool VerdictOf(std::string_view word, Verdict& verdict)
{
    for (const Verdict v : {Verdict::Died, Verdict::Still, Verdict::Oscillator, Verdict::Ship, Verdict::Grows,
                            Verdict::Undecided}) {
        if (word == VerdictName(v)) {
            verdict = v;
            return true;
        }
    }
    return false;
}

}  // namespace

bool Result::complete() const
{
    return progress.done.size() == 1 && progress.done[0].first == begin && progress.done[0].second == end;
}

std::string SummaryText(const Tally& tally)
{
    std::string text = "figures " + std::to_string(tally.figures) + "\n";
    text += "died " + std::to_string(tally.died) + "\n";
    text += "still " + std::to_string(tally.still) + "\n";
    for (const auto& [period, count] : tally.oscillators) {
        text += "oscillator p" + std::to_string(period) + " " + std::to_string(count) + "\n";
    }
    for (const auto& [period, count] : tally.ships) {
        text += "ship p" + std::to_string(period) + " " + std::to_string(count) + "\n";
    }
    text += "grows " + std::to_string(tally.grows) + "\n";
    text += "undecided " + std::to_string(tally.undecided) + "\n";
    return text;
}

std::vector<const ObjectTally*> ObjectsInOrder(const Tally& tally)
{
    std::vector<const ObjectTally*> order;
    for (const auto& [key, t] : tally.objects) order.push_back(&t);
    // The map is in key order already: a stable sort by count keeps it among equals.
    std::stable_sort(order.begin(), order.end(),
                     [](const ObjectTally* a, const ObjectTally* b) { return a->count > b->count; });
    return order;
}

std::string B0Refusal(const rule::Rule& rule)
{
    return "правило " + rule.Text() +
           " с B0 не годится для поиска: на бесконечной плоскости каждая пустая клетка без живых соседей ожила "
           "бы сразу, и исход фигуры не определить";
}

const char* ObjectsWord(const rule::Rule& rule) { return rule.IsIsotropic() ? "symmetries" : "translations"; }

std::string FormatResult(const Result& result)
{
    const Tally& tally = result.progress.tally;
    std::string text = std::string(ResultMagic) + " " + std::to_string(ResultVersion) + "\n";
    text += "rule " + result.rule.Text() + "\n";
    text += std::string("objects ") + ObjectsWord(result.rule) + "\n";
    text += "box " + std::to_string(result.box.columns) + " " + std::to_string(result.box.rows) + "\n";
    if (result.sample) text += "sample " + std::to_string(result.seed) + "\n";
    text += "range " + std::to_string(result.begin) + " " + std::to_string(result.end) + "\n";
    for (const auto& [b, e] : result.progress.done) text += "done " + std::to_string(b) + " " + std::to_string(e) + "\n";
    text += SummaryText(tally);
    for (const ObjectTally* t : ObjectsInOrder(tally)) {
        const ObjectForm& f = t->form;
        text += std::string("object ") + VerdictName(f.kind()) + " p" + std::to_string(f.period) + " " +
                std::to_string(f.dx) + " " + std::to_string(f.dy) + " " + std::to_string(t->count) + " " +
                std::to_string(t->smallest) + " " + ObjectKey(f) + "\n";
    }
    for (const TopEntry& e : tally.top) {
        text += "top " + std::to_string(e.figure) + " " + std::to_string(e.fate.generation) + " " +
                VerdictName(e.fate.verdict) + " " + std::to_string(e.fate.first) + " " +
                std::to_string(e.fate.period) + " " + std::to_string(e.fate.dx) + " " + std::to_string(e.fate.dy) +
                "\n";
    }
    return text + "checksum " + Hex(Fnv1a(text)) + "\n";
}

ParsedResult ParseResult(std::string_view text)
{
    ParsedResult parsed;
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            parsed.error = "файл обрывается посреди строки";
            return parsed;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    size_t n = 0;
    auto fail = [&](const std::string& what) {
        parsed.error = "строка " + std::to_string(n + 1) + ": " + what;
        return parsed;
    };
    auto words = [&](size_t k) { return k < lines.size() ? Words(lines[k]) : std::vector<std::string_view>{}; };

    // The checksum first: a file cut short or changed is refused whole.
    if (lines.empty() || Words(lines.back()).size() != 2 || Words(lines.back())[0] != "checksum") {
        n = lines.size() == 0 ? 0 : lines.size() - 1;
        return fail("нет контрольной суммы в конце: файл обрезан или это не результат поиска");
    }
    const size_t body = text.size() - lines.back().size() - 1;
    if (Words(lines.back())[1] != Hex(Fnv1a(text.substr(0, body)))) {
        n = lines.size() - 1;
        return fail("контрольная сумма не совпадает: файл повреждён или изменён");
    }
    lines.pop_back();

    Result r;
    auto w = words(n);
    if (w.size() != 2 || w[0] != ResultMagic) return fail("это не файл результата поиска");
    int version = 0;
    if (!Number(w[1], version) || version < 1 || version > ResultVersion) {
        return fail("версия формата " + std::string(w[1]) + ", эта программа читает версии с 1 по " +
                    std::to_string(ResultVersion));
    }
    // Version 1 names no rule: its figures ran by B2/S2H.
    if (version >= 2) {
        w = words(++n);
        if (w.size() != 2 || w[0] != "rule") return fail("ожидалось правило «rule ПРАВИЛО»");
        const rule::ParseResult read = rule::Parse(w[1]);
        if (!read.rule) return fail(rule::Message(read.error));
        if (read.rule->HasB0()) {
            return fail(B0Refusal(*read.rule));
        }
        r.rule = *read.rule;
        w = words(++n);
        if (w.size() != 2 || w[0] != "objects" || (w[1] != "symmetries" && w[1] != "translations")) {
            return fail("ожидалось «objects symmetries» или «objects translations»");
        }
        if (w[1] != ObjectsWord(r.rule)) {
            return fail(std::string("объекты правила ") + r.rule.Text() + " приводятся к каноническому виду " +
                        (r.rule.IsIsotropic() ? "по 12 симметриям решётки" : "только сдвигами") + ", а не «" +
                        std::string(w[1]) + "»");
        }
    }
    w = words(++n);
    if (w.size() != 3 || w[0] != "box" || !Number(w[1], r.box.columns) || !Number(w[2], r.box.rows) ||
        !ValidBox(r.box)) {
        return fail("ожидался размер «box C R» (от 1 до 6, не больше 36 клеток)");
    }
    w = words(++n);
    if (!w.empty() && w[0] == "sample") {
        if (w.size() != 2 || !Number(w[1], r.seed)) return fail("ожидалось «sample SEED»");
        r.sample = true;
        w = words(++n);
    }
    if (w.size() != 3 || w[0] != "range" || !Number(w[1], r.begin) || !Number(w[2], r.end) || r.begin >= r.end ||
        (!r.sample && r.end > r.box.figures())) {
        return fail("ожидался диапазон «range A B», 0 <= A < B <= " + std::to_string(r.box.figures()));
    }
    Ranges& done = r.progress.done;
    for (w = words(++n); !w.empty() && w[0] == "done"; w = words(++n)) {
        std::uint64_t b = 0, e = 0;
        if (w.size() != 3 || !Number(w[1], b) || !Number(w[2], e) || b >= e || b < r.begin || e > r.end ||
            (!done.empty() && b <= done.back().second)) {
            return fail("ожидалось «done A B» внутри диапазона, по возрастанию, без наложений");
        }
        done.push_back({b, e});
    }
    Tally& t = r.progress.tally;
    auto count = [&](std::string_view word, std::uint64_t& value) {
        w = words(n);
        if (w.size() != 2 || w[0] != word || !Number(w[1], value)) return false;
        ++n;
        return true;
    };
    if (!count("figures", t.figures)) return fail("ожидалось «figures N»");
    if (t.figures != RangesSize(done)) return fail("число фигур не равно числу сделанных номеров");
    if (!count("died", t.died)) return fail("ожидалось «died N»");
    if (!count("still", t.still)) return fail("ожидалось «still N»");
    for (const char* kind : {"oscillator", "ship"}) {
        auto& byPeriod = kind == std::string_view("oscillator") ? t.oscillators : t.ships;
        for (w = words(n); !w.empty() && w[0] == kind; w = words(++n)) {
            int period = 0;
            std::uint64_t value = 0;
            if (w.size() != 3 || !Period(w[1], period) || !Number(w[2], value) || value == 0 ||
                (!byPeriod.empty() && period <= byPeriod.rbegin()->first) ||
                (kind == std::string_view("oscillator") && period < 2)) {
                return fail(std::string("ожидалось «") + kind + " pP N», периоды по возрастанию");
            }
            byPeriod[period] = value;
        }
    }
    if (!count("grows", t.grows)) return fail("ожидалось «grows N»");
    if (!count("undecided", t.undecided)) return fail("ожидалось «undecided N»");
    std::uint64_t sum = t.died + t.still + t.grows + t.undecided;
    for (const auto& [p, c] : t.oscillators) sum += c;
    for (const auto& [p, c] : t.ships) sum += c;
    if (sum != t.figures) {
        --n;
        return fail("сумма исходов не равна числу фигур");
    }
    for (w = words(n); !w.empty() && w[0] == "object"; w = words(++n)) {
        ObjectTally o;
        Verdict kind{};
        if (w.size() < 8 || !VerdictOf(w[1], kind) || !Period(w[2], o.form.period) || !Number(w[3], o.form.dx) ||
            !Number(w[4], o.form.dy) || !Number(w[5], o.count) || !Number(w[6], o.smallest) || o.count == 0) {
            return fail("ожидалось «object KIND pP DX DY COUNT SMALLEST X,Y ...»");
        }
        for (size_t k = 7; k < w.size(); ++k) {
            const size_t comma = w[k].find(',');
            GollyCell c{};
            if (comma == std::string_view::npos || !Number(w[k].substr(0, comma), c.x) ||
                !Number(w[k].substr(comma + 1), c.y)) {
                return fail("клетка объекта не в виде «X,Y»: " + std::string(w[k]));
            }
            o.form.cells.push_back(c);
        }
        std::int64_t left = INT64_MAX, top = INT64_MAX;
        for (const GollyCell& c : o.form.cells) left = std::min(left, c.x), top = std::min(top, c.y);
        const bool sorted = std::is_sorted(o.form.cells.begin(), o.form.cells.end(), [](const GollyCell& a, const GollyCell& b) {
            return a.y != b.y ? a.y < b.y : a.x < b.x;
        }) && std::adjacent_find(o.form.cells.begin(), o.form.cells.end()) == o.form.cells.end();
        if (left != 0 || top != 0 || !sorted || o.form.kind() != kind ||
            (!r.sample && o.smallest >= r.box.figures())) {
            return fail("объект записан не в каноническом виде");
        }
        const std::string key = ObjectKey(o.form);
        if (t.objects.count(key) != 0) return fail("объект повторяется");
        t.objects.emplace(key, std::move(o));
    }
    for (w = words(n); !w.empty() && w[0] == "top"; w = words(++n)) {
        TopEntry e;
        Fate& f = e.fate;
        if (w.size() != 8 || !Number(w[1], e.figure) || !Number(w[2], f.generation) || !VerdictOf(w[3], f.verdict) ||
            !Number(w[4], f.first) || !Number(w[5], f.period) || !Number(w[6], f.dx) || !Number(w[7], f.dy) ||
            f.verdict == Verdict::Grows || f.verdict == Verdict::Undecided || t.top.size() >= size_t(TopCount) ||
            (!t.top.empty() && !TopBefore(t.top.back(), e)) || (!r.sample && e.figure >= r.box.figures())) {
            return fail("ожидалось «top FIGURE GENERATION VERDICT FIRST PERIOD DX DY», по убыванию поколения");
        }
        t.top.push_back(e);
    }
    if (n < lines.size()) return fail("лишняя строка: " + std::string(lines[n].substr(0, 40)));
    parsed.result = std::move(r);
    return parsed;
}

ParsedResult MergeResults(const std::vector<Result>& parts, const std::vector<std::string>& names)
{
    ParsedResult merged;
    if (parts.empty()) return merged;
    Result total;
    total.rule = parts[0].rule;
    total.box = parts[0].box;
    total.sample = parts[0].sample;
    total.seed = parts[0].seed;
    total.begin = parts[0].begin;
    total.end = parts[0].end;
    for (size_t i = 0; i < parts.size(); ++i) {
        const Result& p = parts[i];
        if (!(p.rule == total.rule)) {
            merged.error = names[i] + ": другое правило (" + p.rule.Text() + ", а в " + names[0] + " " +
                           total.rule.Text() + ")";
            return merged;
        }
        if (!(p.box == total.box)) {
            merged.error = names[i] + ": другой размер фигур (" + std::to_string(p.box.columns) + " × " +
                           std::to_string(p.box.rows) + ", а в " + names[0] + " " + std::to_string(total.box.columns) +
                           " × " + std::to_string(total.box.rows) + ")";
            return merged;
        }
        if (p.sample != total.sample || p.seed != total.seed) {
            merged.error = names[i] + ": другая выборка, чем в " + names[0] +
                           " (полный перебор и случайные выборки с разным зерном не складываются)";
            return merged;
        }
        for (size_t j = 0; j < i; ++j) {
            if (p.begin < parts[j].end && parts[j].begin < p.end) {
                merged.error = names[i] + " и " + names[j] + ": диапазоны пересекаются (" + std::to_string(p.begin) +
                               ":" + std::to_string(p.end) + " и " + std::to_string(parts[j].begin) + ":" +
                               std::to_string(parts[j].end) + ")";
                return merged;
            }
        }
        total.begin = std::min(total.begin, p.begin);
        total.end = std::max(total.end, p.end);
        for (const auto& [b, e] : p.progress.done) AddRange(total.progress.done, b, e);
        total.progress.tally.add(p.progress.tally);
    }
    merged.result = std::move(total);
    return merged;
}

}  // namespace hexlife::search
