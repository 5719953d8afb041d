// The rule the field runs by: chosen in «Правило…», brought by a pattern
// file or the command line. A change of rule is a change of the run: the
// generation shown is run on by the new rule, the later ones dropped, and
// the fate judged from there, as after an edit of the field.
#include "app/main_window.h"
#include "app/rule_dialog.h"

namespace hexlife {

QString MainWindow::RuleName() const
{
    return FieldRule == rule::Rule() ? QString() : QString::fromStdString(FieldRule.Text());
}

void MainWindow::UseRule(const rule::Rule& Rule)
{
    // The status strip, the plot, the key list and the thumbnails follow
    // the Workspace's word that the rule changed.
    Work->setRule(Rule);
}

void MainWindow::ChangeRule(const rule::Rule& Rule)
{
    Work->changeRule(Rule);
}

void MainWindow::AskRule()
{
    if (const auto chosen = hexlife::AskRule(this, FieldRule)) {
        ChangeRule(*chosen);
    }
}

}  // namespace hexlife
