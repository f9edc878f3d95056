// Every picture of one run: the file entries of the list, and the pictures
// found in the folders of its folder entries. A library of half a million
// photos is held as a table of folders and the pictures' names, not as one
// string per picture: a few bytes a picture beside its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::library {

using PictureId = std::uint32_t;
inline constexpr PictureId kNoPicture = 0xFFFFFFFFu;

// The pictures found in one folder by a walk, in walk order.
struct FoundPictures {
    std::string folder;  // its path, ending in "\"
    std::string names;   // each name followed by a NUL (no file name holds one)
    std::uint32_t count = 0;
    void add(std::string_view name) {
        names.append(name);
        names.push_back('\0');
        ++count;
    }
};

class PictureCatalog {
public:
    // One entry for each entry of the picture list.
    explicit PictureCatalog(std::size_t entryCount);

    // A file entry: its whole path is the picture's.
    PictureId addFile(std::uint32_t entry, std::string_view path);
    // Pictures a walk of a folder entry found, after those found before.
    void addFound(std::uint32_t entry, const FoundPictures& found);

    std::uint32_t size() const { return static_cast<std::uint32_t>(pictures_.size()); }
    std::string pathOf(PictureId picture) const;
    std::uint32_t entryOf(PictureId picture) const { return folders_[pictures_[picture].folder].entry; }
    // The pictures of one entry, in list order.
    std::uint32_t countInEntry(std::uint32_t entry) const {
        return static_cast<std::uint32_t>(entries_[entry].size());
    }
    PictureId pictureInEntry(std::uint32_t entry, std::uint32_t position) const { return entries_[entry][position]; }

    // The bytes of all the names together.
    std::size_t nameBytes() const { return names_.size(); }
    // Gives back what growing left spare, once nothing more comes.
    void shrinkToFit();

private:
    struct Folder {
        std::string path;  // ending in "\"; empty for a file entry, whose name is its whole path
        std::uint32_t entry = 0;
    };
    struct Picture {
        std::uint32_t folder = 0;
        std::uint32_t nameEnd = 0;  // the name runs from the previous picture's end to here
    };
    std::uint32_t folderFor(std::uint32_t entry, std::string_view path);
    PictureId append(std::uint32_t folder, std::uint32_t entry, std::string_view name);

    std::vector<Folder> folders_;
    std::vector<Picture> pictures_;
    std::string names_;
    std::vector<std::vector<PictureId>> entries_;
    std::vector<std::uint32_t> lastFolderOfEntry_;
};

}  // namespace vistrel::library
