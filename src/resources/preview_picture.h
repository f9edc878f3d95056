// The stored preview picture (a still GIF of 151 x 119 pixels), built into
// the program from src/resources/preview.gif.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vistrel::resources {

extern const std::uint8_t kPreviewPictureGif[];
extern const std::size_t kPreviewPictureGifSize;

inline std::span<const std::uint8_t> previewPictureBytes() {
    return {kPreviewPictureGif, kPreviewPictureGifSize};
}

}  // namespace vistrel::resources
