#include "app/exit_question.h"

#include <algorithm>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "program.h"
#include "rle/pattern_files.h"

namespace hexlife {

bool MayEnd(MainWindow& window)
{
    const FieldArray shown = window.Work->shownField();
    const bool field = window.Unsaved->unsaved(WorkPart::Field) &&
                       std::any_of(shown.begin(), shown.begin() + FieldCellCount, [](std::int8_t c) { return c == 1; });
    const bool pattern = window.Unsaved->unsaved(WorkPart::Pattern) && window.Files->hasPattern();
    if (!field && !pattern) {
        return true;
    }
    const bool going = window.Timer1->isActive();
    window.Timer1->stop();
    const QString what = field && pattern ? QStringLiteral("Клетки, нарисованные на поле, и фигура в редакторе не сохранены.")
                         : field          ? QStringLiteral("Клетки, нарисованные на поле, не сохранены.")
                                          : QStringLiteral("Фигура в редакторе изменена и не сохранена.");
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(WindowCaption), what + QStringLiteral("\nСохранить перед выходом?"),
                    QMessageBox::NoButton, &window);
    box.setAccessibleName(QStringLiteral("Сохранить перед выходом?"));
    QPushButton* save = box.addButton(QStringLiteral("Сохранить…"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Выйти без сохранения"), QMessageBox::DestructiveRole);
    QPushButton* stay = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    for (QPushButton* button : {save, discard, stay}) {
        button->setAccessibleName(button->text());
    }
    box.setDefaultButton(save);
    box.setEscapeButton(stay);
    box.exec();
    bool end = box.clickedButton() == discard;
    if (box.clickedButton() == save) {
        // Each save asks for its file; a save cancelled or failed stays.
        end = (!field || window.SaveFieldRle()) && (!pattern || window.Files->askSave());
    }
    if (!end && going) {
        window.Timer1->start();
    }
    return end;
}

}  // namespace hexlife
