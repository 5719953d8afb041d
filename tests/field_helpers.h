// Helpers the window tests share: fields from cell lists, and what the field
// image must show for a generation.
#pragma once

#include <QImage>
#include <QPainter>
#include <QVector>

#include "app/main_window.h"
#include "surface/picture_box.h"

namespace testing {

using Cells = QVector<QPair<int, int>>;

inline hexlife::FieldArray FieldWith(const Cells& live)
{
    hexlife::FieldArray field{};
    for (const auto& [c, r] : live) {
        field[hexlife::FieldColLen * c + r] = 1;
    }
    return field;
}

// The field image as painting every cell's box with its state over the
// start-up grid gives, one fillBox a cell.
inline QImage ExpectedField(const QImage& grid, const hexlife::FieldArray& drawn)
{
    hexlife::Surface expected(grid.size());
    QPainter(&const_cast<QImage&>(expected.image())).drawImage(0, 0, grid);
    for (int n = 0; n <= hexlife::FieldLast; ++n) {
        const int x = 6 * (n / 114) + 1, y = 6 * (n % 114) + ((n / 114) % 2 == 0 ? 3 : 0) + 1;
        expected.fillBox(x, y, x + 4, y + 4, drawn[n] == 0 ? hexlife::EmptyColor : hexlife::LiveColor);
    }
    return expected.image();
}

}  // namespace testing
