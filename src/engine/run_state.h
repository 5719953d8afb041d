// The run's state beside the timer: whether a run is going, whether it is
// paused, and its pace. Plain C++; the window starts and stops Timer1 by it.
#pragma once

#include <array>
#include <string>

namespace hexlife {

// Timer1's interval as laid out: a tick every millisecond.
constexpr int TimerIntervalMs = 1;
// The paces + and - move the tick interval along; the first is the start.
constexpr std::array<int, 9> PaceIntervalsMs{TimerIntervalMs, 2, 5, 10, 20, 50, 100, 200, 500};
// What the status says of a paused run, and of a run that has ended shown
// at an earlier generation.
constexpr const char* PauseCaption = "Пауза";
constexpr const char* ReviewCaption = "Просмотр";

class RunState {
public:
    bool running() const { return running_; }
    bool paused() const { return paused_; }
    // Paused in a run that has ended: Space plays it on to its end.
    bool reviewing() const { return paused_ && review_; }
    // Whether any run has begun since the program started.
    bool hasStarted() const { return started_; }
    bool canGoFaster() const { return pace_ > 0; }
    bool canGoSlower() const { return pace_ + 1 < int(PaceIntervalsMs.size()); }
    // The tick interval the pace stands at.
    int intervalMs() const { return PaceIntervalsMs[pace_]; }

    // A run begins, not paused; the pace stays as it is.
    void start();
    // The run ends, however: by a tick, a choice of figure, the preview.
    void stop();
    // A run shown again at one of its generations: going, and paused;
    // `ended` for a run that has already ended.
    void holdPaused(bool ended = false);
    // Going, paused and begun as `other` is, the pace left as it is: the
    // state of a run an undone edit brings back.
    void takeModeOf(const RunState& other);
    // Pauses or resumes a going run; false when there is none.
    bool togglePause();
    // A shorter or a longer tick interval; false at the end of the scale.
    bool faster();
    bool slower();

    // What the status label shows: empty unless paused or not at 1 ms.
    std::string statusText() const;

private:
    bool running_ = false;
    bool paused_ = false;
    bool review_ = false;
    bool started_ = false;
    int pace_ = 0;
};

}  // namespace hexlife
