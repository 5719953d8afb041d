// The window's way to pattern files: Open and Save with a file dialog, a
// file dropped on the window, the file named on the command line, and Copy
// and Paste of RLE text. The format itself is rle.h's, the safe reading and
// writing of files files/safe_files.h's. A pattern read is handed on by the
// signal patternRead; whatever is wrong, one Russian message box says so and
// nothing else changes.
#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

#include "lattice/lattice.h"
#include "model.h"
#include "rule/rule.h"

class QImage;
class QWidget;

namespace hexlife {

class PatternFiles : public QObject {
    Q_OBJECT
public:
    // `pattern` is what Save and Copy write, with `rule` in the header: the
    // window's pattern and rule, which outlive this object.
    PatternFiles(QWidget* window, const PatternArray& pattern, const rule::Rule& rule);

    // Where a pattern read comes from: a file, the clipboard, or the
    // program itself (the search's objects).
    enum class Source { File, Clipboard, Program };

    // Each returns whether it succeeded; a failure has been told to the user.
    bool open(const QString& path);
    // A path as the bytes the system knows it by, whatever their encoding.
    bool openBytes(const QByteArray& path);
    bool save(const QString& path);
    bool copy();
    // The clipboard's pattern where it belongs (rle::PlacePaste): `pointer`
    // is the field cell under the pointer, where it is over the field.
    bool paste(std::optional<lattice::GridCell> pointer = std::nullopt);
    // RLE text from elsewhere, opened as a file's is: `failed` begins the
    // message if it cannot be, `how` names the change.
    bool openText(const QByteArray& text, const QString& failed, const QString& how, Source source = Source::Program);
    // With a file dialog first; whether a file was opened or saved.
    bool askOpen();
    bool askSave();

    // Whether the pattern has a live cell: there is something to save.
    bool hasPattern() const;

    // Writes bytes to a file as a whole, or leaves the old file as it was and
    // tells why, after `failed` with %1 for the file's name: every save of
    // the program goes through here.
    bool saveBytes(const QString& path, const QByteArray& bytes, const QString& failed);
    // A save dialog that adds the suffix before it asks whether to replace.
    QString askSavePath(const QString& title, const QString& filter, const QString& suffix);
    // A picture saved as PNG, its file asked for with `title`.
    bool askSavePng(const QImage& picture, const QString& title, const QString& failed);

    // The save dialogs' filter for RLE files.
    static const char* const RleFilter;

signals:
    // A pattern that fits the editor; `how` names the change («открытие
    // фигуры», «вставка фигуры»); `rule` is the file's (B2/S2H where it
    // names none).
    void patternRead(const PatternArray& pattern, const QString& how, PatternFiles::Source source,
                     const rule::Rule& rule);
    // One that does not, on the field: centred, or where a field saved at a
    // generation of a run stood.
    void fieldRead(const FieldArray& field, const QString& how, PatternFiles::Source source, const rule::Rule& rule);
    // A pasted pattern's cells (field cell numbers), to add to the field's.
    void cellsPasted(const std::vector<int>& cells, const QString& how, const rule::Rule& rule);
    // The pattern was saved to, or a pattern opened from, a file.
    void patternSaved(const QString& path);
    void fileOpened(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tell(const QString& message);
    bool refuseEmpty(const QString& what);

    QWidget* window_;
    const PatternArray& pattern_;
    const rule::Rule& rule_;
    QString folder_;  // where the last file was opened or saved
};

}  // namespace hexlife
