#include "library/picture_catalog.h"

#include <stdexcept>

namespace vistrel::library {
namespace {

constexpr std::uint32_t kNoFolder = 0xFFFFFFFFu;

}  // namespace

PictureCatalog::PictureCatalog(std::size_t entryCount)
    : entries_(entryCount), lastFolderOfEntry_(entryCount, kNoFolder) {}

std::uint32_t PictureCatalog::folderFor(std::uint32_t entry, std::string_view path) {
    // A walk gives a folder's pictures together (but for the rare folder
    // whose files and subfolders interleave), so only the entry's last
    // folder is worth comparing.
    const std::uint32_t last = lastFolderOfEntry_[entry];
    if (last != kNoFolder && folders_[last].path == path) return last;
    folders_.push_back(Folder{std::string(path), entry});
    lastFolderOfEntry_[entry] = static_cast<std::uint32_t>(folders_.size() - 1);
    return lastFolderOfEntry_[entry];
}

PictureId PictureCatalog::append(std::uint32_t folder, std::uint32_t entry, std::string_view name) {
    if (pictures_.size() >= kNoPicture - 1 || names_.size() + name.size() > 0xFFFFFFFFu) {
        throw std::length_error("the picture catalog is full");
    }
    names_.append(name);
    pictures_.push_back(Picture{folder, static_cast<std::uint32_t>(names_.size())});
    const auto id = static_cast<PictureId>(pictures_.size() - 1);
    entries_[entry].push_back(id);
    return id;
}

PictureId PictureCatalog::addFile(std::uint32_t entry, std::string_view path) {
    folders_.push_back(Folder{std::string(), entry});
    lastFolderOfEntry_[entry] = kNoFolder;
    return append(static_cast<std::uint32_t>(folders_.size() - 1), entry, path);
}

void PictureCatalog::addFound(std::uint32_t entry, const FoundPictures& found) {
    if (found.count == 0) return;
    const std::uint32_t folder = folderFor(entry, found.folder);
    std::string_view names = found.names;
    for (std::uint32_t i = 0; i < found.count; ++i) {
        const std::size_t end = names.find('\0');
        append(folder, entry, names.substr(0, end));
        names.remove_prefix(end == std::string_view::npos ? names.size() : end + 1);
    }
}

std::string PictureCatalog::pathOf(PictureId picture) const {
    const std::uint32_t start = picture == 0 ? 0 : pictures_[picture - 1].nameEnd;
    const std::uint32_t end = pictures_[picture].nameEnd;
    std::string path = folders_[pictures_[picture].folder].path;
    path.append(names_, start, end - start);
    return path;
}

void PictureCatalog::shrinkToFit() {
    names_.shrink_to_fit();
    pictures_.shrink_to_fit();
    folders_.shrink_to_fit();
    for (auto& pictures : entries_) pictures.shrink_to_fit();
}

}  // namespace vistrel::library
