#include "picture/pixel_rows.h"

namespace vistrel::picture {

int bytesPerPixel(RowLayout layout) {
    switch (layout) {
        case RowLayout::Gray8: return 1;
        case RowLayout::Bgr24: return 3;
        case RowLayout::Bgrx32:
        case RowLayout::Bgra32: break;
    }
    return 4;
}

void widenRow(RowLayout layout, const std::uint8_t* row, int width, std::uint32_t* out) {
    constexpr std::uint32_t kOpaque = 0xFF000000u;
    for (int x = 0; x < width; ++x) {
        switch (layout) {
            case RowLayout::Gray8: {
                const std::uint32_t g = row[x];
                out[x] = kOpaque | g << 16 | g << 8 | g;
                break;
            }
            case RowLayout::Bgr24: {
                const std::uint8_t* p = row + 3 * x;
                out[x] = kOpaque | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
                break;
            }
            case RowLayout::Bgrx32:
            case RowLayout::Bgra32: {
                const std::uint8_t* p = row + 4 * x;
                const std::uint32_t alpha = layout == RowLayout::Bgra32 ? std::uint32_t{p[3]} << 24 : kOpaque;
                out[x] = alpha | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
                break;
            }
        }
    }
}

}  // namespace vistrel::picture
