// The pacing of a transition on the virtual clock: when each step is drawn,
// how late steps are drawn together, and failed drawings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless_platform.h"
#include "saver/transition_painter.h"

namespace vistrel::saver {
namespace {

using platform::headless::HeadlessPlatform;

struct Frame {
    std::int64_t at;  // ms after the start
    long long area;   // pixels drawn
};

class TransitionPainterTest : public ::testing::Test {
protected:
    // Paints and notes, for every drawing, the time and the area.
    bool paint(const std::vector<StepRect>& steps, PixelRect visible, bool skip = false,
               const std::function<bool(const PixelRect&)>& extra = {}) {
        start = platform.nowMs();
        return paintTransition(platform, steps, visible, skip, [&](const PixelRect& piece) {
            if (frames.empty() || frames.back().at != platform.nowMs() - start) {
                frames.push_back({platform.nowMs() - start, 0});
            }
            frames.back().area += piece.area();
            return extra ? extra(piece) : true;
        });
    }

    HeadlessPlatform platform;
    std::int64_t start = 0;
    std::vector<Frame> frames;
};

TEST_F(TransitionPainterTest, ALeftWipeLastsTheDurationAndNoStepComesEarly) {
    const auto steps = transitionSteps(kLeftWipe, 640, 480);
    ASSERT_TRUE(paint(steps, {0, 0, 640, 480}));
    long long total = 0;
    for (const Frame& frame : frames) {
        total += frame.area;
        // By this time at most `at` x 640 / 1000 columns may be showing.
        EXPECT_LE(total, frame.at * 640 / kTransitionDurationMs * 480) << "at " << frame.at;
    }
    EXPECT_EQ(total, 640 * 480);  // every pixel once
    // The last step is due at the end; frames may put it a little later.
    EXPECT_GE(frames.back().at, kTransitionDurationMs);
    EXPECT_LT(frames.back().at, kTransitionDurationMs + kTransitionFrameMs);
    // Frames about the screen's rate, not one per step.
    EXPECT_GE(frames.size(), 50u);
    EXPECT_LE(frames.size(), std::size_t(kTransitionDurationMs / kTransitionFrameMs + 2));
    for (std::size_t i = 1; i < frames.size(); ++i) EXPECT_GE(frames[i].at - frames[i - 1].at, kTransitionFrameMs);
}

TEST_F(TransitionPainterTest, FewStepsAreDrawnEachAtItsOwnTime) {
    // Five steps: one every 200 ms.
    const auto steps = transitionSteps(kRightAndLeftWipe, 10, 4);
    ASSERT_EQ(steps.size(), 5u);
    ASSERT_TRUE(paint(steps, {0, 0, 10, 4}));
    std::vector<std::int64_t> times;
    for (const Frame& frame : frames) times.push_back(frame.at);
    EXPECT_THAT(times, ::testing::ElementsAre(200, 400, 600, 800, 1000));
}

TEST_F(TransitionPainterTest, DrawingThatFallsBehindCatchesUpInsteadOfStretching) {
    // Each drawing takes 100 ms: the late steps come together in few frames
    // and the transition still ends about on time.
    const auto steps = transitionSteps(kLeftWipe, 640, 10);
    ASSERT_TRUE(paint(steps, {0, 0, 640, 10}, false, [&](const PixelRect&) {
        platform.pauseWithoutEvents(100);
        return true;
    }));
    long long total = 0;
    for (const Frame& frame : frames) total += frame.area;
    EXPECT_EQ(total, 640 * 10);
    EXPECT_LE(frames.size(), 11u);
    EXPECT_LE(platform.nowMs() - start, kTransitionDurationMs + 100 + kTransitionFrameMs);
}

TEST_F(TransitionPainterTest, AFailedDrawingStopsUnlessFailuresAreSkipped) {
    const auto steps = transitionSteps(kHorizontalBlinds, 40, 40);
    int calls = 0;
    auto failFirst = [&](const PixelRect&) { return ++calls > 1; };
    EXPECT_FALSE(paint(steps, {0, 0, 40, 40}, false, failFirst));
    EXPECT_EQ(calls, 1);

    calls = 0;
    frames.clear();
    EXPECT_TRUE(paint(steps, {0, 0, 40, 40}, true, failFirst));
    long long total = 0;
    for (const Frame& frame : frames) total += frame.area;
    EXPECT_EQ(total, 40 * 40);  // the rest was drawn after the failure
}

TEST_F(TransitionPainterTest, NothingVisibleDrawsNothingButStillTakesItsTime) {
    const auto steps = transitionSteps(kLeftWipe, 100, 100);
    ASSERT_TRUE(paint(steps, {}));
    EXPECT_TRUE(frames.empty());
    EXPECT_GE(platform.nowMs() - start, kTransitionDurationMs);
    EXPECT_LT(platform.nowMs() - start, kTransitionDurationMs + kTransitionFrameMs);
}

TEST_F(TransitionPainterTest, TheWaitsProcessNoEvents) {
    ui::Window form("Form1", platform);
    ui::Timer timer("Timer1", form);
    int ticks = 0;
    timer.onTimer = [&] { ++ticks; };
    form.load();
    timer.setInterval(25);
    timer.setTimerEnabled(true);
    ASSERT_TRUE(paint(transitionSteps(kLeftWipe, 64, 48), {0, 0, 64, 48}));
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(platform.doEventsCount(), 0u);
    // Afterwards the timer that fell behind ticks once, then at its pace.
    ASSERT_TRUE(platform.advance(1));
    EXPECT_EQ(ticks, 1);
    ASSERT_TRUE(platform.advance(25));
    EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace vistrel::saver
