#include "engine/run_state.h"

namespace hexlife {

void RunState::start()
{
    running_ = true;
    started_ = true;
    paused_ = false;
}

void RunState::stop()
{
    running_ = false;
    paused_ = false;
}

void RunState::holdPaused()
{
    running_ = true;
    started_ = true;
    paused_ = true;
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
        return pace.empty() ? PauseCaption : std::string(PauseCaption) + ", " + pace;
    }
    return pace;
}

}  // namespace hexlife
