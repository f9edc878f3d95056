// The platform's one picture worker on Windows: a thread that lives as long
// as the program, with its own COM apartment and one imaging factory, that
// decodes the pictures asked for one at a time, in the order asked for.
// Starting a thread, a factory and a probe of the JPEG decoder for every
// picture cost tens of milliseconds each time; this costs them once.
//
// Each finished picture is announced to the user-interface thread by a
// message to the platform's hidden window. Nothing ever waits for the
// thread: a job dropped while it is decoded is let go of when its decode
// ends (sooner where the decoder works in bands), and the program ends
// without waiting for a decode in progress.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

// Posted to the hidden window; wParam names the job.
inline constexpr UINT kPictureReadyMessage = WM_APP + 21;

class PictureWorker {
public:
    explicit PictureWorker(HWND window);
    // Tells the thread to stop after its current decode and drops every
    // job; does not wait for the thread.
    ~PictureWorker();
    PictureWorker(const PictureWorker&) = delete;
    PictureWorker& operator=(const PictureWorker&) = delete;

    // The thread starts with the first picture asked for.
    std::unique_ptr<PictureJob> load(const std::string& path, const picture::PictureRequest& request,
                                     std::function<void()> ready);
    // The job's message came: runs its `ready`, unless it was dropped.
    void announce(std::uint64_t id);

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    bool started_ = false;
};

}  // namespace vistrel::platform::win32
