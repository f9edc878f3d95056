// Decodes GIF, JPEG and BMP bytes with gdk-pixbuf.
#pragma once

#include <cstdint>
#include <span>

#include "platform/picture.h"

namespace vistrel::platform::headless {

// The first frame of the image, opaque (transparent pixels come out black).
// A declared size that pictureSizeAllowed() refuses gives TooLarge before
// any pixel memory is allocated; bytes of any other format, or corrupt or
// truncated data, give Undecodable.
PictureResult decodePictureBytes(std::span<const std::uint8_t> bytes);

}  // namespace vistrel::platform::headless
