// Pan and zoom: where the picture stands at given times of its travel.
#include "saver/pan_zoom.h"

#include <gtest/gtest.h>

namespace vistrel::saver {
namespace {

TEST(PanJourney, TheFramingFollowsTheTimeEasedAtBothEnds) {
    const PanFraming from{1.0, 0.0, 0.5}, to{1.12, 1.0, 0.5};
    const PanJourney journey({400, 300}, {200, 150}, from, to, 10000);
    EXPECT_EQ(journey.framingAt(0), from);
    EXPECT_EQ(journey.framingAt(10000), to);
    EXPECT_EQ(journey.framingAt(60000), to);  // stays at the end when the next picture is late
    EXPECT_DOUBLE_EQ(journey.framingAt(5000).zoom, 1.06);
    // Slow at the start: a tenth of the time goes a fortieth of the way.
    EXPECT_NEAR(journey.framingAt(1000).across, 0.0245, 0.0005);

    // Filling the space at 100 %: the picture's middle, pixel for pixel at half its size.
    const picture::Framing start = PanJourney({400, 300}, {200, 150}, {1, 0.5, 0.5}, to, 0).placementAt(0);
    EXPECT_DOUBLE_EQ(start.scaleX, 2.0);
    EXPECT_DOUBLE_EQ(start.left, 0.0);
    EXPECT_DOUBLE_EQ(start.top, 0.0);
    // At 112 % its right edge on the space's: 224 x 168 shown, 24 pixels to the left.
    const picture::Framing end = journey.placementAt(10000);
    EXPECT_DOUBLE_EQ(end.scaleX, 2 / 1.12);
    EXPECT_NEAR(end.left, 24 * 2 / 1.12, 1e-9);
    EXPECT_NEAR(end.top, 9 * 2 / 1.12, 1e-9);  // down in the middle of 18 pixels of room
}

TEST(PanJourney, WithNeverItTravelsBackAndForth) {
    const PanFraming from{1.0, 0.2, 0.2}, to{1.15, 0.8, 0.8};
    const PanJourney journey({300, 300}, {100, 100}, from, to, 0);
    EXPECT_EQ(journey.framingAt(0), from);
    EXPECT_EQ(journey.framingAt(kPanLegMs), to);
    EXPECT_EQ(journey.framingAt(2 * kPanLegMs), from);
    EXPECT_EQ(journey.framingAt(kPanLegMs / 2), journey.framingAt(3 * kPanLegMs / 2));
}

TEST(PanJourney, RandomFramingsZoomByATenthOrMoreWithinTheirRange) {
    RandomSource random;
    int zoomingIn = 0;
    for (int i = 0; i < 200; ++i) {
        const PanJourney journey = PanJourney::random({640, 480}, {320, 240}, 5000, random);
        const double first = journey.from().zoom, last = journey.to().zoom;
        const double closer = std::max(first, last), wider = std::min(first, last);
        EXPECT_GE(wider, 1.0);
        EXPECT_LE(closer, kPanMaxZoom);
        EXPECT_GE(closer / wider, 1 + kPanMinZoomChange);
        for (double share : {journey.from().across, journey.from().down, journey.to().across, journey.to().down}) {
            EXPECT_GE(share, 0.0);
            EXPECT_LE(share, 1.0);
        }
        if (last > first) ++zoomingIn;
    }
    EXPECT_GT(zoomingIn, 60);
    EXPECT_LT(zoomingIn, 140);
}

}  // namespace
}  // namespace vistrel::saver
