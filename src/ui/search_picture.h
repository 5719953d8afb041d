// The pictures of the search's objects and figures: in the search window's
// tables and on the census page.
#pragma once

#include <vector>

#include <QImage>

#include "rle/rle.h"

namespace hexlife {

// Live cells drawn as the field draws them (its lattice, grid and colours),
// centred in a square of `side` pixels, a cell at most `maxPitch` pixels
// wide: the pictures of the search window's tables and of the census page.
QImage SearchPicture(const std::vector<rle::GollyCell>& cells, int side, int maxPitch);

}  // namespace hexlife
