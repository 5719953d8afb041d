#include "screen/frame_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace hexlife {

FramePacer::FramePacer(QWidget* window)
    : QObject(window), window_(window),
      clock_(window->screen() != nullptr ? window->screen()->refreshRate() : 0)
{
    time_.start();
    heldFrame_.setSingleShot(true);
    heldFrame_.setTimerType(Qt::PreciseTimer);
    connect(&heldFrame_, &QTimer::timeout, this, &FramePacer::showHeldFrame);
    window->installEventFilter(this);
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_ || event->type() != QEvent::UpdateRequest || showing_) {
        return false;
    }
    const std::int64_t now = time_.nsecsElapsed();
    if (clock_.mayShow(now)) {
        clock_.shown(now);
        ++framesShown_;
        return false;  // Qt repaints and flushes now
    }
    // Held back: Qt keeps gathering the changes and asks no more until the
    // held request is served, at the start of the next frame.
    if (!heldFrame_.isActive()) {
        holdUntilNextFrame(now);
    }
    return true;
}

void FramePacer::holdUntilNextFrame(std::int64_t now)
{
    const std::int64_t nsPerMs = 1000000;
    heldFrame_.start(int((clock_.waitFrom(now) + nsPerMs - 1) / nsPerMs));  // rounded up
}

void FramePacer::showHeldFrame()
{
    const std::int64_t now = time_.nsecsElapsed();
    if (!clock_.mayShow(now)) {
        holdUntilNextFrame(now);
        return;
    }
    clock_.shown(now);
    ++framesShown_;
    showing_ = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(window_, &request);
    showing_ = false;
}

}  // namespace hexlife
