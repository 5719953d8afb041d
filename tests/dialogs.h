// Runs an action while a timer answers every modal dialog and closes every
// pop-up menu it opens; each one is recorded as "class: title: text".
#pragma once

#include <functional>

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

namespace testing {

// With `closePopups` false, pop-up menus are left to the action.
inline QStringList Dismissed(const std::function<void()>& action,
                             const std::function<void(QWidget*)>& answer = {}, bool closePopups = true)
{
    QStringList seen;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr && !closePopups) {
            return;
        } else if (popup != nullptr) {
            seen << QString("%1: %2").arg(popup->metaObject()->className(), popup->accessibleName());
            popup->close();
        } else if (QWidget* modal = QApplication::activeModalWidget()) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen << QString("%1: %2: %3").arg(modal->metaObject()->className(), modal->windowTitle(),
                                               box != nullptr ? box->text() : QString());
            if (answer) {
                answer(modal);
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        }
    });
    timer.start();
    action();
    // A pop-up opens without a loop of its own: give the timer its turn.
    for (int i = 0; i < 4 && QApplication::activePopupWidget() != nullptr; ++i) {
        QTest::qWait(10);
    }
    return seen;
}

}  // namespace testing
