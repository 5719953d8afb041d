#include "app/rule_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "rule/rule_words.h"

namespace hexlife {

RuleDialog::RuleDialog(const rule::Rule& current, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Правило"));
    setAccessibleName(QStringLiteral("Правило"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    text = new QLineEdit(QString::fromStdString(current.Text()), this);
    text->setAccessibleName(QStringLiteral("Запись правила"));
    text->setToolTip(QStringLiteral("B — число соседей, при котором клетка рождается, S — при котором выживает, "
                                    "H в конце — шестиугольная решётка.\nБуквы o, m, p после 2, 3 и 4 задают, как "
                                    "стоят соседи; MAP и 22 знака base64 — любое правило, как в Golly."));
    form->addRow(QStringLiteral("Правило:"), text);
    check = new QLabel(this);
    check->setWordWrap(true);
    check->setTextFormat(Qt::PlainText);
    check->setAccessibleName(QStringLiteral("Проверка правила"));
    form->addRow(QString(), check);
    map = new QLabel(this);
    map->setTextFormat(Qt::PlainText);
    map->setTextInteractionFlags(Qt::TextSelectableByMouse);
    map->setAccessibleName(QStringLiteral("Строка MAP"));
    form->addRow(QStringLiteral("Строка MAP:"), map);
    layout->addLayout(form);

    auto* knownCaption = new QLabel(QStringLiteral("Правила, которые стоит знать:"), this);
    layout->addWidget(knownCaption);
    known = new QListWidget(this);
    known->setAccessibleName(QStringLiteral("Правила, которые стоит знать"));
    knownCaption->setBuddy(known);
    for (const KnownRule& entry : KnownRules) {
        auto* item = new QListWidgetItem(QString::fromUtf8(entry.text) + " — " + QString::fromUtf8(entry.note), known);
        item->setData(Qt::UserRole, QString::fromUtf8(entry.text));
    }
    known->setMinimumWidth(known->sizeHintForColumn(0) + 24);
    known->setMinimumHeight(known->sizeHintForRow(0) * KnownRuleCount + 8);
    layout->addWidget(known);
    connect(known, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item != nullptr) text->setText(item->data(Qt::UserRole).toString());
    });
    connect(known, &QListWidget::itemActivated, this, [this] {
        if (rule_) accept();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("ОК"));
    ok->setAccessibleName(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(text, &QLineEdit::textChanged, this, &RuleDialog::checkText);
    checkText();
    text->selectAll();
    text->setFocus();
}

void RuleDialog::checkText()
{
    const rule::ParseResult read = rule::Parse(text->text().toStdString());
    rule_ = read.rule;
    ok->setEnabled(rule_.has_value());
    if (!rule_) {
        check->setText(QString::fromStdString(rule::Sentence(read.error)));
        map->setText(QStringLiteral("—"));
    } else {
        const QString canonical = QString::fromStdString(rule_->Text());
        const QString kind = QString::fromStdString(rule::Kind(*rule_));
        check->setText(QStringLiteral("Правило %1, %2.").arg(canonical, kind) +
                       (rule_->HasB0() ? QStringLiteral(" Пустая клетка без живых соседей рождается (B0).")
                                       : QString()));
        map->setText(QString::fromStdString(rule_->Map()));
    }
    check->setAccessibleDescription(check->text());
    map->setAccessibleDescription(map->text());
}

std::optional<rule::Rule> AskRule(QWidget* parent, const rule::Rule& current)
{
    RuleDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.rule();
}

}  // namespace hexlife
