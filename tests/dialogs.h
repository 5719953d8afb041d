// Runs an action while a timer answers every modal dialog and closes every
// pop-up menu it opens; each one is recorded as "class: title: text".
#pragma once

#include <functional>

#include <QApplication>
#include <QDeadlineTimer>
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
    // A pop-up opens without a loop of its own: give the timer its turn,
    // until it is closed.
    auto waitUntil = [](const std::function<bool()>& done) {
        QDeadlineTimer deadline(10000);
        while (!done() && !deadline.hasExpired()) {
            QTest::qWait(5);
        }
    };
    if (closePopups) {
        waitUntil([] { return QApplication::activePopupWidget() == nullptr; });
    }
    // A closed pop-up gives the activation back to the window under it, and
    // only then do that window's keys reach its actions. A window system
    // does it at once; the offscreen platform only when the pop-up's hiding
    // wins a race with its own activation, else the hidden menu stays the
    // active window: it is given back here, as a window system would.
    if (!seen.isEmpty() && QApplication::activePopupWidget() == nullptr) {
        if (QWidget* active = QApplication::activeWindow();
            active != nullptr && !active->isVisible() && active->parentWidget() != nullptr) {
            active->parentWidget()->window()->activateWindow();
        }
        waitUntil([] { return QApplication::activeWindow() == nullptr || QApplication::activeWindow()->isVisible(); });
    }
    return seen;
}

}  // namespace testing
