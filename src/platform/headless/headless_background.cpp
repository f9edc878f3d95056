// Background work on the virtual clock: each step runs as an event, and
// what its calls cost passes on the work's own clock, not the program's.
#include "platform/headless/headless_impl.h"

namespace vistrel::platform::headless {

struct HeadlessPlatform::BackgroundJob {
    std::function<bool()> step;
    std::function<void()> progressed;
    bool dropped = false;
    bool finished = false;
};

namespace {

class HeadlessBackgroundWork final : public BackgroundWork {
public:
    HeadlessBackgroundWork(std::shared_ptr<HeadlessPlatform::BackgroundJob> job, int& running)
        : job_(std::move(job)), running_(running) {}
    ~HeadlessBackgroundWork() override;

private:
    std::shared_ptr<HeadlessPlatform::BackgroundJob> job_;
    int& running_;
};

}  // namespace

HeadlessBackgroundWork::~HeadlessBackgroundWork() {
    if (!job_->finished) --running_;
    job_->dropped = true;
}

std::unique_ptr<BackgroundWork> HeadlessPlatform::startBackgroundWork(std::function<bool()> step,
                                                                      std::function<void()> progressed) {
    auto job = std::make_shared<BackgroundJob>();
    job->step = std::move(step);
    job->progressed = std::move(progressed);
    ++backgroundWorksRunning_;
    impl_->timers.post(nowMs_, [this, job] { runBackgroundStep(job); });
    return std::make_unique<HeadlessBackgroundWork>(job, backgroundWorksRunning_);
}

void HeadlessPlatform::runBackgroundStep(const std::shared_ptr<BackgroundJob>& job) {
    if (job->dropped) return;
    backgroundStepCostMs_ = 0;
    const bool more = job->step();
    const std::int64_t cost = *backgroundStepCostMs_;
    backgroundStepCostMs_.reset();
    impl_->timers.post(nowMs_ + cost, [this, job, more] {
        if (job->dropped) return;
        if (!more) {
            job->finished = true;
            --backgroundWorksRunning_;
        }
        // The work may be dropped in there.
        const std::function<void()> progressed = job->progressed;
        if (progressed) progressed();
        if (more && !job->dropped) runBackgroundStep(job);
    });
}

void HeadlessPlatform::spend(std::int64_t milliseconds) {
    if (backgroundStepCostMs_) {
        *backgroundStepCostMs_ += milliseconds;
    } else {
        nowMs_ += milliseconds;
    }
}

}  // namespace vistrel::platform::headless
