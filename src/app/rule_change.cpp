// The rule the field runs by: chosen in «Правило…», brought by a pattern
// file or the command line. A change of rule is a change of the run: the
// generation shown is run on by the new rule, the later ones dropped, and
// the fate judged from there, as after an edit of the field.
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QUndoStack>

#include "app/changes.h"
#include "app/main_window.h"
#include "app/rule_dialog.h"
#include "commands/command_table.h"
#include "history/colony_plot.h"
#include "surface/picture_box.h"

namespace hexlife {

QString MainWindow::RuleName() const
{
    return FieldRule == rule::Rule() ? QString() : QString::fromStdString(FieldRule.Text());
}

void MainWindow::UseRule(const rule::Rule& Rule)
{
    if (FieldRule == Rule) {
        return;
    }
    FieldRule = Rule;
    const QString name = RuleName();
    if (Plot != nullptr) {
        Plot->setRuleName(name);
    }
    if (KeyList != nullptr) {
        KeyList->setWindowTitle("Клавиши и команды" + (name.isEmpty() ? QString() : " — правило " + name));
    }
    FateShown = -1;
    ShowFate();
    // The thumbnails' fates by the new rule, worked out anew once they
    // have been.
    if (FatesThread != nullptr) {
        StopFigureFates();
        for (PictureBox* thumbnail : Picture2) {
            thumbnail->setToolTip({});
            thumbnail->setAccessibleDescription({});
        }
        StartFigureFates();
    }
}

void MainWindow::ChangeRule(const rule::Rule& Rule)
{
    if (FieldRule == Rule) {
        return;
    }
    // A going run goes on by the new rule, from the generation shown.
    const bool going = Timer1->isActive();
    if (going) {
        Timer1->stop();
    }
    // The generation shown, taken before the change cuts the run there.
    const bool begun = !History.empty();
    const FieldArray shown = ShownField();
    Undo->push(new FieldChange(this, "правило " + QString::fromStdString(Rule.Text()), false, false,
                               [this, Rule, begun, shown] {
                                   UseRule(Rule);
                                   if (begun) {
                                       GoOnFrom(shown);
                                   }
                               }));
    if (going && Run.running() && Run.paused()) {
        RunPause();
    }
    Commands->refresh();
}

void MainWindow::AskRule()
{
    if (const auto chosen = hexlife::AskRule(this, FieldRule)) {
        ChangeRule(*chosen);
    }
}

}  // namespace hexlife
