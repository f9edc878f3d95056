// Adding many pictures at once: the files chosen together in the file
// dialog, and files and folders dropped on the dialog. Each file is checked
// by its header alone (the format's signature and a declared size within
// the limits), so thousands of photos are listed in seconds; only the one
// shown as the thumbnail is decoded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vistrel::dialog {

// The file dialog's filter text; its first pattern list holds every
// extension the program shows, and a dropped folder adds the files with
// these extensions.
inline constexpr const char* kAddFileFilter =
    "Image files (*.gif;*.jpg;*.jpeg;*.bmp;*.png;*.tif)|"
    "*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.jif;*.bmp;*.dib;*.png;*.tif;*.tiff|"
    "CompuServe Files (*.gif)|*.gif|Jpeg Files (*.jpg)|*.jpg|"
    "Jif files (*.jif)|*.jif|Windows Bitmap Files (*.bmp)|*.bmp|Windows DIB files (*.dib)|*.dib|"
    "PNG Files (*.png)|*.png|TIFF Files (*.tif;*.tiff)|*.tif;*.tiff";

// The extensions of the filter's first pattern list, lower case with their
// dot (".gif").
std::vector<std::string> firstFilterExtensions(std::string_view filter);
bool hasExtensionIn(std::string_view path, const std::vector<std::string>& extensions);

// Windows paths name the same file whatever their letter case, with "/" as "\".
std::string samePathKey(std::string_view path);

// The files under `folder` and all its subfolders whose extension is one
// of `extensions`, sorted by path (letter case aside).
std::vector<std::string> picturesInFolderTree(platform::Platform& platform, const std::string& folder,
                                              const std::vector<std::string>& extensions);

// The header passes when it names a known format and declares a size the
// program can show: within the plain limits, or a sequential JPEG that is
// shown reduced to `screenFit` within them.
bool headerPassesCheck(const platform::PictureFileHeader& file, const picture::PictureRequest& screenFit);

// What a bulk add did with the files it was offered.
struct BulkAddCounts {
    int offered = 0;
    int added = 0;
    int notPictures = 0;  // not a picture, or damaged (also unreadable or gone)
    int duplicates = 0;   // already in the list
    int overLimit = 0;    // beyond the most images the list holds
    int notReached = 0;   // not looked at: the user stopped the add
    bool anythingLeftOut() const { return notPictures + duplicates + overLimit + notReached > 0; }
};

// 1200 as "1,200".
std::string withThousands(std::int64_t number);
// "Adding 1,200 of 20,000..."
std::string bulkAddProgressText(int done, int total);
// The one message after a bulk add that left anything out, or found nothing.
std::string bulkAddSummaryText(const BulkAddCounts& counts, int maxImages);

}  // namespace vistrel::dialog
