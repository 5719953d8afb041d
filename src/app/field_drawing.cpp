// The field on Picture1: the grid drawn once at start-up, and each
// generation painted into the cells' inner boxes.
#include <bit>
#include <cstring>

#include "app/main_window.h"
#include "engine/field_grid.h"
#include "engine/life_step.h"
#include "surface/picture_box.h"

namespace hexlife {

void MainWindow::BuildFieldGrid()
{
    Surface& field = Picture1->surface();
    const int pitch = 2 * FieldHalfPitch;
    const int lineBottom = CellRadius + FieldColLen * pitch;
    for (int c = 0; c <= FieldColLast; ++c) {
        for (int r = 0; r <= FieldPosLast; ++r) {
            const PixelPoint inner = FieldInnerBoxOrigin(c, r);
            const int x = inner.x - 1, y = inner.y - 1;
            field.line(x, y, x + pitch, y, GridColor);  // top edge of the cell
            if (r == FieldPosLast) {
                field.line(x, y + pitch, x + pitch, y + pitch, GridColor);
            }
            const int n = FieldCellNumber(c, r);
            FieldCellY[n] = std::int16_t(inner.y);
            FieldCellX[n] = std::int16_t(inner.x);
        }
        // The right-hand edge of the column; the left edge of column 0 is the border.
        const int right = pitch * (c + 1);
        field.line(right, 0, right, lineBottom, GridColor);
    }
    FieldPainted.fill(-1);
    PaintedColumns = {0, FieldColLast};
}

void MainWindow::DrawField()
{
    // Outside the live cells' columns (the Workspace found them) every
    // cell is 0: the comparison below needs look at no other but for the
    // columns it left live when it last painted.
    const ColumnSpan live = Work->drawnColumns();

    // The record of what each box shows holds only for the image it was
    // painted into: any other change of the field's image (cleared, resized,
    // a new background, drawn over) makes every box unknown again.
    Surface& field = Picture1->surface();
    if (field.revision() != FieldPaintedRevision) {
        FieldPainted.fill(-1);
        PaintedColumns = {0, FieldColLast};
    }
    ColumnSpan compared = live;
    if (!PaintedColumns.empty()) {
        compared = live.empty() ? PaintedColumns
                                : ColumnSpan{std::min(live.first, PaintedColumns.first),
                                             std::max(live.last, PaintedColumns.last)};
    }

    // Only the boxes whose state differs from what they show are painted:
    // the image is the same as if every box were painted again. The states
    // are compared eight cells at a time, so that runs of unchanged cells
    // cost next to nothing.
    static_assert(std::endian::native == std::endian::little && FieldCellCount % 8 == 0);
    const QRgb colours[2] = {ToQRgb(EmptyColor), ToQRgb(LiveColor)};
    if (!compared.empty()) {
        Surface::SquareWriter<2 * FieldHalfPitch - 1> boxes(field);
        const int begin = compared.first * FieldColLen / 8 * 8;
        const int end = std::min(FieldCellCount, ((compared.last + 1) * FieldColLen + 7) / 8 * 8);
        for (int first = begin; first < end; first += 8) {
            std::uint64_t now = 0, shown = 0;
            std::memcpy(&now, &FieldCells[size_t(first)], 8);
            std::memcpy(&shown, &FieldPainted[size_t(first)], 8);
            for (std::uint64_t changed = now ^ shown; changed != 0;) {
                const int byte = std::countr_zero(changed) / 8;
                changed &= ~(std::uint64_t{0xFF} << (8 * byte));
                const int n = first + byte;
                boxes.fill(FieldCellX[size_t(n)], FieldCellY[size_t(n)], colours[FieldCells[size_t(n)] != 0]);
                FieldPainted[size_t(n)] = FieldCells[size_t(n)];
            }
        }
    }
    PaintedColumns = live;
    FieldPaintedRevision = field.revision();
}

}  // namespace hexlife
