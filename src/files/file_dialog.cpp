#include "files/file_dialog.h"

#include <cmath>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace hexlife::files {

namespace {

// The noun after a number in Russian: 1 байт, 2 байта, 5 байт, 11 байт,
// 21 байт, 22 байта.
const char* BytesWord(std::int64_t n)
{
    const std::int64_t lastTwo = n % 100, last = n % 10;
    if (lastTwo >= 11 && lastTwo <= 14) return "байт";
    if (last == 1) return "байт";
    if (last >= 2 && last <= 4) return "байта";
    return "байт";
}

// The file system's list with its size and date columns in Russian.
class RussianFileList : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role == Qt::DisplayRole && files != nullptr && index.column() >= 1 && index.column() <= 3) {
            const QFileInfo info = files->fileInfo(mapToSource(index));
            switch (index.column()) {
            case 1: return info.isDir() ? QString() : QString::fromStdString(RussianSize(info.size()));
            // The desktop's file types take .rle for a bitmap format.
            case 2:
                if (info.isFile() && info.suffix().compare(QStringLiteral("rle"), Qt::CaseInsensitive) == 0) {
                    return QStringLiteral("Фигура RLE");
                }
                break;
            case 3: return RussianDate(info.lastModified());
            }
        }
        return QIdentityProxyModel::data(index, role);
    }
};

}  // namespace

std::string RussianSize(std::int64_t bytes)
{
    if (bytes < 1024) {
        return std::to_string(bytes) + " " + BytesWord(bytes);
    }
    const char* units[] = {"КБ", "МБ", "ГБ", "ТБ", "ПБ"};
    double value = double(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    // One decimal with a comma; whole numbers as they are.
    const long long tenths = std::llround(value * 10);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += "," + std::to_string(tenths % 10);
    }
    return text + " " + units[unit];
}

QString RussianDate(const QDateTime& time)
{
    return QLocale(QLocale::Russian, QLocale::Russia).toString(time, QStringLiteral("dd.MM.yyyy HH:mm"));
}

QFileDialog* MakeFileDialog(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    auto* dialog = new QFileDialog(parent, title, folder, filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setProxyModel(new RussianFileList(dialog));
    return dialog;
}

}  // namespace hexlife::files
