// The 26 preset figures. Each is 5 columns of 5 cells, numbered column by
// column (cell = 5 * column + place), even columns half a cell lower.
#pragma once

#include <array>

#include "model.h"

namespace hexlife {

// Row k holds figure k's 25 values: five groups of five digits, one group per
// column from the left, each group from the top.
extern const std::array<const char*, FigureCount> FigureCatalogue;

// Cell values (0 or 1) of one figure, in cell order.
std::array<std::int16_t, FigureCellCount> FigureCells(int figure);

// The field as «Пуск» leaves it for figure k chosen and left unchanged: the
// figure enters the pattern at cell FigureFirst, the pattern the field at
// PlacementBase, as choosing a figure and starting it place them.
FieldArray FigureOnField(int figure);

// Puts cell c of figure k at library entry 25 * k + c; other entries stay as they are.
void LoadFigures(FigureLibraryArray& library);

}  // namespace hexlife
