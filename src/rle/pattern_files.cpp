#include "rle/pattern_files.h"

#include <algorithm>
#include <memory>

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QWidget>

#include "files/file_dialog.h"
#include "files/safe_files.h"
#include "program.h"
#include "rle/rle.h"

namespace hexlife {

const char* const PatternFiles::RleFilter = "Фигуры RLE (*.rle);;Все файлы (*)";

namespace {

QString Quoted(const QString& path) { return "«" + QFileInfo(path).fileName() + "»"; }

// A name whose bytes are not UTF-8 is shown with its odd bytes replaced; the
// message says so.
QString NameNote(const QByteArray& path)
{
    const QString decoded = QString::fromUtf8(path);
    return decoded.toUtf8() == path
               ? QString()
               : QStringLiteral("\n\nВ имени файла есть байты не в кодировке UTF-8; здесь они показаны знаком «\uFFFD».");
}

// The one local file a drag carries, or nothing.
QString DraggedFile(const QMimeData* data)
{
    if (data == nullptr || data->urls().size() != 1 || !data->urls().first().isLocalFile()) {
        return {};
    }
    return data->urls().first().toLocalFile();
}

}  // namespace

PatternFiles::PatternFiles(QWidget* window, const PatternArray& pattern)
    : QObject(window), window_(window), pattern_(pattern)
{
    folder_ = QDir::homePath();
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

void PatternFiles::tell(const QString& message)
{
    QMessageBox::warning(window_, QString::fromUtf8(WindowCaption), message);
}

bool PatternFiles::hasPattern() const
{
    return std::any_of(pattern_.begin(), pattern_.begin() + PatternCount, [](std::int8_t c) { return c == 1; });
}

bool PatternFiles::refuseEmpty(const QString& what)
{
    if (hasPattern()) {
        return false;
    }
    tell(what + "\n\nВ фигуре нет ни одной живой клетки.");
    return true;
}

bool PatternFiles::openText(const QByteArray& text, const QString& source, const QString& how)
{
    const rle::Opened read = rle::ReadAnywhere(std::string_view(text.constData(), size_t(text.size())));
    if (read.pattern) {
        emit patternRead(*read.pattern, how);
    } else if (read.field) {
        emit fieldRead(*read.field, how);
    } else {
        tell(source + "\n\n" + QString::fromStdString(rle::Message(read.error)));
        return false;
    }
    return true;
}

bool PatternFiles::open(const QString& path)
{
    return openBytes(QFile::encodeName(path));
}

bool PatternFiles::openBytes(const QByteArray& path)
{
    const QString shown = QString::fromUtf8(path);
    const QString failed = "Фигура из файла " + Quoted(shown) + " не открыта.";
    const files::ReadResult read = files::ReadWhole(path.toStdString(), rle::MaxPatternFileBytes);
    if (!read.ok) {
        std::string reason = files::Reason(read.failure);
        if (read.failure.tooBig) {
            rle::Error tooBig;
            tooBig.kind = rle::ErrorKind::TooBig;
            reason = rle::Message(tooBig);
        }
        tell(failed + "\n\n" + QString::fromStdString(reason) + NameNote(path));
        return false;
    }
    folder_ = QFileInfo(shown).absolutePath();
    return openText(QByteArray::fromStdString(read.bytes), failed + NameNote(path), "открытие фигуры");
}

bool PatternFiles::saveBytes(const QString& path, const QByteArray& bytes, const QString& failed)
{
    const files::SaveResult saved =
        files::SaveWhole(QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), size_t(bytes.size())));
    if (!saved.ok) {
        tell(failed.arg(Quoted(path)) + "\n\n" + QString::fromStdString(files::Reason(saved.failure)));
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    return true;
}

bool PatternFiles::save(const QString& path)
{
    if (refuseEmpty("Фигура не сохранена.")) {
        return false;
    }
    const std::string text = rle::WritePattern(pattern_, QFileInfo(path).completeBaseName().toStdString());
    return saveBytes(path, QByteArray::fromStdString(text), "Фигура не сохранена в файл %1.");
}

bool PatternFiles::copy()
{
    if (refuseEmpty("Фигура не скопирована.")) {
        return false;
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(rle::WritePattern(pattern_, "Фигура")));
    return true;
}

bool PatternFiles::paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.trimmed().isEmpty()) {
        tell("Фигура не вставлена.\n\nВ буфере обмена нет текста.");
        return false;
    }
    return openText(text.toUtf8(), "Фигура из буфера обмена не вставлена.", "вставка фигуры");
}

void PatternFiles::askOpen()
{
    const std::unique_ptr<QFileDialog> dialog(files::MakeFileDialog(window_, "Открыть фигуру", folder_, RleFilter));
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        open(dialog->selectedFiles().first());
    }
}

QString PatternFiles::askSavePath(const QString& title, const QString& filter, const QString& suffix)
{
    const std::unique_ptr<QFileDialog> dialog(files::MakeFileDialog(window_, title, folder_, filter));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the suffix itself, before it asks about replacing.
    dialog->setDefaultSuffix(suffix);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return {};
    }
    return dialog->selectedFiles().first();
}

bool PatternFiles::askSavePng(const QImage& picture, const QString& title, const QString& failed)
{
    const QString path = askSavePath(title, "Картинки PNG (*.png)", "png");
    if (path.isEmpty()) {
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return saveBytes(path, bytes, failed);
}

void PatternFiles::askSave()
{
    if (refuseEmpty("Фигура не сохранена.")) {
        return;
    }
    const QString path = askSavePath("Сохранить фигуру", RleFilter, "rle");
    if (!path.isEmpty()) {
        save(path);
    }
}

bool PatternFiles::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove)) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!DraggedFile(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (watched == window_ && event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DraggedFile(drop->mimeData());
        if (!path.isEmpty()) {
            drop->acceptProposedAction();
            open(path);
            return true;
        }
    }
    return false;
}

}  // namespace hexlife
