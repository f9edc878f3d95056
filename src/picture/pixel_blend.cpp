#include "picture/pixel_blend.h"

#include <cstddef>

namespace vistrel::picture {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

// x / 255 for x up to 255 x 255, rounded to nearest.
constexpr std::uint32_t dividedBy255(std::uint32_t x) { return (x + 128 + ((x + 128) >> 8)) >> 8; }

}  // namespace

void blendRow(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out, int count, int weight) {
    // Byte by byte in 16-bit arithmetic: 255 x 256 + 128 still fits, and the
    // compiler turns the loop into vector code on any x86 (SSE2). Alpha is
    // blended alike, so opaque rows give opaque ones.
    const auto w = static_cast<std::uint16_t>(weight);
    const auto rest = static_cast<std::uint16_t>(kBlendWhole - weight);
    const auto* a = reinterpret_cast<const std::uint8_t*>(from);
    const auto* b = reinterpret_cast<const std::uint8_t*>(to);
    auto* mixed = reinterpret_cast<std::uint8_t*>(out);
    const std::size_t bytes = static_cast<std::size_t>(count) * 4;
    for (std::size_t i = 0; i < bytes; ++i) mixed[i] = mixBytes(a[i], b[i], rest, w);
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
