// The portable rules of a bulk add: which files a folder offers, the header
// check, and the texts the user sees.
#include <algorithm>

#include "dialog/bulk_add.h"
#include "picture/picture_fitting.h"

namespace vistrel::dialog {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string joinedPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
    return folder + "\\" + name;
}

void collectPictures(platform::Platform& platform, const std::string& folder,
                     const std::vector<std::string>& extensions, std::vector<std::string>& into) {
    for (const platform::FolderEntry& entry : platform.listFolder(folder)) {
        const std::string path = joinedPath(folder, entry.name);
        if (entry.isFolder) {
            collectPictures(platform, path, extensions, into);
        } else if (hasExtensionIn(entry.name, extensions)) {
            into.push_back(path);
        }
    }
}

std::string countLine(int count, const char* what) { return withThousands(count) + " " + what; }

}  // namespace

std::vector<std::string> firstFilterExtensions(std::string_view filter) {
    std::vector<std::string> extensions;
    const std::size_t start = filter.find('|');
    if (start == std::string_view::npos) return extensions;
    std::string_view patterns = filter.substr(start + 1);
    patterns = patterns.substr(0, patterns.find('|'));
    while (!patterns.empty()) {
        const std::size_t end = std::min(patterns.find(';'), patterns.size());
        std::string_view pattern = patterns.substr(0, end);
        patterns.remove_prefix(std::min(end + 1, patterns.size()));
        if (pattern.starts_with("*")) pattern.remove_prefix(1);
        if (!pattern.starts_with(".") || pattern.size() < 2) continue;
        std::string extension(pattern);
        std::transform(extension.begin(), extension.end(), extension.begin(), lowerAscii);
        extensions.push_back(std::move(extension));
    }
    return extensions;
}

bool hasExtensionIn(std::string_view path, const std::vector<std::string>& extensions) {
    const std::size_t dot = path.find_last_of(".\\/");
    if (dot == std::string_view::npos || path[dot] != '.') return false;
    std::string extension(path.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(), lowerAscii);
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

std::string samePathKey(std::string_view path) {
    std::string key(path);
    for (char& c : key) c = c == '/' ? '\\' : lowerAscii(c);
    return key;
}

std::vector<std::string> picturesInFolderTree(platform::Platform& platform, const std::string& folder,
                                              const std::vector<std::string>& extensions) {
    std::vector<std::string> found;
    collectPictures(platform, folder, extensions, found);
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(found.size());
    for (auto& path : found) keyed.emplace_back(samePathKey(path), std::move(path));
    std::sort(keyed.begin(), keyed.end());
    found.clear();
    for (auto& [key, path] : keyed) found.push_back(std::move(path));
    return found;
}

bool headerPassesCheck(const platform::PictureFileHeader& file, const picture::PictureRequest& screenFit) {
    if (file.status != platform::FileStatus::Ok) return false;
    const picture::PictureHeader& header = file.header;
    if (header.format == picture::PictureFormat::Unknown || header.impossible || !header.sizeKnown) return false;
    if (picture::pictureSizeAllowed(header.width, header.height)) return true;
    // The saver may still show a larger sequential JPEG, decoded reduced.
    return header.format == picture::PictureFormat::Jpeg && header.jpegSinglePass && screenFit.fits() &&
           !picture::refuseByHeader(header, screenFit, {.reducedJpegDecode = true});
}

std::string withThousands(std::int64_t number) {
    const std::string digits = std::to_string(number < 0 ? -number : number);
    std::string text = number < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::string bulkAddProgressText(int done, int total) {
    return "Adding " + withThousands(done) + " of " + withThousands(total) + "...";
}

std::string bulkAddSummaryText(const BulkAddCounts& counts, int maxImages) {
    if (counts.offered == 0) return "No picture files were found.";
    std::string text = withThousands(counts.added) + (counts.added == 1 ? " picture was" : " pictures were") +
                       " added to the list.";
    if (!counts.anythingLeftOut()) return text;
    text += "\r\n\r\nLeft out:";
    if (counts.notPictures > 0) text += "\r\n" + countLine(counts.notPictures, "not a picture or damaged");
    if (counts.duplicates > 0) text += "\r\n" + countLine(counts.duplicates, "already in the list");
    if (counts.overLimit > 0) {
        text += "\r\n" + countLine(counts.overLimit, "over the limit of ") + withThousands(maxImages) + " pictures";
    }
    if (counts.notReached > 0) text += "\r\n" + countLine(counts.notReached, "not looked at: stopped with Esc");
    return text;
}

}  // namespace vistrel::dialog
