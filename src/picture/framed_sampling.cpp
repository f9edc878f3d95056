#include "picture/framed_sampling.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "picture/pixel_blend.h"

namespace vistrel::picture {
namespace {

// A source position between pixel centres: the pixel at or before it and
// the share (0 to 256) of the next.
struct Tap {
    int index;
    std::uint32_t share;
};
Tap tapAt(double position) {
    const double floorPosition = std::floor(position);
    auto share = static_cast<std::uint32_t>(std::lround((position - floorPosition) * kBlendWhole));
    int index = static_cast<int>(floorPosition);
    if (share == kBlendWhole) {
        share = 0;
        ++index;
    }
    return {index, share};
}

bool whole(double value) { return value == std::floor(value); }

}  // namespace

bool Framing::pixelForPixel() const { return scaleX == 1 && scaleY == 1 && whole(left) && whole(top); }

Span coveredSpan(double offset, double scale, int pictureLength, int layerLength) {
    if (scale <= 0 || pictureLength <= 0) return {};
    // The centre of layer pixel x lies at offset + (x + 0.5) x scale.
    const double first = std::ceil((0 - offset) / scale - 0.5);
    const double end = std::ceil((pictureLength - offset) / scale - 0.5);
    return {static_cast<int>(std::clamp(first, 0.0, static_cast<double>(layerLength))),
            static_cast<int>(std::clamp(end, 0.0, static_cast<double>(layerLength)))};
}

FramedSampler::FramedSampler(const Picture& picture, const Framing& framing, Span columns)
    : picture_(picture), framing_(framing), columns_(columns), pixelForPixel_(framing.pixelForPixel()) {
    if (pixelForPixel_ || columns.empty() || picture.width <= 0) return;
    const int count = columns.end - columns.first;
    const int lastColumn = picture.width - 1;
    std::vector<Tap> taps;
    taps.reserve(static_cast<std::size_t>(count));
    sourceFirst_ = lastColumn;
    for (int x = columns.first; x < columns.end; ++x) {
        Tap tap = tapAt(framing.left + (x + 0.5) * framing.scaleX - 0.5);
        if (tap.index < 0) tap = {0, 0};
        // Every column mixes a pixel with the one right of it: at the right
        // edge that is the edge pixel, taken whole from its left neighbour.
        if (tap.index >= lastColumn) tap = {std::max(lastColumn - 1, 0), lastColumn > 0 ? std::uint32_t{kBlendWhole} : 0u};
        taps.push_back(tap);
        sourceFirst_ = std::min(sourceFirst_, tap.index);
    }
    pairStep_ = lastColumn > 0 ? 1 : 0;
    left_.reserve(taps.size());
    shares_.reserve(taps.size() * 4);
    for (const Tap& tap : taps) {
        left_.push_back(tap.index - sourceFirst_);
        shares_.insert(shares_.end(), 4, static_cast<std::uint16_t>(tap.share));
    }
    lefts_.resize(taps.size());
    rights_.resize(taps.size());
}

void FramedSampler::row(int y, std::uint32_t* out) {
    if (columns_.empty() || picture_.width <= 0 || picture_.height <= 0) return;
    const int count = columns_.end - columns_.first;
    const int lastRow = picture_.height - 1;
    if (pixelForPixel_) {
        const int sourceY = std::clamp(static_cast<int>(framing_.top) + y, 0, lastRow);
        const int sourceX = static_cast<int>(framing_.left) + columns_.first;
        const std::uint32_t* source = &picture_.pixels[static_cast<std::size_t>(sourceY) * picture_.width];
        // Columns beyond the picture take its edge, as the scaled path does.
        int i = 0;
        for (; i < count && sourceX + i < 0; ++i) out[i] = source[0];
        const int inside = std::clamp(picture_.width - (sourceX + i), 0, count - i);
        std::memcpy(out + i, source + sourceX + i, static_cast<std::size_t>(inside) * sizeof *out);
        for (i += inside; i < count; ++i) out[i] = source[picture_.width - 1];
        return;
    }
    Tap tap = tapAt(framing_.top + (y + 0.5) * framing_.scaleY - 0.5);
    if (tap.index < 0) tap = {0, 0};
    if (tap.index >= lastRow) tap = {lastRow, 0};
    // Across first, then down: each source row is resampled once for the
    // rows on both sides of it, and read from memory once.
    const std::uint32_t* upper = across(tap.index, tap.share > 0 ? tap.index + 1 : tap.index);
    if (tap.share == 0) {
        std::memcpy(out, upper, static_cast<std::size_t>(count) * sizeof *out);
        return;
    }
    const std::uint32_t* lower = across(tap.index + 1, tap.index);
    blendRow(upper, lower, out, count, static_cast<int>(tap.share));
}

const std::uint32_t* FramedSampler::across(int sourceRow, int keep) {
    for (const Across& held : across_) {
        if (held.sourceRow == sourceRow) return held.pixels.data();
    }
    Across& slot = across_[0].sourceRow == keep ? across_[1] : across_[0];
    slot.sourceRow = sourceRow;
    slot.pixels.resize(left_.size());
    const std::uint32_t* source = &picture_.pixels[static_cast<std::size_t>(sourceRow) * picture_.width + sourceFirst_];
    // The two neighbours of each column side by side, then mixed byte by
    // byte with each column's share: both loops stay simple enough for the
    // compiler to make vector code of the second.
    const std::size_t count = left_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t* pair = source + left_[i];
        lefts_[i] = pair[0];
        rights_[i] = pair[pairStep_];
    }
    const auto* a = reinterpret_cast<const std::uint8_t*>(lefts_.data());
    const auto* b = reinterpret_cast<const std::uint8_t*>(rights_.data());
    const std::uint16_t* share = shares_.data();
    auto* result = reinterpret_cast<std::uint8_t*>(slot.pixels.data());
    for (std::size_t j = 0; j < count * 4; ++j) {
        result[j] = mixBytes(a[j], b[j], static_cast<std::uint16_t>(kBlendWhole - share[j]), share[j]);
    }
    return slot.pixels.data();
}

}  // namespace vistrel::picture
