#include "platform/win32/picture_worker.h"

#include <objbase.h>

#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/picture_work_queue.h"
#include "platform/win32/wic_picture_loader.h"
#include "platform/win32/wide_text.h"

namespace vistrel::platform::win32 {

// What the thread and the user-interface thread share; the thread holds it
// for as long as it runs, so it may outlive the worker.
struct PictureWorker::Shared {
    std::mutex lock;
    std::condition_variable wake;
    PictureWorkQueue queue;  // under `lock`
    bool stopping = false;   // under `lock`
    HWND window = nullptr;
    // The user-interface thread's alone.
    std::map<PictureWorkQueue::Id, std::function<void()>> readyEvents;
};

namespace {

void runWorker(const std::shared_ptr<PictureWorker::Shared>& shared) {
    // Decoding gives way to the user-interface thread: where both want the
    // processor, the windows stay responsive and the picture comes a little
    // later.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        // One factory for every picture, and the decoder's abilities asked once.
        WicPictureLoader loader;
        const auto stillWanted = [&shared] {
            const std::lock_guard<std::mutex> guard(shared->lock);
            return shared->queue.decodingWanted();
        };
        for (;;) {
            PictureWorkQueue::Task task;
            {
                std::unique_lock<std::mutex> guard(shared->lock);
                shared->wake.wait(guard, [&shared] { return shared->stopping || shared->queue.waiting() > 0; });
                if (shared->stopping) break;
                task = *shared->queue.startNext();
            }
            picture::PictureResult result = picture::PictureFailure{picture::PictureError::Unreadable, "not loaded"};
            try {
                result = loader.load(toWide(task.path), task.request, stillWanted);
            } catch (const std::exception& error) {
                // Out of memory for a huge picture: a picture that cannot be shown.
                result = picture::PictureFailure{picture::PictureError::Unreadable, error.what()};
            }
            {
                const std::lock_guard<std::mutex> guard(shared->lock);
                if (shared->queue.finish(result) && !shared->stopping) {
                    PostMessageW(shared->window, kPictureReadyMessage, static_cast<WPARAM>(task.id), 0);
                }
            }
            // A result nobody wants any more is freed here, outside the lock.
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

class WorkerPictureJob final : public PictureJob {
public:
    WorkerPictureJob(std::shared_ptr<PictureWorker::Shared> shared, PictureWorkQueue::Id id)
        : shared_(std::move(shared)), id_(id) {}
    ~WorkerPictureJob() override {
        shared_->readyEvents.erase(id_);
        picture::PictureResult dropped;
        {
            const std::lock_guard<std::mutex> guard(shared_->lock);
            if (shared_->queue.ready(id_)) dropped = shared_->queue.take(id_);
            shared_->queue.cancel(id_);
        }
        // `dropped` is freed here, outside the lock.
    }
    WorkerPictureJob(const WorkerPictureJob&) = delete;
    WorkerPictureJob& operator=(const WorkerPictureJob&) = delete;

    bool ready() override {
        const std::lock_guard<std::mutex> guard(shared_->lock);
        return shared_->queue.ready(id_);
    }
    picture::PictureResult take() override {
        const std::lock_guard<std::mutex> guard(shared_->lock);
        return shared_->queue.take(id_);
    }

private:
    std::shared_ptr<PictureWorker::Shared> shared_;
    PictureWorkQueue::Id id_;
};

}  // namespace

PictureWorker::PictureWorker(HWND window) : shared_(std::make_shared<Shared>()) { shared_->window = window; }

PictureWorker::~PictureWorker() {
    {
        const std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->stopping = true;
        shared_->queue.cancelAll();
    }
    shared_->wake.notify_all();
}

std::unique_ptr<PictureJob> PictureWorker::load(const std::string& path, const picture::PictureRequest& request,
                                                std::function<void()> ready) {
    if (!started_) {
        started_ = true;
        std::thread([shared = shared_] { runWorker(shared); }).detach();
    }
    PictureWorkQueue::Id id = 0;
    {
        const std::lock_guard<std::mutex> guard(shared_->lock);
        id = shared_->queue.add(path, request);
    }
    if (ready) shared_->readyEvents[id] = std::move(ready);
    shared_->wake.notify_one();
    return std::make_unique<WorkerPictureJob>(shared_, id);
}

void PictureWorker::announce(std::uint64_t id) {
    const auto event = shared_->readyEvents.find(id);
    if (event == shared_->readyEvents.end()) return;  // dropped meanwhile
    const std::function<void()> ready = std::move(event->second);
    shared_->readyEvents.erase(event);
    ready();
}

}  // namespace vistrel::platform::win32
