// The option handlers: each user change writes its pending setting and
// switches the controls that depend on it; the colour and font dialogs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog/dialog_values.h"
#include "dialog_test_support.h"

namespace vistrel::testing {
namespace {

using ::testing::ElementsAre;

class DialogOptionsTest : public DialogTest {
protected:
    void SetUp() override { openSample(); }
    const dialog::PendingSettings& pending() const { return dialog->pending; }
};

TEST_F(DialogOptionsTest, BackgroundListSwitchesTheColourButtonOnly) {
    auto& list = c<ui::ComboBox>("Combo1");
    list.userSelect(1);
    EXPECT_EQ(pending()[settings::Option::backEffect], "1");
    EXPECT_FALSE(c<ui::Button>("backColorClick").enabled());
    EXPECT_TRUE(c<ui::PictureBox>("Picture1").enabled());
    EXPECT_EQ(c<ui::PictureBox>("Picture1").backColor(), 255u);
    list.userSelect(0);
    EXPECT_EQ(pending()[settings::Option::backEffect], "0");
    EXPECT_TRUE(c<ui::Button>("backColorClick").enabled());
    // The blurred picture has no colour to choose either.
    list.userSelect(2);
    EXPECT_EQ(pending()[settings::Option::backEffect], "2");
    EXPECT_FALSE(c<ui::Button>("backColorClick").enabled());
    EXPECT_EQ(c<ui::PictureBox>("Picture1").backColor(), 255u);
}

TEST_F(DialogOptionsTest, MovementOptionsSwitchTheSpeedSlider) {
    c<ui::OptionButton>("pRandom").userClick();
    EXPECT_EQ(pending()[settings::Option::picRandom], "rand");
    EXPECT_TRUE(c<ui::Slider>("Slider1").enabled());
    EXPECT_TRUE(c<ui::Label>("Label5(2)").enabled());
    c<ui::Slider>("Slider1").userSetValue(5);
    EXPECT_EQ(pending()[settings::Option::picSpeed], "5");
    c<ui::OptionButton>("pCenter").userClick();
    EXPECT_EQ(pending()[settings::Option::picRandom], "cent");
    EXPECT_FALSE(c<ui::Slider>("Slider1").enabled());
    EXPECT_FALSE(c<ui::Label>("Label5(2)").enabled());
    EXPECT_EQ(pending()[settings::Option::picSpeed], "5");
}

TEST_F(DialogOptionsTest, NeverClearsRandomOrderAndGreysTheSecondsAfterTakesTheSpinsInterval) {
    auto& random = c<ui::CheckBox>("Random_select");
    random.userClick();
    ASSERT_EQ(pending()[settings::Option::randomPick], "1");
    c<ui::ScrollBar>("changeVScroll1").userLineUp();
    ASSERT_EQ(pending()[settings::Option::timeInterval], "6");

    platform.clearCalls();
    c<ui::OptionButton>("nChange").userClick();
    EXPECT_EQ(pending()[settings::Option::picChange], "not_ch");
    EXPECT_EQ(pending()[settings::Option::timeInterval], "0");
    EXPECT_EQ(pending()[settings::Option::randomPick], "0");
    EXPECT_THAT(platform.callsStartingWith({"Text2.", "Label3(5).", "Random_select.", "changeVScroll1."}),
                ElementsAre("Text2.Enabled = False", "Text2.BackColor = System(22)", "Label3(5).Enabled = False",
                            "Random_select.Enabled = False", "changeVScroll1.Enabled = False",
                            "Random_select.Value = 0"));
    EXPECT_EQ(c<ui::TextBox>("Text2").text(), "6");  // still the last number

    // "After..." takes the interval the spin control shows, not the "0" of "Never".
    c<ui::OptionButton>("aChange").userClick();
    EXPECT_EQ(pending()[settings::Option::picChange], "ch");
    EXPECT_EQ(pending()[settings::Option::timeInterval], "6");
    EXPECT_TRUE(random.enabled());
    EXPECT_EQ(random.value(), 0);
    EXPECT_TRUE(c<ui::TextBox>("Text2").enabled());
    EXPECT_EQ(c<ui::TextBox>("Text2").backColor(), ui::systemColor(5));
}

TEST_F(DialogOptionsTest, SpinControlStopsAtBothEndsAndShowsItsValue) {
    auto& spin = c<ui::ScrollBar>("changeVScroll1");
    auto& seconds = c<ui::TextBox>("Text2");
    spin.userSetValue(59);
    spin.userLineUp();
    EXPECT_EQ(seconds.text(), "60");
    spin.userLineUp();
    EXPECT_EQ(seconds.text(), "60");
    EXPECT_EQ(pending()[settings::Option::timeInterval], "60");
    spin.userSetValue(0);
    spin.userLineDown();
    EXPECT_EQ(seconds.text(), "0");
    EXPECT_EQ(pending()[settings::Option::timeInterval], "0");
}

TEST_F(DialogOptionsTest, TypedSecondsMoveTheSpinControlAndAnythingElseIsPutBack) {
    auto& seconds = c<ui::TextBox>("Text2");
    auto& spin = c<ui::ScrollBar>("changeVScroll1");
    struct Typed {
        const char* text;
        int spinAfter;          // the spin control's value once typed
        const char* shownAfterFocusLeaves;
    };
    const Typed cases[] = {
        {"45", 45, "45"}, {"7", 7, "7"}, {"60", 60, "60"}, {"0", 0, "0"}, {" 12 ", 12, "12"}, {"05", 5, "5"},
        {"61", 5, "5"},   {"abc", 5, "5"}, {"", 5, "5"},   {"-3", 5, "5"},  {"2.5", 5, "5"},
    };
    for (const Typed& typed : cases) {
        seconds.setFocus();
        seconds.userSetText(typed.text);
        EXPECT_EQ(spin.value(), typed.spinAfter) << typed.text;
        EXPECT_EQ(pending()[settings::Option::timeInterval], std::to_string(typed.spinAfter)) << typed.text;
        c<ui::TextBox>("p_caption").setFocus();  // the focus leaves the box
        EXPECT_EQ(seconds.text(), typed.shownAfterFocusLeaves) << typed.text;
    }
}

TEST_F(DialogOptionsTest, RandomTransitionsGreyTheListAndKeepTheChosenTransition) {
    c<ui::ComboBox>("TransitionsCbx").userSelect(3);
    EXPECT_EQ(pending()[settings::Option::effectMode], "3");
    c<ui::CheckBox>("RndTranCheck").userClick();
    EXPECT_EQ(pending()[settings::Option::randomEffect], "1");
    EXPECT_EQ(pending()[settings::Option::effectMode], "3");
    EXPECT_FALSE(c<ui::ComboBox>("TransitionsCbx").enabled());
    EXPECT_EQ(c<ui::ComboBox>("TransitionsCbx").backColor(), ui::systemColor(22));
    c<ui::ComboBox>("TransitionsCbx").userSelect(5);  // disabled: no choice
    EXPECT_EQ(pending()[settings::Option::effectMode], "3");
    c<ui::CheckBox>("RndTranCheck").userClick();
    EXPECT_EQ(pending()[settings::Option::randomEffect], "0");
    EXPECT_TRUE(c<ui::ComboBox>("TransitionsCbx").enabled());
    EXPECT_EQ(c<ui::ComboBox>("TransitionsCbx").backColor(), ui::systemColor(5));
}

TEST_F(DialogOptionsTest, PasswordBoxesFollowTheEnabledBoxAndKeepTheirTexts) {
    auto& enabled = c<ui::CheckBox>("Password_enabled");
    auto& password = c<ui::TextBox>("SS_password");
    auto& confirm = c<ui::TextBox>("SS_Confirm");
    enabled.userClick();
    EXPECT_EQ(pending()[settings::Option::saverEnabled], "1");
    EXPECT_TRUE(password.enabled() && confirm.enabled());
    password.userSetText("abc");
    confirm.userSetText("abd");
    EXPECT_EQ(pending()[settings::Option::saverPassword], "abc");
    EXPECT_EQ(pending().confirmPassword, "abd");
    enabled.userClick();
    EXPECT_EQ(pending()[settings::Option::saverEnabled], "0");
    EXPECT_FALSE(password.enabled() || confirm.enabled());
    EXPECT_EQ(password.backColor(), ui::systemColor(22));
    EXPECT_EQ(confirm.backColor(), ui::systemColor(22));
    EXPECT_EQ(password.text(), "abc");
    EXPECT_EQ(pending()[settings::Option::saverPassword], "abc");
}

TEST_F(DialogOptionsTest, ColourDialogStartsOnTheLastColourAndCancellingChangesNothing) {
    platform.answerColorDialog(0x00FF00);
    platform.answerColorDialog(std::nullopt);
    platform.answerColorDialog(0x123456);
    auto& button = c<ui::Button>("backColorClick");
    button.userClick();
    EXPECT_EQ(pending()[settings::Option::newBackColor], "65280");
    EXPECT_EQ(c<ui::PictureBox>("Picture1").backColor(), 0x00FF00u);
    button.userClick();
    EXPECT_EQ(pending()[settings::Option::newBackColor], "65280");
    button.userClick();
    EXPECT_EQ(pending()[settings::Option::newBackColor], std::to_string(0x123456));
    EXPECT_THAT(platform.colorDialogRequests(), ElementsAre(255u, 0x00FF00u, 0x00FF00u));
    EXPECT_TRUE(platform.messageBoxes().empty());
}

TEST_F(DialogOptionsTest, FontDialogOffersTenToFortyEightPointsAndSetsEveryFontSetting) {
    platform::FontChoice chosen{"Courier New", 10.5, false, true, false, true, 0x0000FF};
    platform.answerFontDialog(chosen);
    platform.answerFontDialog(std::nullopt);
    auto& button = c<ui::Button>("font");
    button.userClick();
    button.userClick();

    ASSERT_EQ(platform.fontDialogRequests().size(), 2u);
    const platform::FontRequest& first = platform.fontDialogRequests()[0];
    EXPECT_EQ(first.flags, 0x2101u);
    EXPECT_EQ(first.minSize, 10);
    EXPECT_EQ(first.maxSize, 48);
    EXPECT_EQ(first.start.name, "Times New Roman");
    EXPECT_EQ(first.start.sizePoints, 14);
    EXPECT_EQ(first.start.color, 65535u);
    EXPECT_EQ(platform.fontDialogRequests()[1].start.name, "Courier New");  // the last choice

    const std::vector<std::string> all = pendingTexts(pending());
    EXPECT_THAT(std::vector<std::string>(all.end() - 7, all.end()),
                ElementsAre("Courier New", "10.5", "False", "True", "False", "True", "255"));
    EXPECT_EQ(c<ui::PictureBox>("Picture2").backColor(), 255u);
}

TEST(DialogValues, FontSizesAreWholeWithoutAFraction) {
    EXPECT_EQ(dialog::fontSizeText(12), "12");
    EXPECT_EQ(dialog::fontSizeText(10.5), "10.5");
    EXPECT_EQ(dialog::fontSizeText(static_cast<float>(9.75)), "9.75");
    EXPECT_EQ(dialog::fontSizeText(48), "48");
}

}  // namespace
}  // namespace vistrel::testing
