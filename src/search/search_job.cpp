#include "search/search_job.h"

#include <algorithm>

namespace hexlife::search {

namespace {

// The probe: rounds of this many figures, until this many figures or this
// much time; its own sample's seed, apart from the window's samples.
constexpr std::uint64_t ProbeRound = 32;
constexpr std::uint64_t ProbeFigures = 4096;
constexpr double ProbeSeconds = 0.3;
constexpr std::uint64_t ProbeSeed = 0x7072'6f62'65ULL;

}  // namespace

SearchJob::~SearchJob()
{
    if (worker_.joinable()) {
        shared_->cancel = true;
        worker_.join();
    }
}

void SearchJob::start(Result result, int threads, double interval, std::function<void(std::uint64_t)> told,
                      std::function<void()> ended)
{
    if (running()) return;
    running_ = std::move(result);
    threads_ = threads;
    shared_ = std::make_shared<Shared>();
    Request& request = shared_->request;
    request.box = running_.box;
    request.rule = running_.rule;
    request.begin = running_.begin;
    request.end = running_.end;
    request.sample = running_.sample;
    request.seed = running_.seed;
    request.threads = threads;
    // Block by block, so that the progress moves and a cancel keeps the
    // work of all but the last seconds: a unit of the symmetry of 5 x 5 is
    // some 14 s of one core's work.
    request.symmetryMinUnits = MaxSymmetryUnits + 1;
    shared_->progress = running_.progress;
    doneBefore_ = RangesSize(running_.progress.done);
    start_ = std::chrono::steady_clock::now();
    worker_ = std::thread([job = shared_, interval, told = std::move(told), ended = std::move(ended)] {
        RunSearch(job->request, job->progress, job->cancel, [&told](const Progress& progress) {
            told(RangesSize(progress.done));
        }, interval);
        ended();
    });
}

void SearchJob::cancel()
{
    if (running()) shared_->cancel = true;
}

Result SearchJob::finish()
{
    worker_.join();
    running_.progress = std::move(shared_->progress);
    shared_.reset();
    return std::move(running_);
}

double SearchJob::seconds() const
{
    using namespace std::chrono;
    return double(duration_cast<milliseconds>(steady_clock::now() - start_).count()) / 1000;
}

std::uint64_t SearchJob::working(std::uint64_t done) const
{
    return std::min<std::uint64_t>(running_.items() - done, std::uint64_t(threads_) * BlockSize / 2);
}

double SearchJob::rate(std::uint64_t done, double seconds) const
{
    return seconds > 0 && done > doneBefore_ ? double(done - doneBefore_ + working(done)) / seconds : 0;
}

double PaceProbe::rate(const rule::Rule& rule, const Box& box) const
{
    return rate_ > 0 && rule_ == rule && box_ == box ? rate_ : 0;
}

void PaceProbe::stop()
{
    if (cancel_) *cancel_ = true;
    if (prober_.joinable()) prober_.join();
    cancel_.reset();
}

void PaceProbe::start(const rule::Rule& rule, const Box& box, std::function<void(int, double)> told)
{
    stop();
    if (rate(rule, box) > 0) return;
    rate_ = 0;
    rule_ = rule;
    box_ = box;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    cancel_ = cancel;
    const int count = ++count_;
    prober_ = std::thread([cancel, count, box, rule, told = std::move(told)] {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        std::uint64_t figures = 0;
        double seconds = 0;
        for (std::uint64_t round = 0; figures < ProbeFigures && seconds < ProbeSeconds; ++round) {
            Request request;
            request.box = box;
            request.rule = rule;
            request.sample = true;
            request.seed = ProbeSeed;
            request.begin = round * ProbeRound;
            request.end = request.begin + ProbeRound;
            request.threads = 1;
            Progress progress;
            if (!RunSearch(request, progress, *cancel)) return;  // stopped: nothing to tell
            figures += ProbeRound;
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
        }
        told(count, seconds > 0 ? double(figures) / seconds : 0);
    });
}

bool PaceProbe::accept(int probe, double rate)
{
    if (probe != count_) return false;
    if (prober_.joinable()) prober_.join();
    cancel_.reset();
    rate_ = rate;
    return true;
}

}  // namespace hexlife::search
