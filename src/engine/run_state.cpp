#include "engine/run_state.h"

namespace hexlife {

void RunState::start()
{
    running_ = true;
    started_ = true;
    paused_ = false;
    review_ = false;
}

void RunState::stop()
{
    running_ = false;
    paused_ = false;
    review_ = false;
}

void RunState::holdPaused(bool ended)
{
    running_ = true;
    started_ = true;
    paused_ = true;
    review_ = ended;
}

void RunState::takeModeOf(const RunState& other)
{
    running_ = other.running_;
    paused_ = other.paused_;
    review_ = other.review_;
    started_ = other.started_;
}

bool RunState::togglePause()
{
    if (!running_) {
        return false;
    }
    paused_ = !paused_;
    return true;
}

bool RunState::faster()
{
    if (!canGoFaster()) {
        return false;
    }
    --pace_;
    return true;
}

bool RunState::slower()
{
    if (!canGoSlower()) {
        return false;
    }
    ++pace_;
    return true;
}

std::string RunState::statusText() const
{
    const std::string pace = pace_ == 0 ? "" : std::to_string(intervalMs()) + " мс";
    if (paused_) {
        const std::string caption = review_ ? ReviewCaption : PauseCaption;
        return pace.empty() ? caption : caption + ", " + pace;
    }
    return pace;
}

}  // namespace hexlife
