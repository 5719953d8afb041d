// Qt's own file dialog, in Russian whatever the locale: its words come
// from Qt's Russian translation, and the sizes and dates of its list, which
// Qt formats by the system's locale, are formatted here in Russian.
#pragma once

#include <cstdint>
#include <string>

#include <QString>

class QDateTime;
class QFileDialog;
class QWidget;

namespace hexlife::files {

// «153 байта», «1 байт», «40,7 КБ», «4,8 МБ»: a file's size as a Russian
// file list shows it (kilobytes of 1024 bytes, one decimal).
std::string RussianSize(std::int64_t bytes);
// «09.12.2026 23:46».
QString RussianDate(const QDateTime& time);

// A file dialog of Qt's own (never the desktop's, which speaks the
// desktop's language), its list in Russian.
QFileDialog* MakeFileDialog(QWidget* parent, const QString& title, const QString& folder, const QString& filter);

}  // namespace hexlife::files
