// Centring, the float speed table, directions, the change interval and the
// bounce of a floating image.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "common/random_source.h"
#include "saver/placement.h"

namespace vistrel::saver {
namespace {

TEST(Placement, CentringTruncatesTowardsZero) {
    EXPECT_EQ(centredPosition(15360, 9600), 2880);
    EXPECT_EQ(centredPosition(15360, 9615), 2872);    // 5745 / 2
    EXPECT_EQ(centredPosition(15360, 16005), -322);   // -645 / 2, not -323
    EXPECT_EQ(centredPosition(11520, 11520), 0);
}

TEST(Placement, FloatSpeedTable) {
    const std::pair<const char*, int> table[] = {{"0", 150}, {"1", 125}, {"2", 100}, {"3", 75},
                                                 {"4", 50},  {"5", 25},  {"", 150},  {"abc", 150},
                                                 {"9", 77},  {"-1", 77}, {"2.5", 77}, {"5.0", 25}};
    for (const auto& [speed, interval] : table) EXPECT_EQ(movementIntervalFor(speed, 77), interval) << speed;
}

TEST(Placement, DirectionsComeFromTheIntegerPartOfTwiceTheDraw) {
    EXPECT_EQ(floatStepFor(0.0f), 15);
    EXPECT_EQ(floatStepFor(0.4999f), 15);
    EXPECT_EQ(floatStepFor(0.5f), -15);
    EXPECT_EQ(floatStepFor(0.99999994f), -15);
}

TEST(Placement, ChangeIntervalsOfHandEditedValues) {
    EXPECT_EQ(changeIntervalMs("5"), 5000);
    EXPECT_EQ(changeIntervalMs("2.5"), 2500);
    EXPECT_EQ(changeIntervalMs("0.0005"), 0);   // 0.5 ms rounds to the even 0
    EXPECT_EQ(changeIntervalMs("0.0015"), 2);   // 1.5 ms rounds to the even 2
    EXPECT_EQ(changeIntervalMs("300"), 300000);  // longer than 65.535 s is kept
    EXPECT_EQ(changeIntervalMs("0"), 0);
    EXPECT_EQ(changeIntervalMs("-10"), 0);       // never changes
    EXPECT_EQ(changeIntervalMs("soon"), 0);
    EXPECT_EQ(changeIntervalMs(""), 0);
    EXPECT_EQ(changeIntervalMs("1e300"), 0x7FFFFFFF);
}

struct Tick {
    FloatState before;
    FloatState after;
};

TEST(Placement, BounceTestsComeBeforeTheMove) {
    const int screenW = 15360, screenH = 11520, caption = 600;
    const Tick ticks[] = {
        // Free: just moves.
        {{3000, 3000, 1500, 1500, 15, -15}, {3015, 2985, 1500, 1500, 15, -15}},
        // Past the right edge: turns, then moves back.
        {{13870, 3000, 1500, 1500, 15, 15}, {13855, 3015, 1500, 1500, -15, 15}},
        // Exactly at the right edge: the test is "greater than", so it moves on past it.
        {{13860, 3000, 1500, 1500, 15, 15}, {13875, 3015, 1500, 1500, 15, 15}},
        // Up into the caption band: turns down.
        {{3000, 590, 1500, 1500, 15, -15}, {3015, 605, 1500, 1500, 15, 15}},
        // Past the left edge.
        {{-5, 3000, 1500, 1500, -15, 15}, {10, 3015, 1500, 1500, 15, 15}},
        // Past the bottom.
        {{3000, 10030, 1500, 1500, 15, 15}, {3015, 10015, 1500, 1500, 15, -15}},
    };
    for (const Tick& tick : ticks) {
        const FloatState after = floatTick(tick.before, screenW, screenH, caption);
        EXPECT_EQ(after.left, tick.after.left);
        EXPECT_EQ(after.top, tick.after.top);
        EXPECT_EQ(after.stepX, tick.after.stepX);
        EXPECT_EQ(after.stepY, tick.after.stepY);
    }
}

TEST(Placement, AnImageThatCannotFitShakesByOneStep) {
    // Wider than the screen, and with its top inside the caption band: both
    // tests hold at every tick, so it shakes around where it started.
    FloatState state{-750, 300, 16860, 9000, 15, 15};
    std::set<int> lefts, tops;
    for (int i = 0; i < 20; ++i) {
        state = floatTick(state, 15360, 11520, 600);
        lefts.insert(state.left);
        tops.insert(state.top);
    }
    EXPECT_EQ(lefts, (std::set<int>{-765, -750}));
    EXPECT_EQ(tops, (std::set<int>{285, 300}));
}

TEST(RandomSource, ValuesLieInZeroToOneAndSpreadEvenly) {
    RandomSource random;
    int buckets[10] = {};
    for (int i = 0; i < 10000; ++i) {
        const float r = random.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        ++buckets[static_cast<int>(r * 10)];
    }
    for (int count : buckets) EXPECT_NEAR(count, 1000, 150);
}

TEST(RandomSource, ReseedingWithAnUnchangedClockDoesNotRepeatTheDraws) {
    // Two draws within one tick of the clock: each reseeds with the same
    // reading first. Restarting from the reading would give the same value
    // twice; mixing it into the state does not.
    RandomSource random;
    std::set<float> seen;
    for (int i = 0; i < 50; ++i) {
        random.reseed(43200.25);
        seen.insert(random.next());
    }
    EXPECT_EQ(seen.size(), 50u);

    // Different readings still lead to different sequences.
    RandomSource a, b;
    a.reseed(1.0);
    b.reseed(2.0);
    EXPECT_NE(a.next(), b.next());
}

}  // namespace
}  // namespace vistrel::saver
