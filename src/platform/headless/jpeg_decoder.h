// Decodes JPEG bytes with libjpeg-turbo straight into the picture's pixels,
// row by row: a 24-megapixel photo needs no second, intermediate copy.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/picture.h"

namespace vistrel::platform::headless {

// The decoded picture, or TooLarge (checked before any pixel memory is
// allocated). Nothing when libjpeg cannot decode the bytes to 32-bit pixels
// (a CMYK photo, or damaged data): the caller then tries another decoder.
std::optional<PictureResult> decodeJpegDirect(std::span<const std::uint8_t> bytes);

}  // namespace vistrel::platform::headless
