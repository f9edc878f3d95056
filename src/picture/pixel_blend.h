// Mixing rows of pixels: the crossfade's blend and a caption's text over
// what lies under it.
#pragma once

#include <cstdint>

namespace vistrel::picture {

// A crossfade's weight in 256ths: 0 shows the row it starts from, 256 the
// row it ends on.
inline constexpr int kBlendWhole = 256;

// out = from + (to - from) x weight / 256 in each channel, rounded half up:
// (from x (256 - weight) + to x weight + 128) / 256. At 128 that is exactly
// the mean of the two, halves up. Opaque rows give an opaque one. `out` may
// be `from` or `to`.
void blendRow(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out, int count, int weight);

// One byte of that: (a x rest + b x weight + 128) / 256, with rest + weight
// = 256. Each step is held to 16 bits, which lets the compiler mix eight
// bytes at once in vector code.
inline std::uint8_t mixBytes(std::uint8_t a, std::uint8_t b, std::uint16_t rest, std::uint16_t weight) {
    const auto fromShare = static_cast<std::uint16_t>(a * rest);
    const auto toShare = static_cast<std::uint16_t>(b * weight);
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(fromShare + toShare + 128) >> 8);
}

// Lays `color` (0xRRGGBB) over the row where `coverage` covers it: each of a
// coverage word's red, green and blue bytes (0 to 255) is how much of that
// channel the colour takes, as a text renderer hands them out (the three
// differ where the system smooths text for the pixel layout of a screen).
void coverRow(std::uint32_t* row, const std::uint32_t* coverage, int count, std::uint32_t color);

}  // namespace vistrel::picture
