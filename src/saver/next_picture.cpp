#include "saver/next_picture.h"

#include <utility>

namespace vistrel::saver {

void NextPicture::prepare(platform::Platform& platform, const std::string& path,
                          const picture::PictureRequest& request) {
    // The picture decoded ahead before goes first: a monitor never holds two
    // pictures to come.
    job_.reset();
    path_ = path;
    request_ = request;
    job_ = platform.loadPictureInBackground(path, request, {});
}

picture::PictureResult NextPicture::take(platform::Platform& platform, const std::string& path,
                                         const picture::PictureRequest& request) {
    // The library may have settled on another picture meanwhile (a walk
    // found more), or its caption band may differ: then it is asked for now.
    if (!job_ || path != path_ || request != request_) prepare(platform, path, request);
    // Held here, not in the member, while events run: nothing they do can
    // drop the job being waited for.
    const std::unique_ptr<platform::PictureJob> job = std::move(job_);
    while (!job->ready()) platform.doEvents();
    return job->take();
}

}  // namespace vistrel::saver
