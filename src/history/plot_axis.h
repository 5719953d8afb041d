// The plot's axes: round numbers for their ticks. Plain C++.
#pragma once

namespace hexlife {

// The step between ticks for an axis of whole numbers that spans `span`,
// for about `ticks` ticks: 1, 2 or 5 times a power of ten, at least 1.
constexpr long long NiceStep(long long span, int ticks)
{
    long long step = 1;
    while (true) {
        for (long long factor : {1, 2, 5}) {
            if (span <= step * factor * ticks) return step * factor;
        }
        step *= 10;
    }
}

// The smallest multiple of `step` at or above `value` (value >= 0).
constexpr long long RoundUp(long long value, long long step)
{
    return (value + step - 1) / step * step;
}

}  // namespace hexlife
