// hexlife-census [--rule RULE] RESULT PAGE: the census page of a search's
// result file, a
// Markdown page with PNG pictures in a folder beside it named after it
// (PAGE docs/census.md: pictures in docs/census/). The summary as a table,
// every object with its picture, kind, period, displacement, count and
// first figure, and the longest-lived figures. The pictures are drawn by
// the search window's own painter, so they look as its tables and the
// field do. The page names the file's rule; with --rule, a file of another
// rule is refused. Not installed: scripts/census.sh runs it.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "files/safe_files.h"
#include "search/result_file.h"
#include "ui/search_picture.h"

using namespace hexlife;
using namespace hexlife::search;

namespace {

// The pictures: large enough to read a figure of the box cell by cell.
constexpr int Side = 96;
constexpr int MaxPitch = 16;
// The objects drawn, the most common first; the others are given as text.
constexpr int PicturedObjects = 200;

std::string Grouped(std::uint64_t n)
{
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
        out += digits[i];
    }
    return out;
}

std::string Share(std::uint64_t part, std::uint64_t whole)
{
    char text[32];
    const double percent = whole > 0 ? 100.0 * double(part) / double(whole) : 0;
    std::snprintf(text, sizeof text, percent >= 0.01 || part == 0 ? "%.2f %%" : "%.1e %%", percent);
    return text;
}

std::string Shift(int dx, int dy)
{
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d)", dx, dy);
    return text;
}

int Fail(const std::string& text)
{
    std::fprintf(stderr, "hexlife-census: %s\n", text.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::optional<rule::Rule> wanted;
    if (argc == 5 && std::string(argv[1]) == "--rule") {
        const rule::ParseResult read = rule::Parse(argv[2]);
        if (!read.rule) return Fail(rule::Message(read.error));
        wanted = read.rule;
        argv += 2;
        argc -= 2;
    }
    if (argc != 3) {
        std::fputs("usage: hexlife-census [--rule RULE] RESULT PAGE.md\n", stderr);
        return 2;
    }
    // Pictures of filled boxes and lines on a QImage: no application
    // object, no screen and no fonts are needed.
    const std::string resultPath = argv[1], pagePath = argv[2];
    const files::ReadResult read = files::ReadWhole(resultPath, MaxResultBytes);
    if (!read.ok) return Fail("cannot read " + resultPath + ": " + files::Reason(read.failure));
    const ParsedResult parsed = ParseResult(read.bytes);
    if (!parsed.result) return Fail(resultPath + ": " + parsed.error);
    const Result& r = *parsed.result;
    if (!r.complete()) return Fail(resultPath + " is not a finished search");
    if (wanted && !(*wanted == r.rule)) {
        return Fail(resultPath + " is a search by the rule " + r.rule.Text() + ", not " + wanted->Text());
    }

    const QFileInfo page(QString::fromStdString(pagePath));
    const QString folderName = page.completeBaseName();
    QDir folder(page.absolutePath() + "/" + folderName);
    if (!folder.mkpath(".")) return Fail("cannot make the folder " + folder.path().toStdString());
    for (const QString& old : folder.entryList({"*.png"}, QDir::Files)) folder.remove(old);
    auto picture = [&](const std::vector<GollyCell>& cells, const QString& name) -> std::string {
        const QString path = folder.filePath(name);
        if (!SearchPicture(cells, Side, MaxPitch).save(path, "PNG")) {
            std::exit(Fail("cannot write " + path.toStdString()));
        }
        return "![](" + (folderName + "/" + name).toStdString() + ")";
    };

    const Tally& t = r.progress.tally;
    const std::string box = std::to_string(r.box.columns) + " × " + std::to_string(r.box.rows);
    std::string md;
    md += "# The census of " + box + " figures\n\n";
    md += "Every figure of " + std::to_string(r.box.columns) + " columns of " + std::to_string(r.box.rows) +
          " cells, " + Grouped(t.figures) + " of them" + (r.sample ? " (a random sample, seed " +
          std::to_string(r.seed) + ")" : std::string()) +
          ", run alone by the rule " + r.rule.Text() + " to its fate, as `hexagonal-life-search` finds it. The page is made by "
          "`scripts/census.sh` from the result file [`" + folderName.toStdString() + "/" +
          QFileInfo(QString::fromStdString(resultPath)).fileName().toStdString() + "`](" + folderName.toStdString() +
          "/" + QFileInfo(QString::fromStdString(resultPath)).fileName().toStdString() +
          "); the pictures are drawn as the search window draws them, in the field's lattice (even columns half a "
          "cell lower) and colours.\n\n";

    md += "## Summary\n\n| fate | figures | share |\n|---|--:|--:|\n";
    auto row = [&](const std::string& fate, std::uint64_t n) {
        md += "| " + fate + " | " + Grouped(n) + " | " + Share(n, t.figures) + " |\n";
    };
    row("died", t.died);
    row("still", t.still);
    for (const auto& [period, n] : t.oscillators) row("oscillator p" + std::to_string(period), n);
    for (const auto& [period, n] : t.ships) row("ship p" + std::to_string(period), n);
    row("grows", t.grows);
    row("undecided", t.undecided);
    md += "| **all** | **" + Grouped(t.figures) + "** | |\n\n";

    const std::vector<const ObjectTally*> objects = ObjectsInOrder(t);
    md += "## Objects\n\nThe " + std::to_string(objects.size()) +
          " objects the final patterns are made of (of still lifes, oscillators, ships, and of figures that grow "
          "by drifting apart), more copies first. Each is shown in its canonical phase and orientation; the "
          "displacement is per period in Golly's hexagonal coordinates; the count is of copies in all final "
          "patterns; the first figure is the smallest figure number that ends in it, shown as it starts." +
          std::string(objects.size() > size_t(PicturedObjects)
                          ? " Past the first " + std::to_string(PicturedObjects) +
                                ", an object is given by its cells, x,y in Golly's coordinates, as the result file "
                                "gives it."
                          : "") +
          std::string(r.rule.IsIsotropic() ? ""
                                           : " The rule is not isotropic: objects are told apart by translations "
                                             "alone, each orientation an object of its own.") +
          "\n\n"
          "| # | object | kind | period | displacement | count | first figure | |\n"
          "|--:|:-:|---|--:|:-:|--:|--:|:-:|\n";
    int k = 0;
    for (const ObjectTally* o : objects) {
        char name[40], start[40];
        ++k;
        std::snprintf(name, sizeof name, "object-%03d.png", k);
        std::snprintf(start, sizeof start, "object-%03d-first.png", k);
        // Past the first ones, the cells as text: a rule with thousands of
        // objects would otherwise fill the repository with pictures.
        const bool drawn = k <= PicturedObjects;
        md += "| " + std::to_string(k) + " | " +
              (drawn ? picture(o->form.cells, name) : "`" + ObjectKey(o->form) + "`") + " | " +
              VerdictName(o->form.kind()) + " | " + std::to_string(o->form.period) + " | " +
              Shift(o->form.dx, o->form.dy) + " | " + Grouped(o->count) + " | " + Grouped(o->smallest) + " | " +
              (drawn ? picture(FigureCellsOf(r.box, o->smallest), start) : std::string()) + " |\n";
    }

    md += "\n## The " + std::to_string(t.top.size()) +
          " longest-lived\n\nThe figures that die or settle latest, by the generation of their fate (a "
          "repetition is decided at its first repeating generation plus the period), then the smaller figure "
          "number; shown as they start.\n\n"
          "| # | figure | number | fate | generation | settles at | period | displacement |\n"
          "|--:|:-:|--:|---|--:|--:|--:|:-:|\n";
    k = 0;
    for (const TopEntry& e : t.top) {
        char name[40];
        std::snprintf(name, sizeof name, "top-%02d.png", ++k);
        const bool repeats = e.fate.verdict == Verdict::Still || e.fate.verdict == Verdict::Oscillator ||
                             e.fate.verdict == Verdict::Ship;
        md += "| " + std::to_string(k) + " | " + picture(FigureCellsOf(r.box, e.figure), name) + " | " +
              Grouped(e.figure) + " | " + VerdictName(e.fate.verdict) + " | " + std::to_string(e.fate.generation) +
              " | " + (repeats ? std::to_string(e.fate.first) : "") + " | " +
              (repeats ? std::to_string(e.fate.period) : "") + " | " +
              (e.fate.verdict == Verdict::Ship ? Shift(e.fate.dx, e.fate.dy) : "") + " |\n";
    }

    const files::SaveResult saved = files::SaveWhole(pagePath, md);
    if (!saved.ok) return Fail("cannot write " + pagePath + ": " + files::Reason(saved.failure));
    return 0;
}
