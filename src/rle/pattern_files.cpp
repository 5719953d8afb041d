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

PatternFiles::PatternFiles(QWidget* window, const PatternArray& pattern, const rule::Rule& rule)
    : QObject(window), window_(window), pattern_(pattern), rule_(rule)
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

bool PatternFiles::openText(const QByteArray& text, const QString& failed, const QString& how, Source source)
{
    const rle::Opened read = rle::ReadAnywhere(std::string_view(text.constData(), size_t(text.size())));
    if (read.pattern) {
        emit patternRead(*read.pattern, how, source, read.rule);
    } else if (read.field) {
        emit fieldRead(*read.field, how, source, read.rule);
    } else {
        tell(failed + "\n\n" + QString::fromStdString(rle::Message(read.error)));
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
    if (!openText(QByteArray::fromStdString(read.bytes), failed + NameNote(path), "открытие фигуры", Source::File)) {
        return false;
    }
    emit fileOpened(shown);
    return true;
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
    const std::string text = rle::WritePattern(pattern_, QFileInfo(path).completeBaseName().toStdString(), rule_);
    if (!saveBytes(path, QByteArray::fromStdString(text), "Фигура не сохранена в файл %1.")) {
        return false;
    }
    emit patternSaved(path);
    return true;
}

bool PatternFiles::copy()
{
    if (refuseEmpty("Фигура не скопирована.")) {
        return false;
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(rle::WritePattern(pattern_, "Фигура", rule_)));
    return true;
}

bool PatternFiles::paste(std::optional<lattice::GridCell> pointer)
{
    const QString failed = QStringLiteral("Фигура из буфера обмена не вставлена.");
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    if (text.trimmed().isEmpty()) {
        tell(failed + "\n\nВ буфере обмена нет текста.");
        return false;
    }
    const rle::ParseResult parsed = rle::Parse(std::string_view(text.constData(), size_t(text.size())));
    if (!parsed.cells) {
        tell(failed + "\n\n" + QString::fromStdString(rle::Message(parsed.error)));
        return false;
    }
    const rle::Pasting pasted = rle::PlacePaste(*parsed.cells, pointer);
    const QString how = QStringLiteral("вставка фигуры");
    if (pasted.pattern) {
        emit patternRead(*pasted.pattern, how, Source::Clipboard, parsed.cells->rule);
    } else if (pasted.field) {
        emit cellsPasted(*pasted.field, how, parsed.cells->rule);
    } else {
        tell(failed + "\n\n" + QString::fromStdString(rle::Message(pasted.error)));
        return false;
    }
    return true;
}

bool PatternFiles::askOpen()
{
    const std::unique_ptr<QFileDialog> dialog(files::MakeFileDialog(window_, "Открыть фигуру", folder_, RleFilter));
    dialog->setFileMode(QFileDialog::ExistingFile);
    return dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty() &&
           open(dialog->selectedFiles().first());
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

bool PatternFiles::askSave()
{
    if (refuseEmpty("Фигура не сохранена.")) {
        return false;
    }
    const QString path = askSavePath("Сохранить фигуру", RleFilter, "rle");
    return !path.isEmpty() && save(path);
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
