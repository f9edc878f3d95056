// How a saver run ends: every change of state of the run control, with the
// system calls it makes, on whole runs started as the system starts them.
#include "app/run_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver_run_support.h"

namespace vistrel::app {
namespace {

using platform::headless::HeadlessPlatform;
using vistrel::testing::protectedSettings;
using vistrel::testing::SampleSettings;
using vistrel::testing::SaverRun;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kEnter = 13;

const std::vector<std::string> kPromptingCalls = {
    "Form1.Enabled = False",
    "SetWindowPos(Form1, HWND_NOTOPMOST, 0, 0, 1024, 768, 0x50)",
    "Load(PasswordForm)",
    "CenterWindow(PasswordForm) -> 408, 300",
    "PasswordForm.Visible = True",
};
const std::vector<std::string> kShowingAgainCalls = {
    "SetCursorPos(1032, 776)",
    "Form1.Enabled = True",
    "SetWindowPos(Form1, HWND_TOPMOST, 0, 0, 1024, 768, 0x50)",
    "PasswordForm.Visible = False",
};

class RunControlTest : public ::testing::Test {
protected:
    void startWith(const SampleSettings& settings, std::int32_t platformId = platform::VER_PLATFORM_WIN32_NT) {
        run.platform.setPlatformId(platformId);
        ASSERT_TRUE(run.start(settings));
        run.platform.clearCalls();
    }

    // Showing: the saver window enabled and on top, no prompt in sight.
    void expectShowing() {
        EXPECT_TRUE(run.saver().form1.enabled());
        EXPECT_TRUE(run.platform.isTopmost(run.saver().form1.hwnd()));
        EXPECT_FALSE(run.promptShown());
        EXPECT_EQ(run.platform.activeWindow(), &run.saver().form1);
    }
    // Prompting: the saver window disabled and lowered, the prompt in front.
    void expectPrompting() {
        EXPECT_FALSE(run.saver().form1.enabled());
        EXPECT_FALSE(run.platform.isTopmost(run.saver().form1.hwnd()));
        EXPECT_TRUE(run.platform.isShown(run.saver().form1.hwnd()));
        EXPECT_TRUE(run.promptShown());
        EXPECT_EQ(run.platform.activeWindow(), &run.prompt().form);
    }

    SaverRun run;
};

TEST_F(RunControlTest, WithoutProtectionTheFirstExitRequestEndsTheProgram) {
    startWith(SampleSettings{}, platform::VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_FALSE(run.platform.pressKey('A', 0, 'a'));
    EXPECT_TRUE(run.platform.programEnded());
    EXPECT_THAT(run.platform.calls(), ElementsAre("EndProgram()"));
    EXPECT_FALSE(run.prompt().form.loaded());
    EXPECT_EQ(run.platform.screenSaverRunningFlag(), 0);
}

TEST_F(RunControlTest, ProtectionIsJudgedByTheNumericValueOfTheFlagAndNeedsAPassword) {
    struct Case {
        const char* saverEnabled;
        const char* saverPassword;
        bool prompts;
    };
    const Case cases[] = {
        {"1", "Secret", true},  {"1.00", "Secret", true}, {" 1", "x", true},     {"0", "Secret", false},
        {"", "Secret", false},  {"2", "Secret", false},   {"yes", "Secret", false},
        // An empty password could never be entered: the run is unprotected.
        {"1", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("saverEnabled=") + c.saverEnabled + " saverPassword=" + c.saverPassword);
        SaverRun fresh;
        SampleSettings settings;
        settings.saverEnabled = c.saverEnabled;
        settings.saverPassword = c.saverPassword;
        ASSERT_TRUE(fresh.start(settings));
        EXPECT_EQ(fresh.platform.pressMouse(fresh.saver().form1, 1, 10, 10), c.prompts);
        EXPECT_EQ(fresh.platform.taskSwitchKeysBlocked(), c.prompts);
        if (c.prompts) EXPECT_TRUE(fresh.promptShown());
    }
}

TEST_F(RunControlTest, ExitRequestWithProtectionBringsUpThePromptInFront) {
    startWith(protectedSettings());
    expectShowing();
    ASSERT_TRUE(run.platform.pressKey(16));  // Shift alone
    EXPECT_EQ(run.platform.calls(), kPromptingCalls);
    expectPrompting();
    // The focus is in the password box at the first showing.
    EXPECT_EQ(run.platform.focusedControl(), &run.prompt().txtPassword);
}

TEST_F(RunControlTest, EnterOnAnEmptyBoxOrOnTheBoardReturnsToTheSaver) {
    startWith(protectedSettings());
    run.platform.pressKey('A', 0, 'a');
    run.platform.clearCalls();

    ASSERT_TRUE(run.platform.pressKey(kEnter, 0, kEnter));
    EXPECT_EQ(run.platform.calls(), kShowingAgainCalls);
    expectShowing();
    EXPECT_EQ(run.platform.cursor().x, 1023);
    EXPECT_EQ(run.platform.cursor().y, 767);

    // Prompting again: the window is loaded once, then only shown.
    run.platform.clearCalls();
    ASSERT_TRUE(run.platform.pressMouse(run.saver().form1, 2, 50, 50));
    EXPECT_THAT(run.platform.calls(),
                ElementsAre("Form1.Enabled = False", "SetWindowPos(Form1, HWND_NOTOPMOST, 0, 0, 1024, 768, 0x50)",
                            "PasswordForm.Visible = True"));
    expectPrompting();

    run.platform.clearCalls();
    ASSERT_TRUE(run.platform.pressMouse(run.prompt().txtNotes, 1, 5, 5));
    ASSERT_TRUE(run.platform.pressKey(kEnter, 0, kEnter));
    EXPECT_EQ(run.platform.calls(), kShowingAgainCalls);
    expectShowing();
}

TEST_F(RunControlTest, WhilePromptingTheSaverWindowTakesNoInputAndItsTimersRun) {
    startWith(protectedSettings());
    run.platform.pressKey('A', 0, 'a');
    run.platform.clearCalls();
    ASSERT_TRUE(run.platform.pressMouse(run.saver().form1, 1, 10, 10));
    ASSERT_TRUE(run.platform.moveMouse(run.saver().form1, 300, 300));
    EXPECT_THAT(run.platform.calls(), IsEmpty());
    EXPECT_TRUE(run.saver().timer3.timerEnabled());
    ASSERT_TRUE(run.platform.advance(5000));
    expectPrompting();
}

TEST_F(RunControlTest, TheRightPasswordEndsTheRun) {
    struct Case {
        std::int32_t platformId;
        bool versionReadable;
        bool flagOn;  // the screen-saver-running flag, during the run
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {platform::VER_PLATFORM_WIN32_WINDOWS, true, true,
         {"SystemParametersInfoA(97, 0, 0, 0)", "BlockTaskSwitchKeys(False)", "EndProgram()"}},
        // A version that could not be read counts as not of the NT family.
        {platform::VER_PLATFORM_WIN32_NT, false, true,
         {"SystemParametersInfoA(97, 0, 0, 0)", "BlockTaskSwitchKeys(False)", "EndProgram()"}},
        {platform::VER_PLATFORM_WIN32_NT, true, false, {"BlockTaskSwitchKeys(False)", "EndProgram()"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("platform " + std::to_string(c.platformId));
        SaverRun fresh;
        fresh.platform.setPlatformId(c.platformId);
        fresh.platform.setVersionReadable(c.versionReadable);
        ASSERT_TRUE(fresh.start(protectedSettings()));
        EXPECT_EQ(fresh.platform.screenSaverRunningFlag(), c.flagOn ? 1 : 0);
        fresh.platform.pressKey('X', 0, 'x');
        ASSERT_TRUE(fresh.platform.typeText("Secret"));
        fresh.platform.clearCalls();
        EXPECT_FALSE(fresh.platform.pressKey(kEnter, 0, kEnter));
        EXPECT_EQ(fresh.platform.calls(), c.calls);
        EXPECT_EQ(fresh.platform.screenSaverRunningFlag(), 0);
        EXPECT_FALSE(fresh.platform.taskSwitchKeysBlocked());
    }
}

TEST_F(RunControlTest, AProtectedRunBlocksTheTaskSwitchKeysBeforeTheWindowShows) {
    run.platform.setPlatformId(platform::VER_PLATFORM_WIN32_NT);
    ASSERT_TRUE(run.start(protectedSettings()));
    EXPECT_THAT(run.platform.callsStartingWith({"Load(", "BlockTaskSwitchKeys", "SetCursorPos", "Form1.Visible"}),
                ElementsAre("Load(Form1)", "BlockTaskSwitchKeys(True)", "SetCursorPos(1032, 776)",
                            "Form1.Visible = True"));
    EXPECT_TRUE(run.platform.taskSwitchKeysBlocked());

    SaverRun open;
    ASSERT_TRUE(open.start(SampleSettings{}));
    EXPECT_THAT(open.platform.callsStartingWith({"BlockTaskSwitchKeys"}), IsEmpty());
}

TEST_F(RunControlTest, ClosingThePromptInAnyWayReturnsToTheSaver) {
    startWith(protectedSettings());
    run.platform.pressKey('A', 0, 'a');
    run.platform.clearCalls();
    ASSERT_TRUE(run.platform.requestClose(run.prompt().form));
    EXPECT_EQ(run.platform.calls(), kShowingAgainCalls);
    expectShowing();
    EXPECT_TRUE(run.prompt().form.loaded());
}

TEST_F(RunControlTest, ACloseCommandToTheSaverWindowNeverEndsAProtectedRun) {
    startWith(protectedSettings());
    ASSERT_TRUE(run.platform.requestClose(run.saver().form1));
    EXPECT_EQ(run.platform.calls(), kPromptingCalls);
    expectPrompting();
    // Again while the prompt is up: it stays up, and the run goes on.
    ASSERT_TRUE(run.platform.requestClose(run.saver().form1));
    expectPrompting();
    EXPECT_TRUE(run.saver().form1.loaded());

    SaverRun open;
    ASSERT_TRUE(open.start(SampleSettings{}));
    EXPECT_FALSE(open.platform.requestClose(open.saver().form1));
}

}  // namespace
}  // namespace vistrel::app
