#include "app/recent_files.h"

#include "app/main_window.h"
#include "rle/pattern_files.h"

#include <QFileInfo>
#include <QSettings>

namespace hexlife {

namespace {

const QString Key = QStringLiteral("recentFiles");

QSettings Settings() { return QSettings(QStringLiteral("hexagonal-life"), QStringLiteral("hexagonal-life")); }

// Read once: the menu asks each time the commands' states are refreshed.
QStringList& Kept()
{
    static QStringList files = [] {
        QStringList read = Settings().value(Key).toStringList();
        read.removeAll(QString());
        return read.mid(0, RecentFilesKept);
    }();
    return files;
}

}  // namespace

QStringList RecentFiles()
{
    return Kept();
}

void RememberRecent(const QString& path)
{
    // The same file however it was named: by its absolute, clean path.
    const QString file = QFileInfo(path).absoluteFilePath();
    QStringList& files = Kept();
    files.removeAll(file);
    files.prepend(file);
    files = files.mid(0, RecentFilesKept);
    Settings().setValue(Key, files);
}

void ForgetRecent(const QString& path)
{
    QStringList& files = Kept();
    if (files.removeAll(path) > 0) {
        Settings().setValue(Key, files);
    }
}

std::vector<std::pair<QString, std::function<void()>>> MainWindow::RecentEntries()
{
    std::vector<std::pair<QString, std::function<void()>>> entries;
    int number = 0;
    for (const QString& path : RecentFiles()) {
        // Numbered for the keyboard, & doubled so that a name shows as it is.
        const QString text = QStringLiteral("&%1 %2").arg(++number).arg(QFileInfo(path).fileName().replace('&', "&&"));
        entries.emplace_back(text, [this, path] {
            if (!Files->open(path) && !QFileInfo::exists(path)) {
                ForgetRecent(path);
            }
        });
    }
    return entries;
}

}  // namespace hexlife
