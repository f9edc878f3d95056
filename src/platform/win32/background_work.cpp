#include "platform/win32/background_work.h"

#include <objbase.h>

#include <exception>
#include <thread>
#include <utility>

namespace vistrel::platform::win32 {
namespace {

void reportProgress(WorkShared& shared) {
    if (!shared.messagePending.exchange(true)) PostMessageW(shared.window, kWorkProgressMessage, shared.id, 0);
}

}  // namespace

ThreadWork::ThreadWork(std::shared_ptr<WorkShared> shared, std::function<void()> onDropped)
    : shared_(std::move(shared)), onDropped_(std::move(onDropped)) {
    std::thread([shared = shared_] {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        try {
            while (!shared->stopRequested.load() && shared->step()) reportProgress(*shared);
        } catch (const std::exception&) {
            // Out of memory: the work ends with what it has done.
        }
        reportProgress(*shared);
        if (SUCCEEDED(com)) CoUninitialize();
    }).detach();
}

ThreadWork::~ThreadWork() {
    shared_->stopRequested.store(true);
    if (onDropped_) onDropped_();
}

}  // namespace vistrel::platform::win32
