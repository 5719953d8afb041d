#include "ui/search_picture.h"

#include <algorithm>

#include <QPainter>

#include "model.h"
#include "surface/surface.h"

namespace hexlife {

namespace {

std::int64_t FloorHalf(std::int64_t x) { return x >= 0 ? x / 2 : -((1 - x) / 2); }

}  // namespace

// Live cells drawn as the field draws them: Golly's cell (x, y) is column
// x, row y - x div 2 of the field's lattice, even columns half a cell lower,
// live cells filled in the field's colour inside the grid's lines.
QImage SearchPicture(const std::vector<rle::GollyCell>& cells, int side, int maxPitch)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(ToQRgb(EmptyColor));
    if (cells.empty()) return image;
    std::int64_t left = cells[0].x, right = left, top = cells[0].y - FloorHalf(left), bottom = top;
    for (const rle::GollyCell& c : cells) {
        const std::int64_t row = c.y - FloorHalf(c.x);
        left = std::min(left, c.x);
        right = std::max(right, c.x);
        top = std::min(top, row);
        bottom = std::max(bottom, row);
    }
    const int columns = int(right - left + 1), rows = int(bottom - top + 1);
    // Half a cell more in height for the columns set lower.
    const int pitch = std::clamp(std::min((side - 1) / columns, 2 * (side - 1) / (2 * rows + 1)), 1, maxPitch);
    const int x0 = (side - columns * pitch) / 2, y0 = (side - rows * pitch - pitch / 2) / 2;
    auto origin = [&](std::int64_t x, std::int64_t row) {
        const int shift = x % 2 == 0 ? pitch / 2 : 0;
        return QPoint(x0 + int(x - left) * pitch, y0 + int(row - top) * pitch + shift);
    };
    QPainter painter(&image);
    if (pitch >= 4) {
        painter.setPen(QColor::fromRgb(ToQRgb(GridColor)));
        for (std::int64_t x = left; x <= right; ++x) {
            for (std::int64_t row = top; row <= bottom; ++row) {
                painter.drawRect(QRect(origin(x, row), QSize(pitch, pitch)));
            }
        }
    }
    const int inset = pitch >= 4 ? 1 : 0;
    for (const rle::GollyCell& c : cells) {
        const QPoint at = origin(c.x, c.y - FloorHalf(c.x));
        painter.fillRect(QRect(at + QPoint(inset, inset), QSize(pitch + 1 - 2 * inset, pitch + 1 - 2 * inset)),
                         QColor::fromRgb(ToQRgb(LiveColor)));
    }
    return image;
}

}  // namespace hexlife
