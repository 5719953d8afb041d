// Shows the window's changes on screen at most once per display frame. The
// widgets paint into the window's backing store as always; what is held
// back is Qt's request to repaint and flush it, so that all that changed
// within a frame (the field, the count, the preview) goes to the screen in
// one repaint. Between frames the model runs on untouched: a tick draws the
// persistent images and sets the count's text exactly as before.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "screen/frame_clock.h"

class QWidget;

namespace hexlife {

class FramePacer : public QObject {
    Q_OBJECT
public:
    // Paces the repaints of `window`, a top-level widget, at its screen's rate.
    explicit FramePacer(QWidget* window);

    // The repaints that went to the screen so far.
    int framesShown() const { return framesShown_; }
    std::int64_t framePeriodNs() const { return clock_.period(); }
    // Whether a repaint is held back until the next frame.
    bool holding() const { return heldFrame_.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void holdUntilNextFrame(std::int64_t now);
    void showHeldFrame();

    QWidget* window_;
    FrameClock clock_;
    QElapsedTimer time_;
    QTimer heldFrame_;
    bool showing_ = false;
    int framesShown_ = 0;
};

}  // namespace hexlife
