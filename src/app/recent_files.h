// The last patterns opened or saved as RLE, newest first, each once, kept
// in the settings across starts: the context menu's «Недавние фигуры».
#pragma once

#include <QStringList>

namespace hexlife {

constexpr int RecentFilesKept = 8;

QStringList RecentFiles();
void RememberRecent(const QString& path);
// A file that could not be opened any more leaves the list.
void ForgetRecent(const QString& path);

}  // namespace hexlife
