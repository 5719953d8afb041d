#include "screen/frame_clock.h"


namespace hexlife {

FrameClock::FrameClock(double refreshRate)
{
    const double rate = refreshRate >= MinRefreshRate && refreshRate <= MaxRefreshRate
                            ? refreshRate
                            : DefaultRefreshRate;
    period_ = std::int64_t(1e9 / rate);
}

std::int64_t FrameClock::waitFrom(std::int64_t now) const
{
    return mayShow(now) ? 0 : last_ + period_ - now;
}

void FrameClock::shown(std::int64_t now)
{
    last_ = now;
    shown_ = true;
}

}  // namespace hexlife
