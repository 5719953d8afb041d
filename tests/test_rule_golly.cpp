// Golly (bgolly) as the reference for rules: random soups stepped by the
// field's engine and by the search's bitboard on each of its kernels under
// random rules, cell for cell against bgolly's generations of the same
// soup; and the rule texts bgolly writes back.
#include <QtTest>

#include <random>
#include <set>

#include "engine/field_grid.h"
#include "engine/life_step.h"
#include "rle/rle.h"
#include "rule/rule.h"
#include "search/board.h"
#include "search/step_kernel.h"

using namespace hexlife;

namespace {

// Soups fill this box; in Generations generations nothing leaves the field's
// live area (a cell's influence moves a column and a row a generation), so
// the bounded field and Golly's unbounded plane must agree.
constexpr int BoxLeft = 62, BoxRight = 85, BoxTop = 45, BoxBottom = 68;
constexpr int Generations = 10;
static_assert(BoxLeft - Generations > 1 && BoxRight + Generations < FieldColInnerLast);
static_assert(BoxTop - Generations > 1 && BoxBottom + Generations < FieldPosLast);

using Live = std::set<rle::GollyCell>;

// The cells moved so that the least x and y are 0: bgolly writes the
// generation without its place.
Live Normalized(const Live& live)
{
    if (live.empty()) {
        return live;
    }
    std::int64_t left = live.begin()->x, top = live.begin()->y;
    for (const rle::GollyCell& c : live) {
        left = std::min(left, c.x);
        top = std::min(top, c.y);
    }
    Live moved;
    for (const rle::GollyCell& c : live) {
        moved.insert({c.x - left, c.y - top});
    }
    return moved;
}

Live LiveOf(const FieldArray& field)
{
    Live live;
    for (int n = 0; n <= FieldLast; ++n) {
        if (field[n] != 0) {
            live.insert(rle::ToGolly(FieldColumnOf(n), FieldRowOf(n)));
        }
    }
    return live;
}

// RLE text of the cells under `rule`, positioned in Golly's coordinates.
std::string RleWithRule(const Live& live, const std::string& rule)
{
    std::string text = rle::WriteCells(std::vector<rle::GollyCell>(live.begin(), live.end()), "soup");
    const std::string written = "rule = B2/S2H";
    const size_t at = text.find(written);
    Q_ASSERT(at != std::string::npos);
    return text.replace(at, written.size(), "rule = " + rule);
}

struct GollyRun {
    bool ok = false;
    QString rule;  // the rule bgolly wrote
    Live live;
    QString error;
};

GollyRun RunGolly(const QString& folder, const std::string& rleText, int generations)
{
    GollyRun run;
    const QString in = folder + "/in.rle", out = folder + "/out.rle";
    QFile::remove(out);
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly)) {
        run.error = "cannot write " + in;
        return run;
    }
    file.write(QByteArray::fromStdString(rleText));
    file.close();
    QProcess golly;
    golly.start("bgolly", {"-a", "QuickLife", "-q", "-q", "-m", QString::number(generations), "-o", out, in});
    if (!golly.waitForFinished(60000) || golly.exitCode() != 0) {
        run.error = "bgolly: " + QString::fromUtf8(golly.readAllStandardOutput() + golly.readAllStandardError());
        return run;
    }
    QFile result(out);
    if (!result.open(QIODevice::ReadOnly)) {
        run.error = "bgolly wrote no " + out;
        return run;
    }
    QString text = QString::fromUtf8(result.readAll());
    // The reader takes this program's rule only: the rule is read here and
    // the header given B2/S2H.
    static const QRegularExpression ruleItem("rule\\s*=\\s*([^,\\s]+)");
    const QRegularExpressionMatch match = ruleItem.match(text);
    if (!match.hasMatch()) {
        run.error = "no rule in bgolly's file:\n" + text;
        return run;
    }
    run.rule = match.captured(1);
    text.replace(match.capturedStart(1), match.capturedLength(1), "B2/S2H");
    const rle::ParseResult parsed = rle::Parse(text.toStdString());
    if (!parsed.cells) {
        run.error = "unreadable bgolly file: " + QString::fromStdString(rle::Message(parsed.error)) + "\n" + text;
        return run;
    }
    for (const rle::LiveRun& cells : parsed.cells->runs) {
        for (std::int64_t x = cells.x1; x <= cells.x2; ++x) {
            run.live.insert({x, cells.y});
        }
    }
    run.live = Normalized(run.live);
    run.ok = true;
    return run;
}

}  // namespace

class RuleGollyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable("bgolly").isEmpty(), "bgolly (Debian's golly) is not installed");
    }

    // 30 random totalistic rules given to bgolly in B/S notation as this
    // program writes them, 30 random isotropic rules with letters and 10
    // random tables given as MAP strings (bgolly reads no letters): the
    // field after each generation compared, and the rule bgolly writes
    // back equal to the text given.
    void soupsAgainstGolly()
    {
        std::mt19937 random(20261210);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString shapes[] = {"1", "2o", "2m", "2p", "3o", "3m", "3p", "4o", "4m", "4p", "5", "6"};
        int totalistic = 0, isotropic = 0, tables = 0;
        for (int trial = 0; trial < 70; ++trial) {
            rule::Rule rule;
            std::string given;
            if (trial < 30) {
                // No B0: Golly's plane would fill to the horizon, the field to its edge.
                rule = rule::Rule::Totalistic(unsigned(random()) & 126, unsigned(random()) & 127);
                given = rule.Text();
                totalistic += rule.IsTotalistic();
            } else if (trial < 60) {
                QString text = "B";
                for (int part = 0; part < 2; ++part) {
                    text += part == 1 && random() % 2 ? "0" : "";
                    for (const QString& shape : shapes) {
                        text += random() % 2 ? shape : "";
                    }
                    text += part == 0 ? "/S" : "H";
                }
                rule = *rule::Parse(text.toStdString()).rule;
                given = rule.Map();
                isotropic += rule.IsIsotropic() && !rule.IsTotalistic();
            } else {
                std::array<bool, rule::TableSize> table{};
                for (bool& entry : table) {
                    entry = random() % 2;
                }
                table[0] = false;
                rule = rule::Rule::FromTable(table);
                given = rule.Map();
                tables += !rule.IsIsotropic();
            }

            std::bernoulli_distribution live(0.2 + 0.05 * (trial % 5));
            FieldArray field{};
            for (int c = BoxLeft; c <= BoxRight; ++c) {
                for (int r = BoxTop; r <= BoxBottom; ++r) {
                    field[FieldCellNumber(c, r)] = live(random) ? 1 : 0;
                }
            }
            const std::string rleText = RleWithRule(LiveOf(field), given);
            std::vector<Live> generations{Normalized(LiveOf(field))};
            for (int g = 1; g <= Generations; ++g) {
                QVERIFY(!MarkGeneration(field, rule));
                ResolveGeneration(field);
                generations.push_back(Normalized(LiveOf(field)));
            }
            for (int g : {1, 2, 5, Generations}) {
                const GollyRun golly = RunGolly(dir.path(), rleText, g);
                QVERIFY2(golly.ok, qPrintable(golly.error));
                QCOMPARE(golly.rule, QString::fromStdString(given));
                QVERIFY2(golly.live == generations[size_t(g)],
                         qPrintable(QString("rule %1 (%2), generation %3: %4 cells in Golly, %5 on the field")
                                        .arg(QString::fromStdString(rule.Text()), QString::fromStdString(given))
                                        .arg(g)
                                        .arg(golly.live.size())
                                        .arg(generations[size_t(g)].size())));
            }
        }
        // The random rules are of the kinds they are meant to be.
        QCOMPARE(totalistic, 30);
        QVERIFY(isotropic >= 28);
        QCOMPARE(tables, 10);
    }

    // The search's bitboard on every kernel this processor runs: soups of
    // 14 x 14 cells under 30 random totalistic rules, 30 random isotropic
    // ones and 10 random tables, all given to bgolly as MAP strings, each
    // generation up to the tenth against bgolly's.
    void searchBoardAgainstGolly()
    {
        std::mt19937 random(20261211);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString shapes[] = {"1", "2o", "2m", "2p", "3o", "3m", "3p", "4o", "4m", "4p", "5", "6"};
        const std::vector<search::StepPath> paths = search::AvailableStepPaths();
        int totalistic = 0, isotropic = 0, tables = 0;
        for (int trial = 0; trial < 70; ++trial) {
            rule::Rule rule;
            if (trial < 30) {
                rule = rule::Rule::Totalistic(unsigned(random()) & 126, unsigned(random()) & 127);
                totalistic += rule.IsTotalistic();
            } else if (trial < 60) {
                QString text = "B";
                for (int part = 0; part < 2; ++part) {
                    text += part == 1 && random() % 2 ? "0" : "";
                    for (const QString& shape : shapes) {
                        text += random() % 2 ? shape : "";
                    }
                    text += part == 0 ? "/S" : "H";
                }
                rule = *rule::Parse(text.toStdString()).rule;
                isotropic += rule.IsIsotropic() && !rule.IsTotalistic();
            } else {
                std::array<bool, rule::TableSize> table{};
                for (bool& entry : table) {
                    entry = random() % 2;
                }
                table[0] = false;
                rule = rule::Rule::FromTable(table);
                tables += !rule.IsIsotropic();
            }
            const search::StepRule compiled(rule);
            std::bernoulli_distribution live(0.2 + 0.1 * (trial % 5));
            std::vector<rle::GollyCell> cells;
            for (std::int64_t y = 0; y < 14; ++y) {
                for (std::int64_t x = 0; x < 14; ++x) {
                    if (live(random)) {
                        cells.push_back({x - 7, y + 3});
                    }
                }
            }
            const std::string rleText = RleWithRule(Live(cells.begin(), cells.end()), rule.Map());
            std::vector<Live> golly(Generations + 1);
            for (int g : {1, 2, 3, 5, Generations}) {
                const GollyRun run = RunGolly(dir.path(), rleText, g);
                QVERIFY2(run.ok, qPrintable(run.error));
                golly[size_t(g)] = run.live;
            }
            const search::StepPath was = search::CurrentStepPath();
            for (search::StepPath path : paths) {
                search::SetStepPath(path);
                search::Board board;
                board.setRule(compiled);
                board.set(cells);
                for (int g = 1; g <= Generations; ++g) {
                    board.step();
                    if (g != 1 && g != 2 && g != 3 && g != 5 && g != Generations) {
                        continue;
                    }
                    const std::vector<rle::GollyCell> now = board.cells();
                    const Live got = Normalized(Live(now.begin(), now.end()));
                    QVERIFY2(got == golly[size_t(g)],
                             qPrintable(QString("%1: rule %2, generation %3: %4 cells in Golly, %5 on the board")
                                            .arg(search::StepPathName(path), QString::fromStdString(rule.Map()))
                                            .arg(g)
                                            .arg(golly[size_t(g)].size())
                                            .arg(got.size())));
                }
            }
            search::SetStepPath(was);
        }
        QCOMPARE(totalistic, 30);
        QVERIFY(isotropic >= 28);
        QCOMPARE(tables, 10);
    }

    // Texts Golly reads as one rule: the rule bgolly writes back is this
    // program's canonical text or MAP string of it.
    void canonicalTextAsGollyWritesIt_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* text : {"B2/S2H", "2/2H", "34/2H", "b2/s34h", "B2S34H", "S34B2H", "S34/B2H", "B246H", "/2H",
                                 "B/SH", "B0123456/S0123456H", "MAPFgFoF2gXgH5oF4B+gH4A6A==",
                                 "mapFgFoF2gXgH5oF4B+gH4A6A"}) {
            QTest::newRow(text) << QString(text);
        }
    }
    void canonicalTextAsGollyWritesIt()
    {
        QFETCH(QString, text);
        const rule::ParseResult parsed = rule::Parse(text.toStdString());
        QVERIFY(parsed.rule);
        QTemporaryDir dir;
        const Live glider = {{0, 0}, {1, 0}, {1, 1}, {2, 2}};
        const GollyRun golly = RunGolly(dir.path(), RleWithRule(glider, text.toStdString()), 0);
        QVERIFY2(golly.ok, qPrintable(golly.error));
        const bool map = text.startsWith("MAP", Qt::CaseInsensitive);
        QCOMPARE(golly.rule, QString::fromStdString(map ? parsed.rule->Map() : parsed.rule->Text()));
    }
};

QTEST_APPLESS_MAIN(RuleGollyTest)
#include "test_rule_golly.moc"
