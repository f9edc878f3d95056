// The pictures of one run of the saver or the preview, from the entries of
// the picture list: a file entry is one picture; a folder entry stands for
// every picture in its folder and subfolders, read afresh at each start on
// threads of their own while the show goes on. Gives the pictures in list
// order and as a shuffled deck.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/folder_walk.h"
#include "library/picture_catalog.h"
#include "library/picture_deck.h"
#include "platform/platform.h"

namespace vistrel::library {

// Pictures one change of a slideshow tries before it gives up until the
// next: a folder of damaged files must not hold the show up.
inline constexpr std::uint32_t kMaxPicturesTriedPerChange = 100;

// A place in list order: an entry of the list, and a picture of it.
struct ListPlace {
    std::uint32_t entry = 0;
    std::uint32_t position = 0;
    bool operator==(const ListPlace&) const = default;
};

class PictureLibrary {
public:
    // The most pictures one run takes in: past this the walks stop.
    static constexpr std::uint32_t kMaxPictures = 1'000'000;
    // Folder entries walked at the same time; a slow network share holds
    // up its own walk, not the others'.
    static constexpr std::size_t kWalksAtOnce = 8;

    // The file entries are pictures at once; nothing is read yet.
    PictureLibrary(platform::Platform& platform, std::vector<std::string> entries,
                   std::uint32_t maxPictures = kMaxPictures);
    ~PictureLibrary();
    PictureLibrary(const PictureLibrary&) = delete;
    PictureLibrary& operator=(const PictureLibrary&) = delete;

    // Starts reading the folder entries. `onFound` runs on this thread each
    // time pictures joined, and when the last walk has ended.
    void startReading(std::function<void()> onFound);
    // A walk is still going on: more pictures may come.
    bool reading() const { return running_ > 0 || nextWalk_ < walks_.size(); }
    // The walks stopped at the most pictures the library takes.
    bool full() const { return full_; }

    std::uint32_t size() const { return catalog_.size(); }
    bool empty() const { return catalog_.size() == 0; }
    std::string pathOf(PictureId picture) const { return catalog_.pathOf(picture); }
    std::uint32_t entryOf(PictureId picture) const { return catalog_.entryOf(picture); }
    // Found in a folder, not named by an entry of its own.
    bool foundInFolder(PictureId picture) const { return isFolderEntry(entries_[entryOf(picture)]); }
    const PictureCatalog& catalog() const { return catalog_; }

    // List order: the first place at or after `place` that holds a picture
    // found by now, going round to the list's start; nothing while no
    // picture has been found. Costs at most one look at each entry.
    std::optional<ListPlace> atOrAfter(ListPlace place) const;
    PictureId pictureAt(ListPlace place) const { return catalog_.pictureInEntry(place.entry, place.position); }
    // The place `steps` pictures on from `place`, round the pictures found.
    ListPlace stepsOn(ListPlace place, std::uint32_t steps) const;

    // Random order: every picture found joins the deck.
    PictureDeck& deck() { return deck_; }

private:
    struct Walk;
    void startWalks();
    void takeFound(std::size_t walk);
    void add(std::uint32_t entry, const FoundPictures& found);

    platform::Platform& platform_;
    std::vector<std::string> entries_;
    PictureCatalog catalog_;
    PictureDeck deck_;
    std::vector<std::unique_ptr<Walk>> walks_;
    std::size_t nextWalk_ = 0;
    std::size_t running_ = 0;
    std::uint32_t maxPictures_;
    bool full_ = false;
    PictureExtensions extensions_;
    std::function<void()> onFound_;
};

}  // namespace vistrel::library
