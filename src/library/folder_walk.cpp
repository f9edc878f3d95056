#include "library/folder_walk.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace vistrel::library {

FolderWalk::FolderWalk(platform::Platform& platform, std::string root, PictureExtensions extensions)
    : platform_(platform), root_(asFolderEntry(root)), extensions_(std::move(extensions)) {}

void FolderWalk::enter(std::string path) {
    Frame frame;
    frame.children = platform_.listFolder(path);
    std::sort(frame.children.begin(), frame.children.end(),
              [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
                  return comesBefore(a.name, a.isFolder, b.name, b.isFolder);
              });
    frame.path = std::move(path);
    stack_.push_back(std::move(frame));
}

void FolderWalk::takeFiles(FoundPictures& into) {
    while (!stack_.empty()) {
        Frame& frame = stack_.back();
        // A folder's files before and after a subfolder are two batches.
        if (into.count > 0 && into.folder != frame.path) return;
        for (; frame.next < frame.children.size() && !frame.children[frame.next].isFolder; ++frame.next) {
            const std::string& name = frame.children[frame.next].name;
            if (!extensions_.matches(name)) continue;
            if (into.count == 0) into.folder = frame.path;
            into.add(name);
        }
        if (frame.next < frame.children.size()) return;  // a subfolder: the next step lists it
        stack_.pop_back();
    }
}

bool FolderWalk::step() {
    try {
        return stepOrThrow();
    } catch (const std::exception&) {
        // Out of memory in a huge folder: the walk ends with what it found.
        finished_.store(true);
        return false;
    }
}

bool FolderWalk::stepOrThrow() {
    if (finished_.load()) return false;
    if (stopRequested_.load()) {
        finished_.store(true);
        return false;
    }
    if (!started_) {
        started_ = true;
        enter(root_);
    } else if (!stack_.empty()) {
        Frame& frame = stack_.back();
        const platform::FolderEntry& subfolder = frame.children[frame.next++];
        enter(frame.path + subfolder.name + "\\");
    }
    for (;;) {
        FoundPictures batch;
        takeFiles(batch);
        if (batch.count == 0) break;
        std::lock_guard lock(foundMutex_);
        found_.push_back(std::move(batch));
    }
    if (!stack_.empty()) return true;
    finished_.store(true);
    return false;
}

std::vector<FoundPictures> FolderWalk::takeFound() {
    std::lock_guard lock(foundMutex_);
    return std::exchange(found_, {});
}

std::vector<std::string> FolderWalk::allPictures(platform::Platform& platform, const std::string& root,
                                                 const PictureExtensions& extensions) {
    FolderWalk walk(platform, root, extensions);
    while (walk.step()) {
    }
    std::vector<std::string> paths;
    for (const FoundPictures& found : walk.takeFound()) {
        std::string_view names = found.names;
        for (std::uint32_t i = 0; i < found.count; ++i) {
            const std::size_t end = names.find('\0');
            paths.push_back(found.folder + std::string(names.substr(0, end)));
            names.remove_prefix(end + 1);
        }
    }
    return paths;
}

}  // namespace vistrel::library
