// Paths as Windows compares them: letter case aside, "/" as "\". Shared by
// the folder walk, the list of the settings dialog and the bulk add.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vistrel::library {

char lowerAscii(char c);

// Windows paths name the same file whatever their letter case, with "/" as "\".
std::string samePathKey(std::string_view path);

// A list entry that names a folder ends in "\" (or "/"): that is how the
// settings file tells a folder from a file, also while its drive is absent.
bool isFolderEntry(std::string_view entry);
// `folder` with exactly one "\" at its end.
std::string asFolderEntry(std::string_view folder);

// The extensions of picture files the program takes, lower case with their
// dot (".jpg"); looked up by a file's name, in any letter case.
class PictureExtensions {
public:
    PictureExtensions() = default;
    explicit PictureExtensions(std::vector<std::string> extensions);
    bool matches(std::string_view name) const;
    // The extension of a name, lower case with its dot; empty for none.
    static std::string extensionOf(std::string_view name);
    const std::vector<std::string>& list() const { return sorted_; }

private:
    std::vector<std::string> sorted_;
};

// The extensions of the formats whose headers the program reads itself:
// their files are shown wherever a decoder of the system takes the format.
std::vector<std::string> ownPictureExtensions();
// What a walk of a folder takes: those, and every extension a decoder of
// the system takes (".heic", ".webp"... where installed).
PictureExtensions decodableExtensions(std::vector<std::string> fromSystem);

// Whether `a` comes before `b` among the children of one folder, in the
// order of their full paths compared without letter case. A folder counts
// with the "\" its path goes on with, so a walk that visits each folder's
// children in this order, going down into each subfolder where it stands,
// meets the pictures of a tree in the order of their sorted full paths.
bool comesBefore(std::string_view a, bool aIsFolder, std::string_view b, bool bIsFolder);

}  // namespace vistrel::library
