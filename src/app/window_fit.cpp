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
#include <QDialog>

#include "app/main_window.h"
#include "commands/command_table.h"
#include "history/colony_plot.h"
#include "screen/window_place.h"
#include "ui/search_window.h"
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
    StartFigureFatesSoon();
    WatchScreen();
    Refit();
    // The window manager's frame is known only once it has framed the window.
    for (int ms : {100, 500}) {
        QTimer::singleShot(ms, this, [this] { Refit(); });
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Maximized, the window shows the largest scale its work area holds, in
    // its middle; restored, the fitted one. The frame changes with the state and is
    // known once the window manager has framed it anew.
    if (event->type() == QEvent::WindowStateChange) {
        Refit();
        for (int ms : {100, 400}) {
            QTimer::singleShot(ms, this, [this] { Refit(); });
        }
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isMaximized()) {
        Refit();
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
    if (isMaximized()) {
        // The window manager sizes a maximized window: the window lets it,
        // and its content takes the largest scale that size holds.
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        const double scale = FitScale(ClientWidth, ClientHeight, 0, 0, width(), height());
        if (scale != WindowScale) {
            ApplyScale(scale);
        }
        CentreContent();
        Commands->refresh();
        return;
    }
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const int frameWidth = frame.width() - width(), frameHeight = frame.height() - height();
    FitMax = FitScale(ClientWidth, ClientHeight, frameWidth, frameHeight, area.width(), area.height());
    const double scale = EffectiveScale(Zoom, FitMax);
    // Restored from maximized, the size is fixed again.
    if (scale != WindowScale || minimumSize() != maximumSize()) {
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

void MainWindow::PlaceBeside(QWidget* window)
{
    QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    // The new window is not framed yet: its frame is taken to be the main
    // window's. The main window first, then the others that are open.
    const QSize frame = frameGeometry().size() - size();
    // Shortened to the work area where its layout lets it.
    const QSize room = screen->availableGeometry().size() - frame - QSize(1, 1);
    if (window->width() > room.width() || window->height() > room.height()) {
        window->resize(window->size().boundedTo(room).expandedTo(window->minimumSizeHint()));
    }
    const QSize size = window->size() + frame;
    std::vector<ScreenRect> taken;
    for (QWidget* shown : {static_cast<QWidget*>(this), static_cast<QWidget*>(Plot), static_cast<QWidget*>(KeyList),
                           static_cast<QWidget*>(Search)}) {
        if (shown != nullptr && shown != window && shown->isVisible()) {
            const QRect r = shown->frameGeometry();
            taken.push_back({r.x(), r.y(), r.width(), r.height()});
        }
    }
    // A pixel short of the work area's right and bottom edges: at a
    // fractional scale a window's edge may round one device pixel outward.
    const QRect area = screen->availableGeometry().adjusted(0, 0, -1, -1);
    if (const auto place = BesidePlace(taken, size.width(), size.height(), {area.x(), area.y(), area.width(), area.height()})) {
        window->move(place->x, place->y);
        return;
    }
    // No room beside: the work area's bottom right, clear of the editor and
    // the thumbnails at the main window's left, its title bar always on the
    // screen.
    window->move(std::max(area.left(), area.right() + 1 - size.width()),
                 std::max(area.top(), area.bottom() + 1 - size.height()));
}

// A zoom asked for while maximized restores the window first: the zoom is
// the size of the window as the user sets it.
void MainWindow::LeaveMaximized()
{
    if (isMaximized()) {
        showNormal();
    }
}

bool MainWindow::CanZoomIn() const
{
    return WindowScale + 1e-6 < FitMax && WindowScale + 1e-6 < MaxWindowScale;
}

void MainWindow::ZoomIn()
{
    LeaveMaximized();
    Zoom = hexlife::ZoomIn(WindowScale);
    Settings().setValue(QStringLiteral("zoom"), Zoom);
    Refit();
}

void MainWindow::ZoomOut()
{
    LeaveMaximized();
    Zoom = hexlife::ZoomOut(WindowScale);
    Settings().setValue(QStringLiteral("zoom"), Zoom);
    Refit();
}

void MainWindow::ZoomReset()
{
    LeaveMaximized();
    Zoom = 1.0;
    Settings().setValue(QStringLiteral("zoom"), Zoom);
    Refit();
}

}  // namespace hexlife
