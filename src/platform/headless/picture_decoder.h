// Decodes picture bytes: JPEG with libjpeg-turbo, GIF, BMP, PNG and TIFF
// with gdk-pixbuf, fitted and turned upright as the request asks.
#pragma once

#include <cstdint>
#include <span>

#include "picture/picture.h"

namespace vistrel::platform::headless {

// The first frame of the picture. A declared size beyond the limits gives
// TooLarge before any decoder sees the bytes; bytes of any other format,
// or corrupt or truncated data, give Undecodable.
picture::PictureResult decodePictureBytes(std::span<const std::uint8_t> bytes, const picture::PictureRequest& request = {});

}  // namespace vistrel::platform::headless
