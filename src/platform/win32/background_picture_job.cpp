#include "platform/win32/background_picture_job.h"

#include <objbase.h>

#include <exception>
#include <utility>

#include "platform/win32/wic_picture_loader.h"

namespace vistrel::platform::win32 {

BackgroundPictureJob::BackgroundPictureJob(std::wstring path, const picture::PictureRequest& request)
    : result_(picture::PictureFailure{picture::PictureError::Unreadable, "not loaded yet"}) {
    worker_ = std::thread([this, path = std::move(path), request] {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        try {
            WicPictureLoader loader;
            result_ = loader.load(path, request);
        } catch (const std::exception& error) {
            // Out of memory for a huge picture: a picture that cannot be shown.
            result_ = picture::PictureFailure{picture::PictureError::Unreadable, error.what()};
        }
        if (SUCCEEDED(com)) CoUninitialize();
        ready_.store(true, std::memory_order_release);
    });
}

BackgroundPictureJob::~BackgroundPictureJob() {
    if (worker_.joinable()) worker_.join();
}

picture::PictureResult BackgroundPictureJob::take() {
    if (worker_.joinable()) worker_.join();
    return std::move(result_);
}

}  // namespace vistrel::platform::win32
