// The model of Hexagonal Life that every part of the program shares: the
// lattice of the field, the rule, the figure catalogue's and the pattern's
// sizes, the colours cells are drawn in, and the arrays the window's
// procedures share by name. Plain C++, below every folder: the engine, the
// catalogue, the pattern grid, the files and the search use it without a
// window. The window's own layout and captions are in app/layout.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "surface/color.h"

namespace hexlife {

// --- Base values -----------------------------------------------------------
constexpr int CellRadius = 4;
constexpr int FieldHalfPitch = 3;
constexpr double Sqrt3 = 1.7320508075688772;

// --- Field: 148 columns of 114 cells ---------------------------------------
constexpr int FieldColLen = 114;
constexpr int FieldColCount = 148;
constexpr int FieldColLast = FieldColCount - 1;
constexpr int FieldColInnerLast = FieldColLast - 1;
constexpr int FieldPosLast = FieldColLen - 1;
constexpr int FieldCellCount = FieldColCount * FieldColLen;
constexpr int FieldLast = FieldCellCount - 1;

// --- Pattern: 14 columns of 11 cells, column-major -------------------------
constexpr int PatternColLen = 11;
constexpr int PatternColCount = 14;
constexpr int PatternColLast = PatternColCount - 1;
constexpr int PatternPosLast = PatternColLen - 1;
constexpr int PatternCount = PatternColCount * PatternColLen;
constexpr std::int16_t PatternLast = PatternCount - 1;

// Cell radii of the pattern views; the editor's is also its click reach.
constexpr int EditorRadius = CellRadius + 1;
constexpr int PreviewRadius = 4;

// --- Rule: B2/S2 -----------------------------------------------------------
constexpr int BirthNeighbours = 2;
constexpr int CrowdNeighbours = 3;
constexpr float LonelyNeighbours = 1.0f;
// A run stops once it has counted more cycles than this.
constexpr int CycleLimit = 1000;

// --- Colours ---------------------------------------------------------------
constexpr Color GridColor = RGB(182, 181, 211);
constexpr Color LiveColor = RGB(222, 11, 11);
constexpr Color EmptyColor = RGB(255, 255, 255);

// --- Figure catalogue: 26 figures of 5 columns of 5 cells ------------------
constexpr int FigureColLen = 5;
constexpr int FigureColCount = 5;
constexpr int FigureCellCount = FigureColLen * FigureColCount;
constexpr int FigureCount = 26;
constexpr int FigureLibraryLast = 1750;  // room for 70 figures plus a spare
// A figure drawn small, as its thumbnail shows it.
constexpr int ThumbCellPitch = CellRadius + CellRadius;
constexpr double ThumbColumnPitch = CellRadius * Sqrt3;

// Where a figure enters the pattern: column 4, place 3, that is cell 47.
constexpr int FigureTop = PatternColCount / 2 - 3;
constexpr std::int16_t FigureFirst = FigureTop * (PatternColLen + 1) - 1;

// Where the pattern enters the field: column 68, row 52, that is cell 7804.
constexpr int PlacementColumn = 1 + (FieldColCount - PatternColCount) / 2;
constexpr int PlacementBase = PlacementColumn + PlacementColumn * FieldColLen - 16;

// --- Arrays (one entry more than the cells they describe) -----------------
using FigureLibraryArray = std::array<std::int16_t, FigureLibraryLast + 1>;
using FieldArray = std::array<std::int8_t, FieldCellCount + 1>;
using FieldCoordArray = std::array<std::int16_t, FieldCellCount + 1>;
using PatternArray = std::array<std::int8_t, PatternCount + 1>;
using PatternCoordArray = std::array<std::int16_t, PatternCount + 1>;

// The values every procedure of the window shares by name; the field, the
// pattern and the count are the Workspace's (workspace/workspace.h).
struct SharedState {
    std::string HelpText;  // UTF-8, lines joined by CR LF

    FigureLibraryArray FigureLibrary{};
    FieldCoordArray FieldCellX{};
    FieldCoordArray FieldCellY{};
    PatternCoordArray EditorCellX{};
    PatternCoordArray EditorCellY{};
    PatternCoordArray PreviewCellX{};
    PatternCoordArray PreviewCellY{};

    int MarkHalfSize = 0;
};

}  // namespace hexlife
