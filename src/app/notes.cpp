// Words in the top bar, in the fate's place, on what the user may do: for a
// while, then the fate again.
#include <QLabel>
#include <QSettings>
#include <QTimer>

#include "app/main_window.h"

namespace hexlife {

namespace {

// How long a word stays.
constexpr int NoteMs = 8000;

}  // namespace

void MainWindow::TellWhatFieldClicksDo()
{
    // Once for a user: the first pause is when a click on the field first
    // can change it.
    QSettings settings(QStringLiteral("hexagonal-life"), QStringLiteral("hexagonal-life"));
    if (settings.value(QStringLiteral("told/fieldClicks"), false).toBool()) {
        return;
    }
    settings.setValue(QStringLiteral("told/fieldClicks"), true);
    ShowNote(QStringLiteral("Щелчок по полю рисует и стирает клетки"));
}

void MainWindow::EndNote()
{
    ++NotesShown;
    FateShown = -1;
    ShowFate();
}

void MainWindow::ShowNote(const QString& Note)
{
    Label4->setText(Note);
    NameLabelValue(Label4, Label4Name);
    FateShown = -1;  // the fate comes back with the next change, or:
    const std::uint64_t note = ++NotesShown;
    QTimer::singleShot(NoteMs, this, [this, note] {
        if (note == NotesShown) {
            FateShown = -1;
            ShowFate();
        }
    });
}

}  // namespace hexlife
