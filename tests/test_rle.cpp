// RLE patterns: round trips, the reading of Golly's and hand-written files,
// Golly itself (bgolly) as the reference for the format, the rule B2/S2H
// and the window's files under other rules, a randomized reader that never crashes or hangs, and the window's
// open, save, copy, paste and drop, where every failure leaves everything as
// it was.
#include <QtTest>

#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <random>
#include <set>

#include "engine/life_step.h"
#include "field_helpers.h"
#include "figures/catalogue.h"
#include "reference/reference_engine.h"
#include "rle/pattern_files.h"
#include "rle/rle.h"

using namespace hexlife;
using namespace hexlife::rle;

namespace {

PatternArray FigurePattern(int figure)
{
    PatternArray pattern{};
    const auto cells = FigureCells(figure);
    for (int c = 0; c < FigureCellCount; ++c) {
        pattern[FigureFirst + PatternColLen * (c / FigureColLen) + c % FigureColLen] = std::int8_t(cells[c]);
    }
    return pattern;
}

// Live cells in Golly's coordinates, moved so that the least x and y are 0:
// the shape, wherever it stands.
using Shape = std::set<GollyCell>;
Shape Normalized(const std::vector<GollyCell>& cells)
{
    Shape shape;
    if (cells.empty()) {
        return shape;
    }
    std::int64_t left = cells.front().x, top = cells.front().y;
    for (const GollyCell& c : cells) {
        left = std::min(left, c.x);
        top = std::min(top, c.y);
    }
    for (const GollyCell& c : cells) {
        shape.insert({c.x - left, c.y - top});
    }
    return shape;
}

Shape ShapeOfText(const QByteArray& text)
{
    const ParseResult parsed = Parse(std::string_view(text.constData(), size_t(text.size())));
    std::vector<GollyCell> cells;
    if (parsed.cells) {
        for (const LiveRun& run : parsed.cells->runs) {
            for (std::int64_t x = run.x1; x <= run.x2; ++x) {
                cells.push_back({x, run.y});
            }
        }
    }
    return Normalized(cells);
}

// The shape of a grid's live cells, columns of `columnLength` cells.
template <typename Grid>
Shape ShapeOfGrid(const Grid& grid, int columnLength)
{
    std::vector<GollyCell> cells;
    for (size_t i = 0; i + 1 < grid.size(); ++i) {
        if (grid[i] != 0) {
            cells.push_back(ToGolly(int(i) / columnLength, int(i) % columnLength));
        }
    }
    return Normalized(cells);
}
Shape ShapeOfPattern(const PatternArray& pattern) { return ShapeOfGrid(pattern, PatternColLen); }
Shape ShapeOfField(const FieldArray& field) { return ShapeOfGrid(field, FieldColLen); }

ReadResult Read(const std::string& text) { return ReadPattern(text); }

// The text of a message box the next call opens, closed at once.
QString NextMessage(const std::function<void()>& action)
{
    QString text;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        }
    });
    action();
    return text;
}

}  // namespace

class RleTest : public QObject {
    Q_OBJECT
private slots:
    void roundTrip()
    {
        std::mt19937 random(20261209);
        for (int trial = 0; trial < 26 + 400; ++trial) {
            PatternArray pattern{};
            if (trial < 26) {
                pattern = FigurePattern(trial);
            } else {
                std::bernoulli_distribution live(0.05 + 0.9 * (trial % 10) / 10.0);
                for (int i = 0; i <= PatternLast; ++i) {
                    pattern[i] = live(random) ? 1 : 0;
                }
            }
            const std::string text = WritePattern(pattern, "round trip");
            const ReadResult read = Read(text);
            QVERIFY2(read.pattern, qPrintable(QString::fromStdString(text)));
            QVERIFY2(*read.pattern == pattern, qPrintable(QString::fromStdString(text)));
            // Lines of at most 70 characters, one header, "!" last.
            const QStringList lines = QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
            QVERIFY(lines[0].startsWith("#N round trip") && lines[1].startsWith("#C "));
            QVERIFY(lines[3].startsWith("x = ") && lines[3].endsWith(", rule = B2/S2H"));
            QVERIFY(lines.last().endsWith('!'));
            for (const QString& line : lines.mid(4)) {
                QVERIFY(line.size() <= RleLineWidth);
            }
        }
    }

    void readsGollyAndHandWrittenFiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("same");  // a file with the same cells, or empty: an error
        const QString glider = "x = 3, y = 2, rule = B2/S2H\n2o$bo!\n";
        QTest::newRow("plain") << glider << glider;
        QTest::newRow("comments, no rule, CR LF") << "#N name\r\n#O someone\r\n#C text\r\nx = 3, y = 2\r\n2o$bo!\r\n" << glider;
        QTest::newRow("spaces and line breaks") << "x=3,y=2,rule=b2/s2h\n 2 o\n$\nb o !" << glider;
        QTest::newRow("no header, no !") << "oo$.o" << glider;
        QTest::newRow("dots and A") << "x = 3, y = 2, rule = 2/2H\n2A$.A!\n" << glider;
        QTest::newRow("S/B spelling") << "x = 3, y = 2, rule = S2/B2H\n2o$bo!" << glider;
        QTest::newRow("dollar runs, trailing b") << "x = 1, y = 3\no3b2$o!\n" << "o$$o!";
        QTest::newRow("text after !") << "2o$bo!\nanything at all\n" << glider;
        QTest::newRow("Moore B2/S2") << "x = 3, y = 2, rule = B2/S2\n2o$bo!" << "";
        QTest::newRow("B3/S23") << "x = 3, y = 2, rule = B3/S23\n2o$bo!" << "";
        QTest::newRow("bounded grid") << "x = 3, y = 2, rule = B2/S2H:T10,10\n2o$bo!" << "";
        QTest::newRow("three states") << "x = 3, y = 2, rule = B2/S2H\n2B$bA!" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("prose") << "Hello, world!" << "";
        QTest::newRow("ends in a count") << "x = 3, y = 2\n2o$b12" << "";
        QTest::newRow("header cut") << "x = 3, y" << "";
        QTest::newRow("count overflow") << "99999999999999999999o!" << "";
        QTest::newRow("too wide") << "15o!" << "";
        QTest::newRow("too tall") << "o12$o!" << "";
    }
    void readsGollyAndHandWrittenFiles()
    {
        QFETCH(QString, text);
        QFETCH(QString, same);
        const ReadResult read = Read(text.toStdString());
        if (same.isEmpty()) {
            QVERIFY(!read.pattern);
            QVERIFY(!Message(read.error).empty());
        } else {
            QVERIFY2(read.pattern, Message(read.error).c_str());
            QCOMPARE(ShapeOfPattern(*read.pattern), ShapeOfText(same.toUtf8()));
        }
    }

    void errorsSayWhat()
    {
        auto message = [](const std::string& text) { return QString::fromStdString(Message(Read(text).error)); };
        QVERIFY(message("x = 1, y = 1, rule = B3/S23\no!").contains("B3/S23"));
        // Named by Golly's own size: a row of 15 cells.
        QVERIFY(message("15o!").contains("15 × 1 ") && message("15o!").contains("14 × 11"));
        QVERIFY(message("o$$$$$$$$$$$o!").contains("1 × 12"));
        // A character is named as written, with its line and column counted
        // in characters; a byte that is no UTF-8, or a control character, by
        // its code.
        const struct {
            std::string text;
            const char* says;
        } characters[] = {
            {"x = 1, y = 1\nq!", "«q» в нём не встречается (строка 2, столбец 1)"},
            {"Привет", "«П» в нём не встречается (строка 1, столбец 1)"},
            {"2o$\n3oЖ!", "«Ж» в нём не встречается (строка 2, столбец 3)"},
            {"oo日!", "«日» в нём не встречается (строка 1, столбец 3)"},
            {"o\xF0\x9F\x98\x80!", "«\xF0\x9F\x98\x80» в нём не встречается (строка 1, столбец 2)"},
            {"oo\xD0!", "«0xD0» в нём не встречается (строка 1, столбец 3)"},
            {"o\xC0\x80!", "«0xC0» в нём не встречается (строка 1, столбец 2)"},
            {"o\xED\xA0\x80!", "«0xED» в нём не встречается (строка 1, столбец 2)"},
            {"o\x07!", "«0x07» в нём не встречается (строка 1, столбец 2)"},
        };
        for (const auto& c : characters) {
            QVERIFY2(message(c.text).contains(QString::fromUtf8(c.says)), qPrintable(message(c.text)));
        }
        QVERIFY(message(std::string(MaxPatternFileBytes + 1, 'o')).contains("1 МБ"));
    }

    // Golly is the reference: the saved figures evolve in bgolly exactly as
    // on the field, and what bgolly writes opens to the same pattern.
    void againstGolly()
    {
        QVERIFY2(!QStandardPaths::findExecutable("bgolly").isEmpty(), "bgolly (Debian's golly) is not installed");
        QTemporaryDir dir;
        int compared = 0;
        for (int figure = 0; figure < FigureCount; ++figure) {
            const PatternArray pattern = FigurePattern(figure);
            const QString in = dir.filePath("in.rle"), out = dir.filePath("out.rle");
            QFile file(in);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString(WritePattern(pattern, "figure")));
            file.close();

            reference::Run run;
            run.cells = reference::PlacePattern(pattern);
            const int length = reference::RunToEnd(run.cells).cycleCount;
            // Generations before the run can reach its frame, where the field ends.
            for (int generations : {0, 1, 7, 30, std::min(100, length - 1)}) {
                if (generations < 0 || generations >= length) {
                    continue;
                }
                QProcess golly;
                golly.start("bgolly", {"-a", "QuickLife", "-q", "-q", "-m", QString::number(generations), "-o", out, in});
                QVERIFY2(golly.waitForFinished(30000) && golly.exitCode() == 0, golly.readAllStandardError().constData());
                QFile result(out);
                QVERIFY(result.open(QIODevice::ReadOnly));
                const QByteArray text = result.readAll();
                reference::Run field;
                field.cells = reference::PlacePattern(pattern);
                for (int g = 0; g < generations; ++g) {
                    reference::Tick(field);
                }
                QVERIFY2(ShapeOfText(text) == ShapeOfField(field.cells),
                         qPrintable(QString("figure %1 after %2 generations:\n%3").arg(figure).arg(generations).arg(text)));
                if (generations == 0) {
                    const ReadResult read = ReadPattern(text.toStdString());
                    QVERIFY(read.pattern);
                    QCOMPARE(ShapeOfPattern(*read.pattern), ShapeOfPattern(pattern));
                }
                ++compared;
            }
        }
        QVERIFY(compared > 3 * FigureCount);
    }

    // Under other rules too: random soups on the window's field, saved by
    // the window under a rule, run in bgolly as far as they cannot reach
    // the field's edge, are cell for cell the window's run; what bgolly
    // writes back reads as the same rule, and the saved file opens in
    // another window with its rule, its cells where they stood.
    void windowRulesAgainstGolly()
    {
        QVERIFY2(!QStandardPaths::findExecutable("bgolly").isEmpty(), "bgolly (Debian's golly) is not installed");
        QTemporaryDir dir;
        std::mt19937 random(41);
        std::array<bool, rule::TableSize> table{};
        for (int i = 1; i < rule::TableSize; ++i) table[size_t(i)] = random() % 3 == 0;
        const std::vector<rule::Rule> rules = {*rule::Parse("B2/S34H").rule, *rule::Parse("B245/S3H").rule,
                                               *rule::Parse("B2o/S2m34H").rule, rule::Rule::FromTable(table)};
        const int generations = 12;
        for (const rule::Rule& rule : rules) {
            for (int soup = 0; soup < 2; ++soup) {
                const QString where = QString::fromStdString(rule.Text()) + QString(", soup %1").arg(soup);
                FieldArray start{};
                FillRandom(start, CentredRect(24, 24), 35, random());
                MainWindow w;
                w.ChangeRule(rule);
                w.PutOnField(start, "soup");
                const QString in = dir.filePath("in.rle"), out = dir.filePath("out.rle");
                QFile::remove(out);
                QVERIFY(w.SaveFieldRleTo(in));
                QProcess golly;
                golly.start("bgolly", {"-a", "QuickLife", "-q", "-q", "-m", QString::number(generations), "-o", out, in});
                QVERIFY2(golly.waitForFinished(60000) && golly.exitCode() == 0,
                         qPrintable(where + ": " + golly.readAllStandardOutput() + golly.readAllStandardError()));
                QFile result(out);
                QVERIFY(result.open(QIODevice::ReadOnly));
                const QByteArray text = result.readAll();
                const ParseResult back = Parse(text.toStdString());
                QVERIFY2(back.cells && back.cells->rule == rule, qPrintable(where + ":\n" + text));

                for (int g = 0; g < generations; ++g) w.RunStep();
                QCOMPARE(w.Work->shownGeneration(), generations);
                QVERIFY2(!ShapeOfText(text).empty(), qPrintable(where));
                QVERIFY2(ShapeOfText(text) == ShapeOfField(w.Work->shownField()), qPrintable(where + ":\n" + text));

                MainWindow other;
                QVERIFY(other.Files->open(in));
                QCOMPARE(other.FieldRule, rule);
                QVERIFY2(other.Work->shownField() == start, qPrintable(where));
            }
        }
    }

    // Valid files cut, with bytes flipped, counts blown up and junk spliced
    // in: every result is a pattern or an error with a message. Replay a
    // seed with HEXLIFE_SEED, set the count with HEXLIFE_MUTATIONS.
    void randomizedReaderNeverFails()
    {
        bool ok = false;
        const unsigned seed = unsigned(qEnvironmentVariableIntValue("HEXLIFE_SEED", &ok));
        std::mt19937 random(ok ? seed : 20261209u);
        const int mutations = qEnvironmentVariableIsSet("HEXLIFE_MUTATIONS")
                                  ? qEnvironmentVariableIntValue("HEXLIFE_MUTATIONS") : 20000;
        auto pick = [&](size_t n) { return size_t(random() % std::max<size_t>(n, 1)); };
        const char alphabet[] = "0123456789bo.A$!#xy=, \n\r-BpqzZ\x00\xff";
        int patterns = 0, errors = 0;
        for (int m = 0; m < mutations; ++m) {
            std::string text = WritePattern(FigurePattern(int(pick(FigureCount))), "fuzz");
            for (int edits = int(pick(4)) + 1; edits > 0; --edits) {
                const size_t at = pick(text.size() + 1);
                switch (pick(5)) {
                case 0: text.resize(at); break;
                case 1: if (at < text.size()) text[at] = char(random()); break;
                case 2: text.insert(at, std::to_string(random()) + std::to_string(random())); break;
                case 3: text.insert(at, 1, alphabet[pick(sizeof alphabet - 1)]); break;
                default: for (size_t n = pick(40); n > 0; --n) text.insert(text.begin() + long(std::min(at, text.size())), char(random())); break;
                }
            }
            const ReadResult read = ReadPattern(text);
            if (read.pattern) {
                ++patterns;
                for (std::int8_t cell : *read.pattern) {
                    QVERIFY(cell == 0 || cell == 1);
                }
            } else {
                ++errors;
                QVERIFY2(!Message(read.error).empty(), text.c_str());
            }
        }
        qInfo("%d mutations: %d patterns, %d errors", mutations, patterns, errors);
        QVERIFY(patterns > 0 && errors > 0);
    }

    // Each way a file can be wrong gets one message box, and the running
    // colony, the pattern, the field and the editor stay as they were.
    void badInputChangesNothing()
    {
        QTemporaryDir dir;
        auto write = [&](const QString& name, const QByteArray& content) {
            QFile file(dir.filePath(name));
            file.open(QIODevice::WriteOnly);
            file.write(content);
            return file.fileName();
        };
        QByteArray junk(4096, '\0');
        std::mt19937 random(3);
        for (char& c : junk) {
            c = char(random());
        }
        const QStringList files = {
            dir.filePath("missing.rle"),
            dir.path(),
            write("prose.rle", "Just some words."),
            write("cut.rle", "x = 3, y = 2, rule = B2/S2H\n2o$b3"),
            write("overflow.rle", "x = 3, y = 2\n123456789012345678901234567890o!"),
            write("wide.rle", "x = 200, y = 1, rule = B2/S2H\n200o!"),
            write("big.rle", QByteArray(MaxPatternFileBytes + 10, 'o')),
            write("junk.rle", junk),
            write("rule.rle", "x = 1, y = 1, rule = B3/S23\no!"),
        };
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Picture2_MouseUp(0, 1, 0, 0, 0);
        w.Command1_Click();
        for (int tick = 0; tick < 5; ++tick) {
            w.Timer1_Timer();
        }
        // Paused, so that no tick runs while a message box is open.
        w.RunPause();
        const PatternArray pattern = w.PatternCells;
        for (const QString& file : files) {
            const FieldArray field = w.FieldCells;
            const QImage image = w.Picture1->surface().image();
            bool opened = true;
            const QString message = NextMessage([&] { opened = w.Files->open(file); });
            QVERIFY2(!opened && !message.isEmpty(), qPrintable(file));
            QVERIFY(w.Run.running() && w.Run.paused());
            QVERIFY(w.PatternCells == pattern && w.FieldCells == field && w.Picture1->surface().image() == image);
            QVERIFY(!w.Picture3->isVisible() && !w.Command1->isEnabled());
        }
        QGuiApplication::clipboard()->setText("not a pattern at all");
        QVERIFY(!NextMessage([&] { w.Files->paste(); }).isEmpty());
        QVERIFY(w.Run.paused() && w.PatternCells == pattern);
        QVERIFY(!NextMessage([&] { w.Files->save(dir.filePath("no/such/folder/x.rle")); }).isEmpty());
        QVERIFY(w.Run.paused());
    }

    // Save, open, copy, paste and drop, through the window's own keys and
    // events; each opened pattern goes into the editor as a chosen figure does.
    void windowOpensSavesCopiesAndDrops()
    {
        QTemporaryDir dir;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Picture2_MouseUp(9, 1, 0, 0, 0);
        const PatternArray nine = w.PatternCells;
        const QString path = dir.filePath("nine.rle");
        QVERIFY(w.Files->save(path));
        QVERIFY(w.Files->save(path));  // over the old file

        w.Picture2_MouseUp(2, 1, 0, 0, 0);
        w.Command1_Click();
        QVERIFY(w.Files->open(path));
        QVERIFY(testing::InState(w, testing::State::Editing));
        QCOMPARE(w.PatternCells, nine);
        QVERIFY(w.Picture3->surface().image() == [&] {
            MainWindow chosen;
            chosen.Picture2_MouseUp(9, 1, 0, 0, 0);
            return chosen.Picture3->surface().image();
        }());

        QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->text().contains("rule = B2/S2H"));
        w.Picture2_MouseUp(4, 1, 0, 0, 0);
        QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.PatternCells, nine);

        w.Picture2_MouseUp(4, 1, 0, 0, 0);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(500, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(500, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &drop);
        QCOMPARE(w.PatternCells, nine);
        QVERIFY(w.Picture3->toolTip().contains(QKeySequence(QKeySequence::Save).toString(QKeySequence::NativeText)));
    }
};

QTEST_MAIN(RleTest)
#include "test_rle.moc"
