// A decoded picture: 32-bit pixels, top row first.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vistrel::picture {

// A day of the calendar as a photo's metadata names it; all 0 when it
// names none.
struct CalendarDate {
    int year = 0;  // 1 to 9999
    int month = 0;  // 1 to 12
    int day = 0;  // 1 to the month's last
    bool known() const { return year > 0; }
    bool operator==(const CalendarDate&) const = default;
};

// Pixels are 0xAARRGGBB words (B, G, R, A bytes in memory on little-endian
// machines: the layout of a 32-bit top-down DIB). Alpha is 0xFF for opaque.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height
    // The size of the whole picture, upright, when these pixels show it
    // reduced (0 when they show it at its own size).
    int naturalWidth = 0;
    int naturalHeight = 0;
    // The day the photo was taken, from its metadata (unknown when it has none).
    CalendarDate dateTaken{};

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Limits checked against the size a file declares, before any pixel memory
// is allocated: a 20 KB file may claim 65500 x 65500 pixels. 64 megapixels
// (256 MB of pixels) takes any camera photo of today and still fits the
// address space of a 32-bit process twice over (loader + display surface).
inline constexpr std::int64_t kMaxPicturePixels = 64LL * 1024 * 1024;
inline constexpr int kMaxPictureSide = 32767;

inline bool pictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

// What a load is for. A picture larger than the space is shrunk to fit it,
// keeping its proportions; a space of 0 x 0 keeps every picture at its own
// size.
struct PictureRequest {
    int maxWidth = 0;  // pixels
    int maxHeight = 0;
    // What transparent parts of the picture show: RGB, red in the low byte.
    std::uint32_t background = 0;
    // Pan and zoom: instead of fitted into the space, the picture is kept
    // large enough to fill it at this zoom (picture_fitting's fillScale), so
    // that its closest framing is still sharp. 0 fits it.
    double fillZoom = 0;
    bool fits() const { return maxWidth > 0 && maxHeight > 0; }
    bool operator==(const PictureRequest&) const = default;
};

enum class PictureError { NotFound, Unreadable, TooLarge, Undecodable };

struct PictureFailure {
    PictureError error;
    std::string detail;  // for diagnostics; never shown to the user as is
};

using PictureResult = std::variant<Picture, PictureFailure>;

}  // namespace vistrel::picture
