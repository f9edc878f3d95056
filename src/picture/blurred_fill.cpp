#include "picture/blurred_fill.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vistrel::picture {
namespace {

constexpr int kBlurRadius = 2;  // pixels of the small copy
constexpr int kBlurPasses = 3;  // three box blurs come close to a Gaussian

// One box blur of radius kBlurRadius along rows (step 1) or columns (step
// width) of the small copy, each channel apart; edge pixels repeat.
void boxBlur(std::vector<std::uint32_t>& pixels, int length, int lines, int step, int lineStep) {
    std::vector<std::uint32_t> line(static_cast<std::size_t>(length));
    const int taps = 2 * kBlurRadius + 1;
    for (int l = 0; l < lines; ++l) {
        std::uint32_t* first = &pixels[static_cast<std::size_t>(l) * lineStep];
        for (int i = 0; i < length; ++i) line[static_cast<std::size_t>(i)] = first[static_cast<std::ptrdiff_t>(i) * step];
        for (int i = 0; i < length; ++i) {
            std::uint32_t sum[3] = {0, 0, 0};
            for (int k = -kBlurRadius; k <= kBlurRadius; ++k) {
                const std::uint32_t pixel = line[static_cast<std::size_t>(std::clamp(i + k, 0, length - 1))];
                for (int c = 0; c < 3; ++c) sum[c] += pixel >> (8 * c) & 0xFF;
            }
            std::uint32_t blurred = 0xFF000000u;
            for (int c = 0; c < 3; ++c) blurred |= ((sum[c] + taps / 2) / taps) << (8 * c);
            first[static_cast<std::ptrdiff_t>(i) * step] = blurred;
        }
    }
}

}  // namespace

Picture blurredFill(const Picture& picture, PixelSize space) {
    if (picture.width <= 0 || picture.height <= 0 || space.width <= 0 || space.height <= 0) return {};
    // The middle of the picture in the space's proportions.
    const std::int64_t w = picture.width, h = picture.height;
    PixelSize cut{picture.width, picture.height};
    if (w * space.height > h * space.width) {
        cut.width = static_cast<int>(std::max<std::int64_t>(1, (h * space.width + space.height / 2) / space.height));
    } else {
        cut.height = static_cast<int>(std::max<std::int64_t>(1, (w * space.height + space.width / 2) / space.width));
    }
    const int cutLeft = (picture.width - cut.width) / 2;
    const int cutTop = (picture.height - cut.height) / 2;
    const PixelSize small{std::clamp((space.width + kFillReduction / 2) / kFillReduction, 1, cut.width),
                          std::clamp((space.height + kFillReduction / 2) / kFillReduction, 1, cut.height)};

    PictureReducer reducer(cut, small, 0);
    for (int y = 0; y < cut.height; ++y) {
        reducer.row(&picture.pixels[static_cast<std::size_t>(cutTop + y) * picture.width + cutLeft]);
    }
    Picture fill = reducer.take();
    for (int pass = 0; pass < kBlurPasses; ++pass) {
        boxBlur(fill.pixels, fill.width, fill.height, 1, fill.width);
        boxBlur(fill.pixels, fill.height, fill.width, fill.width, 1);
    }
    for (std::uint32_t& pixel : fill.pixels) {
        std::uint32_t dimmed = 0xFF000000u;
        for (int c = 0; c < 3; ++c) dimmed |= ((pixel >> (8 * c) & 0xFF) * kFillBrightness / 256) << (8 * c);
        pixel = dimmed;
    }
    return fill;
}

Framing fillFraming(const Picture& fill, PixelSize space) {
    Framing framing;
    if (space.width > 0) framing.scaleX = static_cast<double>(fill.width) / space.width;
    if (space.height > 0) framing.scaleY = static_cast<double>(fill.height) / space.height;
    return framing;
}

}  // namespace vistrel::picture
