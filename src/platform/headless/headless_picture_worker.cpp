// The picture worker on the virtual clock: one picture decoded at a time, in
// the order asked for, each taking its set decode cost of the worker's own
// time while the program's events go on. A job is ready once its cost has
// passed, whether or not the program has processed events since; its
// `ready` comes as an event at that moment, as the real worker's message
// does.
#include <algorithm>
#include <utility>

#include "platform/headless/headless_impl.h"

namespace vistrel::platform::headless {

namespace {

class HeadlessPictureJob final : public PictureJob {
public:
    HeadlessPictureJob(HeadlessPlatform& platform, PictureWorkQueue::Id id) : platform_(platform), id_(id) {}
    ~HeadlessPictureJob() override { platform_.cancelPictureJob(id_); }
    HeadlessPictureJob(const HeadlessPictureJob&) = delete;
    HeadlessPictureJob& operator=(const HeadlessPictureJob&) = delete;

    bool ready() override { return platform_.pictureJobReady(id_); }
    picture::PictureResult take() override { return platform_.takePictureJob(id_); }

private:
    HeadlessPlatform& platform_;
    PictureWorkQueue::Id id_;
};

}  // namespace

HeadlessPlatform::PictureWorker& HeadlessPlatform::pictureWorker() {
    if (!pictureWorker_) pictureWorker_ = std::make_unique<PictureWorker>();
    return *pictureWorker_;
}

std::unique_ptr<PictureJob> HeadlessPlatform::loadPictureInBackground(const std::string& path,
                                                                      const picture::PictureRequest& request,
                                                                      std::function<void()> ready) {
    record("LoadPictureInBackground(" + path + ")");
    PictureWorker& worker = pictureWorker();
    const PictureWorkQueue::Id id = worker.queue.add(path, request);
    worker.askedAtMs[id] = nowMs_;
    if (ready) worker.readyEvents[id] = std::move(ready);
    settlePictureWorker();
    return std::make_unique<HeadlessPictureJob>(*this, id);
}

void HeadlessPlatform::settlePictureWorker() {
    if (ended_) return;
    PictureWorker& worker = pictureWorker();
    for (;;) {
        if (worker.queue.decoding()) {
            if (worker.finishAtMs > nowMs_) return;
            // An unwanted result is freed here, with the task.
            worker.queue.finish(worker.decoded);
            worker.decoded = picture::PictureFailure{picture::PictureError::Unreadable, "no task"};
            worker.freeAtMs = worker.finishAtMs;
        }
        const std::optional<PictureWorkQueue::Task> task = worker.queue.startNext();
        if (!task) return;
        // It starts when the worker is free, which may be before the program
        // next looks: the worker does not wait for the program's events.
        const std::int64_t startMs = std::max(worker.freeAtMs, worker.askedAtMs[task->id]);
        worker.askedAtMs.erase(task->id);
        std::int64_t costMs = 0;
        worker.decoded = decodeFile(task->path, task->request, costMs);
        worker.finishAtMs = startMs + costMs;
        impl_->timers.post(worker.finishAtMs, [this, id = task->id] { pictureJobEnded(id); });
    }
}

void HeadlessPlatform::pictureJobEnded(std::uint64_t id) {
    settlePictureWorker();
    PictureWorker& worker = pictureWorker();
    const auto event = worker.readyEvents.find(id);
    if (event == worker.readyEvents.end() || !worker.queue.ready(id)) return;
    const std::function<void()> ready = std::move(event->second);
    worker.readyEvents.erase(event);
    ready();
}

bool HeadlessPlatform::pictureJobReady(std::uint64_t id) {
    settlePictureWorker();
    return pictureWorker().queue.ready(id);
}

picture::PictureResult HeadlessPlatform::takePictureJob(std::uint64_t id) {
    settlePictureWorker();
    return pictureWorker().queue.take(id);
}

void HeadlessPlatform::cancelPictureJob(std::uint64_t id) {
    PictureWorker& worker = pictureWorker();
    worker.queue.cancel(id);
    worker.askedAtMs.erase(id);
    worker.readyEvents.erase(id);
}

void HeadlessPlatform::endPictureWorker() {
    // The process goes, and its worker thread with it, in the middle of a
    // decode or not.
    pictureWorker_.reset();
}

std::size_t HeadlessPlatform::picturesInWorker() const {
    if (!pictureWorker_) return 0;
    return pictureWorker_->queue.waiting() + (pictureWorker_->queue.decoding() ? 1 : 0);
}

}  // namespace vistrel::platform::headless
