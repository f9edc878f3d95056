// On a protected run, an image that cannot be shown must not end the saver
// without the password: it is passed over and noted on the message board.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "saver_run_support.h"

namespace vistrel::saver {
namespace {

using vistrel::testing::protectedSettings;
using vistrel::testing::SaverRun;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kEnter = 13;
constexpr int kLeftWindows = 0x5B;

// Occurrences of `part` in `text`.
int count(const std::string& text, const std::string& part) {
    int found = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
}

class ProtectedImageFailureTest : public ::testing::Test {
protected:
    void start(vistrel::testing::SampleSettings settings) {
        settings.timeInterval = "2";
        settings.effectMode = "0";
        ASSERT_TRUE(run.start(settings));
    }
    std::vector<std::string> loads() { return run.platform.callsStartingWith({"LoadPictureInBackground("}); }
    const std::string& board() { return run.prompt().txtNotes.text(); }

    SaverRun run;
};

TEST_F(ProtectedImageFailureTest, AMissingImageIsPassedOverAndNotedForTheOwner) {
    start(protectedSettings());
    run.platform.removeFile("C:\\Pictures\\b.bmp");
    run.platform.setTimeOfDay(14 * 3600 + 3 * 60 + 27.5);
    // a at 0.5 s, b decoded ahead; at its turn b fails and a comes again,
    // and b is decoded ahead once more.
    ASSERT_TRUE(run.platform.advance(3000));
    EXPECT_THAT(loads(), ElementsAre("LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\b.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\b.bmp)"));
    EXPECT_THAT(run.platform.messageBoxes(), IsEmpty());
    EXPECT_FALSE(run.platform.programEnded());
    // Noted on the board, which stays hidden until the next exit request.
    EXPECT_THAT(board(), HasSubstr("14:03:"));  // when it happened, with the path
    EXPECT_THAT(board(), HasSubstr("C:\\Pictures\\b.bmp could not be shown"));
    EXPECT_FALSE(run.promptShown());
    EXPECT_TRUE(run.saver().picture1.visible());

    // Round after round, the image is noted once.
    ASSERT_TRUE(run.platform.advance(20000));
    EXPECT_EQ(count(board(), "b.bmp"), 1);
    EXPECT_THAT(run.platform.messageBoxes(), IsEmpty());
}

TEST_F(ProtectedImageFailureTest, WithNoImageLeftTheBackgroundStaysAndOnlyThePasswordEndsTheRun) {
    start(protectedSettings());
    ASSERT_TRUE(run.platform.advance(1000));  // a is shown
    run.platform.removeFile("C:\\Pictures\\a.bmp");
    run.platform.putFile("C:\\Pictures\\b.bmp", "damaged");
    ASSERT_TRUE(run.platform.advance(10000));
    EXPECT_FALSE(run.saver().picture1.visible());
    EXPECT_EQ(count(board(), "a.bmp"), 1);
    EXPECT_EQ(count(board(), "b.bmp"), 1);
    EXPECT_FALSE(run.platform.programEnded());
    EXPECT_THAT(run.platform.messageBoxes(), IsEmpty());
    // The failures left the keyboard guard in place: no task switch gets
    // past the prompt.
    EXPECT_TRUE(run.platform.taskSwitchKeysBlocked());
    EXPECT_THAT(run.platform.callsStartingWith({"BlockTaskSwitchKeys"}), ElementsAre("BlockTaskSwitchKeys(True)"));

    // The owner comes back: the notes are on the board, the password ends it
    // and takes the guard away before the program goes.
    ASSERT_TRUE(run.platform.pressKey(kLeftWindows));
    EXPECT_THAT(run.platform.callsStartingWith({"TaskSwitchKeyBlocked"}), ElementsAre("TaskSwitchKeyBlocked(0x5B)"));
    ASSERT_TRUE(run.promptShown());
    ASSERT_TRUE(run.platform.typeText("Secret"));
    run.platform.clearCalls();
    EXPECT_FALSE(run.platform.pressKey(kEnter, 0, kEnter));
    EXPECT_THAT(run.platform.callsStartingWith({"BlockTaskSwitchKeys", "EndProgram"}),
                ElementsAre("BlockTaskSwitchKeys(False)", "EndProgram()"));
}

TEST_F(ProtectedImageFailureTest, WithNoPictureShownNoCaptionStandsOverTheBackground) {
    start(protectedSettings());  // captions "First" and "Second", a red background
    run.platform.removeFile("C:\\Pictures\\a.bmp");
    run.platform.removeFile("C:\\Pictures\\b.bmp");
    ASSERT_TRUE(run.platform.advance(1000));
    EXPECT_FALSE(run.saver().picture1.visible());
    EXPECT_FALSE(run.saver().label1.visible());
    EXPECT_EQ(run.saver().label1.height(), 0);
    // The caption's band at the top centre shows the background alone.
    const auto screen = run.platform.screenshot();
    const std::uint32_t background = platform::headless::colorToPixel(255);
    for (int x = 412; x < 612; x += 4) {
        for (int y = 0; y < 30; y += 3) ASSERT_EQ(screen.at(x, y), background) << x << ", " << y;
    }
    // Each later change finds no picture either, and shows no caption.
    ASSERT_TRUE(run.platform.advance(6000));
    EXPECT_FALSE(run.saver().label1.visible());
}

TEST_F(ProtectedImageFailureTest, WithoutProtectionTheRunEndsWithTheMessage) {
    auto settings = protectedSettings();
    settings.saverEnabled = "0";
    start(settings);
    run.platform.removeFile("C:\\Pictures\\b.bmp");
    run.platform.answerMessageBoxes({platform::MessageBoxAnswer::Ok});
    EXPECT_FALSE(run.platform.advance(3000));
    ASSERT_EQ(run.platform.messageBoxes().size(), 1u);
    EXPECT_THAT(run.platform.messageBoxes()[0].text, HasSubstr("C:\\Pictures\\b.bmp\r\ndoes not exist!"));
    EXPECT_FALSE(run.program->passwordForm()->form.loaded());
}

}  // namespace
}  // namespace vistrel::saver
