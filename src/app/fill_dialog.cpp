#include "app/fill_dialog.h"

#include <random>

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>

#include "engine/field_edit.h"

namespace hexlife {

std::optional<FillChoice> AskFill(QWidget* parent, FillChoice last, bool hasSelection)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Заполнить случайно"));
    dialog.setAccessibleName(QStringLiteral("Заполнить случайно"));

    auto* density = new QSpinBox(&dialog);
    density->setRange(1, 100);
    density->setSuffix(QStringLiteral(" %"));
    density->setValue(last.percent);
    density->setAccessibleName(QStringLiteral("Плотность"));

    // A soup up to the frame would end its run at the first tick.
    auto* whole = new QRadioButton(QStringLiteral("всё поле, кроме двух клеток у края"), &dialog);
    whole->setToolTip(QStringLiteral("Клетки у края поля остаются пустыми: иначе колония коснулась бы края "
                                     "и остановилась на первом же цикле."));
    auto* centred = new QRadioButton(QStringLiteral("прямоугольник в середине поля:"), &dialog);
    auto* selection = new QRadioButton(QStringLiteral("выделенное"), &dialog);
    selection->setEnabled(hasSelection);
    auto* areas = new QButtonGroup(&dialog);
    for (QRadioButton* button : {whole, centred, selection}) {
        areas->addButton(button);
        button->setAccessibleName(button->text());
    }
    auto* columns = new QSpinBox(&dialog);
    columns->setRange(1, RunnableArea.columns());
    columns->setValue(last.columns);
    columns->setAccessibleName(QStringLiteral("Столбцов"));
    auto* rows = new QSpinBox(&dialog);
    rows->setRange(1, RunnableArea.rows());
    rows->setValue(last.rows);
    rows->setAccessibleName(QStringLiteral("Клеток в столбце"));
    (hasSelection ? selection : last.area == FillChoice::Area::Whole ? whole : centred)->setChecked(true);
    auto size = [&] {
        columns->setEnabled(centred->isChecked());
        rows->setEnabled(centred->isChecked());
    };
    size();
    QObject::connect(areas, &QButtonGroup::buttonToggled, &dialog, size);

    // Seeds of up to 19 digits: any of them fits 64 bits.
    auto* seed = new QLineEdit(&dialog);
    seed->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,19}")), seed));
    seed->setAccessibleName(QStringLiteral("Зерно"));
    std::random_device device;
    auto fresh = [&] { seed->setText(QString::number(((std::uint64_t(device()) << 32) | device()) % 1000000000)); };
    fresh();
    auto* another = new QPushButton(QStringLiteral("Другое"), &dialog);
    another->setAccessibleName(QStringLiteral("Другое зерно"));
    another->setAutoDefault(false);
    QObject::connect(another, &QPushButton::clicked, &dialog, fresh);

    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("Плотность:"), density);
    form->addRow(QStringLiteral("Где:"), whole);
    auto* rectangle = new QHBoxLayout;
    rectangle->addWidget(centred);
    rectangle->addWidget(columns);
    rectangle->addWidget(new QLabel(QStringLiteral("×"), &dialog));
    rectangle->addWidget(rows);
    rectangle->addWidget(new QLabel(QStringLiteral("клеток"), &dialog));
    form->addRow(QString(), rectangle);
    form->addRow(QString(), selection);
    auto* seedRow = new QHBoxLayout;
    seedRow->addWidget(seed);
    seedRow->addWidget(another);
    form->addRow(QStringLiteral("Зерно:"), seedRow);
    form->addRow(new QLabel(QStringLiteral("Одно и то же зерно даёт ту же самую россыпь."), &dialog));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);

    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    FillChoice choice;
    choice.percent = density->value();
    choice.area = whole->isChecked() ? FillChoice::Area::Whole
                  : selection->isChecked() ? FillChoice::Area::Selection
                                           : FillChoice::Area::Centred;
    choice.columns = columns->value();
    choice.rows = rows->value();
    choice.seed = seed->text().toULongLong();
    return choice;
}

}  // namespace hexlife
