// The rectangles of the eight transitions: counts, first and last steps,
// and the fractional offsets that set them apart.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "saver/transition_steps.h"

namespace vistrel::saver {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Expected {
    int code, width, height;
    std::size_t count;
    StepRect first, last;
};

TEST(TransitionSteps, CountsAndEndsOfEveryCode) {
    const Expected cases[] = {
        {kLeftWipe, 640, 480, 640, {0, 0, 1, 480}, {0, 0, 640, 480}},
        {kRightWipe, 640, 480, 640, {639, 0, 1, 480}, {0, 0, 640, 480}},
        // A full-height column centred at a half pixel, growing by two.
        {kRightAndLeftWipe, 10, 6, 5, {4.5, 0, 1, 6}, {0.5, 0, 9, 6}},
        {kRightAndLeftWipe, 11, 6, 5, {5, 0, 1, 6}, {1, 0, 9, 6}},
        {kUpAndDownWipe, 8, 9, 4, {0, 4, 8, 1}, {0, 1, 8, 7}},
        {kUpAndDownWipe, 8, 10, 5, {0, 4.5, 8, 1}, {0, 0.5, 8, 9}},
        // A square opens from a single pixel and stops one pixel short.
        {kCenterWipe, 100, 100, 99, {49, 49, 1, 1}, {0, 0, 99, 99}},
        // A landscape image opens from a line of its excess width.
        {kCenterWipe, 400, 300, 300, {150, 149, 100, 1}, {0, 0, 399, 300}},
        // A portrait image ends two pixels lower than itself.
        {kCenterWipe, 300, 400, 299, {149, 150, 1, 100}, {0, 1, 299, 398}},
        // Blinds: every band of 20 pixels, the last one past the image edge.
        {kHorizontalBlinds, 50, 95, 100, {0, 0, 50, 1}, {0, 80, 50, 20}},
        {kVerticalBlinds, 30, 40, 40, {0, 0, 1, 40}, {20, 0, 20, 40}},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + ", " + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        const auto steps = transitionSteps(c.code, c.width, c.height);
        ASSERT_EQ(steps.size(), c.count);
        EXPECT_EQ(steps.front(), c.first);
        EXPECT_EQ(steps.back(), c.last);
    }
}

TEST(TransitionSteps, AnImageOnePixelWide) {
    EXPECT_THAT(transitionSteps(kLeftWipe, 1, 50), ElementsAre(StepRect{0, 0, 1, 50}));
    EXPECT_THAT(transitionSteps(kRightWipe, 1, 50), ElementsAre(StepRect{0, 0, 1, 50}));
    EXPECT_THAT(transitionSteps(kRightAndLeftWipe, 1, 50), IsEmpty());  // the loop's bound is 0.5
    EXPECT_THAT(transitionSteps(kCenterWipe, 1, 50), IsEmpty());        // nothing left to grow
}

TEST(TransitionSteps, BlindsOpenEveryBandTogether) {
    // Horizontal blinds on an image 95 high: bands at 0, 20, 40, 60 and 80,
    // each pass giving all of them one more row.
    const auto steps = transitionSteps(kHorizontalBlinds, 50, 95);
    std::map<double, int> bandsPerTop;
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(steps[i], (StepRect{0, 20.0 * i, 50, 1}));
    for (std::size_t i = 5; i < 10; ++i) EXPECT_EQ(steps[i], (StepRect{0, 20.0 * (i - 5), 50, 2}));
    for (const StepRect& step : steps) ++bandsPerTop[step.y];
    EXPECT_THAT(bandsPerTop, ElementsAre(std::pair{0.0, 20}, std::pair{20.0, 20}, std::pair{40.0, 20},
                                         std::pair{60.0, 20}, std::pair{80.0, 20}));

    // Vertical blinds on an image 30 wide: W / 20 = 1.5 is not cut, so the
    // bands run 0 and 20.
    const auto vertical = transitionSteps(kVerticalBlinds, 30, 40);
    EXPECT_EQ(vertical[0], (StepRect{0, 0, 1, 40}));
    EXPECT_EQ(vertical[1], (StepRect{20, 0, 1, 40}));
    EXPECT_EQ(vertical[2], (StepRect{0, 0, 2, 40}));
}

TEST(TransitionSteps, StandardAndUnknownCodesHaveNoSteps) {
    for (int code : {0, 8, 9, -1, 100}) EXPECT_THAT(transitionSteps(code, 64, 48), IsEmpty()) << code;
}

TEST(TransitionSteps, TheCodeOfASettingsText) {
    EXPECT_EQ(transitionCodeOf("3"), kRightAndLeftWipe);
    EXPECT_EQ(transitionCodeOf(" 7 "), kVerticalBlinds);
    EXPECT_EQ(transitionCodeOf("6x"), kHorizontalBlinds);  // the leading number counts
    EXPECT_EQ(transitionCodeOf("abc"), kStandard);         // no number counts as 0
    EXPECT_EQ(transitionCodeOf(""), kStandard);
    EXPECT_EQ(transitionCodeOf("8"), kCrossfade);
    EXPECT_EQ(transitionCodeOf("9"), -1);
    EXPECT_EQ(transitionCodeOf("-1"), -1);
    EXPECT_EQ(transitionCodeOf("2.5"), -1);
}

TEST(TransitionSteps, RandomCodesAreOneToEightEquallyLikely) {
    EXPECT_EQ(randomTransitionCode(0.0f), 1);
    EXPECT_EQ(randomTransitionCode(1.0f / 8), 2);
    EXPECT_EQ(randomTransitionCode(0.99999994f), 8);  // the largest float below 1
    std::map<int, int> seen;
    for (int i = 0; i < 8000; ++i) ++seen[randomTransitionCode(static_cast<float>((i + 0.5) / 8000))];
    EXPECT_THAT(seen, ElementsAre(std::pair{1, 1000}, std::pair{2, 1000}, std::pair{3, 1000}, std::pair{4, 1000},
                                  std::pair{5, 1000}, std::pair{6, 1000}, std::pair{7, 1000}, std::pair{8, 1000}));
}

}  // namespace
}  // namespace vistrel::saver
