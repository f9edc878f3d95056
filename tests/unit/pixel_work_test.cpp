// The pixel work of the composed stage: the crossfade's blend, text over a
// row, a picture sampled at any scale, the blurred fill and the size a
// picture is loaded at for pan and zoom.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "picture/blurred_fill.h"
#include "picture/framed_sampling.h"
#include "picture/pixel_blend.h"

namespace vistrel::picture {
namespace {

std::uint32_t channel(std::uint32_t pixel, int shift) { return pixel >> shift & 0xFF; }

Picture solidPicture(int width, int height, const std::function<std::uint32_t(int x, int y)>& pixel) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.pixels.push_back(0xFF000000u | pixel(x, y));
    }
    return picture;
}

TEST(BlendRow, EndsAreExactAndHalfWayIsTheMeanRoundedUpInEveryChannel) {
    // Every pair of channel values, in all three channels at once, each
    // channel with other values than its neighbours.
    std::vector<std::uint32_t> from, to;
    for (std::uint32_t a = 0; a < 256; ++a) {
        for (std::uint32_t b = 0; b < 256; ++b) {
            from.push_back(0xFF000000u | a << 16 | (255 - a) << 8 | b);
            to.push_back(0xFF000000u | b << 16 | a << 8 | (255 - b));
        }
    }
    std::vector<std::uint32_t> out(from.size());
    for (int weight : {0, kBlendWhole / 2, kBlendWhole}) {
        blendRow(from.data(), to.data(), out.data(), static_cast<int>(out.size()), weight);
        for (std::size_t i = 0; i < out.size(); ++i) {
            for (int shift : {0, 8, 16}) {
                const std::uint32_t a = channel(from[i], shift), b = channel(to[i], shift);
                const std::uint32_t expected = weight == 0 ? a : weight == kBlendWhole ? b : (a + b + 1) / 2;
                ASSERT_EQ(channel(out[i], shift), expected) << "weight " << weight << ", " << a << " to " << b;
            }
            ASSERT_EQ(out[i] >> 24, 0xFFu);
        }
    }
}

TEST(CoverRow, TextTakesEachChannelByItsOwnCoverage) {
    std::vector<std::uint32_t> row(4, 0xFF204080u);
    const std::uint32_t coverage[] = {0x000000, 0xFFFFFF, 0x808080, 0xFF0000};
    coverRow(row.data(), coverage, 4, 0xFFFFFF);
    EXPECT_EQ(row[0], 0xFF204080u);                 // not covered
    EXPECT_EQ(row[1], 0xFFFFFFFFu);                 // covered whole
    EXPECT_EQ(row[2], 0xFF90A0C0u);                 // half way, each channel
    EXPECT_EQ(row[3], 0xFFFF4080u);                 // only the red channel
}

TEST(FramedSampler, PixelForPixelCopiesAndScaledSamplesInterpolate) {
    const Picture picture = solidPicture(2, 1, [](int x, int) { return x == 0 ? 0x000000u : 0xC8C8C8u; });
    std::vector<std::uint32_t> out(4);
    // Its own size from one pixel left of it: the edge repeats.
    FramedSampler copy(picture, {-1, 0, 1, 1}, {0, 4});
    copy.row(0, out.data());
    EXPECT_EQ(out, (std::vector<std::uint32_t>{0xFF000000u, 0xFF000000u, 0xFFC8C8C8u, 0xFFC8C8C8u}));
    // Twice its size: the middle columns lie a quarter and three quarters
    // of the way between the two pixels.
    FramedSampler enlarged(picture, {0, 0, 0.5, 0.5}, {0, 4});
    enlarged.row(1, out.data());
    EXPECT_EQ(out, (std::vector<std::uint32_t>{0xFF000000u, 0xFF323232u, 0xFF969696u, 0xFFC8C8C8u}));

    // The layer pixels whose centres fall on a 10-pixel picture shown at
    // twice its size from layer pixel 5 on.
    const Span span = coveredSpan(-2.5, 0.5, 10, 40);
    EXPECT_EQ(span.first, 5);
    EXPECT_EQ(span.end, 25);
}

TEST(FillSize, APictureFillsItsSpaceCutByAtMostASixth) {
    // Of the same proportions: just covered.
    EXPECT_DOUBLE_EQ(fillScale({400, 300}, {200, 150}), 0.5);
    // Wider: covered by its height, 1/11 of its width cut away.
    EXPECT_DOUBLE_EQ(fillScale({440, 300}, {200, 150}), 0.5);
    // Tall on a wide space: covering would cut away 3/4; a sixth at most,
    // and the background shows beside it.
    EXPECT_DOUBLE_EQ(fillScale({100, 400}, {400, 300}), 0.75 * 6 / 5);

    // Loaded large enough for the closest framing, never larger than it is.
    PictureRequest request{200, 150, 0, 1.15};
    EXPECT_EQ(requestedSize({4000, 3000}, request), (PixelSize{230, 173}));
    EXPECT_EQ(requestedSize({220, 165}, request), (PixelSize{220, 165}));
    request.fillZoom = 0;  // fitted, as before
    EXPECT_EQ(requestedSize({4000, 3000}, request), (PixelSize{200, 150}));
}

TEST(BlurredFill, ASmallDimBlurredCopyCutToTheSpacesProportions) {
    // Orange on the left, blue on the right, taller than the space.
    const Picture picture =
        solidPicture(160, 480, [](int x, int) { return x < 80 ? 0xFF8000u : 0x0040FFu; });
    const Picture fill = blurredFill(picture, {640, 480});
    EXPECT_EQ(fill.width, 640 / kFillReduction);
    EXPECT_EQ(fill.height, 480 / kFillReduction);
    const std::uint32_t left = fill.at(0, fill.height / 2);
    const std::uint32_t right = fill.at(fill.width - 1, fill.height / 2);
    // Dimmed: no channel brighter than kFillBrightness / 256 of the picture's.
    EXPECT_EQ(channel(left, 16), 255u * kFillBrightness / 256);
    EXPECT_GT(channel(left, 8), channel(left, 0));
    EXPECT_EQ(channel(right, 0), 255u * kFillBrightness / 256);
    EXPECT_LT(channel(right, 16), channel(right, 8));
    // Blurred: the colours run into each other gradually across the middle.
    int steps = 0;
    for (int x = 1; x < fill.width; ++x) {
        const std::uint32_t was = channel(fill.at(x - 1, 0), 16), is = channel(fill.at(x, 0), 16);
        EXPECT_LE(is, was);
        if (is < was) ++steps;
    }
    EXPECT_GE(steps, 4);
}

}  // namespace
}  // namespace vistrel::picture
