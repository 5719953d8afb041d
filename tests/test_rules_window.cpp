// Rules in the window: runs by a rule, changed mid-run, cell for cell
// against the plain reference step; the rule named in the status strip,
// the plot, the key list and the thumbnails' fates; the dialog's check as
// the text is typed; files that carry their rule in and out, one change to
// undo; --rule on the command line.
#include <QtTest>

#include <QAction>

#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoStack>
#include <random>

#include "app/rule_dialog.h"
#include "commands/command_table.h"
#include "dialogs.h"
#include "field_helpers.h"
#include "figures/catalogue.h"
#include "history/colony_plot.h"
#include "reference/reference_engine.h"
#include "rle/pattern_files.h"
#include "rle/rle.h"

using namespace hexlife;

namespace {

rule::Rule RuleOf(const char* text)
{
    const rule::ParseResult read = rule::Parse(text);
    Q_ASSERT(read.rule);
    return *read.rule;
}

// A table of 128 entries at random, without B0.
rule::Rule RandomTable(std::mt19937& random)
{
    std::array<bool, rule::TableSize> next{};
    for (int i = 1; i < rule::TableSize; ++i) next[size_t(i)] = random() % 3 == 0;
    return rule::Rule::FromTable(next);
}

FieldArray Soup(std::mt19937& random, int columns, int rows, int percent)
{
    FieldArray field{};
    FillRandom(field, CentredRect(columns, rows), percent, random());
    return field;
}

void Slow(MainWindow& w)
{
    while (w.Run.canGoSlower()) w.RunSlower();
}

}  // namespace

class RulesWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Soups run in the window by a rule, the rule changed halfway through
    // a paused run: every generation and count as the plain step gives,
    // the run ending where the reference's does, the fate judged from the
    // change; the thumbnails' way (RunToEnd) ends where the window does.
    void runsByTheRuleAsTheReference()
    {
        std::mt19937 random(7);
        const std::vector<rule::Rule> rules = {RuleOf("B2/S34H"), RuleOf("B2o/S2m34H"), RuleOf("B245/S3H"),
                                               RandomTable(random), RuleOf("B0/S2H"), rule::Rule()};
        for (size_t i = 0; i < rules.size(); ++i) {
            const rule::Rule& first = rules[i];
            const rule::Rule& second = rules[(i + 1) % rules.size()];
            const QString where = QString::fromStdString(first.Text() + " then " + second.Text());
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            Slow(w);
            w.ChangeRule(first);
            QCOMPARE(w.FieldRule, first);
            const FieldArray start = Soup(random, 30, 30, 35);
            w.PutOnField(start, "soup");

            // The window's thumbnails' way to the end, by the same rule.
            const RunHistory alone = RunToEnd(start, first);
            const reference::Run plain = reference::RunToEnd(start, first);
            QCOMPARE(alone.endCount(), plain.cycleCount);

            reference::Run run;
            run.cells = start;
            reference::Tick(run, first);
            const int changeAt = 20;
            for (int tick = 1; run.running; ++tick) {
                QVERIFY2(w.FieldCells == run.cells && w.CycleCount == run.cycleCount,
                         qPrintable(where + QString(": count %1, reference %2").arg(w.CycleCount).arg(run.cycleCount)));
                QVERIFY2(w.Run.running(), qPrintable(where));
                if (tick == changeAt) {
                    // The generation shown runs once more, by the new rule.
                    w.ChangeRule(second);
                    run.cells = run.drawn;
                    --run.cycleCount;
                    reference::Tick(run, second);
                    QCOMPARE(w.History.size(), run.cycleCount + 1);
                    continue;
                }
                w.RunStep();
                reference::Tick(run, tick < changeAt ? first : second);
            }
            QVERIFY2(w.FieldCells == run.cells && w.CycleCount == run.cycleCount, qPrintable(where));
            QVERIFY2(!w.Run.running() && w.History.ended() != RunEnd::None, qPrintable(where));
            QCOMPARE(w.History.endCount(), run.cycleCount);
            if (run.cycleCount > changeAt + 1 && w.History.repetition()) {
                QVERIFY2(w.History.repetition()->first >= changeAt - 1, qPrintable(where));
            }
        }
    }

    // Wherever the fate is told, a rule other than B2/S2 is named, and the
    // thumbnails' fates follow the rule, worked out again in their thread.
    void theRuleIsNamedWhereverItRuns()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY_WITH_TIMEOUT(!w.Picture2[25]->toolTip().isEmpty(), 120000);
        const QString b2s2Fate = w.Picture2[4]->toolTip();
        QVERIFY(!b2s2Fate.contains("правило"));
        w.Picture2_MouseUp(4, 1, 0, 0, 0);
        w.Command1_Click();
        w.RunPause();
        QVERIFY(w.Label4->text().isEmpty() || !w.Label4->text().contains("B2/S"));
        w.ShowPlot();
        w.ShowKeyList();
        QCOMPARE(w.Plot->windowTitle(), QString("Ход колонии"));

        const rule::Rule rule = RuleOf("B2/S34H");
        w.ChangeRule(rule);
        QVERIFY2(w.Label4->text().startsWith("B2/S34H"), qPrintable(w.Label4->text()));
        QVERIFY(w.Label4->toolTip().contains("B2/S34H"));
        QVERIFY(w.Label4->accessibleName().contains("B2/S34H"));
        QVERIFY(w.Plot->windowTitle().contains("B2/S34H"));
        QVERIFY(w.KeyList->windowTitle().contains("B2/S34H"));
        for (int k = 0; k < FigureCount; ++k) {
            const QString expected = QString("Фигура %1, правило B2/S34H. ").arg(k + 1) +
                                     QString::fromStdString(RunToEnd(FigureOnField(k), rule).verdictDetail());
            QTRY_COMPARE_WITH_TIMEOUT(w.Picture2[k]->toolTip(), expected, 120000);
            QCOMPARE(w.Picture2[k]->accessibleDescription(), expected);
        }
        // Undone, B2/S2 again everywhere.
        w.UndoEdit();
        QCOMPARE(w.FieldRule, rule::Rule());
        QVERIFY(!w.Label4->text().contains("B2/S34H"));
        QCOMPARE(w.Plot->windowTitle(), QString("Ход колонии"));
        QCOMPARE(w.KeyList->windowTitle(), QString("Клавиши и команды"));
        QTRY_COMPARE_WITH_TIMEOUT(w.Picture2[4]->toolTip(), b2s2Fate, 120000);
    }

    // The dialog reads the text as it is typed: OK only for a rule, the
    // reason in Russian otherwise, and the rule's MAP string.
    void dialogChecksAsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("says");
        QTest::newRow("totalistic") << "B2/S34H" << true << "Правило B2/S34H, по числу соседей.";
        QTest::newRow("Golly's S/B form") << "34/2H" << true << "Правило B2/S34H";
        QTest::newRow("letters") << "b2o/s2m34h" << true << "Правило B2o/S2m34H, по числу соседей и тому, как они стоят.";
        QTest::newRow("minus") << "B2o3-o4m/S12m3o4m5H" << true << "B2o3mp4m/S12m3o4m5H";
        QTest::newRow("B0") << "B0/S2H" << true << "(B0)";
        QTest::newRow("not isotropic") << "MAPAAAAAAAAAAAAAAAAAAAAAg" << true << "не симметричное";
        QTest::newRow("square grid") << "B3/S23" << false << "Правило «B3/S23» — для квадратной решётки";
        QTest::newRow("seven neighbours") << "B2/S27H" << false << "шесть соседей";
        QTest::newRow("no H") << "B2o/S2" << false << "без «H»";
        QTest::newRow("empty") << "" << false << "Правило не задано";
        QTest::newRow("Generations") << "B2/S2/C3" << false << "Generations";
        QTest::newRow("short MAP") << "MAPFgFoF2gXg" << false << "нужно 22";
    }
    void dialogChecksAsTyped()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QString, says);
        RuleDialog dialog(rule::Rule{});
        QVERIFY(dialog.ok->isEnabled());
        dialog.text->clear();
        QTest::keyClicks(dialog.text, text);
        QCOMPARE(dialog.ok->isEnabled(), ok);
        QCOMPARE(dialog.rule().has_value(), ok);
        QVERIFY2(dialog.check->text().contains(says), qPrintable(dialog.check->text()));
        const rule::ParseResult read = rule::Parse(text.toStdString());
        QCOMPARE(dialog.map->text(), ok ? QString::fromStdString(read.rule->Map()) : QString("—"));
        if (!ok) QVERIFY(dialog.check->text().contains(QString::fromStdString(rule::Message(read.error)).mid(1)));
    }

    // Each rule offered reads, is picked by a click, and is chosen by OK;
    // every control has a Russian name.
    void dialogOffersRulesThatRead()
    {
        RuleDialog dialog(RuleOf("B2/S34H"));
        QCOMPARE(dialog.text->text(), QString("B2/S34H"));
        QCOMPARE(dialog.known->count(), KnownRuleCount);
        QCOMPARE(QString(KnownRules[0].text), QString::fromStdString(rule::Rule().Text()));
        for (int i = 0; i < KnownRuleCount; ++i) {
            dialog.known->setCurrentRow(i);
            QCOMPARE(dialog.text->text(), QString(KnownRules[i].text));
            QVERIFY(dialog.ok->isEnabled());
            QCOMPARE(QString::fromStdString(dialog.rule()->Text()), QString(KnownRules[i].text));
        }
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (control->isWindow() || !control->focusPolicy()) continue;
            if (qobject_cast<QLineEdit*>(control) || qobject_cast<QPushButton*>(control) ||
                qobject_cast<QListWidget*>(control)) {
                QVERIFY(control->accessibleName().contains(QRegularExpression("[А-Яа-я]")));
            }
        }

        // From the window: the dialog answered, the rule changed once.
        // The table's command on Ctrl+U, triggered as its key or menu entry
        // does: offscreen, a key can reach a window not yet active, where no
        // shortcut is matched.
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QAction* ruleAction = nullptr;
        for (int r = 0; r < w.Commands->size(); ++r) {
            if (w.Commands->command(r).keys.contains(QKeySequence(Qt::CTRL | Qt::Key_U))) ruleAction = w.Commands->action(r);
        }
        QVERIFY(ruleAction != nullptr && ruleAction->isEnabled());
        // Answered from its own loop: a dialog accepted while exec() is
        // still showing it, before its loop runs, waits on a loop no one
        // ends.
        bool answered = false;
        const QStringList seen = testing::Dismissed([&] { ruleAction->trigger(); },
                                                    [&answered](QWidget* modal) {
                                                        auto* rules = qobject_cast<RuleDialog*>(modal);
                                                        QVERIFY(rules != nullptr);
                                                        if (answered) return;
                                                        answered = true;
                                                        QTimer::singleShot(0, rules, [rules] {
                                                            rules->text->setText("B245/S3H");
                                                            rules->ok->click();
                                                        });
                                                    });
        QVERIFY2(!seen.isEmpty() && seen[0].startsWith("hexlife::RuleDialog"), qPrintable(seen.join("; ")));
        QTRY_VERIFY2(w.FieldRule == RuleOf("B245/S3H"), qPrintable(QString::fromStdString(w.FieldRule.Text())));
        QCOMPARE(w.Undo->count(), 1);
        QCOMPARE(w.Undo->undoText(), QString("правило B245/S3H"));
    }

    // Saved and copied, the field and the pattern carry the rule; opened
    // or pasted, a pattern of another rule switches to it in the same
    // change, said in the status strip, and undone gives both back.
    void filesCarryTheRule()
    {
        QTemporaryDir dir;
        std::mt19937 random(3);
        const rule::Rule rule = RuleOf("B2o/S2m34H");
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.ChangeRule(rule);
        w.PutOnField(Soup(random, 40, 40, 30), "soup");
        const QString path = dir.filePath("field.rle");
        QVERIFY(w.SaveFieldRleTo(path));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(saved.readAll());
        // Letters as bgolly reads them: the MAP string.
        const QString header = ", rule = " + QString::fromStdString(rule.Map()) + "\n";
        QVERIFY2(text.contains(header), qPrintable(text));
        w.CopyField();
        QVERIFY(QGuiApplication::clipboard()->text().contains(header));

        // The field opened in a window of B2/S2: its rule comes with it.
        MainWindow other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        const int entries = other.Undo->count();
        QVERIFY(other.Files->open(path));
        QCOMPARE(other.Undo->count(), entries + 1);
        QCOMPARE(other.FieldRule, rule);
        QCOMPARE(other.Work->shownField(), w.Work->shownField());
        QVERIFY2(other.Label4->text().contains("B2o/S2m34H"), qPrintable(other.Label4->text()));
        other.UndoEdit();
        QCOMPARE(other.FieldRule, rule::Rule());
        QCOMPARE(other.Work->shownField(), FieldArray{});

        // A figure of another rule into the editor of a paused run: one
        // change of the pattern and the rule; the run goes on by the rule.
        other.Picture2_MouseUp(9, 1, 0, 0, 0);
        other.Command1_Click();
        for (int i = 0; i < 12; ++i) other.Timer1_Timer();
        other.RunPause();
        const FieldArray shown = other.Work->shownField();
        const int count = other.CycleCount;
        const PatternArray pattern = other.PatternCells;
        const rule::Rule table = RandomTable(random);
        PatternArray figure{};
        figure[PatternColLen * 6 + 5] = figure[PatternColLen * 6 + 6] = figure[PatternColLen * 7 + 5] = 1;
        QGuiApplication::clipboard()->setText(QString::fromStdString(rle::WritePattern(figure, "x", table)));
        QVERIFY(QGuiApplication::clipboard()->text().contains("rule = " + QString::fromStdString(table.Map())));
        QVERIFY(other.Files->paste());
        QCOMPARE(other.FieldRule, table);
        QCOMPARE(other.PatternCells, figure);
        QVERIFY(other.Label4->text().contains("Правило фигуры"));
        QCOMPARE(other.History.size(), other.CycleCount + 1);  // the later generations dropped
        other.Files->copy();
        QVERIFY(QGuiApplication::clipboard()->text().contains("rule = " + QString::fromStdString(table.Map())));
        other.UndoEdit();
        QCOMPARE(other.FieldRule, rule::Rule());
        QCOMPARE(other.PatternCells, pattern);
        QCOMPARE(other.Work->shownField(), shown);
        QCOMPARE(int(other.CycleCount), count);

        // A rule of another grid is refused in the rule's own words.
        QGuiApplication::clipboard()->setText("x = 1, y = 1, rule = B3/S23V\no!\n");
        const QStringList said = testing::Dismissed([&] { QVERIFY(!other.Files->paste()); });
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().contains("окрестности фон Неймана"), qPrintable(said.first()));
        QCOMPARE(other.FieldRule, rule::Rule());
    }

    // --rule sets the start's rule; one that does not read ends the
    // program with status 2 and the reason, in Russian.
    void commandLineRule()
    {
        QProcess program;
        program.start(QCoreApplication::applicationDirPath() + "/../hexagonal-life", {"--rule", "B3/S23"});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(QString::fromUtf8(program.readAllStandardError()).contains("для квадратной решётки"));
        program.start(QCoreApplication::applicationDirPath() + "/../hexagonal-life", {"--help"});
        QVERIFY(program.waitForFinished(60000));
        QVERIFY(QString::fromUtf8(program.readAllStandardOutput()).contains("--rule"));
    }
};

QTEST_MAIN(RulesWindowTest)
#include "test_rules_window.moc"
