// The window fitted to the screen it is on: drawn smaller where its
// usual 993 × 717 would not fit the work area, again when it moves to another
// screen or the screen changes, and zoomed by the user within what the work
// area holds; the zoom is remembered across starts.
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

#include "app/main_window.h"
#include "commands/command_table.h"
#include "screen/window_scale.h"

namespace hexlife {

namespace {

QSettings Settings() { return QSettings(QStringLiteral("hexagonal-life"), QStringLiteral("hexagonal-life")); }

}  // namespace

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    Zoom = Settings().value(QStringLiteral("zoom"), 1.0).toDouble();
    WatchScreen();
    Refit();
    // The window manager's frame is known only once it has framed the window.
    for (int ms : {100, 500}) {
        QTimer::singleShot(ms, this, [this] { Refit(); });
    }
}

void MainWindow::WatchScreen()
{
    if (windowHandle() == nullptr) {
        return;
    }
    auto watch = [this](QScreen* screen) {
        for (auto& connection : ScreenWatch) {
            disconnect(connection);
        }
        if (screen == nullptr) return;
        ScreenWatch[0] = connect(screen, &QScreen::availableGeometryChanged, this, [this] { Refit(); });
        ScreenWatch[1] = connect(screen, &QScreen::geometryChanged, this, [this] { Refit(); });
        ScreenWatch[2] = connect(screen, &QScreen::logicalDotsPerInchChanged, this, [this] { Refit(); });
    };
    watch(windowHandle()->screen());
    if (!ScreenWatched) {
        ScreenWatched = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this, watch](QScreen* screen) {
            watch(screen);
            Refit();
        });
    }
}

void MainWindow::Refit()
{
    QScreen* screen = windowHandle() != nullptr ? windowHandle()->screen() : this->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const int frameWidth = frame.width() - width(), frameHeight = frame.height() - height();
    FitMax = FitScale(ClientWidth, ClientHeight, frameWidth, frameHeight, area.width(), area.height());
    const double scale = EffectiveScale(Zoom, FitMax);
    if (scale != WindowScale) {
        ApplyScale(scale);
    }
    // Wholly inside the work area, frame and all.
    const QRect now = frameGeometry();
    if (isVisible() && !area.contains(now) && now.width() <= area.width() && now.height() <= area.height()) {
        move(pos() + QPoint(std::clamp(now.left(), area.left(), area.right() - now.width() + 1) - now.left(),
                            std::clamp(now.top(), area.top(), area.bottom() - now.height() + 1) - now.top()));
    }
    Commands->refresh();
}

bool MainWindow::CanZoomIn() const
{
    return WindowScale + 1e-6 < FitMax && WindowScale + 1e-6 < MaxWindowScale;
}

void MainWindow::ZoomIn()
{
    Zoom = hexlife::ZoomIn(WindowScale, FitMax);
    Settings().setValue(QStringLiteral("zoom"), Zoom);
    Refit();
}

void MainWindow::ZoomOut()
{
    Zoom = hexlife::ZoomOut(WindowScale);
    Settings().setValue(QStringLiteral("zoom"), Zoom);
    Refit();
}

void MainWindow::ZoomReset()
{
    Zoom = 1.0;
    Settings().setValue(QStringLiteral("zoom"), Zoom);
    Refit();
}

}  // namespace hexlife
