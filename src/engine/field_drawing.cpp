// The field on Picture1: the grid drawn once at start-up, and each
// generation painted into the cells' inner boxes.
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
    Surface& field = Picture1->surface();
    const int w = 2 * FieldHalfPitch - 2;
    for (int n = 0; n <= FieldLast; ++n) {
        const std::int8_t state = FieldCells[n];
        LiveCount += state;
        // A box already showing this state is left as it is: the image is
        // the same as if every box were painted again.
        const std::int8_t shown = state == 0 ? 0 : 1;
        if (FieldPainted[n] != shown) {
            const int x = FieldCellX[n], y = FieldCellY[n];
            field.fillBox(x, y, x + w, y + w, shown == 0 ? EmptyColor : LiveColor);
            FieldPainted[n] = shown;
        }
    }
}

}  // namespace hexlife
