// Rows of pixels in the few layouts a system decoder gives, widened to the
// program's 0xAARRGGBB words.
#pragma once

#include <cstdint>

namespace vistrel::picture {

enum class RowLayout {
    Gray8,   // one byte a pixel
    Bgr24,   // blue, green, red bytes
    Bgrx32,  // blue, green, red and an unused byte
    Bgra32,  // blue, green, red and alpha bytes
};

int bytesPerPixel(RowLayout layout);

// Fills `out` with `width` words; alpha is 0xFF where the layout has none.
void widenRow(RowLayout layout, const std::uint8_t* row, int width, std::uint32_t* out);

}  // namespace vistrel::picture
