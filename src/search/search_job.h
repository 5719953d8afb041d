// A search on a thread of its own, as the search window runs one: its
// cancel flag, its progress told as it goes and its pace; and the probe of
// a rule's pace on a few figures of a box, on a thread of its own, which
// tells the time a search takes before one has run. Plain C++: what is
// told comes on the job's own thread, for the caller to hand on to its own.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "search/result_file.h"

namespace hexlife::search {

class SearchJob {
public:
    SearchJob() = default;
    SearchJob(const SearchJob&) = delete;
    SearchJob& operator=(const SearchJob&) = delete;
    // A search still going is cancelled and waited for.
    ~SearchJob();

    bool running() const { return worker_.joinable(); }
    // The search of `result`'s figures (its box, rule, range, sample and
    // seed) on from the progress it holds, on `threads` threads. On the
    // search's thread: `told` with the figures done every `interval`
    // seconds, and `ended` once at its end, whole or cancelled.
    void start(Result result, int threads, double interval, std::function<void(std::uint64_t done)> told,
               std::function<void()> ended);
    void cancel();
    bool cancelled() const { return shared_ && shared_->cancel; }
    // After `ended`: its thread joined, the result with the progress made.
    Result finish();

    // The result the search fills: what it was asked.
    const Result& result() const { return running_; }
    // Figures done when it started.
    std::uint64_t doneBefore() const { return doneBefore_; }
    // Seconds since it started, in whole milliseconds.
    double seconds() const;
    // Figures a second, `seconds` after it started; 0 until a block is
    // done. Progress
    // counts whole blocks: the blocks the threads are working on are, on
    // average, half done, which counts while few blocks are done (on a slow
    // machine the first takes seconds, and every thread finishes its first
    // at about the same time).
    double rate(std::uint64_t done, double seconds) const;
    // The figures of the blocks in flight counted as done, at most.
    std::uint64_t working(std::uint64_t done) const;

private:
    // What the search was asked, what it has done and its cancel flag,
    // shared with its thread.
    struct Shared {
        Request request;
        Progress progress;
        std::atomic<bool> cancel{false};
    };
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
    Result running_;
    std::uint64_t doneBefore_ = 0;
    int threads_ = 1;
    std::chrono::steady_clock::time_point start_;
};

// The probe of a rule's pace: rounds of a few figures of a sample of the
// box, on one thread, until a fraction of a second or a few thousand
// figures (a rule whose figures run long stops at its time, one round at
// least). Its rate times the cores is the estimate of a search until one
// of the rule and box has run a while.
class PaceProbe {
public:
    PaceProbe() = default;
    PaceProbe(const PaceProbe&) = delete;
    PaceProbe& operator=(const PaceProbe&) = delete;
    ~PaceProbe() { stop(); }

    bool running() const { return prober_.joinable(); }
    // Figures a second on one thread for this rule and box; 0 until probed.
    double rate(const rule::Rule& rule, const Box& box) const;
    // A probe of the rule's pace on the box, unless it is known: on its
    // thread, `told` with the probe's number and its rate once measured
    // (nothing if stopped), to be handed to accept on the caller's.
    void start(const rule::Rule& rule, const Box& box, std::function<void(int probe, double rate)> told);
    void stop();
    // The rate of probe `probe`: kept, its thread joined, unless it is an
    // older probe's, its rule or box gone. Whether it was kept.
    bool accept(int probe, double rate);

private:
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::thread prober_;
    int count_ = 0;  // probes started: a late answer of an old one is dropped
    double rate_ = 0;
    rule::Rule rule_;
    Box box_;
};

}  // namespace hexlife::search
