// Input that the saver must take as input however it arrives: the side
// buttons of a mouse, and the Windows key that the hook of a protected run
// keeps from the system.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/task_switch_keys.h"
#include "saver_run_support.h"

namespace vistrel::saver {
namespace {

using vistrel::testing::protectedSettings;
using vistrel::testing::SampleSettings;
using vistrel::testing::SaverRun;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kAlt = 4;
constexpr int kCtrl = 2;
constexpr int kTab = 0x09;
constexpr int kEscape = 0x1B;

TEST(SaverExitInput, EitherSideButtonEndsAnUnprotectedRunAndBringsUpThePromptOfAProtectedOne) {
    for (int button : {ui::kMouseSideBack, ui::kMouseSideForward}) {
        SaverRun open;
        ASSERT_TRUE(open.start(SampleSettings{}));
        EXPECT_FALSE(open.platform.pressMouse(open.saver().form1, button, 50, 60)) << button;

        SaverRun guarded;
        ASSERT_TRUE(guarded.start(protectedSettings()));
        ASSERT_TRUE(guarded.platform.pressMouse(guarded.saver().form1, button, 50, 60));
        EXPECT_TRUE(guarded.promptShown()) << button;
    }
}

TEST(SaverExitInput, TheWindowsKeyIsKeptFromTheSystemButBringsUpThePrompt) {
    for (int key : {0x5B, 0x5C}) {
        SaverRun run;
        ASSERT_TRUE(run.start(protectedSettings()));
        ASSERT_TRUE(run.platform.pressKey(key));
        EXPECT_THAT(run.platform.callsStartingWith({"TaskSwitchKeyBlocked"}),
                    ElementsAre("TaskSwitchKeyBlocked(" + std::string(key == 0x5B ? "0x5B" : "0x5C") + ")"));
        EXPECT_TRUE(run.promptShown()) << key;
    }
}

TEST(SaverExitInput, TheBlockedCombinationsReachTheProgramOnlyThroughTheirFirstKey) {
    SaverRun run;
    ASSERT_TRUE(run.start(protectedSettings()));
    // Alt+Tab, Alt+Esc and Ctrl+Esc without the press of Alt or Ctrl
    // itself: the system does not see them, and the saver sees no key.
    ASSERT_TRUE(run.platform.pressKey(kTab, kAlt));
    ASSERT_TRUE(run.platform.pressKey(kEscape, kAlt));
    ASSERT_TRUE(run.platform.pressKey(kEscape, kCtrl));
    EXPECT_THAT(run.platform.callsStartingWith({"TaskSwitchKeyBlocked"}),
                ElementsAre("TaskSwitchKeyBlocked(0x9)", "TaskSwitchKeyBlocked(0x1B)", "TaskSwitchKeyBlocked(0x1B)"));
    EXPECT_FALSE(run.promptShown());
    // The Alt key's own press is a key like any other.
    ASSERT_TRUE(run.platform.pressKey(0x12, kAlt));
    EXPECT_TRUE(run.promptShown());
}

TEST(SaverExitInput, WithoutProtectionNothingIsBlockedAndTheWindowsKeyEndsTheRun) {
    SaverRun run;
    ASSERT_TRUE(run.start(SampleSettings{}));
    EXPECT_FALSE(run.platform.pressKey(0x5B));
    EXPECT_THAT(run.platform.callsStartingWith({"TaskSwitchKeyBlocked"}), IsEmpty());
}

TEST(TaskSwitchKeys, OnlyTheWindowsKeysAreHandedOnAsInput) {
    EXPECT_TRUE(platform::blockedKeyCountsAsInput(platform::kVirtualKeyLeftWindows));
    EXPECT_TRUE(platform::blockedKeyCountsAsInput(platform::kVirtualKeyRightWindows));
    EXPECT_FALSE(platform::blockedKeyCountsAsInput(platform::kVirtualKeyTab));
    EXPECT_FALSE(platform::blockedKeyCountsAsInput(platform::kVirtualKeyEscape));
}

}  // namespace
}  // namespace vistrel::saver
