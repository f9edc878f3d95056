#include "library/picture_library.h"

#include <algorithm>
#include <utility>

namespace vistrel::library {

struct PictureLibrary::Walk {
    std::uint32_t entry = 0;
    // Shared with the step running on the walk's own thread.
    std::shared_ptr<FolderWalk> walk;
    std::unique_ptr<platform::BackgroundWork> work;
};

PictureLibrary::PictureLibrary(platform::Platform& platform, std::vector<std::string> entries,
                               std::uint32_t maxPictures)
    : platform_(platform), entries_(std::move(entries)), catalog_(entries_.size()), maxPictures_(maxPictures) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::string& entry = entries_[i];
        // An entry without a path (only a hand-edited file holds one) is passed over.
        if (entry.empty()) continue;
        const auto index = static_cast<std::uint32_t>(i);
        if (isFolderEntry(entry)) {
            auto walk = std::make_unique<Walk>();
            walk->entry = index;
            walks_.push_back(std::move(walk));
        } else {
            deck_.add(catalog_.addFile(index, entry));
        }
    }
}

PictureLibrary::~PictureLibrary() {
    for (auto& walk : walks_) {
        if (walk->walk) walk->walk->stop();
    }
}

void PictureLibrary::startReading(std::function<void()> onFound) {
    onFound_ = std::move(onFound);
    if (walks_.empty()) return;
    extensions_ = decodableExtensions(platform_.pictureFileExtensions());
    startWalks();
}

void PictureLibrary::startWalks() {
    while (running_ < kWalksAtOnce && nextWalk_ < walks_.size() && !full_) {
        const std::size_t index = nextWalk_++;
        Walk& walk = *walks_[index];
        walk.walk = std::make_shared<FolderWalk>(platform_, entries_[walk.entry], extensions_);
        ++running_;
        walk.work = platform_.startBackgroundWork([folderWalk = walk.walk] { return folderWalk->step(); },
                                                  [this, index] { takeFound(index); });
    }
}

void PictureLibrary::add(std::uint32_t entry, const FoundPictures& found) {
    const std::uint32_t before = catalog_.size();
    if (before + static_cast<std::uint64_t>(found.count) <= maxPictures_) {
        catalog_.addFound(entry, found);
    } else {
        // The part that still fits.
        FoundPictures fitting;
        fitting.folder = found.folder;
        std::string_view names = found.names;
        while (before + fitting.count < maxPictures_) {
            const std::size_t end = names.find('\0');
            fitting.add(names.substr(0, end));
            names.remove_prefix(end + 1);
        }
        catalog_.addFound(entry, fitting);
        full_ = true;
    }
    for (PictureId picture = before; picture < catalog_.size(); ++picture) deck_.add(picture);
}

void PictureLibrary::takeFound(std::size_t index) {
    Walk& walk = *walks_[index];
    bool added = false;
    for (const FoundPictures& found : walk.walk->takeFound()) {
        if (full_) break;
        add(walk.entry, found);
        added = true;
    }
    if (full_) {
        // Every walk stops; what they found up to here stays.
        for (auto& other : walks_) {
            if (other->work) {
                other->walk->stop();
                other->work.reset();
            }
        }
        running_ = 0;
        nextWalk_ = walks_.size();
        catalog_.shrinkToFit();
    } else if (walk.walk->finished()) {
        walk.work.reset();
        --running_;
        startWalks();
        if (!reading()) catalog_.shrinkToFit();
    }
    if (onFound_ && (added || !reading())) onFound_();
}

std::optional<ListPlace> PictureLibrary::atOrAfter(ListPlace place) const {
    const auto entries = static_cast<std::uint32_t>(entries_.size());
    if (entries == 0 || catalog_.size() == 0) return std::nullopt;
    if (place.entry >= entries) place = {};
    for (std::uint32_t looked = 0; looked <= entries; ++looked) {
        if (place.position < catalog_.countInEntry(place.entry)) return place;
        place = {(place.entry + 1) % entries, 0};
    }
    return std::nullopt;
}

ListPlace PictureLibrary::stepsOn(ListPlace place, std::uint32_t steps) const {
    for (std::uint32_t i = 0; i < steps; ++i) {
        const std::optional<ListPlace> at = atOrAfter({place.entry, place.position + 1});
        if (!at) break;
        place = *at;
    }
    return place;
}

}  // namespace vistrel::library
