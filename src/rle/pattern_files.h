// The window's way to pattern files: Open (Ctrl+O) and Save (Ctrl+S) with a
// file dialog, a file dropped on the window, the file named on the command
// line, and Copy (Ctrl+C) and Paste (Ctrl+V) of RLE text. The format itself
// is rle.h's; what a file yields goes into the editor through the window's
// own procedure, as choosing a figure does. Whatever is wrong with a file,
// one message box says so and nothing else changes.
#pragma once

#include <QObject>
#include <QString>

namespace hexlife {

class MainWindow;

class PatternFiles : public QObject {
    Q_OBJECT
public:
    explicit PatternFiles(MainWindow* window);

    // Each returns whether it succeeded; a failure has been told to the user.
    bool open(const QString& path);
    bool save(const QString& path);
    void copy();
    bool paste();

    // The shortcuts, for the tooltips of the views they act on.
    static QString ShortcutsTip();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool openText(const QByteArray& text, const QString& source);
    void tell(const QString& message);
    void askOpen();
    void askSave();
    void pasteFromKey();

    MainWindow* window_;
    QString folder_;  // where the last file was opened or saved
};

}  // namespace hexlife
