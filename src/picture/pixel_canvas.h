// A block of pixels that lives in someone else's memory (the persistent
// image of a window), for the program to read and draw into directly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vistrel::picture {

// 0xAARRGGBB words, top row first (the layout of Picture), `stride` words
// from the start of one row to the start of the next.
struct PixelCanvas {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;

    bool empty() const { return pixels == nullptr || width <= 0 || height <= 0; }
    std::uint32_t* row(int y) const { return pixels + y * stride; }
};

}  // namespace vistrel::picture
