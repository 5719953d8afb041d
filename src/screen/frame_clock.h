// When the window may show a change on screen: at most once per display
// frame. Plain C++; times in nanoseconds of any steady clock.
#pragma once

#include <cstdint>

namespace hexlife {

// The refresh rate assumed where the screen reports none, and the range of
// rates taken as reported.
constexpr double DefaultRefreshRate = 60.0;
constexpr double MinRefreshRate = 20.0;
constexpr double MaxRefreshRate = 500.0;

class FrameClock {
public:
    // The display's refresh rate in Hz; none (0) or a nonsense value means 60.
    explicit FrameClock(double refreshRate = 0);

    std::int64_t period() const { return period_; }
    // Whether a repaint asked for at `now` may go to the screen at once.
    bool mayShow(std::int64_t now) const { return !shown_ || now - last_ >= period_; }
    // Nanoseconds from `now` until the next repaint may go (0 when it may now).
    std::int64_t waitFrom(std::int64_t now) const;
    // A repaint went to the screen at `now`.
    void shown(std::int64_t now);

private:
    std::int64_t period_;
    std::int64_t last_ = 0;
    bool shown_ = false;
};

}  // namespace hexlife
