// Rules of the hexagonal grid: the notation both ways, the letters checked
// against the geometry of the neighbourhood, random round trips, and the
// texts refused with their messages.
#include <QtTest>

#include <random>
#include <set>

#include "rule/rule.h"

using namespace hexlife::rule;

namespace {

// The six neighbours as offsets in Golly's coordinates, with their bits.
struct Offset {
    int dx, dy, bit;
};
constexpr Offset Offsets[6] = {{-1, -1, NW}, {0, -1, N}, {-1, 0, W}, {1, 0, E}, {0, 1, S}, {1, 1, SE}};

bool IsNeighbourOffset(int dx, int dy)
{
    for (const Offset& o : Offsets) {
        if (o.dx == dx && o.dy == dy) {
            return true;
        }
    }
    return false;
}

// The letter of a set of live neighbours (bits of the table index), worked
// out from where they lie: 'o', 'm', 'p', or 0 where the count has no letters.
char GeometricLetter(int neighbours)
{
    std::vector<Offset> live;
    for (const Offset& o : Offsets) {
        if (neighbours & o.bit) {
            live.push_back(o);
        }
    }
    if (live.size() == 4) {
        // Four are named by the two empty ones.
        std::vector<Offset> empty;
        for (const Offset& o : Offsets) {
            if (!(neighbours & o.bit)) {
                empty.push_back(o);
            }
        }
        live = empty;
    }
    auto adjacent = [](const Offset& a, const Offset& b) { return IsNeighbourOffset(a.dx - b.dx, a.dy - b.dy); };
    if (live.size() == 2) {
        if (adjacent(live[0], live[1])) return 'o';
        if (live[0].dx == -live[1].dx && live[0].dy == -live[1].dy) return 'p';
        return 'm';
    }
    if (live.size() == 3) {
        const int pairs = adjacent(live[0], live[1]) + adjacent(live[1], live[2]) + adjacent(live[0], live[2]);
        return pairs == 2 ? 'o' : pairs == 0 ? 'p' : 'm';
    }
    return 0;
}

Rule Read(const QString& text)
{
    const ParseResult result = Parse(text.toStdString());
    if (!result.rule) {
        qWarning("%s: %s", qPrintable(text), Message(result.error).c_str());
    }
    return result.rule.value_or(Rule::Totalistic(0, 0));
}

}  // namespace

class RuleTest : public QObject {
    Q_OBJECT
private slots:
    // Texts as Golly reads them, each with the text and the MAP string
    // written, and what the rule is; the canonical text and the MAP string
    // read back to the same rule. (An isotropic rule's MAP string is the
    // same in either order of the neighbours, see rule.cpp.)
    void notation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical");
        QTest::addColumn<QString>("map");
        QTest::addColumn<bool>("totalistic");
        QTest::addColumn<bool>("isotropic");
        QTest::addColumn<bool>("b0");
        QTest::newRow("the program's rule") << "B2/S2H" << "B2/S2H" << "MAPFhZoaGhogIBoaICAgIAAAA"
            << true << true << false;
        QTest::newRow("any case, spaces") << " b2 / s2h " << "B2/S2H" << "MAPFhZoaGhogIBoaICAgIAAAA"
            << true << true << false;
        QTest::newRow("survival/birth") << "34/2H" << "B2/S34H" << "MAPFgFoF2gXgH5oF4B+gH4A6A" << true << true << false;
        QTest::newRow("survival/birth, no survival") << "/2H" << "B2/SH" << "MAPFgBoAGgAgABoAIAAgAAAAA"
            << true << true << false;
        QTest::newRow("no slash") << "B2S34H" << "B2/S34H" << "MAPFgFoF2gXgH5oF4B+gH4A6A" << true << true << false;
        QTest::newRow("survival first") << "S34B2H" << "B2/S34H" << "MAPFgFoF2gXgH5oF4B+gH4A6A"
            << true << true << false;
        QTest::newRow("S before the slash") << "S34/B2H" << "B2/S34H" << "MAPFgFoF2gXgH5oF4B+gH4A6A"
            << true << true << false;
        QTest::newRow("birth only") << "B246H" << "B246/SH" << "MAPFgBpAGkAlgBpAJYAlgBpAA" << true << true << false;
        QTest::newRow("underscore") << "B2o_S2mH" << "B2o/S2mH" << "MAPFAIgQAhAAIAAKIAAgAAAAA"
            << false << true << false;
        QTest::newRow("nothing at all") << "B/SH" << "B/SH" << "MAPAAAAAAAAAAAAAAAAAAAAAA" << true << true << false;
        QTest::newRow("B0") << "B0/S2H" << "B0/S2H" << "MAPgBYAaABoAIAAaACAAIAAAA" << true << true << true;
        QTest::newRow("all counts") << "B0123456/S0123456H" << "B0123456/S0123456H" << "MAP/////////////////////w"
            << true << true << true;
        QTest::newRow("letters") << "B2o/S2m34H" << "B2o/S2m34H" << "MAPFAMgVwhXAP4AP4B+gH4A6A"
            << false << true << false;
        QTest::newRow("letters with minus") << "B2o3-o4m/S12m3o4m5H" << "B2o3mp4m/S12m3o4m5H" << "MAPFGsm0BrEfJUXqcoj4gtA1g" << false << true
                                            << false;
        QTest::newRow("letters in any order") << "B3pm/S2po4H" << "B3mp/S2op4H" << "MAPABQGKRIpaBYWQUiWYJYAaA"
            << false << true << false;
        QTest::newRow("all letters are the count") << "B2omp/S2H" << "B2/S2H" << "MAPFhZoaGhogIBoaICAgIAAAA"
            << true << true << false;
        QTest::newRow("minus and all letters drop the count") << "B2-omp3/SH" << "B3/SH" << "MAPAQAWABYAaAAWAGgAaACAAA"
            << true << true << false;
        QTest::newRow("minus of one letter") << "B2-o/S4-pH" << "B2mp/S4omH" << "MAPAgBIAWABgBRoAQASAAYAaA"
            << false << true << false;
        QTest::newRow("a count given twice") << "B2o2m/S2H" << "B2om/S2H" << "MAPFhZgaEhogIAoaICAgIAAAA"
            << false << true << false;
        QTest::newRow("letters and the bare count") << "B2o2/SH" << "B2/SH" << "MAPFgBoAGgAgABoAIAAgAAAAA"
            << true << true << false;
        QTest::newRow("MAP of B2/S34H") << "MAPFgFoF2gXgH5oF4B+gH4A6A" << "B2/S34H" << "MAPFgFoF2gXgH5oF4B+gH4A6A"
            << true << true << false;
        QTest::newRow("MAP with padding") << "MAPFgFoF2gXgH5oF4B+gH4A6A==" << "B2/S34H" << "MAPFgFoF2gXgH5oF4B+gH4A6A"
            << true << true << false;
        QTest::newRow("MAP, lower-case prefix") << "mapFgFoF2gXgH5oF4B+gH4A6A" << "B2/S34H" << "MAPFgFoF2gXgH5oF4B+gH4A6A"
            << true << true << false;
        // Golly reads only the two highest bits of the last character.
        QTest::newRow("MAP, unread bits set") << "MAPFgFoF2gXgH5oF4B+gH4A6P" << "B2/S34H" << "MAPFgFoF2gXgH5oF4B+gH4A6A"
            << true << true << false;
        // One entry of B2/S2H's table changed: no isotropic rule any more.
        QTest::newRow("MAP, not isotropic") << "MAPEhZoaGhogIBoaICAgIAAAA" << "MAPEhZoaGhogIBoaICAgIAAAA" << "MAPEhZoaGhogIBoaICAgIAAAA" << false
                                            << false << false;
    }
    void notation()
    {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        QFETCH(QString, map);
        QFETCH(bool, totalistic);
        QFETCH(bool, isotropic);
        QFETCH(bool, b0);
        const ParseResult parsed = Parse(text.toStdString());
        QVERIFY2(parsed.rule, Message(parsed.error).c_str());
        const Rule& rule = *parsed.rule;
        QCOMPARE(QString::fromStdString(rule.Text()), canonical);
        QCOMPARE(rule.IsTotalistic(), totalistic);
        QCOMPARE(rule.IsIsotropic(), isotropic);
        QCOMPARE(rule.HasB0(), b0);
        QCOMPARE(Read(canonical), rule);
        QCOMPARE(QString::fromStdString(rule.Map()), map);
        QCOMPARE(Read(map), rule);
    }

    void programRuleIsTheDefault()
    {
        QCOMPARE(Rule(), Read("B2/S2H"));
        QCOMPARE(Rule::Totalistic(1u << 2, 1u << 3 | 1u << 4), Read("B2/S34H"));
    }

    // Each letter's table entries are exactly the neighbourhoods of its
    // shape, found for all 64 by where the live neighbours lie; with "-" the
    // other shapes of the count; in birth and in survival alike.
    void lettersByGeometry()
    {
        std::map<QString, int> sizes;
        for (int count = 2; count <= 4; ++count) {
            for (char letter : {'o', 'm', 'p'}) {
                const QString name = QString::number(count) + letter;
                const Rule birth = Read("B" + name + "/SH");
                const Rule survival = Read("B/S" + name + "H");
                const Rule others = Read("B" + QString::number(count) + "-" + letter + "/SH");
                for (int neighbours = 0; neighbours < 64; ++neighbours) {
                    const int index = (neighbours & 7) | ((neighbours & 0x38) << 1);  // all but the centre bit
                    const bool ofCount = std::popcount(unsigned(index)) == count;
                    const bool shape = ofCount && GeometricLetter(index) == letter;
                    QCOMPARE(birth.Next(index), shape);
                    QCOMPARE(birth.Next(index | Centre), false);
                    QCOMPARE(survival.Next(index | Centre), shape);
                    QCOMPARE(survival.Next(index), false);
                    QCOMPARE(others.Next(index), ofCount && !shape);
                    sizes[name] += shape;
                }
                QVERIFY(birth.IsIsotropic());
                QVERIFY(!birth.IsTotalistic());
            }
        }
        // 15 pairs of six: 6 adjacent, 6 one apart, 3 opposite; 20 triples:
        // 6 in a row, 12 of two and one, 2 every other one.
        const std::map<QString, int> expected = {{"2o", 6}, {"2m", 6}, {"2p", 3},  {"3o", 6}, {"3m", 12},
                                                 {"3p", 2}, {"4o", 6}, {"4m", 6}, {"4p", 3}};
        QCOMPARE(sizes, expected);
    }

    // Random isotropic rules, built of letters, read back from their text;
    // random tables read back from their MAP string; a rule is isotropic
    // exactly when its text is no MAP string, and turning one entry of an
    // isotropic rule with letters spoils it.
    void randomRoundTrips()
    {
        std::mt19937 random(20261210);
        const QString shapes[] = {"0", "1", "2o", "2m", "2p", "3o", "3m", "3p", "4o", "4m", "4p", "5", "6"};
        for (int trial = 0; trial < 400; ++trial) {
            QString text = "B";
            for (int part = 0; part < 2; ++part) {
                for (const QString& shape : shapes) {
                    if (random() % 2) {
                        text += shape;
                    }
                }
                text += part == 0 ? "/S" : "H";
            }
            const Rule rule = Read(text);
            const std::string canonical = rule.Text();
            QVERIFY2(canonical.find("MAP") == std::string::npos && canonical.find('-') == std::string::npos,
                     canonical.c_str());
            QCOMPARE(Read(QString::fromStdString(canonical)), rule);
            QCOMPARE(Read(QString::fromStdString(rule.Map())), rule);
            QVERIFY(rule.IsIsotropic());

            Rule turned = rule;
            const int index = int(random() % TableSize);
            turned.Set(index, !rule.Next(index));
            const int neighbours = std::popcount(unsigned(index & ~Centre));
            if (neighbours != 0 && neighbours != 6) {
                QVERIFY(!turned.IsIsotropic());
                QCOMPARE(QString::fromStdString(turned.Text()), QString::fromStdString(turned.Map()));
            }
        }
        for (int trial = 0; trial < 400; ++trial) {
            std::array<bool, TableSize> table{};
            for (bool& entry : table) {
                entry = random() % 2;
            }
            const Rule rule = Rule::FromTable(table);
            for (int index = 0; index < TableSize; ++index) {
                QCOMPARE(rule.Next(index), table[size_t(index)]);
            }
            QCOMPARE(Read(QString::fromStdString(rule.Map())), rule);
            QCOMPARE(Read(QString::fromStdString(rule.Text())), rule);
        }
    }

    // Random texts of the notation's characters: each reads as a rule that
    // its canonical text reads back to, or is refused with a message whose
    // place, if any, is a character of the text and shows that character.
    void randomTextsAreReadOrRefused()
    {
        std::mt19937 random(20261211);
        const QStringList pieces = {"B", "S", "b", "s", "/", "_", "-", "0", "1", "2", "3", "4", "5", "6", "7",
                                    "o", "m", "p", "c", "a", "H", "h", "V", ":", ",", "MAP", "A", "g", "+", "=",
                                    " ", "Ж", "x"};
        int read = 0;
        for (int trial = 0; trial < 20000; ++trial) {
            QString text;
            // Often a rule's usual frame, filled at random.
            const bool framed = trial % 2;
            const int length = int(random() % 12);
            for (int i = 0; i < length; ++i) {
                text += pieces[int(random() % (framed ? 18 : pieces.size()))];
            }
            if (framed) {
                text = "B" + text + "/S" + pieces[int(random() % 7) + 7] + "H";
            }
            const ParseResult parsed = Parse(text.toStdString());
            if (parsed.rule) {
                ++read;
                QCOMPARE(Read(QString::fromStdString(parsed.rule->Text())), *parsed.rule);
                continue;
            }
            const QString message = QString::fromStdString(Message(parsed.error));
            QVERIFY2(!message.isEmpty() && !message.contains("не прочитано"), qPrintable(text));
            if (parsed.error.position > 0) {
                const QList<uint> characters = text.toUcs4();
                QVERIFY2(parsed.error.position <= characters.size(), qPrintable(text));
                const uint at = characters[parsed.error.position - 1];
                const char32_t shown = char32_t(at);
                QCOMPARE(QString::fromStdString(parsed.error.character), QString::fromUcs4(&shown, 1));
            }
        }
        QVERIFY(read > 1000);
    }

    // Texts that are no rule of this grid, and what the user is told.
    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const QString& text, const char* message) {
            QTest::newRow(name) << text << QString::fromUtf8(message);
        };
        row("square", "B3/S23", "правило «B3/S23» — для квадратной решётки, а поле шестиугольное");
        row("square, B2/S2", "B2/S2", "правило «B2/S2» — для квадратной решётки, а поле шестиугольное");
        row("square with Hensel letters", "B2-a/S12", "правило «B2-a/S12» — для квадратной решётки, а поле шестиугольное");
        row("square MAP",
            "MAPARYXfhZofugWaH7oaIDogBZofuhogOiAaIDogIAAgAAWaH7oaIDogGiA6ICAAIAAaIDogIAAgACAAIAAAAAAAA",
            "правило «MAPARYXfhZofugWaH7oaIDogBZofuhogOiAaIDogIAAgAAWaH7oaIDogGiA6ICAAIAAaIDogIAAgACAAIAAAAAAAA» — для "
            "квадратной решётки, а поле шестиугольное");
        row("von Neumann", "B3/S23V",
            "правило «B3/S23V» — для окрестности фон Неймана из четырёх соседей, а у клетки шестиугольного поля их шесть");
        row("von Neumann MAP", "MAPHmlphg",
            "правило «MAPHmlphg» — для окрестности фон Неймана из четырёх соседей, а у клетки шестиугольного поля их шесть");
        row("Generations", "23/3/3",
            "правило «23/3/3» — из семейства Generations, где у клетки больше двух состояний, а клетка поля либо жива, "
            "либо пуста");
        row("Generations, B/S/C", "B2/S2/C3",
            "правило «B2/S2/C3» — из семейства Generations, где у клетки больше двух состояний, а клетка поля либо "
            "жива, либо пуста");
        row("Larger than Life", "R2,C0,M0,S2..3,B3..3,NM",
            "правило «R2,C0,M0,S2..3,B3..3,NM» — Larger than Life, с соседями дальше ближайших, а здесь соседи — шесть "
            "смежных клеток");
        row("Wolfram", "W110", "правило «W110» — одномерное правило Вольфрама, а поле двумерное");
        row("bounded grid", "B2/S2H:T148,114",
            "в правиле «B2/S2H:T148,114» суффикс ограниченной решётки Golly («:» (позиция 7)) не нужен: поле и так "
            "ограничено своими краями");
        row("empty", "  ", "правило не задано: строка пуста");
        row("seven neighbours", "B27/S2H",
            "в правиле «B27/S2H» цифра «7» (позиция 3): у клетки шестиугольного поля только шесть соседей");
        row("Hensel's letter", "B2c/S2H",
            "в правиле «B2c/S2H» буква «c» (позиция 3) — из записи квадратной решётки; у шестиугольной есть только o, m "
            "и p");
        row("letter after 5", "B2/S5oH",
            "в правиле «B2/S5oH» буква «o» (позиция 6) стоит после «5»: буквы o, m и p бывают только после 2, 3 и 4");
        row("letter without a count", "Bo/S2H",
            "в правиле «Bo/S2H» буква «o» (позиция 2) стоит не после числа соседей: буквы o, m и p бывают только после "
            "2, 3 и 4");
        row("minus without letters", "B2-/S2H", "в правиле «B2-/S2H» после знака «-» (позиция 3) нет ни одной из букв o, m, p");
        row("minus before the count", "B-2/S2H", "в правиле «B-2/S2H» знак «-» (позиция 2) стоит не сразу после числа соседей");
        row("minus after a letter", "B2o-m/S2H",
            "в правиле «B2o-m/S2H» знак «-» (позиция 4) стоит не сразу после числа соседей");
        row("letters with and without minus", "B2o2-m/SH",
            "в правиле «B2o2-m/SH» у числа «2» (позиция 4) буквы даны и со знаком «-», и без него");
        row("two B", "B2B3/S2H", "в правиле «B2B3/S2H» второе «B» (позиция 3): рождение задаётся один раз");
        row("two S", "S2/S3H", "в правиле «S2/S3H» второе «S» (позиция 4): выживание задаётся один раз");
        row("B and S on one side", "B2S3/4H", "в правиле «B2S3/4H» «B» и «S» стоят по одну сторону от «/» («S» (позиция 3))");
        row("B inside", "2B/S2H", "в правиле «2B/S2H» буква «B» (позиция 2) должна стоять в начале или сразу после «/»");
        row("no B, S or slash", "23H", "в правиле «23H» нет ни «/», ни «B», ни «S»");
        row("H inside", "B2H/S2H", "в правиле «B2H/S2H» буква «H» (позиция 3) должна стоять в самом конце");
        row("no H", "B2o/S2", "правило «B2o/S2» без «H» в конце: правило шестиугольной решётки кончается на «H»");
        row("unknown character", "B2/S2xH",
            "в правиле «B2/S2xH» символ «x» (позиция 6) не встречается в записи шестиугольных правил");
        row("a Cyrillic letter, by characters", "В2/S2H",
            "в правиле «В2/S2H» символ «В» (позиция 1) не встречается в записи шестиугольных правил");
        row("a control character", "B2/S2\x01H",
            "в правиле «B2/S2\x01H» символ «0x01» (позиция 6) не встречается в записи шестиугольных правил");
        row("MAP too short", "MAPFgFoF2gXgH5oF4B+gH4A6",
            "в правиле «MAPFgFoF2gXgH5oF4B+gH4A6» после «MAP» 21 символ base64, а для шестиугольной решётки нужно 22 "
            "(или 24 с «==» в конце)");
        row("MAP with one =", "MAPFgFoF2gXgH5oF4B+gH4A6A=",
            "в правиле «MAPFgFoF2gXgH5oF4B+gH4A6A=» символ «=» (позиция 26) не встречается в записи шестиугольных "
            "правил");
        row("MAP, bad character", "MAPFgFoF2gXgH5oF4B+gH4A6!",
            "в правиле «MAPFgFoF2gXgH5oF4B+gH4A6!» символ «!» (позиция 25) не встречается в записи шестиугольных "
            "правил");
        row("too long", QString(401, '2'), "правило длиннее 400 символов: Golly такие не читает");
    }
    void refusals()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const ParseResult parsed = Parse(text.toStdString());
        QVERIFY(!parsed.rule);
        QCOMPARE(QString::fromStdString(Message(parsed.error)), message);
        QCOMPARE(QString::fromStdString(parsed.error.text), text);
    }
};

QTEST_APPLESS_MAIN(RuleTest)
#include "test_rule.moc"
