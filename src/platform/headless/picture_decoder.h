// Decodes picture bytes: JPEG with libjpeg-turbo, every other format with
// gdk-pixbuf (with Debian's loaders, also WebP and HEIF), fitted and turned
// upright as the request asks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "picture/picture.h"

namespace vistrel::platform::headless {

// The first frame of the picture. A declared size beyond the limits gives
// TooLarge before any decoder sees the bytes; bytes that no decoder
// takes, or corrupt or truncated data, give Undecodable.
picture::PictureResult decodePictureBytes(std::span<const std::uint8_t> bytes, const picture::PictureRequest& request = {});

// The extensions of gdk-pixbuf's raster formats, with their dot.
std::vector<std::string> pixbufExtensions();

}  // namespace vistrel::platform::headless
