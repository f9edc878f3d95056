// A picture loaded on a thread of its own, with its own COM apartment and
// imaging factory, so that a large photo does not hold up the windows.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

class BackgroundPictureJob final : public PictureJob {
public:
    BackgroundPictureJob(std::wstring path, const picture::PictureRequest& request);
    // Waits for the thread: a job dropped early still finishes its decode.
    ~BackgroundPictureJob() override;
    BackgroundPictureJob(const BackgroundPictureJob&) = delete;
    BackgroundPictureJob& operator=(const BackgroundPictureJob&) = delete;

    bool ready() override { return ready_.load(std::memory_order_acquire); }
    picture::PictureResult take() override;

private:
    picture::PictureResult result_;
    std::atomic<bool> ready_{false};
    std::thread worker_;
};

}  // namespace vistrel::platform::win32
