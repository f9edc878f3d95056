// The password prompt and its message board, driven by key presses on a
// protected saver run.
#include "password/password_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "password/board_lines.h"
#include "saver_run_support.h"

namespace vistrel::password {
namespace {

using vistrel::testing::protectedSettings;
using vistrel::testing::SaverRun;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kEnter = 13;
constexpr int kTab = 9;
constexpr int kShift = 1;

class PasswordPromptTest : public ::testing::Test {
protected:
    PasswordPromptTest() {
        EXPECT_TRUE(run.start(protectedSettings()));  // password "Secret"
    }

    // A key on the saver window: the prompt comes up.
    void requestExit() {
        ASSERT_TRUE(run.platform.pressKey('Q', 0, 'q'));
        ASSERT_TRUE(run.promptShown());
    }
    bool enter() { return run.platform.pressKey(kEnter, 0, kEnter); }
    bool errorShown() { return run.prompt().wrongPass.visible(); }

    SaverRun run;
};

TEST_F(PasswordPromptTest, LetterCaseCountsAndNothingIsTrimmed) {
    requestExit();
    for (const char* wrong : {"secret", "SECRET", "Secret ", " Secret", "Secre"}) {
        SCOPED_TRACE(wrong);
        ASSERT_TRUE(run.platform.typeText(wrong));
        run.platform.clearCalls();
        ASSERT_TRUE(enter());
        // The error is shown and the box emptied; the prompt stays up.
        EXPECT_THAT(run.platform.calls(), ElementsAre("wrongPass.Visible = True", "txtPassword.Text = "));
        EXPECT_TRUE(run.promptShown());
        EXPECT_EQ(run.prompt().txtPassword.text(), "");
    }
    ASSERT_TRUE(run.platform.typeText("Secret"));
    EXPECT_FALSE(enter());
    EXPECT_TRUE(run.platform.programEnded());
}

TEST_F(PasswordPromptTest, EnterOnAnEmptyBoxPutsThePromptAwayWithoutACheck) {
    requestExit();
    run.platform.clearCalls();
    ASSERT_TRUE(enter());
    EXPECT_FALSE(run.promptShown());
    EXPECT_FALSE(errorShown());
    EXPECT_THAT(run.platform.callsStartingWith({"wrongPass", "txtPassword"}), IsEmpty());

    // Also right after a wrong password, which left the box empty.
    requestExit();
    ASSERT_TRUE(run.platform.typeText("nope\r"));
    ASSERT_TRUE(errorShown());
    ASSERT_TRUE(enter());
    EXPECT_FALSE(run.promptShown());
    EXPECT_FALSE(errorShown());
}

TEST_F(PasswordPromptTest, TheNextCharacterHidesTheError) {
    requestExit();
    struct Key {
        const char* what;
        int keyCode;
        int character;
    };
    const Key keys[] = {{"a letter", 'A', 'a'}, {"Backspace", 8, 8}, {"Escape", 27, 27}};
    for (const Key& key : keys) {
        SCOPED_TRACE(key.what);
        ASSERT_TRUE(run.platform.typeText("x\r"));
        ASSERT_TRUE(errorShown());
        // A key without a character (Shift) is no character typed.
        ASSERT_TRUE(run.platform.pressKey(16, kShift));
        EXPECT_TRUE(errorShown());
        ASSERT_TRUE(run.platform.pressKey(key.keyCode, 0, key.character));
        EXPECT_FALSE(errorShown());
        EXPECT_TRUE(run.promptShown());
        run.prompt().txtPassword.setText("");
    }
}

TEST_F(PasswordPromptTest, ANoteStaysOnTheBoardWithItsLineBreak) {
    requestExit();
    ASSERT_EQ(run.prompt().txtNotes.text(), " \r\n");
    ASSERT_TRUE(run.platform.pressKey(kTab));
    ASSERT_EQ(run.platform.focusedControl(), &run.prompt().txtNotes);
    // The edit control's caret stands at the start of the designed text.
    ASSERT_TRUE(run.platform.typeText("Back at 3\r"));
    EXPECT_FALSE(run.promptShown());
    EXPECT_TRUE(run.saver().form1.enabled());

    requestExit();
    EXPECT_EQ(run.prompt().txtNotes.text(), "Back at 3\r\n \r\n");
    EXPECT_EQ(run.platform.focusedControl(), &run.prompt().txtNotes);
    ASSERT_TRUE(run.platform.typeText("Parcel came\r"));
    requestExit();
    EXPECT_EQ(run.prompt().txtNotes.text(), "Back at 3\r\nParcel came\r\n \r\n");
}

TEST_F(PasswordPromptTest, PasswordTextAndTheErrorStayAcrossShowings) {
    requestExit();
    ASSERT_TRUE(run.platform.typeText("wrong\r"));
    ASSERT_TRUE(run.platform.pressKey(kTab));
    ASSERT_TRUE(enter());  // on the board
    ASSERT_FALSE(run.promptShown());

    requestExit();
    EXPECT_TRUE(errorShown());
    EXPECT_EQ(run.platform.focusedControl(), &run.prompt().txtNotes);
    ASSERT_TRUE(run.platform.pressKey(kTab, kShift));
    ASSERT_EQ(run.platform.focusedControl(), &run.prompt().txtPassword);
    ASSERT_TRUE(run.platform.typeText("Sec"));
    ASSERT_TRUE(run.platform.pressKey(kTab));
    ASSERT_TRUE(enter());

    requestExit();
    EXPECT_EQ(run.prompt().txtPassword.text(), "Sec");
    EXPECT_THAT(run.platform.callsStartingWith({"Load(PasswordForm)"}), ElementsAre("Load(PasswordForm)"));
    // The rest of the password goes on after what was left in the box.
    ASSERT_TRUE(run.platform.pressKey(kTab, kShift));
    ASSERT_TRUE(run.platform.typeText("ret"));
    EXPECT_FALSE(enter());
}

TEST_F(PasswordPromptTest, ThePromptIsCentredAndMasksThePassword) {
    requestExit();
    const auto position = run.platform.windowPosition(run.prompt().form.hwnd());
    // 3120 x 2520 twips are 208 x 168 pixels.
    EXPECT_EQ(position.x, (1024 - 208) / 2);
    EXPECT_EQ(position.y, (768 - 168) / 2);
    EXPECT_EQ(run.prompt().txtPassword.passwordChar, '*');
    EXPECT_TRUE(run.prompt().txtNotes.multiLine);
    const ui::Label& error = run.prompt().wrongPass;
    EXPECT_EQ(error.text(), "INVALID PASSWORD!");
    EXPECT_EQ(error.foreColor(), 0x0000FFu);  // red, in the low byte
    EXPECT_TRUE(error.font().bold);
    EXPECT_EQ(error.font().sizePoints, 12);

    SaverRun wide({1920, 1080, 15, 15});
    ASSERT_TRUE(wide.start(protectedSettings()));
    ASSERT_TRUE(wide.platform.pressKey('Q'));
    EXPECT_THAT(wide.platform.callsStartingWith({"CenterWindow"}), ElementsAre("CenterWindow(PasswordForm) -> 856, 456"));
}

TEST_F(PasswordPromptTest, BoardLinesAddedBeforeThePromptLoadItHidden) {
    run.platform.clearCalls();
    ASSERT_TRUE(run.platform.run([&] { run.prompt().addBoardLine("12:00:01 C:\\Pictures\\gone.jpg"); }));
    EXPECT_THAT(run.platform.calls(),
                ElementsAre("Load(PasswordForm)", "txtNotes.Text =  \\r\\n12:00:01 C:\\Pictures\\gone.jpg\\r\\n"));
    EXPECT_FALSE(run.promptShown());
    EXPECT_EQ(run.platform.activeWindow(), &run.saver().form1);

    requestExit();
    EXPECT_EQ(run.prompt().txtNotes.text(), " \r\n12:00:01 C:\\Pictures\\gone.jpg\r\n");
    EXPECT_THAT(run.platform.callsStartingWith({"Load(PasswordForm)"}), ElementsAre("Load(PasswordForm)"));
    // The focus still goes to the password box at the first showing.
    EXPECT_EQ(run.platform.focusedControl(), &run.prompt().txtPassword);
}

TEST_F(PasswordPromptTest, EachBoardLineIsALineOfItsOwn) {
    requestExit();
    run.prompt().txtNotes.setText("typed without a break");
    run.prompt().addBoardLine("first\r\nsecond");
    run.prompt().addBoardLine("third");
    EXPECT_EQ(run.prompt().txtNotes.text(), "typed without a break\r\nfirst  second\r\nthird\r\n");
    EXPECT_TRUE(run.promptShown());
}

TEST(BoardLinesTest, AFailedImageLineNamesTheTimeAndThePath) {
    EXPECT_EQ(imageFailureLine(14 * 3600 + 3 * 60 + 27.9, "C:\\Pictures\\gone.jpg"),
              "14:03:27  C:\\Pictures\\gone.jpg could not be shown");
    EXPECT_EQ(imageFailureLine(0, "a.gif"), "00:00:00  a.gif could not be shown");
    EXPECT_EQ(imageFailureLine(86399.99, "a.gif"), "23:59:59  a.gif could not be shown");
    // A clock that already passed midnight counts from there again.
    EXPECT_EQ(imageFailureLine(86400 + 61, "a.gif"), "00:01:01  a.gif could not be shown");
}

}  // namespace
}  // namespace vistrel::password
