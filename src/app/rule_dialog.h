// «Правило»: the rule's text checked as it is typed (the reason it is
// refused, in Russian, and «ОК» disabled until it reads), the rules worth
// knowing to pick from, each with a line on what it does, and the rule's
// MAP string, as Golly reads any rule of the hexagonal grid.
#pragma once

#include <optional>

#include <QDialog>

#include "rule/known_rules.h"
#include "rule/rule.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace hexlife {

using rule::KnownRule;
using rule::KnownRuleCount;
using rule::KnownRules;

class RuleDialog : public QDialog {
    Q_OBJECT
public:
    RuleDialog(const rule::Rule& current, QWidget* parent = nullptr);

    // The rule the text reads as; none while it is refused.
    const std::optional<rule::Rule>& rule() const { return rule_; }

    QLineEdit* text = nullptr;
    QLabel* check = nullptr;  // what is wrong, or how the rule reads
    QLabel* map = nullptr;    // its MAP string
    QListWidget* known = nullptr;
    QPushButton* ok = nullptr;

private:
    void checkText();
    std::optional<rule::Rule> rule_;
};

// The dialog run; the rule chosen, none when it was cancelled.
std::optional<rule::Rule> AskRule(QWidget* parent, const rule::Rule& current);

}  // namespace hexlife
