// The field on Picture1: the grid drawn once at start-up, and each
// generation painted into the cells' inner boxes.
#include <bit>
#include <cstring>

#include "app/main_window.h"
#include "engine/field_grid.h"
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
            FieldCells[n] = 0;
            FieldCellY[n] = std::int16_t(inner.y);
            FieldCellX[n] = std::int16_t(inner.x);
        }
        // The right-hand edge of the column; the left edge of column 0 is the border.
        const int right = pitch * (c + 1);
        field.line(right, 0, right, lineBottom, GridColor);
    }
    FieldPainted.fill(-1);
}

void MainWindow::DrawField()
{
    int live = 0;
    for (int n = 0; n <= FieldLast; ++n) {
        live += FieldCells[n];
    }
    LiveCount += live;

    // The record of what each box shows holds only for the image it was
    // painted into: any other change of the field's image (cleared, resized,
    // a new background, drawn over) makes every box unknown again.
    Surface& field = Picture1->surface();
    if (field.revision() != FieldPaintedRevision) {
        FieldPainted.fill(-1);
    }

    // Only the boxes whose state differs from what they show are painted:
    // the image is the same as if every box were painted again. The states
    // are compared eight cells at a time, so that runs of unchanged cells
    // cost next to nothing.
    static_assert(std::endian::native == std::endian::little && FieldCellCount % 8 == 0);
    const QRgb colours[2] = {ToQRgb(EmptyColor), ToQRgb(LiveColor)};
    Surface::SquareWriter<2 * FieldHalfPitch - 1> boxes(field);
    for (int first = 0; first < FieldCellCount; first += 8) {
        std::uint64_t now = 0, shown = 0;
        std::memcpy(&now, &FieldCells[first], 8);
        std::memcpy(&shown, &FieldPainted[first], 8);
        for (std::uint64_t changed = now ^ shown; changed != 0;) {
            const int byte = std::countr_zero(changed) / 8;
            changed &= ~(std::uint64_t{0xFF} << (8 * byte));
            const int n = first + byte;
            boxes.fill(FieldCellX[n], FieldCellY[n], colours[FieldCells[n] != 0]);
            FieldPainted[n] = FieldCells[n];
        }
    }
    FieldPaintedRevision = field.revision();
}

}  // namespace hexlife
