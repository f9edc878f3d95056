// The picture a monitor's next change shows, decoded ahead by the platform's
// picture worker while the monitor's current picture is on the screen, so
// that the change can take it at once when it is due. A 24-megapixel photo
// takes the better part of a second to decode: done at the change, on the
// user-interface thread, it made every change that much late and froze the
// screen and the input meanwhile.
#pragma once

#include <memory>
#include <string>

#include "picture/picture.h"
#include "platform/platform.h"

namespace vistrel::saver {

class NextPicture {
public:
    // Starts decoding the picture at `path` for `request`. Whatever was
    // decoded ahead before is let go of.
    void prepare(platform::Platform& platform, const std::string& path, const picture::PictureRequest& request);
    // The picture the change shows: the one decoded ahead when it is this
    // file for this request, else one asked for now. One that is not ready
    // yet is waited for while events are processed: input is answered and a
    // floating picture goes on moving.
    picture::PictureResult take(platform::Platform& platform, const std::string& path,
                                const picture::PictureRequest& request);
    // Lets go of what was decoded ahead, or cancels its decode.
    void drop() { job_.reset(); }

private:
    std::string path_;
    picture::PictureRequest request_{};
    std::unique_ptr<platform::PictureJob> job_;
};

}  // namespace vistrel::saver
