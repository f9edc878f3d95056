// A decoded picture: 32-bit pixels, top row first.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vistrel::platform {

// Pixels are 0xAARRGGBB words (B, G, R, A bytes in memory on little-endian
// machines: the layout of a 32-bit top-down DIB). Alpha is 0xFF for opaque.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height

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

enum class PictureError { NotFound, Unreadable, TooLarge, Undecodable };

struct PictureFailure {
    PictureError error;
    std::string detail;  // for diagnostics; never shown to the user as is
};

using PictureResult = std::variant<Picture, PictureFailure>;

}  // namespace vistrel::platform
