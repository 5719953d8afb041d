// Window-level state of Hexagonal Life: every constant, array and run-time
// value that more than one procedure uses. Plain C++ so that the engine, the
// catalogue and the geometry can be tested without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "editor/pattern_size.h"
#include "program.h"
#include "surface/color.h"

namespace hexlife {

// --- Base values -----------------------------------------------------------
constexpr int CellRadius = 4;
constexpr int FieldHalfPitch = 3;
constexpr int ThumbCellPitch = CellRadius + CellRadius;
constexpr double Sqrt3 = 1.7320508075688772;
constexpr double ThumbColumnPitch = CellRadius * Sqrt3;
constexpr int ThumbLast = 25;

// --- Field: 148 columns of 114 cells ---------------------------------------
constexpr int FieldColLen = 114;
constexpr int FieldColCount = 148;
constexpr int FieldColLast = FieldColCount - 1;
constexpr int FieldColInnerLast = FieldColLast - 1;
constexpr int FieldPosLast = FieldColLen - 1;
constexpr int FieldCellCount = FieldColCount * FieldColLen;
constexpr int FieldLast = FieldCellCount - 1;

// The pattern's size is in editor/pattern_size.h.

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
constexpr int FigureCount = ThumbLast + 1;
constexpr int FigureLibraryLast = 1750;  // room for 70 figures plus a spare

// Where a figure enters the pattern: column 4, place 3, that is cell 47.
constexpr int FigureTop = PatternColCount / 2 - 3;
constexpr std::int16_t FigureFirst = FigureTop * (PatternColLen + 1) - 1;

// Where the pattern enters the field: column 68, row 52, that is cell 7804.
constexpr int PlacementColumn = 1 + (FieldColCount - PatternColCount) / 2;
constexpr int PlacementBase = PlacementColumn + PlacementColumn * FieldColLen - 16;

// --- Timer -----------------------------------------------------------------
constexpr int TimerIntervalMs = 1;
// The paces + and - move the tick interval along; the first is the start.
constexpr std::array<int, 9> PaceIntervalsMs{TimerIntervalMs, 2, 5, 10, 20, 50, 100, 200, 500};

// --- Window layout, in pixels (the form was laid out at 15 twips a pixel) --
struct Box {
    int left, top, width, height;
};
constexpr int ClientWidth = 993;
constexpr int ClientHeight = 717;
constexpr Box Picture4Box{0, 0, 97, 89};
constexpr Box Picture3Box{96, 24, 135, 113};
constexpr Box Picture1Box{96, 24, 897, 713};
constexpr Box Command1Box{104, 0, 89, 25};
constexpr Box Command3Box{352, 0, 89, 25};
constexpr Box Command5Box{600, 0, 89, 25};
constexpr Box Label2Box{240, 0, 49, 25};
constexpr Box Label1Box{288, 0, 25, 25};
// The smallest font the top bar's labels are made to fit in.
constexpr double MinTopBarPointSize = 4.0;
// The run's status, in the free strip between «Выход» and «Справка».
constexpr Box Label3Box{449, 0, 143, 25};
// How the colony ends, in the free strip right of «Справка».
constexpr Box Label4Box{697, 0, 288, 25};
constexpr Box Picture2Box(int k)
{
    return {48 * (k % 2), 96 + 48 * (k / 2), 41, 49};
}
// Tab order: Start, Exit, field, count, caption, Help, thumbnails, editor, preview.
constexpr int Command1Tab = 0, Command3Tab = 1, Picture1Tab = 2, Label1Tab = 3,
              Label2Tab = 4, Command5Tab = 5, Picture2FirstTab = 6, Picture3Tab = 32,
              Picture4Tab = 33;

// --- Captions (UTF-8) ------------------------------------------------------
constexpr const char* Command1Caption = "Пуск";
constexpr const char* Command3Caption = "Выход";
constexpr const char* Command5Caption = "Справка";
constexpr const char* Label2Caption = "Циклов -";
constexpr const char* Label1Caption = " ";
constexpr const char* HelpTitle = "Помощь";
constexpr const char* PauseCaption = "Пауза";
// The widest text the status label shows.
constexpr const char* Label3WidestText = "Пауза, 500 мс";
// The widest fate the fate label shows.
constexpr const char* Label4WidestText = "Движется: период 1000 с цикла 1000";
// The longest count Label1 ever shows; it is widened to fit it.
constexpr const char* Label1WidestText = "1001";

// --- Arrays (one entry more than the cells they describe) -----------------
using FigureLibraryArray = std::array<std::int16_t, FigureLibraryLast + 1>;
using FieldArray = std::array<std::int8_t, FieldCellCount + 1>;
using FieldCoordArray = std::array<std::int16_t, FieldCellCount + 1>;
using PatternCoordArray = std::array<std::int16_t, PatternCount + 1>;

// The values every procedure of the window shares by name.
struct SharedState {
    std::string HelpText;  // UTF-8, lines joined by CR LF

    FigureLibraryArray FigureLibrary{};
    FieldArray FieldCells{};
    FieldCoordArray FieldCellX{};
    FieldCoordArray FieldCellY{};
    PatternArray PatternCells{};
    PatternCoordArray EditorCellX{};
    PatternCoordArray EditorCellY{};
    PatternCoordArray PreviewCellX{};
    PatternCoordArray PreviewCellY{};

    std::int16_t CycleCount = 0;
    int LiveCount = 0;
    int MarkHalfSize = 0;
};

}  // namespace hexlife
