// Drawing only what each step uncovers must leave the screen exactly as
// drawing the whole rectangles would, after every single step.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver/transition_steps.h"
#include "saver/uncovered_area.h"

namespace vistrel::saver {
namespace {

using ::testing::ElementsAre;

// Which pixels of a width x height area have been drawn, and how often.
class CoverageMap {
public:
    CoverageMap(int width, int height) : width_(width), height_(height), counts_(std::size_t(width) * height, 0) {}

    void draw(const PixelRect& rect) {
        const PixelRect clipped = rect.intersect({0, 0, width_, height_});
        for (int y = clipped.top; y < clipped.bottom; ++y) {
            for (int x = clipped.left; x < clipped.right; ++x) ++counts_[std::size_t(y) * width_ + x];
        }
    }
    bool drawn(int x, int y) const { return counts_[std::size_t(y) * width_ + x] > 0; }
    int timesDrawn(int x, int y) const { return counts_[std::size_t(y) * width_ + x]; }

private:
    int width_, height_;
    std::vector<int> counts_;
};

struct Case {
    int code, width, height;
    PixelRect visible;
};

TEST(UncoveredArea, EveryStepLeavesWhatTheWholeRectanglesWouldAndDrawsEachPixelOnce) {
    const Case cases[] = {
        {kLeftWipe, 37, 23, {0, 0, 37, 23}},          {kRightWipe, 37, 23, {0, 0, 37, 23}},
        {kRightAndLeftWipe, 36, 23, {0, 0, 36, 23}},  {kRightAndLeftWipe, 37, 22, {0, 0, 37, 22}},
        {kUpAndDownWipe, 31, 40, {0, 0, 31, 40}},     {kUpAndDownWipe, 31, 41, {0, 0, 31, 41}},
        {kCenterWipe, 40, 40, {0, 0, 40, 40}},        {kCenterWipe, 60, 35, {0, 0, 60, 35}},
        {kCenterWipe, 35, 61, {0, 0, 35, 61}},        {kHorizontalBlinds, 30, 95, {0, 0, 30, 95}},
        {kVerticalBlinds, 75, 20, {0, 0, 75, 20}},
        // Larger than the screen: only the visible middle is drawn.
        {kLeftWipe, 50, 40, {10, 5, 40, 35}},         {kCenterWipe, 50, 40, {10, 5, 40, 35}},
        {kHorizontalBlinds, 50, 70, {3, 11, 47, 52}}, {kVerticalBlinds, 70, 50, {13, 0, 50, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + ", " + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        CoverageMap whole(c.width, c.height), drawn(c.width, c.height);
        UncoveredArea area(c.visible);
        std::vector<PixelRect> pieces;
        for (const StepRect& step : transitionSteps(c.code, c.width, c.height)) {
            whole.draw(pixelsOf(step).intersect(c.visible));
            pieces.clear();
            area.cover(pixelsOf(step), pieces);
            for (const PixelRect& piece : pieces) drawn.draw(piece);
            for (int y = 0; y < c.height; ++y) {
                for (int x = 0; x < c.width; ++x) {
                    ASSERT_EQ(drawn.drawn(x, y), whole.drawn(x, y)) << "pixel " << x << ", " << y;
                    ASSERT_LE(drawn.timesDrawn(x, y), 1) << "pixel " << x << ", " << y;
                }
            }
        }
    }
}

TEST(UncoveredArea, AGrowingStripComesOutAsOneNewColumnPerStep) {
    UncoveredArea area({0, 0, 100, 50});
    std::vector<PixelRect> pieces;
    area.cover({0, 0, 10, 50}, pieces);
    area.cover({0, 0, 12, 50}, pieces);
    area.cover({0, 0, 12, 50}, pieces);  // nothing new
    EXPECT_THAT(pieces, ElementsAre(PixelRect{0, 0, 10, 50}, PixelRect{10, 0, 12, 50}));
}

TEST(UncoveredArea, RunsApartInARowAreKeptApart) {
    // A step that bridges two covered runs draws only the gaps between them.
    UncoveredArea area({0, 0, 100, 10});
    std::vector<PixelRect> pieces;
    area.cover({0, 0, 10, 10}, pieces);
    area.cover({50, 0, 80, 10}, pieces);
    area.cover({0, 0, 100, 10}, pieces);
    EXPECT_THAT(pieces, ElementsAre(PixelRect{0, 0, 10, 10}, PixelRect{50, 0, 80, 10}, PixelRect{10, 0, 50, 10},
                                    PixelRect{80, 0, 100, 10}));
}

TEST(UncoveredArea, HalfPixelsRoundToTheSameEdgesOnBothSides) {
    // A column of width 3 at 3.5 covers pixels 4 to 6 (edges at 4 and 7).
    EXPECT_EQ(pixelsOf({3.5, 0, 3, 10}), (PixelRect{4, 0, 7, 10}));
    EXPECT_EQ(pixelsOf({4.5, 0, 1, 10}), (PixelRect{5, 0, 6, 10}));
}

TEST(MergeTouching, JoinsAlongWholeEdgesOnly) {
    std::vector<PixelRect> pieces = {{0, 0, 5, 10}, {5, 0, 8, 10}, {8, 0, 9, 10},  // one row of three
                                     {0, 10, 9, 12},                              // then below them
                                     {20, 0, 25, 5}, {25, 1, 30, 5}};             // offset: stays apart
    mergeTouching(pieces);
    EXPECT_THAT(pieces, ::testing::UnorderedElementsAre(PixelRect{0, 0, 9, 12}, PixelRect{20, 0, 25, 5},
                                                         PixelRect{25, 1, 30, 5}));
}

}  // namespace
}  // namespace vistrel::saver
