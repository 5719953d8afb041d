// What the files of the search window share: its limits and the words of
// its numbers and durations.
#pragma once

#include <cstdint>

#include <QString>

#include "search/search.h"

namespace hexlife::search_window {

// Whole boxes of up to 2^28 figures are offered: at the search's pace that
// is minutes on a few cores, at most about half an hour. Beyond that a
// whole box takes hours to a week, which is the command line's work (it
// saves as it goes, resumes and splits into shards); the window offers a
// random sample of such a box instead, so that no one starts 2^36 by a slip.
constexpr int MaxWholeCells = 28;
constexpr double ProgressSeconds = 0.2;
// How long a search runs before its own pace replaces the probe's.
constexpr double PaceSeconds = 1.0;
constexpr int ProgressSteps = 1000;
constexpr int DefaultSampleSize = 100000;
constexpr int MaxSampleSize = 1000000000;
// The pictures of objects and figures in the tables, and the largest pitch
// of a cell in them.
constexpr int PictureSide = 48;
constexpr int MaxPicturePitch = 8;
inline const char* const ResultFilter = "Результаты поиска (*.txt);;Все файлы (*)";

// A number in Russian groups of digits: «1 048 576».
QString Grouped(std::uint64_t n);
// «меньше секунды», «12 с», «4 мин 5 с», «3 ч», «2 дн 4 ч».
QString Duration(double seconds);
// The cores the search runs on.
int Threads();
// «3 × 4».
QString BoxText(const search::Box& box);

}  // namespace hexlife::search_window
