// A picture drawn on a layer at any scale and offset (pan and zoom, the
// enlarged blurred fill), sampled bilinearly, a row at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "picture/picture.h"

namespace vistrel::picture {

// Where a picture stands on a layer: the layer pixel x shows the picture at
// left + (x + 0.5) x scaleX, counted in picture pixels from its left edge
// (and likewise downwards). The default shows the picture at its own size
// with its top-left corner on the layer's.
struct Framing {
    double left = 0;
    double top = 0;
    double scaleX = 1;  // picture pixels per layer pixel
    double scaleY = 1;

    bool operator==(const Framing&) const = default;
    // Pixel for pixel: every layer pixel shows exactly one picture pixel.
    bool pixelForPixel() const;
};

// The layer pixels [first, end) along one axis whose centres fall on the
// picture, within a layer of `layerLength` pixels.
struct Span {
    int first = 0;
    int end = 0;
    bool empty() const { return end <= first; }
};
Span coveredSpan(double offset, double scale, int pictureLength, int layerLength);

// Samples the layer columns [first, end) of any row. Positions beyond the
// picture's edge take the edge's pixels; callers draw only covered spans.
class FramedSampler {
public:
    FramedSampler(const Picture& picture, const Framing& framing, Span columns);
    // The layer row `y` into out[0 .. end - first).
    void row(int y, std::uint32_t* out);

private:
    const Picture& picture_;
    Framing framing_;
    Span columns_;
    bool pixelForPixel_;
    int sourceFirst_ = 0;  // the first source column the taps read
    int pairStep_ = 1;     // from a column's left source pixel to its right one (0 for one column)
    std::vector<int> left_;              // per layer column: its left source column, from sourceFirst_
    std::vector<std::uint16_t> shares_;  // and the share of the one right of it, in 256ths, once per byte
    std::vector<std::uint32_t> lefts_;   // the two source pixels of each layer column
    std::vector<std::uint32_t> rights_;
    // Source rows resampled across the layer's columns: the two the last
    // layer row was mixed from, which the next one mostly needs again.
    struct Across {
        int sourceRow = -1;
        std::vector<std::uint32_t> pixels;
    };
    Across across_[2];
    // Source row `sourceRow` across; the row `keep` stays held if it is.
    const std::uint32_t* across(int sourceRow, int keep);
};

}  // namespace vistrel::picture
