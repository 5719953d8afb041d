#include "search/command_line.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "files/safe_files.h"
#include "search/command_options.h"
#include "program.h"
#include "rle/rle.h"
#include "search/result_file.h"
#include "search/search.h"

namespace hexlife::search {

namespace {

using Clock = std::chrono::steady_clock;

// Set by the handler of SIGINT and SIGTERM, read by the loop that waits for
// the workers; the handler does nothing else.
volatile std::sig_atomic_t StopSignal = 0;
extern "C" void OnStopSignal(int signal) { StopSignal = signal; }

// A partial result is saved this often while the search runs, so that even
// a killed search loses little; HEXLIFE_SEARCH_SAVE_SECONDS sets another
// interval (the tests kill the search around its saves).
constexpr double CheckpointSeconds = 60;
// Progress on a terminal is redrawn this often; written as lines elsewhere.
constexpr double TerminalProgressSeconds = 0.25;
constexpr double LineProgressSeconds = 5;

std::string Grouped(std::uint64_t n)
{
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
        out += digits[i];
    }
    return out;
}

std::string Duration(double seconds)
{
    const long s = long(seconds + 0.5);
    if (s >= 3600) return std::to_string(s / 3600) + " ч " + std::to_string(s / 60 % 60) + " мин";
    if (s >= 60) return std::to_string(s / 60) + " мин " + std::to_string(s % 60) + " с";
    return std::to_string(s) + " с";
}

std::string BoxText(const Box& box) { return std::to_string(box.columns) + " × " + std::to_string(box.rows); }

// Reads a result file; on failure the message names it.
std::optional<Result> ReadResult(const std::string& path, std::string& error, bool& missing)
{
    missing = false;
    const files::ReadResult read = files::ReadWhole(path, MaxResultBytes);
    if (!read.ok) {
        missing = read.failure.error == ENOENT && read.failure.kind == files::Kind::Regular;
        error = "не удалось прочитать " + path + ": " + files::Reason(read.failure);
        return std::nullopt;
    }
    ParsedResult parsed = ParseResult(read.bytes);
    if (!parsed.result) {
        error = path + " - не результат поиска или повреждён: " + parsed.error;
        return std::nullopt;
    }
    return std::move(parsed.result);
}

bool Save(const std::string& path, const Result& result)
{
    const files::SaveResult saved = files::SaveWhole(path, FormatResult(result));
    if (!saved.ok) Say("hexagonal-life-search: не удалось записать " + path + ": " + files::Reason(saved.failure));
    return saved.ok;
}

std::string RussianFate(const Fate& f)
{
    switch (f.verdict) {
    case Verdict::Died: return "вымирает на поколении " + std::to_string(f.generation);
    case Verdict::Still: return "неподвижна с поколения " + std::to_string(f.first);
    case Verdict::Oscillator:
        return "период " + std::to_string(f.period) + " с поколения " + std::to_string(f.first);
    case Verdict::Ship:
        return "корабль: период " + std::to_string(f.period) + ", сдвиг (" + std::to_string(f.dx) + ", " +
               std::to_string(f.dy) + ") с поколения " + std::to_string(f.first);
    case Verdict::Grows: return "растёт с поколения " + std::to_string(f.generation);
    case Verdict::Undecided: return "не решено";
    }
    return "";
}

// One RLE file per object and per long-lived figure; false when one could
// not be written (the message is out).
bool WriteRle(const std::string& folder, const Result& result)
{
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        Say("hexagonal-life-search: не удалось создать папку " + folder + ": " +
            files::Reason(files::Failure{errno}));
        return false;
    }
    auto save = [&](const std::string& name, const std::string& text) {
        const std::string path = folder + "/" + name;
        const files::SaveResult saved = files::SaveWhole(path, text);
        if (!saved.ok) Say("hexagonal-life-search: не удалось записать " + path + ": " + files::Reason(saved.failure));
        return saved.ok;
    };
    const char* kinds[] = {"", "неподвижный объект", "осциллятор", "корабль"};
    int k = 0;
    for (const ObjectTally* t : ObjectsInOrder(result.progress.tally)) {
        const ObjectForm& f = t->form;
        char name[32];
        std::snprintf(name, sizeof name, "object-%03d.rle", ++k);
        std::string title = std::string(kinds[int(f.kind())]) + " p" + std::to_string(f.period);
        if (f.kind() == Verdict::Ship) title += ", сдвиг (" + std::to_string(f.dx) + ", " + std::to_string(f.dy) + ")";
        title += ": " + std::to_string(t->count) + " в фигурах " + BoxText(result.box) + ", впервые в фигуре " +
                 std::to_string(t->smallest);
        if (!save(name, rle::WriteShape(f.cells, title, result.rule))) return false;
    }
    k = 0;
    for (const TopEntry& e : result.progress.tally.top) {
        char name[32];
        std::snprintf(name, sizeof name, "top-%02d.rle", ++k);
        const std::string title =
            "фигура " + std::to_string(e.figure) + " из " + BoxText(result.box) + ": " + RussianFate(e.fate);
        if (!save(name, rle::WriteShape(FigureCellsOf(result.box, e.figure), title, result.rule))) return false;
    }
    return true;
}

// Output of a finished result: the file, the RLE files, the summary.
int Finish(const Options& o, const Result& result)
{
    if (!o.out.empty() && !Save(o.out, result)) return ExitWriteFailed;
    if (!o.rleDir.empty() && !WriteRle(o.rleDir, result)) return ExitWriteFailed;
    std::fputs(SummaryText(result.progress.tally).c_str(), stdout);
    std::fflush(stdout);
    return ExitDone;
}

int Merge(const Options& o)
{
    std::vector<Result> parts;
    for (const std::string& path : o.merge) {
        std::string error;
        bool missing = false;
        std::optional<Result> part = ReadResult(path, error, missing);
        if (!part) return Usage(error);
        parts.push_back(std::move(*part));
    }
    ParsedResult merged = MergeResults(parts, o.merge);
    if (!merged.result) return Usage("результаты не складываются: " + merged.error);
    if (!merged.result->complete()) {
        Say("hexagonal-life-search: в сумме сделано " + Grouped(RangesSize(merged.result->progress.done)) + " из " +
            Grouped(merged.result->items()) + " номеров диапазона " + std::to_string(merged.result->begin) + ":" +
            std::to_string(merged.result->end));
    }
    return Finish(o, *merged.result);
}

// The progress line: done, rate, time left.
class ProgressLine {
public:
    ProgressLine(bool terminal, std::uint64_t total, std::uint64_t before)
        : terminal_(terminal), total_(total), before_(before), start_(Clock::now()), last_(start_)
    {
    }

    void show(std::uint64_t done, bool final)
    {
        const auto now = Clock::now();
        const double since = std::chrono::duration<double>(now - last_).count();
        if (!final && since < (terminal_ ? TerminalProgressSeconds : LineProgressSeconds)) return;
        last_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const double rate = elapsed > 0 ? double(done - before_) / elapsed : 0;
        char percent[32];
        std::snprintf(percent, sizeof percent, "%.1f", total_ > 0 ? 100.0 * double(done) / double(total_) : 100.0);
        std::string line = "сделано " + Grouped(done) + " из " + Grouped(total_) + " (" + percent + " %), " +
                           Grouped(std::uint64_t(rate)) + " фигур/с";
        if (rate > 0 && done < total_) line += ", осталось " + Duration(double(total_ - done) / rate);
        else line += ", прошло " + Duration(elapsed);
        if (terminal_) {
            std::fputs(("\r\033[K" + line + (final ? "\n" : "")).c_str(), stderr);
        } else {
            std::fputs((line + "\n").c_str(), stderr);
        }
        std::fflush(stderr);
    }

private:
    bool terminal_;
    std::uint64_t total_, before_;
    Clock::time_point start_, last_;
};

// The interval between saves: HEXLIFE_SEARCH_SAVE_SECONDS where it is a
// positive number of seconds, else a minute.
std::optional<double> SaveInterval()
{
    const char* text = std::getenv("HEXLIFE_SEARCH_SAVE_SECONDS");
    if (text == nullptr || *text == '\0') return CheckpointSeconds;
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !(seconds > 0) || seconds > 1e9) return std::nullopt;
    return seconds;
}

int Search(const Options& o)
{
    if (!o.columns || !o.rows) return Usage("нужны --columns и --rows (или --merge)");
    Result result;
    if (o.rule) result.rule = *o.rule;
    result.box = {*o.columns, *o.rows};
    if (!ValidBox(result.box)) {
        return Usage("размер фигур " + BoxText(result.box) +
                     " вне пределов: столбцов и клеток в столбце от 1 до 6, всего клеток не больше 36");
    }
    if (!o.sample && o.seedGiven) return Usage("--seed задаёт выборку: нужен и --sample N");
    const std::optional<double> saveInterval = SaveInterval();
    if (!saveInterval) {
        return Usage("HEXLIFE_SEARCH_SAVE_SECONDS должна быть числом секунд больше нуля, а не «" +
                     std::string(std::getenv("HEXLIFE_SEARCH_SAVE_SECONDS")) + "»");
    }
    result.sample = o.sample.has_value();
    result.seed = result.sample ? o.seed : 0;
    const std::uint64_t items = o.sample ? *o.sample : result.box.figures();
    result.begin = 0;
    result.end = items;
    if (o.range) {
        const auto [a, b] = *o.range;
        if (a >= b || b > items) {
            return Usage("диапазон " + std::to_string(a) + ":" + std::to_string(b) + " вне пределов: нужно 0 <= A < B <= " +
                         std::to_string(items) + (o.sample ? " (число фигур выборки)" : " (2^" +
                                                  std::to_string(result.box.cells()) + "; B не входит)"));
        }
        result.begin = a;
        result.end = b;
    }

    // From here on Ctrl+C and SIGTERM only set the flag: the search stops
    // at its next look at it and saves what is done.
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    // Going on with the same search where --out holds it.
    std::uint64_t before = 0;
    if (!o.out.empty()) {
        std::string error;
        bool missing = false;
        std::optional<Result> old = ReadResult(o.out, error, missing);
        if (!old && !missing) return Usage(error);
        if (old) {
            if (!(old->rule == result.rule)) {
                return Usage(o.out + " содержит результат поиска по правилу " + old->rule.Text() +
                             ", а задано правило " + result.rule.Text() +
                             "; задайте то же правило (--rule), удалите файл или выберите другой");
            }
            if (!(old->box == result.box) || old->sample != result.sample || old->seed != result.seed ||
                old->begin != result.begin || old->end != result.end) {
                return Usage(o.out + " содержит результат другого поиска (" + BoxText(old->box) + ", диапазон " +
                             std::to_string(old->begin) + ":" + std::to_string(old->end) +
                             (old->sample ? ", выборка с зерном " + std::to_string(old->seed) : std::string()) +
                             "); удалите его или выберите другой файл");
            }
            result.progress = std::move(old->progress);
            before = RangesSize(result.progress.done);
            if (before > 0 && !result.complete()) {
                Say("hexagonal-life-search: продолжаю " + o.out + ": уже сделано " + Grouped(before) + " из " +
                    Grouped(result.items()));
            }
        }
        // Written at once: a file that cannot be written is told before the work.
        if (!Save(o.out, result)) return ExitWriteFailed;
    }
    if (result.complete()) return Finish(o, result);

    Request request;
    request.box = result.box;
    request.rule = result.rule;
    request.begin = result.begin;
    request.end = result.end;
    request.sample = result.sample;
    request.seed = result.seed;
    request.threads = o.threads > 0 ? o.threads : int(std::max(1u, std::thread::hardware_concurrency()));

    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    const bool showProgress = terminal || o.progress;
    ProgressLine line(terminal, result.items(), before);
    std::atomic<bool> cancel{false};
    auto lastSave = Clock::now();
    bool saveFailed = false;
    const bool whole = RunSearch(request, result.progress, cancel, [&](const Progress& p) {
        if (StopSignal != 0) cancel = true;
        if (showProgress) line.show(RangesSize(p.done), false);
        if (!o.out.empty() && !saveFailed &&
            std::chrono::duration<double>(Clock::now() - lastSave).count() >= *saveInterval) {
            // Under the search's lock (p is result.progress): the workers
            // wait the few milliseconds of a save once a minute.
            lastSave = Clock::now();
            saveFailed = !Save(o.out, result);
            if (saveFailed) cancel = true;
        }
    });
    if (showProgress) line.show(RangesSize(result.progress.done), true);
    if (saveFailed) return ExitWriteFailed;
    if (!whole) {
        const std::uint64_t done = RangesSize(result.progress.done);
        if (!o.out.empty()) {
            if (!Save(o.out, result)) return ExitWriteFailed;
            Say("hexagonal-life-search: прервано; сделано " + Grouped(done) + " из " + Grouped(result.items()) +
                ", результат сохранён в " + o.out + ". Та же команда продолжит поиск.");
        } else {
            Say("hexagonal-life-search: прервано; сделано " + Grouped(done) + " из " + Grouped(result.items()) +
                ", без --out ничего не сохранено.");
        }
        return ExitSignalBase + (StopSignal != 0 ? int(StopSignal) : SIGINT);
    }
    return Finish(o, result);
}

}  // namespace

int SearchMain(int argc, char** argv)
{
    Options o;
    if (const auto error = ParseOptions(argc, argv, o)) return Usage(*error);
    if (o.help) {
        std::fputs(HelpText, stdout);
        return ExitDone;
    }
    if (o.version) {
        std::printf("hexagonal-life-search %s\n", ProgramVersion);
        return ExitDone;
    }
    if (!o.merge.empty()) {
        if (o.columns || o.rows || o.range || o.sample || o.seedGiven || o.rule) {
            return Usage("--merge берёт правило, размер и диапазон из файлов: --rule, --columns, --rows, --range и "
                         "--sample с ним не нужны");
        }
        return Merge(o);
    }
    return Search(o);
}

}  // namespace hexlife::search
