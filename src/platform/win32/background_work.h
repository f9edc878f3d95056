// Background work on a thread of its own: steps run there, and each time
// steps are done a message to the platform's hidden window brings the
// work's progress event to the user-interface thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

// Posted to the hidden window; wParam names the work.
inline constexpr UINT kWorkProgressMessage = WM_APP + 20;

// What the thread and the user-interface thread share. The thread holds it
// for as long as it runs, so it may outlive the work's handle.
struct WorkShared {
    std::function<bool()> step;
    std::atomic<bool> stopRequested{false};
    // One progress message at a time waits in the queue; it reports every
    // step done until it is handled.
    std::atomic<bool> messagePending{false};
    HWND window = nullptr;
    UINT_PTR id = 0;
};

// Starts the thread; `onDropped` runs when the handle goes.
class ThreadWork final : public BackgroundWork {
public:
    ThreadWork(std::shared_ptr<WorkShared> shared, std::function<void()> onDropped);
    // The thread stops after its current step. It is not waited for: a step
    // may be held up for a long time by a network share that is gone.
    ~ThreadWork() override;
    ThreadWork(const ThreadWork&) = delete;
    ThreadWork& operator=(const ThreadWork&) = delete;

private:
    std::shared_ptr<WorkShared> shared_;
    std::function<void()> onDropped_;
};

}  // namespace vistrel::platform::win32
