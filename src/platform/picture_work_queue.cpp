#include "platform/picture_work_queue.h"

#include <algorithm>
#include <utility>

namespace vistrel::platform {

PictureWorkQueue::Id PictureWorkQueue::add(std::string path, const picture::PictureRequest& request) {
    const Id id = nextId_++;
    waiting_.push_back(Task{id, std::move(path), request});
    return id;
}

std::optional<PictureWorkQueue::Task> PictureWorkQueue::startNext() {
    if (decoding_ || waiting_.empty()) return std::nullopt;
    Task task = std::move(waiting_.front());
    waiting_.pop_front();
    decoding_ = Decoding{task.id, true};
    return task;
}

bool PictureWorkQueue::finish(picture::PictureResult& result) {
    if (!decoding_) return false;
    const Decoding ended = *decoding_;
    decoding_.reset();
    if (!ended.wanted) return false;
    results_.emplace(ended.id, std::move(result));
    return true;
}

picture::PictureResult PictureWorkQueue::take(Id id) {
    const auto found = results_.find(id);
    if (found == results_.end()) {
        return picture::PictureFailure{picture::PictureError::Unreadable, "taken before it was ready"};
    }
    picture::PictureResult result = std::move(found->second);
    results_.erase(found);
    return result;
}

void PictureWorkQueue::cancel(Id id) {
    if (decoding_ && decoding_->id == id) decoding_->wanted = false;
    std::erase_if(waiting_, [id](const Task& task) { return task.id == id; });
    results_.erase(id);
}

void PictureWorkQueue::cancelAll() {
    if (decoding_) decoding_->wanted = false;
    waiting_.clear();
    results_.clear();
}

}  // namespace vistrel::platform
