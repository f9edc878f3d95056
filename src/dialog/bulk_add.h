// Adding many pictures at once: the files chosen together in the file
// dialog, and files and folders dropped on the dialog (a folder is one
// entry, read by the saver at each start). Each file is checked by its
// header alone (the format's signature and a declared size within
// the limits), so thousands of photos are listed in seconds; only the one
// shown as the thumbnail is decoded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/picture_paths.h"
#include "platform/platform.h"

namespace vistrel::dialog {

// The file dialog's filter text as the program knows it; its first pattern
// list holds the extensions whose headers the program reads itself.
inline constexpr const char* kAddFileFilter =
    "Image files (*.gif;*.jpg;*.jpeg;*.bmp;*.png;*.tif)|"
    "*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.jif;*.bmp;*.dib;*.png;*.tif;*.tiff|"
    "CompuServe Files (*.gif)|*.gif|Jpeg Files (*.jpg)|*.jpg|"
    "Jif files (*.jif)|*.jif|Windows Bitmap Files (*.bmp)|*.bmp|Windows DIB files (*.dib)|*.dib|"
    "PNG Files (*.png)|*.png|TIFF Files (*.tif;*.tiff)|*.tif;*.tiff";

// The extensions of the filter's first pattern list, lower case with their
// dot (".gif").
std::vector<std::string> firstFilterExtensions(std::string_view filter);
// The file dialog's filter: its first pattern list also takes every other
// extension a decoder of the system takes (".heic", ".webp"...).
std::string addFileFilter(const std::vector<std::string>& decodable);

// The header passes when it names a known format and declares a size the
// program can show: within the plain limits, or a sequential JPEG that is
// shown reduced to `screenFit` within them.
bool headerPassesCheck(const platform::PictureFileHeader& file, const picture::PictureRequest& screenFit);
// A file of a format the header reader does not know (HEIF, WebP...) is
// taken by its extension alone, when a decoder of the system takes that
// extension; it is checked when it is shown.
bool takenByExtension(const platform::PictureFileHeader& file, std::string_view path,
                      const library::PictureExtensions& decodable);

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
