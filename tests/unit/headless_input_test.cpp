// Input of the headless backend: the order and the target of the events,
// typing into text boxes, activation and focus, close requests; and the
// rule of the task-switching keys.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/task_switch_keys.h"

namespace vistrel::platform::headless {
namespace {

using ::testing::ElementsAre;

// A window with two text boxes, tab indices reversed against their order.
class HeadlessInputTest : public ::testing::Test {
protected:
    HeadlessInputTest() : form("Form2", platform), notes("txtNotes", form), password("txtPassword", form) {
        platform.setScreen({800, 600, 12, 12});
        notes.multiLine = true;
        notes.setTabIndex(1);
        password.setTabIndex(0);
        for (ui::TextBox* box : {&notes, &password}) {
            ui::TextBox& b = *box;
            b.onKeyDown = [this, &b](int& keyCode, int shift) {
                events.push_back(b.name() + " KeyDown " + std::to_string(keyCode) + " " + std::to_string(shift));
            };
            b.onKeyPress = [this, &b](int& keyAscii) {
                events.push_back(b.name() + " KeyPress " + std::to_string(keyAscii));
                if (keyAscii == swallowed) keyAscii = 0;
            };
        }
    }

    HeadlessPlatform platform;
    ui::Window form;
    ui::TextBox notes;
    ui::TextBox password;
    std::vector<std::string> events;
    int swallowed = -1;
};

TEST_F(HeadlessInputTest, KeysGoAsKeyDownThenKeyPressToTheFocusWhichIsTheFirstTabStop) {
    form.show();
    ASSERT_EQ(platform.focusedControl(), &password);
    ASSERT_TRUE(platform.typeText("aZ1 \xC3\xA9\r"));
    EXPECT_THAT(events, ElementsAre("txtPassword KeyDown 65 0", "txtPassword KeyPress 97", "txtPassword KeyDown 90 1",
                                    "txtPassword KeyPress 90", "txtPassword KeyDown 49 0", "txtPassword KeyPress 49",
                                    "txtPassword KeyDown 32 0", "txtPassword KeyPress 32",
                                    "txtPassword KeyDown 231 0", "txtPassword KeyPress 233",
                                    "txtPassword KeyDown 13 0", "txtPassword KeyPress 13"));
    // A one-line box takes no line break.
    EXPECT_EQ(password.text(), "aZ1 \xC3\xA9");
}

TEST_F(HeadlessInputTest, TextBoxesTypeAtTheirCaretWhichTextFromCodePutsAtTheStart) {
    notes.setText("end\r\n");
    form.show();
    ASSERT_TRUE(platform.pressKey(9));  // Tab, to the notes
    ASSERT_EQ(platform.focusedControl(), &notes);
    ASSERT_TRUE(platform.typeText("one\rtwo"));
    EXPECT_EQ(notes.text(), "one\r\ntwoend\r\n");
    // Backspace takes a line break away as one character.
    ASSERT_TRUE(platform.typeText("\b\b\b\b"));
    EXPECT_EQ(notes.text(), "oneend\r\n");
    // Control characters other than these, and swallowed ones, are not typed.
    swallowed = 'x';
    ASSERT_TRUE(platform.pressKey(27, 0, 27));
    ASSERT_TRUE(platform.pressKey('X', 0, 'x'));
    EXPECT_EQ(notes.text(), "oneend\r\n");
    notes.setText("new");
    ASSERT_TRUE(platform.typeText(">"));
    EXPECT_EQ(notes.text(), ">new");
}

TEST_F(HeadlessInputTest, TheCharacterGoesWhereTheKeyWentEvenWhenTheFocusMoved) {
    form.show();
    password.onKeyDown = [&](int&, int) { notes.setFocus(); };
    ASSERT_TRUE(platform.pressKey('A', 0, 'a'));
    EXPECT_EQ(password.text(), "a");
    EXPECT_EQ(platform.focusedControl(), &notes);
    EXPECT_THAT(events, ElementsAre("txtPassword KeyPress 97"));
}

TEST_F(HeadlessInputTest, HidingTheActiveWindowActivatesThePreviousWithItsFocus) {
    ui::Window saver("Form1", platform);
    ui::PictureBox picture("Picture1", saver);
    saver.show();
    EXPECT_EQ(platform.focusedControl(), &saver);
    ASSERT_TRUE(platform.pressMouse(picture, 1, 1, 1));
    EXPECT_EQ(platform.focusedControl(), &picture);

    form.show();
    EXPECT_EQ(platform.activeWindow(), &form);
    ASSERT_TRUE(platform.pressKey(9));
    EXPECT_EQ(platform.focusedControl(), &notes);
    form.hide();
    EXPECT_EQ(platform.activeWindow(), &saver);
    EXPECT_EQ(platform.focusedControl(), &picture);
    form.show();
    EXPECT_EQ(platform.focusedControl(), &notes);

    // A disabled window takes no keys; shown again later it is not activated.
    saver.setEnabled(false);
    form.hide();
    EXPECT_EQ(platform.activeWindow(), nullptr);
    EXPECT_EQ(platform.focusedControl(), nullptr);
    ASSERT_TRUE(platform.pressKey('A', 0, 'a'));
    EXPECT_THAT(events, ::testing::IsEmpty());
}

TEST_F(HeadlessInputTest, MousePositionsArriveInTheControlsOwnUnits) {
    ui::Window saver("Form1", platform);
    ui::PictureBox picture("Picture1", saver);
    std::vector<double> seen;
    saver.onMouseMove = [&](int, int, double x, double y) { seen.insert(seen.end(), {x, y}); };
    picture.onMouseMove = [&](int, int, double x, double y) { seen.insert(seen.end(), {x, y}); };
    saver.show();
    ASSERT_TRUE(platform.moveMouse(saver, 10, 3));
    ASSERT_TRUE(platform.moveMouse(picture, 10, 3));
    picture.setVisible(false);
    ASSERT_TRUE(platform.moveMouse(picture, 20, 20));  // hidden: no event
    EXPECT_THAT(seen, ElementsAre(120, 36, 10, 3));
}

TEST_F(HeadlessInputTest, CloseRequestsUnloadOnlyWindowsWithAControlBoxUnlessHandled) {
    form.show();
    ASSERT_TRUE(platform.requestClose(form));
    EXPECT_FALSE(form.loaded());

    ui::Window bare("Form1", platform);
    bare.controlBox = false;
    bare.show();
    ASSERT_TRUE(platform.requestClose(bare));
    EXPECT_TRUE(bare.loaded());
    int handled = 0;
    bare.onCloseRequest = [&] { ++handled; };
    form.onCloseRequest = [&] { ++handled; };
    form.show();
    ASSERT_TRUE(platform.requestClose(bare));
    ASSERT_TRUE(platform.requestClose(form));
    EXPECT_EQ(handled, 2);
    EXPECT_TRUE(form.loaded());
}

TEST_F(HeadlessInputTest, TheKeyBlockIsRecordedAndEndsWithTheProgram) {
    platform.blockTaskSwitchKeys(true);
    EXPECT_TRUE(platform.taskSwitchKeysBlocked());
    EXPECT_FALSE(platform.run([&] { platform.endProgram(); }));
    EXPECT_FALSE(platform.taskSwitchKeysBlocked());
    EXPECT_THAT(platform.calls(), ElementsAre("BlockTaskSwitchKeys(True)", "EndProgram()"));
}

TEST(TaskSwitchKeysTest, AltTabAltEscCtrlEscAndTheWindowsKeys) {
    struct Case {
        unsigned key;
        bool alt, ctrl, blocked;
    };
    const Case cases[] = {
        {kVirtualKeyTab, true, false, true},        {kVirtualKeyTab, false, false, false},
        {kVirtualKeyTab, false, true, false},       {kVirtualKeyEscape, true, false, true},
        {kVirtualKeyEscape, false, true, true},     {kVirtualKeyEscape, false, false, false},
        {kVirtualKeyLeftWindows, false, false, true}, {kVirtualKeyRightWindows, false, false, true},
        {0x73 /* F4 */, true, false, false},        {'A', true, true, false},
        {0x2E /* Delete */, true, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isTaskSwitchKey(c.key, c.alt, c.ctrl), c.blocked)
            << "key " << c.key << " alt " << c.alt << " ctrl " << c.ctrl;
    }
}

}  // namespace
}  // namespace vistrel::platform::headless
