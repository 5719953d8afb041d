#include "files/file_dialog.h"

#include <algorithm>
#include <cmath>

#include <QFileDialog>
#include <QFileInfo>
#include <QEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>

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

// The kinds of files the program reads and writes, and a few common ones.
const struct {
    const char* suffix;
    const char* type;
} Types[] = {
    {"rle", "Фигура RLE"},       {"png", "Картинка PNG"}, {"jpg", "Картинка JPEG"}, {"jpeg", "Картинка JPEG"},
    {"svg", "Картинка SVG"},     {"gif", "Картинка GIF"}, {"bmp", "Картинка BMP"},  {"txt", "Текстовый файл"},
    {"mc", "Фигура Macrocell"}, {"lif", "Фигура Life"},  {"life", "Фигура Life"},
};

// The widest texts of the size, type and date columns, which they are made
// wide enough for: Qt sizes them for English samples («128.88 GB»).
QStringList WidestTexts(int column)
{
    switch (column) {
    case 1: return {QStringLiteral("1023 байта"), QStringLiteral("1023,9 МБ"), QStringLiteral("1023,9 ГБ")};
    case 2: {
        QStringList types{QStringLiteral("Папка"), QStringLiteral("Файл ABCD")};
        for (const auto& type : Types) types << QString::fromUtf8(type.type);
        return types;
    }
    case 3: return {QStringLiteral("00.00.0000 00:00"), QStringLiteral("88.88.8888 88:88")};
    }
    return {};
}

// Widens the dialog, as it is shown, until its list shows every column
// whole, as far as the screen allows.
class WideEnough : public QObject {
public:
    WideEnough(QFileDialog* dialog, QTreeView* view) : QObject(dialog), dialog_(dialog), view_(view)
    {
        dialog->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == dialog_ && event->type() == QEvent::Show) {
            const QHeaderView* header = view_->header();
            int columns = 0;
            for (int column = 0; column < header->count(); ++column) {
                if (!header->isSectionHidden(column)) columns += header->sectionSize(column);
            }
            const int missing = columns - view_->viewport()->width();
            if (missing > 0) {
                int width = dialog_->width() + missing + view_->verticalScrollBar()->sizeHint().width();
                if (const QScreen* screen = dialog_->screen()) width = std::min(width, screen->availableGeometry().width());
                dialog_->resize(std::max(width, dialog_->width()), dialog_->height());
            }
        }
        return false;
    }

private:
    QFileDialog* dialog_;
    QTreeView* view_;
};

// The file system's list with its size, type and date columns in Russian.
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
            case 2: return RussianFileType(info);
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

QString RussianFileType(const QFileInfo& info)
{
    // Qt names a folder «Folder» whatever the language, and the desktop's
    // file types take .rle for a bitmap format.
    if (info.isDir()) return QStringLiteral("Папка");
    const QString suffix = info.suffix().toLower();
    for (const auto& type : Types) {
        if (suffix == QLatin1String(type.suffix)) return QString::fromUtf8(type.type);
    }
    return suffix.isEmpty() ? QStringLiteral("Файл") : QStringLiteral("Файл ") + info.suffix().toUpper();
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
    // The size, type and date columns as wide as their widest texts, or as
    // wide as a size kept from an earlier dialog where that is wider.
    if (auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QFontMetrics metrics(view->font());
        const int margin = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) +
                           metrics.averageCharWidth();
        QHeaderView* header = view->header();
        for (int column = 1; column <= 3; ++column) {
            int width = header->sectionSizeHint(column);
            for (const QString& text : WidestTexts(column)) {
                width = std::max(width, metrics.horizontalAdvance(text) + margin);
            }
            if (header->sectionSize(column) < width) header->resizeSection(column, width);
        }
        new WideEnough(dialog, view);
    }
    return dialog;
}

}  // namespace hexlife::files
