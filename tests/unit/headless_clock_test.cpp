// The virtual clock of the headless backend: timer order, restarts,
// re-entrant ticks, event yields and the end of the program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"

namespace vistrel::platform::headless {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A window with three timers whose ticks write "<name>@<ms>" into a journal.
class HeadlessClockTest : public ::testing::Test {
protected:
    HeadlessClockTest() {
        for (ui::Timer* timer : {&a, &b, &c}) {
            timer->onTimer = [this, timer] { note(timer->name()); };
        }
        form.load();
    }

    void note(const std::string& what) { journal.push_back(what + "@" + std::to_string(platform.nowMs())); }

    static void start(ui::Timer& timer, int interval) {
        timer.setInterval(interval);
        timer.setTimerEnabled(true);
    }

    HeadlessPlatform platform;
    ui::Window form{"Form1", platform};
    ui::Timer a{"TimerA", form}, b{"TimerB", form}, c{"TimerC", form};
    std::vector<std::string> journal;
};

TEST_F(HeadlessClockTest, TimersTickInTimeOrderAndTiesInTheOrderTheyWereStarted) {
    start(b, 30);
    start(a, 20);
    start(c, 30);
    ASSERT_TRUE(platform.advance(60));
    // After a tick a timer is scheduled anew: at 60, B and C (rescheduled at
    // 30) come before A (rescheduled at 40).
    EXPECT_THAT(journal, ElementsAre("TimerA@20", "TimerB@30", "TimerC@30", "TimerA@40", "TimerB@60", "TimerC@60",
                                     "TimerA@60"));
    EXPECT_EQ(platform.nowMs(), 60);
}

TEST_F(HeadlessClockTest, EveryIntervalAssignmentRestartsTheCount) {
    start(a, 100);
    ASSERT_TRUE(platform.advance(70));
    a.setInterval(100);  // the same value still counts anew from now
    ASSERT_TRUE(platform.advance(99));
    EXPECT_THAT(journal, IsEmpty());
    ASSERT_TRUE(platform.advance(1));
    EXPECT_THAT(journal, ElementsAre("TimerA@170"));
}

TEST_F(HeadlessClockTest, DisabledTimersAndZeroIntervalsNeverTick) {
    start(a, 10);
    start(b, 0);
    c.setInterval(10);  // never enabled
    ASSERT_TRUE(platform.advance(25));
    a.setTimerEnabled(false);
    ASSERT_TRUE(platform.advance(100));
    EXPECT_THAT(journal, ElementsAre("TimerA@10", "TimerA@20"));
}

TEST_F(HeadlessClockTest, ATimerDesignedEnabledStartsCountingWhenItsWindowLoads) {
    HeadlessPlatform fresh;
    ui::Window other("Form2", fresh);
    ui::Timer designed("Timer1", other);
    designed.setInterval(100);
    designed.setTimerEnabled(true);
    int ticks = 0;
    designed.onTimer = [&] { ++ticks; };
    ASSERT_TRUE(fresh.advance(250));
    EXPECT_EQ(ticks, 0);
    other.load();
    ASSERT_TRUE(fresh.advance(250));
    EXPECT_EQ(ticks, 2);
}

TEST_F(HeadlessClockTest, ATickMayStopOrRestartTheOtherTimersDueWithIt) {
    start(a, 50);
    start(b, 50);
    start(c, 50);
    a.onTimer = [&] {
        note("TimerA");
        b.setTimerEnabled(false);  // due at this very moment, must not fire
        c.setInterval(30);         // counts from now: next at 80
    };
    ASSERT_TRUE(platform.advance(100));
    EXPECT_THAT(journal, ElementsAre("TimerA@50", "TimerC@80", "TimerA@100"));
}

TEST_F(HeadlessClockTest, ATickMayDropItsOwnWindow) {
    start(a, 10);
    start(b, 10);
    a.onTimer = [&] {
        note("TimerA");
        form.unload();
    };
    ASSERT_TRUE(platform.advance(50));
    EXPECT_THAT(journal, ElementsAre("TimerA@10"));
    EXPECT_EQ(platform.surfaceOf(form), nullptr);
}

TEST_F(HeadlessClockTest, EventYieldsAdvanceOneMillisecondAndFireTicksInsideTheCaller) {
    start(a, 3);
    ASSERT_TRUE(platform.run([&] {
        note("before");
        for (int i = 0; i < 7; ++i) platform.doEvents();
        note("after");
    }));
    EXPECT_THAT(journal, ElementsAre("before@0", "TimerA@3", "TimerA@6", "after@7"));
    EXPECT_EQ(platform.doEventsCount(), 7u);
    EXPECT_THAT(platform.callsStartingWith({"DoEvents"}), ElementsAre("DoEvents() x7"));
}

TEST_F(HeadlessClockTest, ALongTickWithYieldsLetsOtherTimersRunAndTheClockMoveOn) {
    // The shape of an image change: a pause of 300 yields inside a tick.
    start(a, 500);
    start(b, 100);
    a.onTimer = [&] {
        note("TimerA begins");
        a.setTimerEnabled(false);
        for (int i = 0; i < 300; ++i) platform.doEvents();
        note("TimerA ends");
    };
    ASSERT_TRUE(platform.advance(600));
    EXPECT_THAT(journal, ElementsAre("TimerB@100", "TimerB@200", "TimerB@300", "TimerB@400", "TimerA begins@500",
                                     "TimerB@500", "TimerB@600", "TimerB@700", "TimerB@800", "TimerA ends@800"));
    // The clock never runs backwards to the end of the advance.
    EXPECT_EQ(platform.nowMs(), 800);
}

TEST_F(HeadlessClockTest, ATickDueWhileItsOwnHandlerRunsIsDroppedNotNested) {
    // A handler that processes events for longer than its interval, as a
    // slow picture change does, while another timer goes on ticking.
    start(a, 2);
    start(b, 3);
    int depth = 0;
    int deepest = 0;
    a.onTimer = [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        note("A");
        for (int i = 0; i < 5; ++i) platform.doEvents();
        --depth;
    };
    ASSERT_TRUE(platform.advance(10));
    EXPECT_EQ(deepest, 1);
    // A at 2 runs to 7; its ticks due at 4 and 6 are dropped, and B ticks
    // inside it. The same again from 8.
    EXPECT_THAT(journal, ElementsAre("A@2", "TimerB@3", "TimerB@6", "A@8", "TimerB@9", "TimerB@12"));
}

TEST_F(HeadlessClockTest, EndingTheProgramUnwindsToTheEntryPointAndStopsEverything) {
    start(a, 10);
    start(b, 10);
    a.onTimer = [&] {
        note("TimerA");
        platform.doEvents();
        platform.endProgram();
        note("never");
    };
    EXPECT_FALSE(platform.advance(100));
    EXPECT_TRUE(platform.programEnded());
    EXPECT_THAT(journal, ElementsAre("TimerA@10", "TimerB@10"));
    EXPECT_EQ(platform.calls().back(), "EndProgram()");

    EXPECT_FALSE(platform.advance(100));
    bool ran = false;
    EXPECT_FALSE(platform.run([&] { ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_THAT(journal, ElementsAre("TimerA@10", "TimerB@10"));
}

TEST_F(HeadlessClockTest, EndingTheProgramInAStepReturnsFalseFromRun) {
    std::vector<std::string> steps;
    EXPECT_FALSE(platform.run([&] {
        steps.push_back("start");
        ui::Window local("PuzzleForm", platform);
        local.load();
        platform.endProgram();
    }));
    EXPECT_THAT(steps, ElementsAre("start"));
    // The window dropped by the unwinding is no call of the ended program.
    EXPECT_EQ(platform.calls().back(), "EndProgram()");
    // Code that swallowed the unwinding is stopped at its next yield.
    EXPECT_THROW(platform.doEvents(), ProgramEnded);
}

TEST_F(HeadlessClockTest, TimeOfDayFollowsTheVirtualClockAndWrapsAtMidnight) {
    platform.setTimeOfDay(86399.5);
    EXPECT_DOUBLE_EQ(platform.timeOfDaySeconds(), 86399.5);
    ASSERT_TRUE(platform.advance(250));
    EXPECT_DOUBLE_EQ(platform.timeOfDaySeconds(), 86399.75);
    ASSERT_TRUE(platform.advance(500));
    EXPECT_DOUBLE_EQ(platform.timeOfDaySeconds(), 0.25);
}

TEST_F(HeadlessClockTest, TimerChangesAreRecorded) {
    start(a, 500);
    a.setTimerEnabled(false);
    EXPECT_THAT(platform.callsStartingWith({"TimerA."}),
                ElementsAre("TimerA.Interval = 500", "TimerA.Enabled = True", "TimerA.Enabled = False"));
}

}  // namespace
}  // namespace vistrel::platform::headless
