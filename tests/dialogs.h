// Runs an action while a timer answers every modal dialog and closes every
// pop-up menu it opens; each one is recorded as "class: title: text". It
// returns once the pop-ups are closed and the window they came from takes
// the keys again, waiting as long as that takes rather than a fixed time.
#pragma once

#include <functional>

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

namespace testing {

// Makes `window` the window keys go to: QApplication's active window, the
// one shortcuts are matched in. A pop-up closed on the offscreen platform
// can stay QApplication's active window while the window under it keeps
// the platform's focus, where activating the window again changes nothing;
// another window is activated first.
inline bool ActivateWindow(QWidget* window)
{
    auto active = [](QWidget* w) { return [w] { return QApplication::activeWindow() == w; }; };
    window->show();
    window->activateWindow();
    if (active(window)()) return true;
    {
        QWidget detour;
        detour.setWindowTitle(QStringLiteral("?"));
        detour.show();
        detour.activateWindow();
        if (!QTest::qWaitFor(active(&detour), 30000)) return false;
    }
    window->activateWindow();
    return QTest::qWaitFor(active(window), 30000);
}

// With `closePopups` false, pop-up menus are left to the action.
inline QStringList Dismissed(const std::function<void()>& action,
                             const std::function<void(QWidget*)>& answer = {}, bool closePopups = true)
{
    QStringList seen;
    QWidget* const active = QApplication::activeWindow();
    bool closed = false;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr && !closePopups) {
            return;
        } else if (popup != nullptr) {
            seen << QString("%1: %2").arg(popup->metaObject()->className(), popup->accessibleName());
            popup->close();
            closed = true;
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
    // A pop-up opens without a loop of its own: the timer closes it, however
    // long a loaded machine makes that take.
    if (closePopups && !QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 30000)) {
        seen << QStringLiteral("a pop-up still open after 30 s");
    }
    // The window the pop-up came from takes the keys again.
    if (closed && active != nullptr && active->isVisible() && !ActivateWindow(active)) {
        seen << QStringLiteral("the window not active again after a pop-up");
    }
    return seen;
}

}  // namespace testing
