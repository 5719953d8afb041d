// hexagonal-life-search as a user runs it: the summary's form, a file that
// is the same on any thread count, Ctrl+C and SIGTERM kept as a partial
// result that the same command completes to the uninterrupted one, bad
// options and files refused in Russian with nothing written, and the RLE
// files it writes run in Golly to the period and move the result states.
#include <QtTest>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>

#include "rle/rle.h"
#include "search/result_file.h"
#include "search/objects.h"
#include "search/search.h"
#include "search_helpers.h"

using namespace hexlife;
using namespace hexlife::search;

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

// Runs the program with no display and the C locale's UTF-8.
Outcome Run(const QStringList& args, int timeout = 600000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    p.setProcessEnvironment(env);
    p.start(HEXLIFE_SEARCH_PROGRAM, args);
    p.waitForFinished(timeout);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<GollyCell> CellsOf(const rle::Cells& cells)
{
    std::vector<GollyCell> out;
    for (const rle::LiveRun& run : cells.runs)
        for (std::int64_t x = run.x1; x <= run.x2; ++x) out.push_back({x, run.y});
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<GollyCell> Moved(std::vector<GollyCell> cells, std::int64_t dx, std::int64_t dy)
{
    for (GollyCell& c : cells) c = {c.x + dx, c.y + dy};
    std::sort(cells.begin(), cells.end());
    return cells;
}

std::string RleOf(const std::vector<GollyCell>& cells, const rule::Rule& rule)
{
    return rle::WriteCells(cells, "test", std::nullopt, rule);
}

}  // namespace

class TestSearchCli : public QObject {
    Q_OBJECT

private slots:
    void helpWithoutDisplay()
    {
        const Outcome help = Run({"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains("Использование") && help.out.contains("--range A:B"));
        const Outcome version = Run({"--version"});
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith("hexagonal-life-search "));
    }

    // The summary in its fixed form, counts that add up, the file's own
    // summary, and the same file from one thread and from two.
    void summaryAndFile()
    {
        QTemporaryDir dir;
        const QString one = dir.filePath("one.txt"), two = dir.filePath("two.txt");
        const Outcome a = Run({"--columns", "3", "--rows", "3", "--threads", "1", "--out", one});
        const Outcome b = Run({"--columns", "3", "--rows", "3", "--threads", "2", "--out", two});
        QCOMPARE(a.status, 0);
        QCOMPARE(b.status, 0);
        QCOMPARE(a.out, b.out);
        QCOMPARE(ReadFile(one), ReadFile(two));
        const QStringList lines = a.out.split('\n', Qt::SkipEmptyParts);
        const QRegularExpression form(
            "^(figures \\d+|died \\d+|still \\d+|(oscillator|ship) p\\d+ \\d+|grows \\d+|undecided \\d+)$");
        QStringList kinds;
        quint64 figures = 0, sum = 0;
        int lastPeriod[2] = {0, 0};
        for (const QString& line : lines) {
            QVERIFY2(form.match(line).hasMatch(), qPrintable(line));
            const QStringList w = line.split(' ');
            kinds << w[0];
            if (w[0] == "figures") figures = w[1].toULongLong();
            else sum += w.last().toULongLong();
            if (w.size() == 3) {
                const int k = w[0] == "ship", p = w[1].mid(1).toInt();
                QVERIFY2(p > lastPeriod[k], "periods in order");
                lastPeriod[k] = p;
            }
        }
        QCOMPARE(figures, quint64(512));
        QCOMPARE(sum, figures);
        kinds.removeDuplicates();
        QVERIFY(kinds.mid(0, 3) == QStringList({"figures", "died", "still"}) && kinds.endsWith("undecided"));
        const ParsedResult parsed = ParseResult(ReadFile(one).toStdString());
        QVERIFY2(parsed.result && parsed.result->complete(), parsed.error.c_str());
        QCOMPARE(QString::fromStdString(SummaryText(parsed.result->progress.tally)), a.out);
    }

    // Interrupted by SIGINT or SIGTERM part way, the file holds a valid
    // partial result; the same command goes on and ends byte for byte as
    // the uninterrupted run.
    void interruptThenResume_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void interruptThenResume()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString whole = dir.filePath("whole.txt"), part = dir.filePath("part.txt");
        auto args = [](const QString& out) {
            return QStringList{"--columns", "4", "--rows", "4", "--threads", "1", "--out", out};
        };
        QElapsedTimer clock;
        clock.start();
        const Outcome reference = Run(args(whole));
        const qint64 length = clock.elapsed();
        QCOMPARE(reference.status, 0);
        bool interrupted = false;
        for (qint64 wait = length / 3; wait >= 20 && !interrupted; wait /= 2) {
            QFile::remove(part);
            QProcess p;
            p.start(HEXLIFE_SEARCH_PROGRAM, args(part));
            QVERIFY(p.waitForStarted());
            QTest::qWait(int(wait));
            ::kill(pid_t(p.processId()), signal);
            QVERIFY(p.waitForFinished(120000));
            if (p.exitCode() == 0) continue;  // done before the signal came: try sooner
            QCOMPARE(p.exitCode(), 128 + signal);
            QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("прервано"));
            interrupted = true;
        }
        QVERIFY2(interrupted, "the search always ended before the signal");
        const ParsedResult partial = ParseResult(ReadFile(part).toStdString());
        QVERIFY2(partial.result, partial.error.c_str());
        QVERIFY(!partial.result->complete());
        const Outcome resumed = Run(args(part));
        QCOMPARE(resumed.status, 0);
        QCOMPARE(resumed.out, reference.out);
        QCOMPARE(ReadFile(part), ReadFile(whole));
    }

    // Each fault: its exit status, a Russian message that names it, and no
    // file written (an old one left as it was).
    void badInputIsRefused()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("out.txt"), a = dir.filePath("a.txt"), b = dir.filePath("b.txt"),
                      c = dir.filePath("c.txt"), bad = dir.filePath("bad.txt"), other = dir.filePath("other.txt");
        QCOMPARE(Run({"--columns", "3", "--rows", "3", "--range", "0:300", "--out", a}).status, 0);
        QCOMPARE(Run({"--columns", "3", "--rows", "3", "--range", "200:512", "--out", b}).status, 0);
        QCOMPARE(Run({"--columns", "3", "--rows", "2", "--out", c}).status, 0);
        QCOMPARE(Run({"--columns", "2", "--rows", "2", "--out", other}).status, 0);
        QByteArray damaged = ReadFile(a);
        damaged[damaged.size() / 2] = damaged[damaged.size() / 2] == '1' ? '2' : '1';
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(damaged) == damaged.size());
        f.close();
        const QByteArray otherBefore = ReadFile(other);

        struct Case {
            QStringList args;
            int status;
            QString words;
        };
        const QList<Case> cases = {
            {{"--columns", "4", "--rows", "4", "--range", "0:65537", "--out", out}, 2, "вне пределов"},
            {{"--columns", "4", "--rows", "4", "--range", "7:7", "--out", out}, 2, "вне пределов"},
            {{"--columns", "4", "--rows", "4", "--range", "7-9", "--out", out}, 2, "диапазон"},
            {{"--columns", "7", "--rows", "1", "--out", out}, 2, "вне пределов"},
            {{"--columns", "6", "--rows", "7", "--out", out}, 2, "вне пределов"},
            {{"--columns", "0", "--rows", "3", "--out", out}, 2, "вне пределов"},
            {{"--columns", "3", "--out", out}, 2, "--rows"},
            {{"--columns", "3", "--rows", "3", "--threads", "0", "--out", out}, 2, "потоков"},
            {{"--columns", "3", "--rows", "3", "--seed", "5", "--out", out}, 2, "--sample"},
            {{"--columns", "3", "--rows", "3", "--frobnicate"}, 2, "неизвестный параметр"},
            {{"--merge", bad, "--out", out}, 2, "повреждён"},
            {{"--merge", a, c, "--out", out}, 2, "другой размер"},
            {{"--merge", a, b, "--out", out}, 2, "пересекаются"},
            {{"--merge", a, dir.filePath("missing.txt"), "--out", out}, 2, "не удалось прочитать"},
            {{"--merge", a, "--columns", "3", "--out", out}, 2, "--merge"},
            {{"--columns", "3", "--rows", "3", "--out", dir.filePath("no/such/folder.txt")}, 1, "не удалось записать"},
            {{"--columns", "3", "--rows", "3", "--out", dir.path()}, 2, "папка"},
            {{"--columns", "3", "--rows", "3", "--out", other}, 2, "другого поиска"},
            {{"--merge", a, "--rle-dir", dir.filePath("no/such/folder")}, 1, "не удалось создать папку"},
        };
        for (const Case& k : cases) {
            const Outcome o = Run(k.args);
            const QString what = k.args.join(' ') + ": " + o.err;
            QVERIFY2(o.status == k.status, qPrintable(what));
            QVERIFY2(o.err.contains(k.words) && o.err.contains(QRegularExpression("[а-яА-ЯёЁ]")), qPrintable(what));
            QVERIFY2(o.out.isEmpty(), qPrintable(what));
            QVERIFY2(!QFile::exists(out), qPrintable(what));
            QCOMPARE(ReadFile(other), otherBefore);
        }
        // Nothing left behind: no temporary file either.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);
    }

    // Each rule that is no rule of the search: status 2, rule::Message's
    // words (or the reason B0 is refused), nothing written; a result of
    // one rule is not gone on with under another, and --merge takes the
    // rule from its files.
    void badRulesAreRefused()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("out.txt"), old = dir.filePath("old.txt");
        QCOMPARE(Run({"--columns", "2", "--rows", "2", "--rule", "B2/S34H", "--out", old}).status, 0);
        const QByteArray oldBefore = ReadFile(old);
        auto message = [](const char* text) { return QString::fromStdString(rule::Message(rule::Parse(text).error)); };
        struct Case {
            QStringList args;
            QStringList words;
        };
        const QList<Case> cases = {
            {{"--rule", "B3/S23"}, {message("B3/S23"), "квадратной решётки"}},
            {{"--rule=B2o/S2"}, {message("B2o/S2"), "без «H»"}},
            {{"--rule", "B7/S2H"}, {message("B7/S2H"), "только шесть"}},
            {{"--rule", "B2c/S2H"}, {message("B2c/S2H"), "квадратной решётки"}},
            {{"--rule", "MAPabc"}, {message("MAPabc"), "22"}},
            {{"--rule", ""}, {message(""), "не задано"}},
            {{"--rule", "B0/S2H"}, {"B0/S2H с B0", "пустая клетка", "ожила бы сразу"}},
            {{"--rule=B02o/S2H"}, {"B0", "ожила бы сразу"}},
            {{"--out", out, "--rule"}, {"после --rule нужно правило"}},
            {{"--rule", "B2/S2H", "--out", old}, {"по правилу B2/S34H", "задано правило B2/S2H", "--rule"}},
            {{"--out", old}, {"по правилу B2/S34H", "задано правило B2/S2H"}},
        };
        for (const Case& k : cases) {
            QStringList args = {"--columns", "2", "--rows", "2"};
            args += k.args;
            if (!k.args.contains("--out")) args += {"--out", out};
            const Outcome o = Run(args);
            const QString what = args.join(' ') + ": " + o.err;
            QVERIFY2(o.status == 2, qPrintable(what));
            for (const QString& words : k.words) QVERIFY2(o.err.contains(words), qPrintable(words + " in " + what));
            QVERIFY2(o.out.isEmpty() && !QFile::exists(out), qPrintable(what));
            QCOMPARE(ReadFile(old), oldBefore);
        }
        const Outcome merge = Run({"--merge", old, "--rule", "B2/S34H", "--out", out});
        QVERIFY2(merge.status == 2 && merge.err.contains("--rule") && !QFile::exists(out), qPrintable(merge.err));
    }

    // A rule given reaches the result file (its canonical text, and how
    // its objects are compared), the RLE files' headers as Golly reads
    // them, and the merge of its shards; shards of two rules are refused
    // with both named.
    void theRuleReachesFilesAndShards()
    {
        QTemporaryDir dir;
        struct Case {
            QString given, line, objects, header;
        };
        const QString map = QString::fromStdString(testing::AsymmetricRule().Map());
        const QList<Case> cases = {
            {"b2/s34h", "rule B2/S34H", "objects symmetries", "rule = B2/S34H"},
            // bgolly reads no letters: a rule with them is written as its MAP.
            {"B2o/S2m34H", "rule B2o/S2m34H", "objects symmetries",
             "rule = " + QString::fromStdString(rule::Parse("B2o/S2m34H").rule->Map())},
            {map, "rule " + map, "objects translations", "rule = " + map},
        };
        int k = 0;
        for (const Case& c : cases) {
            const QString a = dir.filePath(QString("a%1.txt").arg(k)), b = dir.filePath(QString("b%1.txt").arg(k)),
                          whole = dir.filePath(QString("w%1.txt").arg(k)), rles = dir.filePath(QString("rle%1").arg(k));
            ++k;
            QCOMPARE(Run({"--columns", "3", "--rows", "3", "--rule=" + c.given, "--range", "0:200", "--out", a}).status, 0);
            QCOMPARE(Run({"--columns", "3", "--rows", "3", "--rule", c.given, "--range", "200:512", "--out", b}).status, 0);
            const Outcome merged = Run({"--merge", a, b, "--out", whole, "--rle-dir", rles});
            QVERIFY2(merged.status == 0, qPrintable(merged.err));
            for (const QString& file : {a, b, whole}) {
                const QStringList lines = QString::fromUtf8(ReadFile(file)).split('\n');
                QVERIFY2(lines.size() > 3 && lines[0] == "hexagonal-life-search 2" && lines[1] == c.line &&
                             lines[2] == c.objects,
                         qPrintable(file + ": " + lines.mid(0, 3).join(" | ")));
            }
            const rule::Rule given = *rule::Parse(c.given.toStdString()).rule;
            const QStringList files = QDir(rles).entryList({"*.rle"}, QDir::Files);
            QVERIFY(files.contains("top-01.rle"));
            for (const QString& name : files) {
                const std::string text = ReadFile(rles + "/" + name).toStdString();
                QVERIFY2(QString::fromStdString(text).contains(", " + c.header + "\n"), qPrintable(name));
                const rle::ParseResult read = rle::Parse(text);
                QVERIFY2(read.cells && read.cells->rule == given, qPrintable(name));
            }
        }
        const Outcome mixed = Run({"--merge", dir.filePath("a0.txt"), dir.filePath("b1.txt"), "--out", dir.filePath("m.txt")});
        QVERIFY2(mixed.status == 2, qPrintable(mixed.err));
        for (const QString& words : {QString("a0.txt"), QString("b1.txt"), QString("B2/S34H"), QString("B2o/S2m34H")}) {
            QVERIFY2(mixed.err.contains(words), qPrintable(words + " in " + mixed.err));
        }
    }

    // Every object's RLE file opens in the program as the result's cells,
    // and Golly runs it by the rule in its header to the stated period and
    // move (measured against a domino pair far behind it, a still p2 under
    // each rule here: a birth of two adjacent neighbours, no birth of one,
    // no survival with none or one); the long-lived figures' files hold
    // their start figures.
    void rleFilesRunInGolly_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::newRow("B2/S2H") << "B2/S2H";
        QTest::newRow("B2/S34H") << "B2/S34H";
        QTest::newRow("B2o/S2m34H") << "B2o/S2m34H";
        QTest::newRow("MAP") << QString::fromStdString(testing::AsymmetricRule().Map());
    }

    void rleFilesRunInGolly()
    {
        QFETCH(QString, rule);
        QVERIFY2(!QStandardPaths::findExecutable("bgolly").isEmpty(), "bgolly (Debian's golly) is not installed");
        QTemporaryDir dir;
        const QString out = dir.filePath("r.txt"), rles = dir.filePath("rle");
        QCOMPARE(Run({"--columns", "4", "--rows", "4", "--rule", rule, "--out", out, "--rle-dir", rles}).status, 0);
        const ParsedResult parsed = ParseResult(ReadFile(out).toStdString());
        QVERIFY(parsed.result);
        const Result& result = *parsed.result;
        QStringList faults;
        int k = 0;
        const ObjectForm* found = nullptr;
        for (const ObjectTally* t : ObjectsInOrder(result.progress.tally)) {
            const ObjectForm& f = t->form;
            if (f.period <= 2 && f.dx == 0 && f.dy == 0 && (found == nullptr || f.cells.size() < found->cells.size())) found = &f;
        }
        QVERIFY2(found != nullptr, "no still life or period-2 oscillator to anchor the moves by");
        ObjectForm anchor = *found;
        std::sort(anchor.cells.begin(), anchor.cells.end());
        for (const ObjectTally* t : ObjectsInOrder(result.progress.tally)) {
            const ObjectForm& form = t->form;
            const QString name = QString("%1/object-%2.rle").arg(rles).arg(++k, 3, 10, QChar('0'));
            const std::string text = ReadFile(name).toStdString();
            const rle::ParseResult read = rle::Parse(text);
            QVERIFY2(read.cells, qPrintable(name));
            std::vector<GollyCell> cells = form.cells;
            std::sort(cells.begin(), cells.end());
            QVERIFY2(CellsOf(*read.cells) == cells, qPrintable(name));
            // The program opens it: into the editor, or onto the field where
            // it is too large for the editor.
            const rle::Opened opened = rle::ReadAnywhere(text);
            QVERIFY2(opened.pattern || opened.field, qPrintable(name));
            QVERIFY2(opened.rule == result.rule, qPrintable(name));

            // An anchor that never moves, of period 1 or 2 (so that at
            // generation 2 × period it is in its first phase again), placed
            // 40 columns on the side the object moves away from: the
            // smallest such object the search found under this rule.
            std::int64_t width = 0;
            for (const GollyCell& c : cells) width = std::max(width, c.x + 1);
            const std::int64_t mx = form.dx > 0 ? -40 : width + 40;
            std::vector<GollyCell> start = cells;
            for (const GollyCell& c : anchor.cells) start.push_back({mx + c.x, c.y});
            QFile in(dir.filePath("in.rle"));
            QVERIFY(in.open(QIODevice::WriteOnly));
            in.write(QByteArray::fromStdString(RleOf(start, result.rule)));
            in.close();
            for (int g = 1; g <= 2 * form.period; ++g) {
                QProcess golly;
                golly.start("bgolly", {"-a", "QuickLife", "-q", "-q", "-m", QString::number(g), "-o",
                                       dir.filePath("out.rle"), in.fileName()});
                QVERIFY(golly.waitForFinished(30000) && golly.exitCode() == 0);
                const rle::ParseResult after = rle::Parse(ReadFile(dir.filePath("out.rle")).toStdString());
                QVERIFY(after.cells);
                // Split at the widest gap in x: the domino on one side.
                std::vector<GollyCell> all = CellsOf(*after.cells);
                size_t cut = 1;
                for (size_t i = 1; i < all.size(); ++i)
                    if (all[i].x - all[i - 1].x > all[cut].x - all[cut - 1].x) cut = i;
                std::vector<GollyCell> left(all.begin(), all.begin() + long(std::min(cut, all.size()))),
                    right(all.begin() + long(std::min(cut, all.size())), all.end());
                std::vector<GollyCell>& fixed = mx < 0 ? left : right;
                std::vector<GollyCell>& object = mx < 0 ? right : left;
                if (fixed.empty() || object.empty()) {
                    faults << QString("%1 after %2: %3 cells beside the anchor's %4").arg(name).arg(g).arg(object.size()).arg(fixed.size());
                    break;
                }
                std::int64_t ax = INT64_MAX, ay = INT64_MAX, ox = INT64_MAX, oy = INT64_MAX;
                for (const GollyCell& c : fixed) ax = std::min(ax, c.x), ay = std::min(ay, c.y);
                for (const GollyCell& c : object) ox = std::min(ox, c.x), oy = std::min(oy, c.y);
                const bool back = Moved(object, -ox, -oy) == cells;
                if (back != (g % form.period == 0)) {
                    faults << QString("%1 after %2: %3").arg(name).arg(g).arg(back ? "back early" : "not back");
                    break;
                }
                // At 2 × period the anchor is itself again: the object's move
                // is told against its corner, where the start had it.
                if (g == 2 * form.period) {
                    if (Moved(fixed, -ax, -ay) != anchor.cells) {
                        faults << QString("%1 after %2: the anchor is not itself").arg(name).arg(g);
                        break;
                    }
                    const std::int64_t baseX = ax - mx, baseY = ay;
                    const int periods = g / form.period;
                    if (ox - baseX != periods * form.dx || oy - baseY != periods * form.dy) {
                        faults << QString("%1 moved %2,%3 in %4 generations").arg(name).arg(ox - baseX).arg(oy - baseY).arg(g);
                    }
                }
            }
        }
        QVERIFY(k >= 3);
        k = 0;
        for (const TopEntry& e : result.progress.tally.top) {
            const QString name = QString("%1/top-%2.rle").arg(rles).arg(++k, 2, 10, QChar('0'));
            const rle::ParseResult read = rle::Parse(ReadFile(name).toStdString());
            QVERIFY2(read.cells, qPrintable(name));
            // A shape without a place: the figure wherever it stands.
            QVERIFY2(Normalised(CellsOf(*read.cells)) == Normalised(FigureCellsOf(result.box, e.figure)), qPrintable(name));
        }
        QCOMPARE(k, TopCount);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 5).join("; ")));
    }
};

QTEST_GUILESS_MAIN(TestSearchCli)
#include "test_search_cli.moc"
