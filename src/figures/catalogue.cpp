#include "figures/catalogue.h"

namespace hexlife {

const std::array<const char*, FigureCount> FigureCatalogue = {
    "11100 00010 11111 00010 11100",  // 0
    "11001 01100 00010 00000 00100",  // 1
    "01000 01111 10001 01111 01000",  // 2
    "01000 01111 11111 01111 01000",  // 3
    "01000 01111 10010 01111 01000",  // 4
    "01000 01111 11110 01111 01000",  // 5
    "01110 01010 10100 01010 01110",  // 6
    "11110 01001 01001 01001 11110",  // 7
    "00000 10010 10010 11110 00000",  // 8
    "00000 10001 10001 11111 00000",  // 9
    "11110 00100 01100 01010 10010",  // 10
    "00000 11111 00010 00001 00010",  // 11
    "11100 00000 01110 00000 11100",  // 12
    "11110 00000 01111 00000 11110",  // 13
    "11111 00010 00100 00100 11111",  // 14
    "11110 00010 00100 00100 01111",  // 15
    "01111 01000 01110 00001 11110",  // 16
    "00111 00100 00110 00001 11110",  // 17
    "11000 10110 11010 10110 11000",  // 18
    "10100 01100 11111 01100 10100",  // 19
    "01110 01000 10000 01000 01110",  // 20
    "01111 01000 10000 01000 01111",  // 21
    "01100 01110 11110 01110 01100",  // 22
    "01100 01010 10010 01010 01100",  // 23
    "01010 01001 11111 01001 01010",  // 24
    "01110 00000 10101 00000 01110",  // 25
};

std::array<std::int16_t, FigureCellCount> FigureCells(int figure)
{
    std::array<std::int16_t, FigureCellCount> cells{};
    int cell = 0;
    for (const char* digit = FigureCatalogue[figure]; *digit != '\0'; ++digit) {
        if ((*digit == '0' || *digit == '1') && cell < FigureCellCount) {
            cells[cell++] = static_cast<std::int16_t>(*digit - '0');
        }
    }
    return cells;
}

void LoadFigures(FigureLibraryArray& library)
{
    std::array<std::array<std::int16_t, FigureCellCount>, FigureCount> figures{};
    for (int k = 0; k < FigureCount; ++k) {
        figures[k] = FigureCells(k);
    }
    // Cell by cell, and within each cell figure by figure.
    for (int c = 0; c < FigureCellCount; ++c) {
        for (int k = 0; k < FigureCount; ++k) {
            library[c + FigureCellCount * k] = figures[k][c];
        }
    }
}

FieldArray FigureOnField(int figure)
{
    FieldArray field{};
    const auto cells = FigureCells(figure);
    for (int c = 0; c < FigureCellCount; ++c) {
        // Figure column and place, then pattern cell i, then field cell.
        const int i = FigureFirst + PatternColLen * (c / FigureColLen) + c % FigureColLen;
        field[size_t(PlacementBase + i % PatternColLen + FieldColLen * (i / PatternColLen))] = std::int8_t(cells[size_t(c)]);
    }
    return field;
}

}  // namespace hexlife
