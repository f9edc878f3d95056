// The walk of one folder entry's tree: every picture file in the folder and
// all its subfolders, in the order of their full paths compared without
// letter case. It goes one folder at a time (a step), so that it can run on
// a thread of its own and hand over what it found in batches while the
// slideshow or the dialog goes on; the first pictures are there after the
// first step, long before a large tree is done.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "library/picture_catalog.h"
#include "library/picture_paths.h"
#include "platform/platform.h"

namespace vistrel::library {

class FolderWalk {
public:
    // `root`: the folder, with or without its trailing "\".
    FolderWalk(platform::Platform& platform, std::string root, PictureExtensions extensions);

    // Lists one folder and takes its pictures up to its next subfolder.
    // False once the whole tree is walked, or after stop(). Runs on one
    // thread at a time.
    bool step();
    // What the steps found since the last call, in walk order. May be
    // called on another thread than step's.
    std::vector<FoundPictures> takeFound();
    // The walk ends at its next step.
    void stop() { stopRequested_.store(true); }
    bool finished() const { return finished_.load(); }

    // The whole walk at once, on this thread: every picture's full path.
    static std::vector<std::string> allPictures(platform::Platform& platform, const std::string& root,
                                                const PictureExtensions& extensions);

private:
    struct Frame {
        std::string path;  // ending in "\"
        std::vector<platform::FolderEntry> children;  // in walk order
        std::size_t next = 0;
    };
    bool stepOrThrow();
    void enter(std::string path);
    // Takes the files of the innermost folders up to the next subfolder to
    // list, leaving the folders that are done.
    void takeFiles(FoundPictures& into);

    platform::Platform& platform_;
    std::string root_;
    PictureExtensions extensions_;
    std::vector<Frame> stack_;
    bool started_ = false;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> finished_{false};
    std::mutex foundMutex_;
    std::vector<FoundPictures> found_;
};

}  // namespace vistrel::library
