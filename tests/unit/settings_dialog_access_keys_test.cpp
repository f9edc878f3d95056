// Alt with an access key in the settings dialog, as the keyboard gives it.
// Several controls share C ("&Clear", "&Cancel", "&Center", "&Choose
// color..."), F ("&Font Style", "&Float") and A ("&Add", "&After..."): such
// a key only moves the focus to the next of them in tab order. A key that
// one control owns acts as a click.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_test_support.h"

namespace vistrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kAlt = 4;

class DialogAccessKeyTest : public DialogTest {
protected:
    void SetUp() override {
        SampleSettings settings;
        settings.picRandom = "rand";  // "&Center" not selected: a press would show
        written_ = settings.text();
        openSample(settings);
    }
    std::string written_;
    // Alt+letter as the keyboard sends it; false when the program ended.
    bool alt(char letter) { return platform.pressKey(letter - 'a' + 'A', kAlt, letter); }
    std::string focused() const {
        const ui::Control* control = platform.focusedControl();
        return control ? control->name() : "<none>";
    }
    // Where the focus goes at each of `presses` presses of Alt+letter.
    std::vector<std::string> focusRound(char letter, int presses) {
        std::vector<std::string> names;
        for (int i = 0; i < presses; ++i) {
            EXPECT_TRUE(alt(letter));
            names.push_back(focused());
        }
        return names;
    }
};

TEST_F(DialogAccessKeyTest, AltCWithACaptionTypedKeepsTheCaptionAndTheDialog) {
    auto& caption = c<ui::TextBox>("p_caption");
    ASSERT_TRUE(platform.pressMouse(caption, 1, 5, 5));
    ASSERT_TRUE(platform.typeText(" at dusk"));
    const std::string typed = caption.text();
    ASSERT_EQ(typed, " at duskFirst");

    // From the caption box (tab 29) round to Cancel (0), Center (10), the
    // colour button (16) and Clear (28), pressing none of them.
    EXPECT_THAT(focusRound('c', 5), ElementsAre("Cancel", "pCenter", "backColorClick", "caption_clear", "Cancel"));
    EXPECT_TRUE(dialog->form2.loaded());
    EXPECT_EQ(caption.text(), typed);
    EXPECT_EQ(c<ui::ListBox>("photo_caption").list(0), typed);
    EXPECT_TRUE(c<ui::OptionButton>("pRandom").value());
    EXPECT_EQ(dialog->pending[settings::Option::picRandom], "rand");
    EXPECT_THAT(platform.colorDialogRequests(), IsEmpty());
    EXPECT_EQ(settingsOnDisk(), written_) << "nothing saved";
}

TEST_F(DialogAccessKeyTest, AltAAndAltFMoveTheFocusWithoutOpeningADialog) {
    EXPECT_THAT(focusRound('a', 3), ElementsAre("aChange", "add", "aChange"));
    EXPECT_THAT(platform.fileDialogRequests(), IsEmpty());
    EXPECT_THAT(focusRound('f', 3), ElementsAre("pRandom", "font", "pRandom"));
    EXPECT_THAT(platform.fontDialogRequests(), IsEmpty());
    EXPECT_THAT(messageTexts(), IsEmpty());
}

TEST_F(DialogAccessKeyTest, AKeyThatOneControlOwnsActsAsAClick) {
    ASSERT_TRUE(alt('n'));  // "&Never"
    EXPECT_EQ(focused(), "nChange");
    EXPECT_TRUE(c<ui::OptionButton>("nChange").value());
    EXPECT_EQ(dialog->pending[settings::Option::picChange], "not_ch");

    // "&Choose color..." is greyed with the desktop background: the C key
    // then has three owners left.
    c<ui::ComboBox>("Combo1").userSelect(1);
    EXPECT_THAT(focusRound('c', 4), ElementsAre("pCenter", "caption_clear", "Cancel", "pCenter"));
    EXPECT_FALSE(c<ui::OptionButton>("pCenter").value());

    // "&OK" is the only O: it saves and closes.
    alt('o');
    EXPECT_FALSE(dialog->form2.loaded());
    EXPECT_NE(settingsOnDisk().find("picChange=not_ch"), std::string::npos);
}

TEST_F(DialogAccessKeyTest, TypedTextWithoutAltIsNoAccessKey) {
    auto& caption = c<ui::TextBox>("p_caption");
    ASSERT_TRUE(platform.pressMouse(caption, 1, 5, 5));
    ASSERT_TRUE(platform.typeText("c"));
    EXPECT_EQ(focused(), "p_caption");
    EXPECT_EQ(caption.text(), "cFirst");
}

}  // namespace
}  // namespace vistrel::testing
