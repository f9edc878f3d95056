#include "picture/pixel_blend.h"

namespace vistrel::picture {
namespace {

constexpr std::uint32_t kRedBlue = 0x00FF00FFu;
constexpr std::uint32_t kGreen = 0x0000FF00u;
constexpr std::uint32_t kOpaque = 0xFF000000u;

// x / 255 for x up to 255 x 255, rounded to nearest.
constexpr std::uint32_t dividedBy255(std::uint32_t x) { return (x + 128 + ((x + 128) >> 8)) >> 8; }

}  // namespace

void blendRow(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out, int count, int weight) {
    // Red and blue side by side in one word, green in another: each lane
    // holds at most 255 x 256 + 128, so no lane spills into the next.
    const std::uint32_t w = static_cast<std::uint32_t>(weight);
    const std::uint32_t rest = kBlendWhole - w;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t a = from[i];
        const std::uint32_t b = to[i];
        const std::uint32_t redBlue = (((a & kRedBlue) * rest + (b & kRedBlue) * w + 0x00800080u) >> 8) & kRedBlue;
        const std::uint32_t green = (((a & kGreen) * rest + (b & kGreen) * w + 0x00008000u) >> 8) & kGreen;
        out[i] = kOpaque | redBlue | green;
    }
}

void coverRow(std::uint32_t* row, const std::uint32_t* coverage, int count, std::uint32_t color) {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t cover = coverage[i] & 0xFFFFFFu;
        if (cover == 0) continue;
        std::uint32_t mixed = kOpaque;
        for (int shift = 0; shift <= 16; shift += 8) {
            const std::uint32_t share = cover >> shift & 0xFF;
            const std::uint32_t under = row[i] >> shift & 0xFF;
            const std::uint32_t over = color >> shift & 0xFF;
            mixed |= dividedBy255(under * (255 - share) + over * share) << shift;
        }
        row[i] = mixed;
    }
}

}  // namespace vistrel::picture
