// «Заполнить случайно…»: how dense a soup, where, and from which seed. The
// seed is shown and may be typed, so that a soup can be made again.
#pragma once

#include <cstdint>
#include <optional>

class QWidget;

namespace hexlife {

struct FillChoice {
    enum class Area { Whole, Centred, Selection };
    int percent = 50;
    Area area = Area::Centred;
    int columns = 32, rows = 32;  // of the centred rectangle
    std::uint64_t seed = 0;
};

// Asks, starting from `last` with a new seed; none when cancelled. The
// selection is offered where there is one, and then chosen first.
std::optional<FillChoice> AskFill(QWidget* parent, FillChoice last, bool hasSelection);

}  // namespace hexlife
