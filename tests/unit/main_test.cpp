#include "app/main.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace vistrel::app {
namespace {

using platform::headless::HeadlessPlatform;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MainTest : public ::testing::Test {
protected:
    MainTest() {
        platform.setScreen({1024, 768, 15, 15});
        platform.putFile(vistrel::testing::kSettingsPath, vistrel::testing::SampleSettings{}.text());
    }

    // Runs Main as the system would start the program; false when it ended.
    bool start(const std::string& command) {
        platform.setCommandLine(command);
        return platform.run([&] { program = Main(platform); });
    }

    HeadlessPlatform platform;
    std::unique_ptr<Program> program;
};

TEST_F(MainTest, SaverStartParksThePointerThenShowsTheWindowTopmost) {
    ASSERT_TRUE(start("/s"));

    EXPECT_THAT(platform.callsStartingWith({"Load(", "Timer3.", "SetCursorPos", "Form1.Visible", "SetWindowPos"}),
                ElementsAre("Load(Form1)", "Timer3.Interval = 500", "Timer3.Enabled = True", "SetCursorPos(1032, 776)",
                            "Form1.Visible = True", "SetWindowPos(Form1, HWND_TOPMOST, 0, 0, 1024, 768, 0x50)"));
    const auto window = program->saverWindow()->form1.hwnd();
    EXPECT_TRUE(platform.isTopmost(window));
    // The system clamps the parked pointer to the bottom-right pixel.
    EXPECT_EQ(platform.cursor().x, 1023);
    EXPECT_EQ(platform.cursor().y, 767);
}

TEST_F(MainTest, SaverWindowCoversAWholeScreenOfAnySize) {
    platform.setScreen({1920, 1080, 15, 15});
    ASSERT_TRUE(start("/S"));
    EXPECT_THAT(platform.callsStartingWith({"SetCursorPos", "SetWindowPos"}),
                ElementsAre("SetCursorPos(1928, 1088)", "SetWindowPos(Form1, HWND_TOPMOST, 0, 0, 1920, 1080, 0x50)"));
    const auto* surface = platform.surfaceOf(program->saverWindow()->form1);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->width, 1920);
    EXPECT_EQ(surface->height, 1080);
}

TEST_F(MainTest, ASecondInstanceEndsAtOnceWhateverTheSwitch) {
    for (const char* command : {"/s", "/c", "/p 5"}) {
        HeadlessPlatform second;
        second.setOtherInstanceRunning(true);
        second.setCommandLine(command);
        std::unique_ptr<Program> ignored;
        EXPECT_FALSE(second.run([&] { ignored = Main(second); })) << command;
        EXPECT_TRUE(second.programEnded());
        EXPECT_THAT(second.callsStartingWith({"Load(", "SetCursorPos", "SetWindowPos", "GetDC", "MessageBox"}),
                    IsEmpty())
            << command;
        EXPECT_EQ(second.fileReplaceCount(), 0u);
    }
}

TEST_F(MainTest, UnknownSwitchesShowNothing) {
    for (const char* command : {"/x", "/a", "-s", "s"}) {
        HeadlessPlatform other;
        other.setCommandLine(command);
        std::unique_ptr<Program> started;
        EXPECT_TRUE(other.run([&] { started = Main(other); })) << command;
        EXPECT_EQ(started->saverWindow(), nullptr);
        EXPECT_THAT(other.callsStartingWith({"Load(", "SetCursorPos", "SetWindowPos", "GetDC", "MessageBox"}),
                    IsEmpty())
            << command;
    }
}

TEST_F(MainTest, ConfigureSwitchAndAnEmptyCommandLineOpenTheSettingsDialog) {
    for (const char* command : {"/C", "", "/c:4660"}) {
        HeadlessPlatform other;
        other.putFile(vistrel::testing::kSettingsPath, vistrel::testing::SampleSettings{}.text());
        vistrel::testing::putSamplePictures(other);
        other.setCommandLine(command);
        std::unique_ptr<Program> started;
        ASSERT_TRUE(other.run([&] { started = Main(other); })) << command;
        ASSERT_NE(started->settingsDialog(), nullptr) << command;
        const ui::Window& dialog = started->settingsDialog()->form2;
        EXPECT_TRUE(dialog.loaded() && dialog.visible()) << command;
        EXPECT_EQ(dialog.owner, std::string(command) == "/c:4660" ? 4660u : 0u) << command;
        EXPECT_EQ(started->saverWindow(), nullptr);
        EXPECT_TRUE(other.messageBoxes().empty()) << command;
        EXPECT_THAT(other.callsStartingWith({"Load(", "Form2.Visible"}), ElementsAre("Load(Form2)", "Form2.Visible = True"));
    }
}

}  // namespace
}  // namespace vistrel::app
