// The threaded search against a plain loop over the figures, and its
// results added up exactly: shards cut anywhere, one thread or two, a
// cancelled search gone on with, every step kernel writing the file the
// stepper before them wrote. Each a whole 4 x 4 search or more.
#include <QtTest>

#include <functional>
#include <map>
#include <random>

#include "reference/search_baseline.h"
#include "search/result_file.h"
#include "search/search.h"
#include "search/step_kernel.h"
#include "search_helpers.h"

using namespace hexlife::search;
using testing::RunRange;
using testing::Search44;

class TestSearchWhole : public QObject {
    Q_OBJECT

private slots:
    // The threaded search's tally against a plain loop over the figures:
    // counts, each object's copies and least figure, the 20 longest-lived.
    void tallyAsAPlainLoop()
    {
        std::map<std::string, std::uint64_t> verdicts;
        std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> objects;  // key -> copies, least figure
        std::vector<std::pair<int, std::uint64_t>> settled;                      // -generation, figure
        for (std::uint64_t n = 0; n < 65536; ++n) {
            const FigureResult r = Analyse(FigureCellsOf({4, 4}, n));
            std::string name = VerdictName(r.fate.verdict);
            if (r.fate.verdict == Verdict::Oscillator || r.fate.verdict == Verdict::Ship) {
                name += " p" + std::to_string(r.fate.period);
            }
            ++verdicts[name];
            for (const ObjectForm& form : r.objects) {
                auto [it, fresh] = objects.try_emplace(ObjectKey(form), 0, n);
                ++it->second.first;
            }
            if (r.fate.verdict != Verdict::Grows && r.fate.verdict != Verdict::Undecided) {
                settled.push_back({-r.fate.generation, n});
            }
        }
        std::sort(settled.begin(), settled.end());
        const Tally& t = Search44().progress.tally;
        std::map<std::string, std::uint64_t> got = {{"died", t.died}, {"still", t.still}, {"grows", t.grows},
                                                    {"undecided", t.undecided}};
        for (const auto& [p, c] : t.oscillators) got["oscillator p" + std::to_string(p)] = c;
        for (const auto& [p, c] : t.ships) got["ship p" + std::to_string(p)] = c;
        for (const auto& [name, count] : verdicts) QCOMPARE(got[name], count);
        QCOMPARE(t.objects.size(), objects.size());
        for (const auto& [key, o] : t.objects) {
            QVERIFY2(objects.count(key) == 1, key.c_str());
            QCOMPARE(o.count, objects[key].first);
            QCOMPARE(o.smallest, objects[key].second);
        }
        QCOMPARE(t.top.size(), size_t(TopCount));
        for (int k = 0; k < TopCount; ++k) {
            QCOMPARE(t.top[size_t(k)].figure, settled[size_t(k)].second);
            QCOMPARE(t.top[size_t(k)].fate.generation, -settled[size_t(k)].first);
        }
    }

    // The whole 4 x 4 search on one thread and on two, and in shards cut
    // at random places and added up, gives the same file byte for byte;
    // the file reads back to the same result.
    void shardsAndThreadsAddUpExactly()
    {
        const std::string whole = FormatResult(Search44());
        const Result one = RunRange({4, 4}, 0, 65536, 1);
        QCOMPARE(FormatResult(one), whole);
        std::mt19937_64 random(9);
        for (int round = 0; round < 1; ++round) {
            std::vector<std::uint64_t> cuts = {0, 65536};
            for (int k = 0; k < 3; ++k) cuts.push_back(1 + random() % 65535);
            std::sort(cuts.begin(), cuts.end());
            cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
            std::vector<Result> parts;
            std::vector<std::string> names;
            for (size_t k = 0; k + 1 < cuts.size(); ++k) {
                // Each shard through its file, as they travel between machines.
                const ParsedResult read = ParseResult(FormatResult(RunRange({4, 4}, cuts[k], cuts[k + 1], 2)));
                QVERIFY2(read.result.has_value(), read.error.c_str());
                parts.push_back(*read.result);
                names.push_back("part" + std::to_string(k));
            }
            std::shuffle(parts.begin(), parts.end(), random);
            const ParsedResult merged = MergeResults(parts, names);
            QVERIFY2(merged.result.has_value(), merged.error.c_str());
            QCOMPARE(FormatResult(*merged.result), whole);
        }
        const ParsedResult again = ParseResult(whole);
        QVERIFY2(again.result.has_value(), again.error.c_str());
        QCOMPARE(FormatResult(*again.result), whole);
        // The counts add up and the summary is the file's.
        const Tally& t = Search44().progress.tally;
        QCOMPARE(t.figures, std::uint64_t(65536));
        QVERIFY(whole.find(SummaryText(t)) != std::string::npos);
        // A sample is the same on any thread count, and only for its seed.
        const Result s1 = RunRange({5, 5}, 0, 3000, 1, true, 42), s2 = RunRange({5, 5}, 0, 3000, 2, true, 42);
        QCOMPARE(FormatResult(s1), FormatResult(s2));
        QVERIFY(FormatResult(RunRange({5, 5}, 0, 3000, 2, true, 43)) != FormatResult(s1));
    }

    // The result files of a whole box, a range and a sample, on two threads
    // by each kernel and on one by the fastest, byte for byte as a plain
    // loop with the stepper the kernels replaced writes them.
    void everyKernelWritesTheBaselinesFile()
    {
        struct Case {
            Box box;
            std::uint64_t begin, end;
            bool sample;
            std::uint64_t seed;
        };
        const std::vector<Case> cases = {{{4, 4}, 0, 65536, false, 0},
                                         {{5, 5}, 19000000, 19006000, false, 0},
                                         {{6, 6}, 0, 1500, true, 5}};
        baseline::BaselineRunner runner;
        ObjectCache cache;
        const StepPath was = CurrentStepPath();
        for (const Case& c : cases) {
            Result want;
            want.box = c.box;
            want.begin = c.begin;
            want.end = c.end;
            want.sample = c.sample;
            want.seed = c.seed;
            for (std::uint64_t item = c.begin; item < c.end; ++item) {
                const std::uint64_t n = c.sample ? SampleFigure(c.box, c.seed, item) : item;
                want.progress.tally.add(n, baseline::BaselineAnalyse(runner, FigureCellsOf(c.box, n), cache));
            }
            AddRange(want.progress.done, c.begin, c.end);
            const std::string file = FormatResult(want);
            const std::vector<StepPath> paths = AvailableStepPaths();
            for (StepPath path : paths) {
                SetStepPath(path);
                // Two threads on every kernel, one as well on the fastest.
                for (int threads : path == paths.back() ? std::vector<int>{1, 2} : std::vector<int>{2}) {
                    const std::string got = FormatResult(RunRange(c.box, c.begin, c.end, threads, c.sample, c.seed));
                    QVERIFY2(got == file, qPrintable(QString("%1 x %2, %3, %4 threads").arg(c.box.columns).arg(c.box.rows)
                                                         .arg(StepPathName(path)).arg(threads)));
                }
            }
        }
        SetStepPath(was);
    }

    // The whole 4 x 4 box by its symmetry (one unit: the search uses it only
    // where it is asked to for so few): the same file on one thread and on
    // two, after blocks done before (which leave the unit to the blocks),
    // and cancelled inside the unit and gone on with.
    void symmetryWritesTheSameFile()
    {
        const std::string whole = FormatResult(Search44());
        auto run = [](Result& r, int threads, const std::atomic<bool>& cancel,
                      const std::function<void(const Progress&)>& onProgress = {}) {
            Request request{r.box, 0, r.end, false, 0, threads};
            request.symmetryMinUnits = 1;
            return RunSearch(request, r.progress, cancel, onProgress, 0.001);
        };
        std::atomic<bool> cancel{false};
        for (int threads : {1, 2}) {
            Result r;
            r.box = {4, 4};
            r.end = 65536;
            QVERIFY(run(r, threads, cancel));
            QCOMPARE(FormatResult(r), whole);
        }
        Result partly = RunRange({4, 4}, 4096, 12288, 1);
        partly.begin = 0;
        partly.end = 65536;
        QVERIFY(run(partly, 2, cancel));
        QCOMPARE(FormatResult(partly), whole);

        Result stopped;
        stopped.box = {4, 4};
        stopped.end = 65536;
        const bool finished = run(stopped, 2, cancel, [&](const Progress&) { cancel = true; });
        // The unit is added whole or not at all.
        const std::uint64_t done = RangesSize(stopped.progress.done);
        QVERIFY(done == 0 || done == 65536);
        QCOMPARE(finished, done == 65536);
        QCOMPARE(stopped.progress.tally.figures, done);
        cancel = false;
        run(stopped, 2, cancel);
        QCOMPARE(FormatResult(stopped), whole);
    }

    // A cancelled search keeps whole blocks only; going on from it ends
    // where the unbroken search ends.
    void cancelThenGoOn()
    {
        Result r;
        r.box = {4, 4};
        r.end = 65536;
        std::atomic<bool> cancel{false};
        int calls = 0;
        const bool whole = RunSearch({r.box, 0, r.end, false, 0, 2}, r.progress, cancel, [&](const Progress& p) {
            ++calls;
            if (RangesSize(p.done) > 0) cancel = true;
        }, 0.001);
        QVERIFY(!whole);
        const std::uint64_t done = RangesSize(r.progress.done);
        QVERIFY(done > 0 && done < 65536 && done % 4096 == 0);
        QCOMPARE(r.progress.tally.figures, done);
        const ParsedResult saved = ParseResult(FormatResult(r));
        QVERIFY(saved.result.has_value());
        Result resumed = *saved.result;
        cancel = false;
        QVERIFY(RunSearch({r.box, 0, r.end, false, 0, 2}, resumed.progress, cancel));
        QCOMPARE(FormatResult(resumed), FormatResult(Search44()));
    }
};

QTEST_APPLESS_MAIN(TestSearchWhole)
#include "test_search_whole.moc"
