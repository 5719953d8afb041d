// What the search's run of many figures takes from the run of one, beside
// search.h: a figure and its image under the box's symmetry from one run.
#pragma once

#include <utility>
#include <vector>

#include "search/objects.h"
#include "search/search.h"
#include "search/symmetry.h"

namespace hexlife::search {

// A figure's result and its image's under the box's symmetry, from one run:
// the image's fate is the figure's with its move turned, and its objects
// are found from its own final cells, the figure's mapped, as Analyse finds
// them.
std::pair<FigureResult, FigureResult> AnalyseWithImage(const std::vector<GollyCell>& start, const BoxSymmetry& symmetry,
                                                       ObjectCache& cache);

}  // namespace hexlife::search
