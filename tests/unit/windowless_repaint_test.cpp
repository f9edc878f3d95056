// Labels have no window: the surface of the window, picture box or frame
// that holds them draws them. Every change of a label after the first paint
// (enabled state, text, visibility, colour, font, place) must show at once,
// whatever holds it; checked on the screen as the headless backend composes
// it from what each surface last drew.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dialog_test_support.h"
#include "platform/dialog_controls.h"
#include "platform/headless/headless_platform.h"

namespace vistrel::testing {
namespace {

using platform::headless::colorToPixel;
using platform::headless::HeadlessPlatform;

constexpr ui::Color kWindowColor = 0xFFFFFF;
constexpr ui::Color kContainerColor = 0x00C000;  // green
constexpr ui::Color kTextColor = 0x0000FF;      // red
constexpr ui::Color kOtherTextColor = 0xFF0000;  // blue
constexpr ui::Color kGrey = 0x808080;            // the grey text of the classic scheme

// The pixel at the middle of a twips rectangle of the window's interior.
struct Spot {
    int x, y;
};
Spot middleOf(int left, int top, int width, int height) { return {(left + width / 2) / 15, (top + height / 2) / 15}; }

enum class Holder { Window, Frame, PictureBox };

class WindowlessRepaintTest : public ::testing::TestWithParam<Holder> {
protected:
    static constexpr int kHolderLeft = 600, kHolderTop = 600;
    static constexpr int kLabelLeft = 300, kLabelTop = 300, kLabelWidth = 900, kLabelHeight = 300;

    WindowlessRepaintTest() : form("Form", platform) {
        platform.setScreen({400, 300, 15, 15});
        form.borderStyle = ui::BorderStyle::None;
        form.interiorWidth = 400 * 15;
        form.interiorHeight = 300 * 15;
        form.move(0, 0, form.interiorWidth, form.interiorHeight);
        form.setBackColor(kWindowColor);
        ui::Control* holder = &form;
        if (GetParam() == Holder::Frame) {
            frame = std::make_unique<ui::Frame>("Frame1", form);
            frame->setBackColor(kContainerColor);
            holder = frame.get();
        } else if (GetParam() == Holder::PictureBox) {
            box = std::make_unique<ui::PictureBox>("Picture1", form);
            box->setBackColor(kContainerColor);
            holder = box.get();
        }
        if (holder != &form) holder->move(kHolderLeft, kHolderTop, 4800, 3000);
        label = std::make_unique<ui::Label>("Label3(5)", *holder);
        label->move(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight);
        label->setText("Sec(s)");
        label->setForeColor(kTextColor);
        EXPECT_TRUE(platform.run([&] { form.show(); }));
    }

    // Where the label's middle is on the screen, given its place in its holder.
    Spot labelSpot(int left = kLabelLeft, int top = kLabelTop, int width = kLabelWidth) const {
        const int offset = GetParam() == Holder::Window ? 0 : kHolderLeft;
        const int offsetTop = GetParam() == Holder::Window ? 0 : kHolderTop;
        return middleOf(offset + left, offsetTop + top, width, kLabelHeight);
    }
    ui::Color shownAt(Spot spot) { return platform::headless::pixelToColor(platform.screenshot().at(spot.x, spot.y)); }
    ui::Color behindLabel() const { return GetParam() == Holder::Window ? kWindowColor : kContainerColor; }

    HeadlessPlatform platform;
    ui::Window form;
    std::unique_ptr<ui::Frame> frame;
    std::unique_ptr<ui::PictureBox> box;
    std::unique_ptr<ui::Label> label;
};

TEST_P(WindowlessRepaintTest, EnabledStateTextAndVisibilityShowAtOnceAfterTheFirstPaint) {
    ASSERT_EQ(shownAt(labelSpot()), kTextColor) << "the first paint";

    label->setEnabled(false);
    EXPECT_EQ(shownAt(labelSpot()), kGrey) << "disabled";
    label->setEnabled(true);
    EXPECT_EQ(shownAt(labelSpot()), kTextColor) << "enabled again";

    label->setText("");
    EXPECT_EQ(shownAt(labelSpot()), behindLabel()) << "no text";
    label->setText("Sec(s)");
    EXPECT_EQ(shownAt(labelSpot()), kTextColor) << "text again";

    label->setVisible(false);
    EXPECT_EQ(shownAt(labelSpot()), behindLabel()) << "hidden";
    label->setVisible(true);
    EXPECT_EQ(shownAt(labelSpot()), kTextColor) << "shown again";
}

TEST_P(WindowlessRepaintTest, ColourPlaceAndFontShowAtOnce) {
    label->setForeColor(kOtherTextColor);
    EXPECT_EQ(shownAt(labelSpot()), kOtherTextColor) << "new colour";

    // Moved: the old place shows what is behind, the new one the label.
    label->move(kLabelLeft + 1500, kLabelTop, kLabelWidth, kLabelHeight);
    EXPECT_EQ(shownAt(labelSpot()), behindLabel()) << "where it was";
    EXPECT_EQ(shownAt(labelSpot(kLabelLeft + 1500)), kOtherTextColor) << "where it is";

    // A label that sizes itself grows with a larger font, at once.
    label->autoSize = true;
    label->setFontSize(8);
    const int narrow = label->width();
    const Spot beyond = labelSpot(kLabelLeft + 1500 + narrow + 150, kLabelTop, 0);
    EXPECT_EQ(shownAt(beyond), behindLabel());
    label->setFontSize(16);
    ASSERT_GT(label->width(), narrow + 300);
    EXPECT_EQ(shownAt(beyond), kOtherTextColor) << "a larger font";
}

TEST_P(WindowlessRepaintTest, AChangeWhileTheHolderIsHiddenShowsWhenItIsShownAgain) {
    ui::Control* holder = &form;
    if (frame) holder = frame.get();
    if (box) holder = box.get();
    const ui::Color uncovered = holder == &form ? ui::kBlack : kWindowColor;  // the desktop, or the window
    holder->setVisible(false);
    label->setEnabled(false);
    EXPECT_EQ(shownAt(labelSpot()), uncovered);
    holder->setVisible(true);
    EXPECT_EQ(shownAt(labelSpot()), kGrey);
}

INSTANTIATE_TEST_SUITE_P(Holders, WindowlessRepaintTest,
                         ::testing::Values(Holder::Window, Holder::Frame, Holder::PictureBox),
                         [](const ::testing::TestParamInfo<Holder>& info) {
                             switch (info.param) {
                                 case Holder::Window: return std::string("OnAWindow");
                                 case Holder::Frame: return std::string("InAFrame");
                                 case Holder::PictureBox: return std::string("OnAPictureBox");
                             }
                             return std::string();
                         });

// The labels of the settings dialog that its options grey: "Sec(s)" beside
// the seconds and "Float Speed" above the slider, both inside frames.
class DialogLabelRepaintTest : public DialogTest {
protected:
    // The middle of a label on the screen: the window's place, then the
    // place of each container inside it.
    ui::Color shownOn(const ui::Label& label) {
        int left = label.left() + label.width() / 2;
        int top = label.top() + label.height() / 2;
        for (const ui::Control* c = label.parent(); c && c->kind() != ui::ControlKind::Window; c = c->parent()) {
            left += c->left();
            top += c->top();
        }
        const ui::Window& window = dialog->form2;
        const auto shot = platform.screenshot();
        return platform::headless::pixelToColor(shot.at((window.left() + left) / 15, (window.top() + top) / 15));
    }
};

TEST_F(DialogLabelRepaintTest, SecondsLabelGreysWithNeverAndComesBackWithAfter) {
    openSample();  // "After..." is chosen in the file
    const auto& seconds = c<ui::Label>("Label3(5)");
    const ui::Color normal = shownOn(seconds);
    ASSERT_NE(normal, kGrey);

    ASSERT_TRUE(act([&] { c<ui::OptionButton>("nChange").userClick(); }));
    EXPECT_EQ(shownOn(seconds), kGrey) << "after Never";
    ASSERT_TRUE(act([&] { c<ui::OptionButton>("aChange").userClick(); }));
    EXPECT_EQ(shownOn(seconds), normal) << "after After...";
}

TEST_F(DialogLabelRepaintTest, FloatSpeedLabelFollowsTheMovementOption) {
    openSample();  // centred: the speed is greyed from the first paint
    const auto& speed = c<ui::Label>("Label5(2)");
    EXPECT_EQ(shownOn(speed), kGrey);
    ASSERT_TRUE(act([&] { c<ui::OptionButton>("pRandom").userClick(); }));
    const ui::Color normal = shownOn(speed);
    EXPECT_NE(normal, kGrey) << "after Float";
    ASSERT_TRUE(act([&] { c<ui::OptionButton>("pCenter").userClick(); }));
    EXPECT_EQ(shownOn(speed), kGrey) << "after Center";
}

}  // namespace
}  // namespace vistrel::testing
