// Qt's own file dialog, in Russian whatever the locale: its words come
// from Qt's Russian translation, and the sizes, types and dates of its list,
// which Qt takes from the system's locale (or names in English), are
// formatted here in Russian, in columns wide enough for them.
#pragma once

#include <cstdint>
#include <string>

#include <QString>

class QDateTime;
class QFileDialog;
class QFileInfo;
class QWidget;

namespace hexlife::files {

// «153 байта», «1 байт», «40,7 КБ», «4,8 МБ»: a file's size as a Russian
// file list shows it (kilobytes of 1024 bytes, one decimal).
std::string RussianSize(std::int64_t bytes);
// «Папка», «Фигура RLE», «Картинка PNG», «Файл DAT»: a file's type as the
// list shows it.
QString RussianFileType(const QFileInfo& info);
// «09.12.2026 23:46».
QString RussianDate(const QDateTime& time);

// A file dialog of Qt's own (never the desktop's, which speaks the
// desktop's language), its list in Russian.
QFileDialog* MakeFileDialog(QWidget* parent, const QString& title, const QString& folder, const QString& filter);

}  // namespace hexlife::files
