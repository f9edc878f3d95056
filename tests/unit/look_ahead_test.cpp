// The next picture decoded ahead: a decode slower than the interval, input
// while the change waits for it, the end of the program in the middle of a
// decode, and when each monitor's next picture is asked for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "saver_run_support.h"

namespace vistrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kSecond = "C:\\Pictures\\b.bmp";
constexpr int kSpaceKey = 0x20;

class LookAheadTest : public ::testing::Test {
protected:
    // Two seconds between pictures, each shown at once ("Standard").
    SampleSettings settings(SampleSettings base = {}) {
        base.timeInterval = "2";
        base.effectMode = "0";
        return base;
    }
    // The picture each change brought in, by its size (a.bmp 40 x 30, b.bmp 30 x 40).
    std::vector<std::string> changes() const { return run.platform.callsStartingWith({"Picture2.Picture = "}); }
    // Calls `action` at the first event yield at or after `ms` on the clock.
    void at(std::int64_t ms, std::function<void()> action) {
        run.platform.onDoEvents([this, ms, action = std::move(action), done = false]() mutable {
            if (done || run.platform.nowMs() < ms) return;
            done = true;
            action();
        });
    }

    SaverRun run;
};

TEST_F(LookAheadTest, ADecodeSlowerThanTheIntervalIsWaitedForWithTheFloatingPictureMovingOn) {
    SampleSettings floating = settings();
    floating.picRandom = "float";
    floating.picSpeed = "5";  // a step every 25 ms
    // b.bmp is asked for when a.bmp is in, at 0.8 s, and ready at 3.8 s: a
    // second after its change was due.
    run.platform.setDecodeCost(kSecond, 3000);
    ASSERT_TRUE(run.start(floating));
    ASSERT_TRUE(run.platform.advance(800));
    ASSERT_EQ(changes().size(), 1u);

    std::set<int> positionsWhileWaiting;
    run.platform.onDoEvents([&] {
        const std::int64_t now = run.platform.nowMs();
        if (now > 2800 && now < 3800 && changes().size() == 1) {
            positionsWhileWaiting.insert(run.saver().picture1.left());
            // The picture and its caption stay up while the change waits.
            EXPECT_TRUE(run.saver().picture1.visible());
            EXPECT_TRUE(run.saver().label1.visible());
        }
    });
    ASSERT_TRUE(run.platform.advance(2000));  // the change, due at 2.8 s, runs on until it is done
    // Ready at 3.8 s, then the 0.3 s pause.
    EXPECT_EQ(run.platform.nowMs(), 4100);
    EXPECT_THAT(changes(), ElementsAre("Picture2.Picture = 40 x 30", "Picture2.Picture = 30 x 40"));
    EXPECT_EQ(run.saver().label1.text(), "Second");
    // A step every 25 ms for a second: the picture moved on all the while.
    EXPECT_GE(positionsWhileWaiting.size(), 30u);

    // The wait is not counted in the interval: the next change comes two
    // whole seconds after this one is done.
    ASSERT_TRUE(run.platform.advance(1999));
    EXPECT_EQ(changes().size(), 2u);
    ASSERT_TRUE(run.platform.advance(1));
    EXPECT_EQ(changes().size(), 3u);
}

TEST_F(LookAheadTest, AKeyDuringALateDecodeEndsAnUnprotectedRunAtOnceAndNoDecodeOutlivesIt) {
    run.platform.setDecodeCost(kSecond, 5000);  // ready at 5.8 s, the change due at 2.8 s
    ASSERT_TRUE(run.start(settings()));
    ASSERT_TRUE(run.platform.advance(800));
    at(3300, [&] { run.platform.pressKey(kSpaceKey, 0, ' '); });
    EXPECT_FALSE(run.platform.advance(10000));
    EXPECT_TRUE(run.platform.programEnded());
    // Answered at once, not when the decode would have ended.
    EXPECT_EQ(run.platform.nowMs(), 3300);
    EXPECT_THAT(run.platform.messageBoxes(), IsEmpty());
    EXPECT_EQ(changes().size(), 1u);
    // The decode went with the program.
    EXPECT_EQ(run.platform.picturesInWorker(), 0u);
}

TEST_F(LookAheadTest, AKeyDuringALateDecodeOfAProtectedRunBringsUpThePromptAndTheChangeFollows) {
    run.platform.setDecodeCost(kSecond, 5000);
    ASSERT_TRUE(run.start(settings(protectedSettings())));
    ASSERT_TRUE(run.platform.advance(800));
    bool promptDuringTheWait = false;
    at(3300, [&] {
        run.platform.pressKey(kSpaceKey, 0, ' ');
        promptDuringTheWait = run.promptShown() && changes().size() == 1;
    });
    ASSERT_TRUE(run.platform.advance(5300));
    EXPECT_TRUE(promptDuringTheWait);
    // Behind the prompt the slideshow goes on: b.bmp once it was decoded.
    EXPECT_EQ(run.platform.nowMs(), 5800 + 300);
    EXPECT_EQ(changes().size(), 2u);
}

TEST_F(LookAheadTest, AFailingNextPictureOfAProtectedRunIsPassedOverAtItsTurnNotBefore) {
    ASSERT_TRUE(run.start(settings(protectedSettings())));
    run.platform.putFile(kSecond, "damaged");
    std::vector<std::int64_t> skippedAt;
    run.saver().onImageSkipped = [&](const std::string&) { skippedAt.push_back(run.platform.nowMs()); };
    // Decoded, and found wanting, right after a.bmp came at 0.8 s.
    ASSERT_TRUE(run.platform.advance(2000));
    EXPECT_THAT(skippedAt, IsEmpty());
    ASSERT_TRUE(run.platform.advance(1000));
    EXPECT_THAT(skippedAt, ElementsAre(2800));
}

TEST_F(LookAheadTest, EachMonitorsNextPictureIsAskedForOnlyOnceEveryMonitorsChangeIsDone) {
    run.platform.setMonitors({{{0, 0, 1024, 768}, 96}, {{1024, 0, 1024, 768}, 96}});
    SampleSettings both = settings();
    both.allMonitors = "1";
    both.effectMode = "1";  // a left wipe: the transition works with the picture it replaces
    ASSERT_TRUE(run.start(both));
    ASSERT_TRUE(run.platform.advance(800));
    run.platform.clearCalls();
    ASSERT_TRUE(run.platform.advance(2000 + 1300));  // the first change of both monitors
    const std::vector<std::string> calls =
        run.platform.callsStartingWith({"Picture1.Picture", "Picture1.2.Picture", "LoadPictureInBackground"});
    // Each monitor's transition has let go of the picture it replaced
    // before the next decode starts: a monitor holds at most the picture it
    // shows, the next one and what its transition works with.
    EXPECT_THAT(calls, ElementsAre("Picture1.Picture = 30 x 40", "Picture1.2.Picture = 40 x 30",
                                   "LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                   "LoadPictureInBackground(C:\\Pictures\\b.bmp)"));
}

}  // namespace
}  // namespace vistrel::testing
