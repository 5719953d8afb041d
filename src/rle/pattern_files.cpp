#include "rle/pattern_files.h"

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QSaveFile>
#include <QShortcut>

#include "app/main_window.h"
#include "rle/rle.h"

namespace hexlife {

namespace {

const char* const FileFilter = "Фигуры RLE (*.rle);;Все файлы (*)";

QString Quoted(const QString& path) { return "«" + QFileInfo(path).fileName() + "»"; }

// The one local file a drag carries, or nothing.
QString DraggedFile(const QMimeData* data)
{
    if (data == nullptr || data->urls().size() != 1 || !data->urls().first().isLocalFile()) {
        return {};
    }
    return data->urls().first().toLocalFile();
}

}  // namespace

PatternFiles::PatternFiles(MainWindow* window) : QObject(window), window_(window)
{
    folder_ = QDir::homePath();
    const std::pair<QKeySequence::StandardKey, void (PatternFiles::*)()> keys[] = {
        {QKeySequence::Open, &PatternFiles::askOpen},
        {QKeySequence::Save, &PatternFiles::askSave},
        {QKeySequence::Copy, &PatternFiles::copy},
        {QKeySequence::Paste, &PatternFiles::pasteFromKey},
    };
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), window);
        connect(shortcut, &QShortcut::activated, this, action);
    }
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QString PatternFiles::ShortcutsTip()
{
    auto key = [](QKeySequence::StandardKey k) { return QKeySequence(k).toString(QKeySequence::NativeText); };
    return QString("%1 — открыть фигуру из файла RLE, %2 — сохранить её;\n"
                   "%3 / %4 — копировать и вставить фигуру как текст RLE.")
        .arg(key(QKeySequence::Open), key(QKeySequence::Save), key(QKeySequence::Copy),
             key(QKeySequence::Paste));
}

void PatternFiles::tell(const QString& message)
{
    QMessageBox::warning(window_, QString::fromUtf8(WindowCaption), message);
}

bool PatternFiles::openText(const QByteArray& text, const QString& source)
{
    const rle::ReadResult read = rle::ReadPattern(std::string_view(text.constData(), size_t(text.size())));
    if (!read.pattern) {
        tell(source + "\n\n" + QString::fromStdString(rle::Message(read.error)));
        return false;
    }
    window_->PatternFile_Open(*read.pattern);
    return true;
}

bool PatternFiles::open(const QString& path)
{
    const QString failed = "Фигура из файла " + Quoted(path) + " не открыта.";
    const QFileInfo info(path);
    if (!info.exists()) {
        tell(failed + "\n\nТакого файла нет.");
        return false;
    }
    if (!info.isFile()) {
        tell(failed + "\n\nЭто не файл, а папка или устройство.");
        return false;
    }
    // Refused before it is read whole.
    if (info.size() > MaxPatternFileBytes) {
        rle::Error tooBig;
        tooBig.kind = rle::ErrorKind::TooBig;
        tell(failed + "\n\n" + QString::fromStdString(rle::Message(tooBig)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        tell(failed + "\n\nФайл не читается: " + file.errorString());
        return false;
    }
    const QByteArray text = file.read(MaxPatternFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        tell(failed + "\n\nФайл не читается: " + file.errorString());
        return false;
    }
    folder_ = info.absolutePath();
    return openText(text, failed);
}

bool PatternFiles::save(const QString& path)
{
    const QString failed = "Фигура не сохранена в файл " + Quoted(path) + ".";
    const std::string text =
        rle::WritePattern(window_->PatternCells, QFileInfo(path).completeBaseName().toStdString());
    // Written beside the file and renamed over it at the end, so that a save
    // that fails leaves what was there untouched.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size()) ||
        !file.commit()) {
        tell(failed + "\n\n" + file.errorString());
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    return true;
}

void PatternFiles::copy()
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(rle::WritePattern(window_->PatternCells, "Фигура")));
}

bool PatternFiles::paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.trimmed().isEmpty()) {
        tell("Фигура не вставлена.\n\nВ буфере обмена нет текста.");
        return false;
    }
    return openText(text.toUtf8(), "Фигура из буфера обмена не вставлена.");
}

void PatternFiles::pasteFromKey()
{
    paste();
}

void PatternFiles::askOpen()
{
    const QString path = QFileDialog::getOpenFileName(window_, "Открыть фигуру", folder_, FileFilter);
    if (!path.isEmpty()) {
        open(path);
    }
}

void PatternFiles::askSave()
{
    QString path = QFileDialog::getSaveFileName(window_, "Сохранить фигуру", folder_, FileFilter);
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += ".rle";
    }
    save(path);
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
