// The jobs of the platform's picture worker: the pictures asked for, in the
// order they were asked for, one of them being decoded at a time, and the
// results not yet taken.
//
// Both backends keep their worker's jobs in one, so a cancelled job behaves
// the same on both: one still waiting never starts, one being decoded is let
// go of when its decode ends, and a result nobody takes is freed. It does no
// locking of its own; the win32 backend holds a lock round every call,
// since its worker thread calls it too.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>

#include "picture/picture.h"

namespace vistrel::platform {

class PictureWorkQueue {
public:
    using Id = std::uint64_t;

    struct Task {
        Id id = 0;
        std::string path;
        picture::PictureRequest request;
    };

    Id add(std::string path, const picture::PictureRequest& request);
    // The oldest waiting task, now being decoded; nothing while another is
    // being decoded or none waits.
    std::optional<Task> startNext();
    // The decode of the task being decoded has ended. When the task is still
    // wanted its result is kept for take(); otherwise `result` stays with the
    // caller, which frees it outside any lock. Says whether it was kept.
    bool finish(picture::PictureResult& result);

    bool ready(Id id) const { return results_.contains(id); }
    // The result of a ready task, once.
    picture::PictureResult take(Id id);
    // Nobody wants the task any more, whatever its state.
    void cancel(Id id);
    // The program ends: every task is dropped as if cancelled.
    void cancelAll();

    bool decoding() const { return decoding_.has_value(); }
    // Whether the task being decoded is still wanted: a decoder that works
    // in parts may stop early when it is not.
    bool decodingWanted() const { return decoding_ && decoding_->wanted; }
    std::size_t waiting() const { return waiting_.size(); }

private:
    struct Decoding {
        Id id = 0;
        bool wanted = true;
    };

    std::deque<Task> waiting_;
    std::optional<Decoding> decoding_;
    std::map<Id, picture::PictureResult> results_;
    Id nextId_ = 1;
};

}  // namespace vistrel::platform
