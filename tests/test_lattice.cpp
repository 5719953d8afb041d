// The lattice's twelve symmetries as the field shows them, and where pasted
// patterns go: each case's cells are worked out from the lattice's
// coordinates, not from the placement's own arithmetic.
#include <QtTest>

#include <cmath>
#include <random>
#include <set>

#include "engine/field_grid.h"
#include "lattice/lattice.h"
#include "rle/rle.h"

using namespace hexlife;
using namespace hexlife::lattice;

namespace {

// A cell's centre on the field's picture.
QPointF ScreenOf(GridCell g)
{
    return {6.0 * double(g.column) + 3, 6.0 * double(g.row) + FieldColumnShift(int(g.column)) + 3};
}

Cell RandomCell(std::mt19937& random, int spread)
{
    return {int(random() % unsigned(2 * spread + 1)) - spread, int(random() % unsigned(2 * spread + 1)) - spread};
}

// Random live cells within a box of Golly cells, at least one.
std::set<Cell> RandomShape(std::mt19937& random, int width, int height)
{
    std::set<Cell> shape;
    while (shape.empty()) {
        for (int x = 0; x < width; ++x) {
            for (int y = 0; y < height; ++y) {
                if (random() % 3 == 0) shape.insert({x, y});
            }
        }
    }
    return shape;
}

std::set<Cell> Moved(const std::set<Cell>& shape, Cell by)
{
    std::set<Cell> moved;
    for (const Cell& c : shape) moved.insert(c + by);
    return moved;
}

// The field cells (numbers) a shape takes, or none if one falls off the
// live area.
std::optional<std::set<int>> FieldCellsOf(const std::set<Cell>& shape)
{
    std::set<int> numbers;
    for (const Cell& c : shape) {
        const GridCell g = ToGrid(c);
        if (g.column < 1 || g.column > FieldColInnerLast || g.row < 1 || g.row > FieldPosLast) return std::nullopt;
        numbers.insert(FieldCellNumber(int(g.column), int(g.row)));
    }
    return numbers;
}

// The Golly cells of field cell numbers.
std::set<Cell> ShapeOfField(const std::vector<int>& numbers)
{
    std::set<Cell> shape;
    for (int n : numbers) shape.insert(FromGrid({n / FieldColLen, n % FieldColLen}));
    return shape;
}

std::set<Cell> ShapeOfPattern(const PatternArray& pattern)
{
    std::set<Cell> shape;
    for (int i = 0; i < PatternCount; ++i) {
        if (pattern[size_t(i)] == 1) shape.insert(FromGrid({i / PatternColLen, i % PatternColLen}));
    }
    return shape;
}

// The shape moved so that its least x and y are 0.
std::set<Cell> Normalized(const std::set<Cell>& shape)
{
    Cell low = *shape.begin();
    for (const Cell& c : shape) low = {std::min(low.x, c.x), std::min(low.y, c.y)};
    return Moved(shape, Cell{} - low);
}

std::vector<rle::GollyCell> ToRle(const std::set<Cell>& shape)
{
    std::vector<rle::GollyCell> cells;
    for (const Cell& c : shape) cells.push_back({c.x, c.y});
    return cells;
}

rle::Cells Parsed(const std::string& text)
{
    const rle::ParseResult parsed = rle::Parse(text);
    if (!parsed.cells) qFatal("unreadable: %s", text.c_str());
    return *parsed.cells;
}

}  // namespace

class LatticeTest : public QObject {
    Q_OBJECT
private slots:
    // Each of the twelve keeps neighbours neighbours, they differ from each
    // other, they compose as Then says, a sixth of a turn six times is none,
    // and on the field's picture the turn is clockwise and the mirror swaps
    // left and right.
    void symmetriesAsTheFieldShowsThem()
    {
        std::set<std::vector<Cell>> images;
        for (const Symmetry& s : Symmetries) {
            std::vector<Cell> image;
            for (const Cell& n : Neighbours) {
                const Cell to = Apply(s, n);
                QVERIFY(std::find(Neighbours.begin(), Neighbours.end(), to) != Neighbours.end());
                image.push_back(to);
            }
            images.insert(image);
        }
        QCOMPARE(int(images.size()), 12);

        std::mt19937 random(7);
        for (const Symmetry& a : Symmetries) {
            for (const Symmetry& b : Symmetries) {
                for (int trial = 0; trial < 20; ++trial) {
                    const Cell c = RandomCell(random, 1000), centre = RandomCell(random, 1000);
                    QCOMPARE(Apply(Then(a, b), c, centre), Apply(b, Apply(a, c, centre), centre));
                }
            }
        }
        for (int trial = 0; trial < 100; ++trial) {
            const Cell c = RandomCell(random, 1000);
            Cell turned = c;
            for (int t = 0; t < 6; ++t) {
                if (t > 0) QVERIFY(turned != c || c == Cell{});
                turned = Apply({1, false}, turned);
            }
            QCOMPARE(turned, c);
        }

        // Around a cell of an even column and one of an odd column.
        for (GridCell centre : {GridCell{70, 50}, GridCell{71, 50}}) {
            const Cell at = FromGrid(centre);
            const QPointF middle = ScreenOf(centre);
            for (const Cell& n : Neighbours) {
                const QPointF from = ScreenOf(ToGrid(at + n)) - middle;
                const QPointF turned = ScreenOf(ToGrid(at + Apply({1, false}, n))) - middle;
                // y grows downwards: clockwise is a growing angle.
                double angle = std::atan2(turned.y(), turned.x()) - std::atan2(from.y(), from.x());
                angle = std::remainder(angle, 2 * M_PI) * 180 / M_PI;
                QVERIFY2(angle > 45 && angle < 75, qPrintable(QString("turned by %1°").arg(angle)));
                const QPointF mirrored = ScreenOf(ToGrid(at + Apply({0, true}, n))) - middle;
                QCOMPARE(mirrored, QPointF(-from.x(), from.y()));
            }
        }
    }

    // A pasted pattern: back at its place when it carries one, else around
    // the cell under the pointer, else into the editor or the field's
    // middle; refused when it fits nowhere.
    void pastesGoWhereTheyBelong()
    {
        std::mt19937 random(11);
        for (int trial = 0; trial < 300; ++trial) {
            const QString where = QString("trial %1").arg(trial);
            const std::set<Cell> shape = RandomShape(random, 1 + int(random() % 12), 1 + int(random() % 9));
            const GridCell spot{1 + int(random() % FieldColInnerLast), 1 + int(random() % FieldPosLast)};
            const std::optional<GridCell> pointer =
                random() % 2 ? std::optional<GridCell>{GridCell{1 + int(random() % FieldColInnerLast), 1 + int(random() % FieldPosLast)}}
                             : std::nullopt;

            // Copied from the field at a generation: back where it stood,
            // wherever the pointer is.
            const std::set<Cell> onField = Moved(shape, FromGrid(spot));
            if (const auto numbers = FieldCellsOf(onField)) {
                const rle::Pasting pasted = rle::PlacePaste(Parsed(rle::WriteCells(ToRle(onField), "p", 3)), pointer);
                QVERIFY2(pasted.field && pasted.atPlace && !pasted.pattern, qPrintable(where));
                QCOMPARE(std::set<int>(pasted.field->begin(), pasted.field->end()), *numbers);
            }

            // A pattern of the editor, with its place: back into the editor there.
            PatternArray pattern{};
            for (const Cell& c : Moved(shape, FromGrid({int(random() % 3), int(random() % 3)}))) {
                const GridCell g = ToGrid(c);
                if (g.column <= PatternColLast && g.row >= 0 && g.row <= PatternPosLast) {
                    pattern[size_t(PatternColLen * g.column + g.row)] = 1;
                }
            }
            if (ShapeOfPattern(pattern).size() > 0) {
                const rle::Pasting pasted = rle::PlacePaste(Parsed(rle::WritePattern(pattern, "p")), pointer);
                QVERIFY2(pasted.pattern && pasted.atPlace, qPrintable(where));
                QVERIFY(*pasted.pattern == pattern);
            }

            // Without a place: its box's middle on the pointer's cell where
            // it has room there, else moved into the field, never turned.
            const std::string shapeText = rle::WriteShape(ToRle(shape), "p");
            const rle::Pasting pasted = rle::PlacePaste(Parsed(shapeText), pointer);
            if (pointer) {
                QVERIFY2(pasted.field && !pasted.atPlace, qPrintable(where));
                const std::set<Cell> placed = ShapeOfField(*pasted.field);
                QVERIFY2(Normalized(placed) == Normalized(shape), qPrintable(where + ": the shape changed"));
                Cell low = *shape.begin(), high = low;
                for (const Cell& c : shape) {
                    low = {std::min(low.x, c.x), std::min(low.y, c.y)};
                    high = {std::max(high.x, c.x), std::max(high.y, c.y)};
                }
                const Cell middle{low.x + HalfDown(high.x - low.x), low.y + HalfDown(high.y - low.y)};
                const std::set<Cell> around = Moved(shape, FromGrid(*pointer) - middle);
                if (FieldCellsOf(around)) {
                    QVERIFY2(placed == around, qPrintable(where + ": not around the pointer"));
                }
            } else if (pasted.pattern) {
                QVERIFY2(Normalized(ShapeOfPattern(*pasted.pattern)) == Normalized(shape), qPrintable(where));
            } else {
                QVERIFY2(pasted.field, qPrintable(where));
                QVERIFY(Normalized(ShapeOfField(*pasted.field)) == Normalized(shape));
            }
        }

        // Wider than the field: refused with both sizes, pointer or not.
        std::set<Cell> wide;
        for (int x = 0; x <= FieldColCount; ++x) wide.insert({x, 0});
        for (const auto& pointer : {std::optional<GridCell>{}, std::optional<GridCell>{GridCell{70, 50}}}) {
            const rle::Pasting pasted = rle::PlacePaste(Parsed(rle::WriteShape(ToRle(wide), "wide")), pointer);
            QVERIFY(!pasted.field && !pasted.pattern);
            QCOMPARE(pasted.error.kind, rle::ErrorKind::TooLarge);
            QVERIFY(pasted.error.field);
        }
        // A run as long as RLE allows is refused without walking it.
        const rle::Pasting huge = rle::PlacePaste(Parsed("x = 2147483647, y = 1\n2147483647o!\n"), GridCell{70, 50});
        QCOMPARE(huge.error.kind, rle::ErrorKind::TooLarge);
    }
};

QTEST_APPLESS_MAIN(LatticeTest)
#include "test_lattice.moc"
