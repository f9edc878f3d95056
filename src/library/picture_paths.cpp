#include "library/picture_paths.h"

#include <algorithm>

namespace vistrel::library {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string samePathKey(std::string_view path) {
    std::string key(path);
    for (char& c : key) c = c == '/' ? '\\' : lowerAscii(c);
    return key;
}

bool isFolderEntry(std::string_view entry) { return !entry.empty() && (entry.back() == '\\' || entry.back() == '/'); }

std::string asFolderEntry(std::string_view folder) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.remove_suffix(1);
    return std::string(folder) + "\\";
}

PictureExtensions::PictureExtensions(std::vector<std::string> extensions) {
    for (std::string& extension : extensions) {
        std::transform(extension.begin(), extension.end(), extension.begin(), lowerAscii);
        if (extension.size() >= 2 && extension.front() == '.') sorted_.push_back(std::move(extension));
    }
    std::sort(sorted_.begin(), sorted_.end());
    sorted_.erase(std::unique(sorted_.begin(), sorted_.end()), sorted_.end());
}

std::string PictureExtensions::extensionOf(std::string_view name) {
    const std::size_t dot = name.find_last_of(".\\/");
    if (dot == std::string_view::npos || name[dot] != '.') return {};
    std::string extension(name.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(), lowerAscii);
    return extension;
}

bool PictureExtensions::matches(std::string_view name) const {
    const std::size_t dot = name.find_last_of(".\\/");
    if (dot == std::string_view::npos || name[dot] != '.') return false;
    const std::string_view extension = name.substr(dot);
    // Extensions are short: compared in place, without a lower-case copy.
    const auto less = [](std::string_view known, std::string_view wanted) {
        return std::lexicographical_compare(known.begin(), known.end(), wanted.begin(), wanted.end(),
                                            [](char k, char w) { return k < lowerAscii(w); });
    };
    const auto found = std::lower_bound(sorted_.begin(), sorted_.end(), extension, less);
    return found != sorted_.end() && found->size() == extension.size() &&
           std::equal(found->begin(), found->end(), extension.begin(),
                      [](char k, char w) { return k == lowerAscii(w); });
}

std::vector<std::string> ownPictureExtensions() {
    return {".gif", ".jpg", ".jpeg", ".jpe", ".jfif", ".jif", ".bmp", ".dib", ".png", ".tif", ".tiff"};
}

PictureExtensions decodableExtensions(std::vector<std::string> fromSystem) {
    for (std::string& own : ownPictureExtensions()) fromSystem.push_back(std::move(own));
    return PictureExtensions(std::move(fromSystem));
}

bool comesBefore(std::string_view a, bool aIsFolder, std::string_view b, bool bIsFolder) {
    const std::size_t aLength = a.size() + (aIsFolder ? 1 : 0);
    const std::size_t bLength = b.size() + (bIsFolder ? 1 : 0);
    const auto at = [](std::string_view name, std::size_t i) {
        return i < name.size() ? lowerAscii(name[i] == '/' ? '\\' : name[i]) : '\\';
    };
    for (std::size_t i = 0; i < aLength && i < bLength; ++i) {
        const auto x = static_cast<unsigned char>(at(a, i));
        const auto y = static_cast<unsigned char>(at(b, i));
        if (x != y) return x < y;
    }
    return aLength < bLength;
}

}  // namespace vistrel::library
