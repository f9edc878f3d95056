// The in-memory file system, the ANSI code page and the picture loader.
#include <array>
#include <cmath>
#include <variant>
#include <fstream>
#include <iterator>

#include "platform/headless/headless_impl.h"
#include "platform/headless/picture_decoder.h"

namespace vistrel::platform::headless {
namespace {

// Windows paths: letter case does not matter, and "/" works as "\".
std::string pathKey(const std::string& path) {
    std::string key = path;
    for (char& c : key) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

// A folder's key has no trailing "\\" (a drive root is "c:").
std::string folderKey(const std::string& path) {
    std::string key = pathKey(path);
    while (key.ends_with('\\')) key.pop_back();
    return key;
}

// The folder a key lies in; empty for a name without a folder.
std::string parentKey(const std::string& key) {
    const std::size_t slash = key.rfind('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

bool isInside(const std::string& key, const std::string& folder) {
    return key.size() > folder.size() && key.starts_with(folder) && key[folder.size()] == '\\';
}

constexpr const char* kPathNotFound = "The system cannot find the path specified.";
constexpr const char* kAccessDenied = "Access is denied.";

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; five bytes there
// have no character.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, kReplacement, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030,       0x0160, 0x2039, 0x0152, kReplacement, 0x017D, kReplacement,
    kReplacement, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122,       0x0161, 0x203A, 0x0153, kReplacement, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

void HeadlessPlatform::putFile(const std::string& path, std::string bytes) {
    const std::string key = pathKey(path);
    impl_->files[key] = std::move(bytes);
    impl_->givenPaths[key] = path;
}

void HeadlessPlatform::putFolder(const std::string& path) {
    std::string key = pathKey(path);
    while (!key.empty() && key.back() == '\\') key.pop_back();
    impl_->folders.insert(key);
    impl_->givenPaths[key] = path;
}

PathKind HeadlessPlatform::pathKind(const std::string& path) {
    std::string key = pathKey(path);
    if (impl_->files.contains(key)) return PathKind::File;
    while (!key.empty() && key.back() == '\\') key.pop_back();
    if (impl_->folders.contains(key)) return PathKind::Folder;
    // A folder exists while it holds something.
    const std::string inside = key + "\\";
    const auto files = impl_->files.lower_bound(inside);
    if (files != impl_->files.end() && files->first.starts_with(inside)) return PathKind::Folder;
    const auto folders = impl_->folders.lower_bound(inside);
    if (folders != impl_->folders.end() && folders->starts_with(inside)) return PathKind::Folder;
    return PathKind::Missing;
}

std::vector<FolderEntry> HeadlessPlatform::listFolder(const std::string& folder) {
    record("ListFolder(" + folder + ")");
    std::string key = pathKey(folder);
    while (!key.empty() && key.back() == '\\') key.pop_back();
    const std::string inside = key + "\\";
    std::vector<FolderEntry> entries;
    std::set<std::string> subfolders;
    // Names keep the letters they were given with; a path key has the
    // length of its given path.
    const auto givenName = [&](const std::string& entryKey, std::size_t length) {
        const auto given = impl_->givenPaths.find(entryKey);
        const std::string& path = given != impl_->givenPaths.end() ? given->second : entryKey;
        return path.substr(inside.size(), length);
    };
    // Returns the key past everything inside a subfolder it meets, so that
    // a listing skips what lies deeper down.
    const auto visit = [&](const std::string& entryKey, bool isFolder) -> std::string {
        const std::string_view rest = std::string_view(entryKey).substr(inside.size());
        const std::size_t slash = rest.find('\\');
        if (slash == std::string::npos && !isFolder) {
            entries.push_back({givenName(entryKey, rest.size()), false});
            return {};
        }
        // A subfolder, given itself or made by what it holds.
        const std::size_t length = slash == std::string::npos ? rest.size() : slash;
        if (subfolders.insert(std::string(rest.substr(0, length))).second) {
            entries.push_back({givenName(entryKey, length), true});
        }
        // "]" comes right after "\\": the first key beyond "sub\\...".
        return inside + std::string(rest.substr(0, length)) + "]";
    };
    for (auto it = impl_->files.lower_bound(inside); it != impl_->files.end() && it->first.starts_with(inside);) {
        const std::string past = visit(it->first, false);
        it = past.empty() ? std::next(it) : impl_->files.lower_bound(past);
    }
    for (auto it = impl_->folders.lower_bound(inside); it != impl_->folders.end() && it->starts_with(inside); ++it) {
        visit(*it, true);
    }
    const auto cost = impl_->listCostMs.find(key);
    listCostCarryMs_ += listCostPerEntryMs_ * static_cast<double>(entries.size());
    const auto whole = static_cast<std::int64_t>(listCostCarryMs_);
    listCostCarryMs_ -= static_cast<double>(whole);
    spend(whole + (cost != impl_->listCostMs.end() ? cost->second : 0));
    return entries;
}

void HeadlessPlatform::setFolderListCost(const std::string& folder, std::int64_t milliseconds) {
    impl_->listCostMs[folderKey(folder)] = milliseconds;
}

std::vector<std::string> HeadlessPlatform::pictureFileExtensions() {
    if (!extensions_) extensions_ = pixbufExtensions();
    return *extensions_;
}

PictureFileHeader HeadlessPlatform::readPictureFileHeader(const std::string& path) {
    record("ReadPictureHeader(" + path + ")");
    const std::string key = pathKey(path);
    spend(headerReadCostMs_);
    const auto found = impl_->files.find(key);
    if (found == impl_->files.end()) return {FileStatus::Missing, {}};
    if (impl_->lockedFiles.contains(key)) return {FileStatus::Failed, {}};
    const std::string& bytes = found->second;
    const picture::MemoryByteSource source({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return {FileStatus::Ok, picture::readPictureHeader(source)};
}

bool HeadlessPlatform::putFileFromDisk(const std::string& path, const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) return false;
    putFile(path, std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    return true;
}

std::optional<std::string> HeadlessPlatform::file(const std::string& path) const {
    const auto found = impl_->files.find(pathKey(path));
    if (found == impl_->files.end()) return std::nullopt;
    return found->second;
}

void HeadlessPlatform::removeFile(const std::string& path) {
    impl_->files.erase(pathKey(path));
    impl_->givenPaths.erase(pathKey(path));
}

void HeadlessPlatform::setFileLocked(const std::string& path, bool locked) {
    if (locked) {
        impl_->lockedFiles.insert(pathKey(path));
    } else {
        impl_->lockedFiles.erase(pathKey(path));
    }
}

void HeadlessPlatform::setFolderWritable(const std::string& folder, bool writable) {
    if (writable) {
        impl_->unwritableFolders.erase(folderKey(folder));
    } else {
        impl_->unwritableFolders.insert(folderKey(folder));
    }
}

bool HeadlessPlatform::folderExists(const std::string& folder) const {
    const std::string key = folderKey(folder);
    if (key.empty()) return true;  // a name without a folder: the current one
    if (impl_->files.contains(key)) return false;  // a file of that name
    const std::string given[] = {folderKey(programFolder_), folderKey(userDataFolder_)};
    for (const std::string& known : given) {
        if (!known.empty() && (known == key || isInside(known, key))) return true;
    }
    for (const std::string& created : impl_->createdFolders) {
        if (created == key || isInside(created, key)) return true;
    }
    // The first key from "folder\" on is inside it when any is.
    const auto first = impl_->files.lower_bound(key + '\\');
    return first != impl_->files.end() && isInside(first->first, key);
}

bool HeadlessPlatform::createFolder(const std::string& path) {
    record("CreateDirectory(" + path + ")");
    const std::string key = folderKey(path);
    lastFileErrorDenied_ = false;
    if (impl_->files.contains(key)) {
        lastFileError_ = "Cannot create a file when that file already exists.";
        return false;
    }
    if (folderExists(path)) return true;
    const std::string parent = parentKey(key);
    if (!folderExists(parent)) {
        lastFileError_ = kPathNotFound;
        return false;
    }
    if (!writable_ || impl_->unwritableFolders.contains(parent)) {
        lastFileError_ = writable_ ? kAccessDenied : "The disk is write-protected.";
        lastFileErrorDenied_ = true;
        return false;
    }
    impl_->createdFolders.insert(key);
    return true;
}

FileContent HeadlessPlatform::readFile(const std::string& path, std::size_t maxBytes) {
    record("ReadFile(" + path + ")");
    const std::string key = pathKey(path);
    const auto found = impl_->files.find(key);
    if (found == impl_->files.end()) return {FileStatus::Missing, {}};
    if (impl_->lockedFiles.contains(key)) {
        lastFileError_ = "The file is locked by another program.";
        return {FileStatus::Failed, {}};
    }
    if (found->second.size() > maxBytes) {
        lastFileError_ = "The file is too large.";
        return {FileStatus::Failed, {}};
    }
    return {FileStatus::Ok, found->second};
}

bool HeadlessPlatform::replaceFile(const std::string& path, std::string_view bytes) {
    record("ReplaceFile(" + path + ")");
    const std::string key = pathKey(path);
    lastFileErrorDenied_ = false;
    if (!writable_) {
        lastFileError_ = "The disk is write-protected.";
        lastFileErrorDenied_ = true;
        return false;
    }
    if (impl_->lockedFiles.contains(key)) {
        lastFileError_ = "The file is locked by another program.";
        return false;
    }
    const std::string folder = parentKey(key);
    if (!folderExists(folder)) {
        lastFileError_ = kPathNotFound;
        return false;
    }
    if (impl_->unwritableFolders.contains(folder)) {
        lastFileError_ = kAccessDenied;
        lastFileErrorDenied_ = true;
        return false;
    }
    impl_->files[key] = std::string(bytes);
    ++replaceCount_;
    return true;
}

std::string HeadlessPlatform::ansiToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte >= 0x80 && byte <= 0x9F ? kCp1252High[byte - 0x80] : char32_t{byte});
    }
    return out;
}

picture::PictureResult HeadlessPlatform::loadPicture(const std::string& path, const picture::PictureRequest& request) {
    record("LoadPicture(" + path + ")");
    std::int64_t costMs = 0;
    picture::PictureResult result = decodeFile(path, request, costMs);
    // Decoding takes time on a real machine, and the program's timers go on
    // counting meanwhile.
    nowMs_ += costMs;
    return result;
}

picture::PictureResult HeadlessPlatform::decodeFile(const std::string& path, const picture::PictureRequest& request,
                                           std::int64_t& costMs) {
    costMs = 0;
    const std::string key = pathKey(path);
    const auto found = impl_->files.find(key);
    if (found == impl_->files.end()) return picture::PictureFailure{picture::PictureError::NotFound, path};
    if (impl_->lockedFiles.contains(key)) return picture::PictureFailure{picture::PictureError::Unreadable, path + " is locked"};
    const std::string& bytes = found->second;
    picture::PictureResult result = decodePictureBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, request);
    if (const auto* picture = std::get_if<picture::Picture>(&result)) {
        const auto cost = impl_->decodeCostMs.find(key);
        const double megapixels = (picture->naturalWidth ? double(picture->naturalWidth) * picture->naturalHeight
                                                         : double(picture->width) * picture->height) / 1e6;
        costMs = cost != impl_->decodeCostMs.end() ? cost->second : std::llround(decodeCostPerMegapixelMs_ * megapixels);
    }
    return result;
}

void HeadlessPlatform::setDecodeCost(const std::string& path, std::int64_t milliseconds) {
    impl_->decodeCostMs[pathKey(path)] = milliseconds;
}

picture::PictureResult HeadlessPlatform::decodePicture(std::span<const std::uint8_t> bytes) {
    return decodePictureBytes(bytes);
}

}  // namespace vistrel::platform::headless
