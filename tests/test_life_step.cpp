// The generation step: the rule on small cases, the frame test, and the
// engine against the plain reference on random fields.
#include <QtTest>

#include <random>

#include "engine/field_grid.h"
#include "engine/life_step.h"
#include "reference/reference_engine.h"

using namespace hexlife;

namespace {

using Cells = QVector<QPair<int, int>>;

FieldArray FieldWith(const Cells& live)
{
    FieldArray field{};
    for (const auto& [c, r] : live) {
        field[FieldCellNumber(c, r)] = 1;
    }
    return field;
}

Cells LiveCells(const FieldArray& field)
{
    Cells live;
    for (int n = 0; n <= FieldLast; ++n) {
        if (field[n] != 0) {
            live.append({FieldColumnOf(n), FieldRowOf(n)});
        }
    }
    std::sort(live.begin(), live.end());
    return live;
}

// One generation; returns whether the frame was reached.
bool Step(FieldArray& field)
{
    const bool reached = MarkGeneration(field);
    ResolveGeneration(field);
    return reached;
}

}  // namespace

class LifeStepTest : public QObject {
    Q_OBJECT
private slots:
    void rule_data()
    {
        QTest::addColumn<Cells>("start");
        QTest::addColumn<Cells>("next");
        QTest::newRow("single cell dies") << Cells{{70, 57}} << Cells{};
        QTest::newRow("pair in an even column")
            << Cells{{70, 57}, {70, 58}} << Cells{{69, 58}, {71, 58}};
        QTest::newRow("pair side by side")
            << Cells{{70, 57}, {71, 57}} << Cells{{70, 56}, {71, 58}};
        // (70, 57) has exactly the two live neighbours (70, 56) and (70, 58),
        // which both die; it survives.
        QTest::newRow("two neighbours survive although they die")
            << Cells{{70, 56}, {70, 57}, {70, 58}}
            << Cells{{69, 57}, {69, 58}, {70, 57}, {71, 57}, {71, 58}};
        // With a third neighbour (69, 57) the middle cell dies, though (69, 57)
        // and (70, 56) live on with two each; (69, 58) with three is not born.
        QTest::newRow("three neighbours kill")
            << Cells{{69, 57}, {70, 56}, {70, 57}, {70, 58}}
            << Cells{{69, 56}, {69, 57}, {70, 56}, {71, 57}, {71, 58}};
    }
    void rule()
    {
        QFETCH(Cells, start);
        QFETCH(Cells, next);
        FieldArray field = FieldWith(start);
        QVERIFY(!Step(field));
        QCOMPARE(LiveCells(field), next);
    }

    void frameTest_data()
    {
        QTest::addColumn<Cells>("start");
        QTest::addColumn<bool>("reached");
        // A vertical pair births one cell on each side: placed so that a birth
        // lands on the frame of the live area, or just inside it.
        QTest::newRow("birth in row 113") << Cells{{70, 112}, {70, 113}} << true;
        QTest::newRow("birth in column 1") << Cells{{2, 50}, {2, 51}} << true;
        QTest::newRow("birth in column 146") << Cells{{145, 50}, {145, 51}} << true;
        QTest::newRow("dying cell in row 1") << Cells{{71, 1}} << true;
        QTest::newRow("inside") << Cells{{3, 2}, {3, 3}, {144, 111}} << false;
    }
    void frameTest()
    {
        QFETCH(Cells, start);
        QFETCH(bool, reached);
        FieldArray field = FieldWith(start);
        QCOMPARE(MarkGeneration(field), reached);
    }

    // Nothing below row 113 counts: a cell in row 0 of the next column is
    // not a neighbour of row 113.
    void nothingBelowTheLastRow()
    {
        FieldArray field = FieldWith({{70, 113}, {71, 0}, {70, 112}});
        FieldArray expected = field;
        reference::MarkGeneration(expected);
        MarkGeneration(field);
        QCOMPARE(field, expected);
        QCOMPARE(field[FieldCellNumber(70, 113)], std::int8_t(-1));
    }

    void matchesReferenceOnRandomFields()
    {
        std::mt19937 random(20261209);
        for (int trial = 0; trial < 60; ++trial) {
            const double density = 0.05 + 0.1 * (trial % 6);
            std::bernoulli_distribution live(density);
            // Every other field lies in a band of columns: the step over the
            // live columns alone must give what the whole field's does.
            const int from = trial % 2 ? 0 : int(random() % FieldColCount);
            const int to = trial % 2 ? FieldColLast : std::min(FieldColLast, from + int(random() % 12));
            FieldArray fast{};
            for (int n = from * FieldColLen; n < (to + 1) * FieldColLen; ++n) {
                fast[n] = live(random) ? 1 : 0;
            }
            FieldArray plain = fast, spanned = fast;
            for (int generation = 0; generation < 8; ++generation) {
                const ColumnSpan step = StepColumns(LiveColumns(spanned));
                const bool fastReached = MarkGeneration(fast);
                const bool spannedReached = MarkGeneration(spanned, step);
                const bool plainReached = reference::MarkGeneration(plain);
                QCOMPARE(fast, plain);  // the marks too
                QCOMPARE(spanned, plain);
                QCOMPARE(fastReached, plainReached);
                QCOMPARE(spannedReached, plainReached);
                ResolveGeneration(fast);
                ResolveGeneration(spanned, step);
                reference::ResolveGeneration(plain);
                QCOMPARE(fast, plain);
                QCOMPARE(spanned, plain);
            }
        }
    }

    // Any rule, by the engine and by the plain step that finds each cell's
    // neighbours in Golly's coordinates: the marks, the frame's answer and
    // the next generation alike, on the whole field and on the live columns
    // alone. Random totalistic, isotropic and MAP rules, B0 among them, and
    // B2/S2 given as a rule. Once by the vector kernels, once cell by cell.
    void anyRuleMatchesReference_data()
    {
        QTest::addColumn<bool>("vector");
        QTest::newRow("vector") << true;
        QTest::newRow("cell by cell") << false;
    }
    void anyRuleMatchesReference()
    {
        QFETCH(bool, vector);
        SetVectorSteps(vector);
        const auto restore = qScopeGuard([] { SetVectorSteps(true); });
        std::mt19937 random(20261210);
        const QString shapes[] = {"0", "1", "2o", "2m", "2p", "3o", "3m", "3p", "4o", "4m", "4p", "5", "6"};
        for (int trial = 0; trial < 60; ++trial) {
            rule::Rule rule;
            if (trial % 4 == 0) {
                rule = rule::Rule::Totalistic(unsigned(random()) & 127, unsigned(random()) & 127);
            } else if (trial % 4 == 1) {
                QString text = "B";
                for (int part = 0; part < 2; ++part) {
                    for (const QString& shape : shapes) {
                        text += random() % 2 ? shape : "";
                    }
                    text += part == 0 ? "/S" : "H";
                }
                rule = *rule::Parse(text.toStdString()).rule;
            } else if (trial % 4 == 2) {
                std::array<bool, rule::TableSize> table{};
                for (bool& entry : table) {
                    entry = random() % 2;
                }
                rule = rule::Rule::FromTable(table);
            }
            std::bernoulli_distribution live(0.05 + 0.1 * (trial % 5));
            const int from = trial % 3 ? 0 : int(random() % FieldColCount);
            const int to = trial % 3 ? FieldColLast : std::min(FieldColLast, from + int(random() % 12));
            FieldArray fast{};
            for (int n = from * FieldColLen; n < (to + 1) * FieldColLen; ++n) {
                fast[n] = live(random) ? 1 : 0;
            }
            FieldArray plain = fast, spanned = fast;
            for (int generation = 0; generation < 6; ++generation) {
                const ColumnSpan step = StepColumns(LiveColumns(spanned), rule);
                const bool fastReached = MarkGeneration(fast, rule);
                const bool spannedReached = MarkGeneration(spanned, step, rule);
                const bool plainReached = reference::MarkGeneration(plain, rule);
                QVERIFY2(fast == plain, rule.Text().c_str());
                QVERIFY2(spanned == plain, rule.Text().c_str());
                QCOMPARE(fastReached, plainReached);
                QCOMPARE(spannedReached, plainReached);
                ResolveGeneration(fast);
                ResolveGeneration(spanned, step);
                reference::ResolveGeneration(plain);
                QVERIFY2(fast == plain, rule.Text().c_str());
                QVERIFY2(spanned == plain, rule.Text().c_str());
            }
        }
    }

    // B0 on the bounded field: the empty field's live area is born in one
    // step, from the live columns' span too, and the frame outside it stays
    // empty; in the next step its inner cells survive with S6, and without
    // it every cell dies.
    void b0FillsTheLiveAreaOnly()
    {
        for (const char* text : {"B0/SH", "B0/S6H"}) {
            const rule::Rule rule = *rule::Parse(text).rule;
            FieldArray field{};
            const ColumnSpan step = StepColumns(LiveColumns(field), rule);
            QVERIFY(MarkGeneration(field, step, rule));
            ResolveGeneration(field, step);
            for (int c = 0; c <= FieldColLast; ++c) {
                for (int r = 0; r <= FieldPosLast; ++r) {
                    const bool inside = c >= 1 && c <= FieldColInnerLast && r >= 1;
                    QCOMPARE(field[FieldCellNumber(c, r)], std::int8_t(inside ? 1 : 0));
                }
            }
            MarkGeneration(field, rule);
            ResolveGeneration(field);
            int live = 0;
            for (int n = 0; n <= FieldLast; ++n) {
                live += field[n];
            }
            // Every inner cell has six live neighbours; cells by the frame fewer.
            QCOMPARE(live > 0, std::string(text) == "B0/S6H");
        }
    }
};

QTEST_APPLESS_MAIN(LifeStepTest)
#include "test_life_step.moc"
