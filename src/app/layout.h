// The window's layout: its size, where each control stands, the tab order
// and the captions. The model the window shows is in model.h.
#pragma once

#include "model.h"
#include "program.h"

namespace hexlife {

// The last index of the thumbnails' control array.
constexpr int ThumbLast = FigureCount - 1;

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
// How the colony ends, in the free strip right of «Справка», to the
// window's edge.
constexpr Box Label4Box{697, 0, ClientWidth - 697, 25};
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
// The widest text the status label shows.
constexpr const char* Label3WidestText = "Просмотр, 500 мс";
// The widest fate the fate label shows.
// (A ship of a period of three digits is cut at the window's edge; its
// tooltip tells it whole.)
constexpr const char* Label4WidestText = "Корабль, период 12: край поля на цикле 1001";
// What the labels that show a value are, for their accessible names:
// «Число циклов: 38».
constexpr const char* Label1Name = "Число циклов";
constexpr const char* Label3Name = "Состояние колонии";
constexpr const char* Label4Name = "Судьба колонии";
// A running count is told to assistive technology at most this often.
constexpr int CountNameIntervalMs = 500;
// The longest count Label1 ever shows; it is widened to fit it.
constexpr const char* Label1WidestText = "1001";

}  // namespace hexlife
