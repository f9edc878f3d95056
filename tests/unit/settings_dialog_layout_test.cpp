// The settings dialog as designed: every control made with its kind,
// container, place, size, tab index, caption and tip, its state before the
// load step, the focus and the placement on the screen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace vistrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class DialogLayoutTest : public DialogTest {
protected:
    // The dialog's window loaded without its load step: the designed state.
    void loadDesigned() {
        dialog = std::make_unique<dialog::SettingsDialog>(platform);
        dialog->form2.onLoad = nullptr;
        dialog->form2.load();
    }
};

TEST_F(DialogLayoutTest, ControlsAreMadeAsTheLayoutTableSays) {
    loadDesigned();
    // Made as a window loads: each container, then what it holds.
    const std::vector<std::string> expected = {
        "Window Form2: 0, 0, 0, 0; \" Vistrel Screen Saver\"",
        "Frame photoDisplay in Form2: 120, 120, 3975, 5775; tab 20; \"Image \"",
        "PictureBox photo1 in photoDisplay: 240, 360, 3375, 1815; tab 30; tip \"Thumbnail preview\"",
        "Label Label5(5) in photoDisplay: 120, 2280, 1935, 255; tab 34; \"Image Caption\"",
        "TextBox p_caption in photoDisplay: 120, 2520, 3735, 285; tab 29; tip \"Image caption\"",
        "Button caption_clear in photoDisplay: 120, 2880, 975, 375; tab 28; \"&Clear\"; tip \"Clear caption\"",
        "Button font in photoDisplay: 1200, 2880, 1335, 375; tab 27; \"&Font Style\"; tip \"Font type, color and size\"",
        "Label Label4(1) in photoDisplay: 2800, 2900, 855, 255; tab 31; \"Font Color\"",
        "PictureBox Picture2 in photoDisplay: 3600, 2880, 255, 255; tab 21; tip \"Font color\"",
        "Label Label5(1) in photoDisplay: 120, 3600, 1935, 255; tab 32; \"Loaded Image(s)\"",
        "Label Label4(0) in photoDisplay: 3030, 3510, 495, 255; tab 33; \"Total\"",
        "TextBox Text3 in photoDisplay: 3480, 3480, 375, 285; tab 22; tip \"Image amount\"",
        "ListBox List1 in photoDisplay: 120, 3840, 3735, 1320; tab 23; tip \"Loaded image(s)\"",
        "Button add in photoDisplay: 120, 5280, 1095, 375; tab 24; \"&Add\"; tip \"Load an image\"",
        "Button remove in photoDisplay: 1320, 5280, 1095, 375; tab 25; \"&Remove\"; tip \"Remove an image\"",
        "Button RemoveAll in photoDisplay: 2520, 5280, 1335, 375; tab 26; \"R&emove All\"; tip \"Remove all images\"",
        "Frame Frame2 in Form2: 4200, 120, 2655, 1695; tab 14; \"Background \"",
        "ComboBox Combo1 in Frame2: 120, 360, 2295, 315; tab 15; tip \"Background\"",
        "Label Label1(1) in Frame2: 360, 840, 1695, 255; tab 18; \"Background Color\"",
        "PictureBox Picture1 in Frame2: 360, 1080, 255, 255; tab 17; tip \"Background color\"",
        "Button backColorClick in Frame2: 720, 1080, 1455, 375; tab 16; \"&Choose color...\"; tip \"Background color\"",
        "Frame placement in Form2: 6960, 120, 1695, 1695; tab 9; \"Movement\"",
        "OptionButton pCenter in placement: 360, 240, 975, 315; tab 10; \"&Center\"",
        "OptionButton pRandom in placement: 360, 600, 855, 285; tab 11; \"&Float\"",
        "Label Label5(2) in placement: 360, 960, 1095, 255; tab 13; \"Float Speed\"",
        "Slider Slider1 in placement: 240, 1200, 1215, 450; tab 12; tip \"Float speed of image\"",
        "Frame Frame1 in Form2: 4200, 1920, 4455, 1575; tab 4; \"Change Image\"",
        "OptionButton nChange in Frame1: 240, 240, 855, 255; tab 6; \"&Never\"",
        "OptionButton aChange in Frame1: 1080, 240, 855, 255; tab 5; \"&After...\"",
        "TextBox Text2 in Frame1: 560, 660, 375, 375; tab 7",
        "ScrollBar changeVScroll1 in Frame1: 950, 660, 255, 375; tab 44",
        "Label Label3(5) in Frame1: 1260, 765, 615, 315; tab 8; \"Sec(s)\"",
        "CheckBox Random_select in Frame1: 360, 1250, 1695, 195; tab 43; \"Random Order\"; "
        "tip \"Display images in random order\"",
        "Label Label7 in Frame1: 2360, 240, 1095, 255; tab 47; \"Transitions\"",
        "ComboBox TransitionsCbx in Frame1: 2360, 480, 1935, 315; tab 45; tip \"Transitions\"",
        "CheckBox RndTranCheck in Frame1: 2400, 1080, 1815, 195; tab 46; \"Random Transitions\"; "
        "tip \"Display Transitions at Random\"",
        "Frame Password in Form2: 4200, 3600, 4455, 1335; tab 37; \"Password Protection / Message Board\"",
        "CheckBox Password_enabled in Password: 240, 200, 1455, 375; tab 38; \"Enabled\"",
        "Label Label2 in Password: 480, 600, 735, 255; tab 41; \"Password\"",
        "TextBox SS_password in Password: 1320, 600, 2895, 285; tab 39; disabled",
        "Label Label6 in Password: 600, 960, 615, 255; tab 42; \"Confirm\"",
        "TextBox SS_Confirm in Password: 1320, 960, 2895, 285; tab 40; disabled",
        "Button Ok in Form2: 6000, 5520, 1215, 375; tab 1; \"&OK\"",
        "Button Cancel in Form2: 7320, 5520, 1215, 375; tab 0; \"&Cancel\"",
        "Button addFolder in Form2: 4200, 5040, 1815, 375; tab 48; \"Add Fol&der...\"; "
        "tip \"Add a folder: every picture in it and in its subfolders, also those put there later\"",
        "StatusBar SS_StatusBar in Form2: 0, 6000, 8820, 270; tab 36",
        "PictureBox photo in Form2: 7080, 5160, 135, 135; tab 35; hidden",
        "ListBox photo_caption in Form2: 7320, 5160, 255, 255; tab 19; hidden",
        "Button moreOptions in Form2: 4200, 5520, 1695, 375; tab 49; \"&More options...\"; tip \"More options\"",
    };
    EXPECT_THAT(platform.createdControls(), ElementsAreArray(expected));
}

TEST_F(DialogLayoutTest, BeforeTheLoadNothingIsSelectedCheckedOrFilled) {
    loadDesigned();
    const ui::Window& form = dialog->form2;
    EXPECT_EQ(form.interiorWidth, 8820);
    EXPECT_EQ(form.interiorHeight, 6270);
    EXPECT_EQ(form.borderStyle, ui::BorderStyle::FixedSingle);
    EXPECT_TRUE(form.controlBox && form.minButton && form.maxButton && form.showInTaskbar);

    for (const char* name : {"pCenter", "pRandom", "nChange", "aChange"}) {
        EXPECT_FALSE(c<ui::OptionButton>(name).value()) << name;
    }
    for (const char* name : {"Random_select", "RndTranCheck", "Password_enabled"}) {
        EXPECT_EQ(c<ui::CheckBox>(name).value(), 0) << name;
    }
    EXPECT_EQ(c<ui::ListBox>("List1").listCount(), 0);
    EXPECT_EQ(c<ui::ListBox>("photo_caption").listCount(), 0);

    const auto& transitions = c<ui::ComboBox>("TransitionsCbx");
    EXPECT_EQ(transitions.listIndex(), -1);
    ASSERT_EQ(transitions.listCount(), 9);
    const char* names[] = {"Standard",          "Left wipe",       "Right wipe",
                           "Right & Left wipe", "Up & down wipe",  "Center wipe",
                           "Horizontal blinds", "Vertical blinds", "Crossfade"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(transitions.list(i), names[i]);
        EXPECT_EQ(transitions.itemData(i), i);
    }
    const auto& background = c<ui::ComboBox>("Combo1");
    EXPECT_EQ(background.listIndex(), -1);
    ASSERT_EQ(background.listCount(), 3);
    EXPECT_EQ(background.list(0), "Background Color (below)");
    EXPECT_EQ(background.list(1), "Desktop");
    EXPECT_EQ(background.list(2), "Blurred Picture");
    EXPECT_EQ(background.itemData(2), 2);

    const auto& spin = c<ui::ScrollBar>("changeVScroll1");
    EXPECT_EQ(spin.min(), 60);  // the top end
    EXPECT_EQ(spin.max(), 0);
    EXPECT_EQ(spin.value(), 2);
    const auto& slider = c<ui::Slider>("Slider1");
    EXPECT_EQ(slider.min(), 0);
    EXPECT_EQ(slider.max(), 5);

    for (const char* name : {"SS_password", "SS_Confirm"}) {
        const auto& box = c<ui::TextBox>(name);
        EXPECT_EQ(box.passwordChar, '*') << name;
        EXPECT_TRUE(box.inputMethodOff) << name;
    }
    EXPECT_EQ(c<ui::ListBox>("List1").font, (ui::Font{"Times New Roman", 6.75}));
    EXPECT_EQ(c<ui::TextBox>("Text2").font, (ui::Font{"MS Sans Serif", 9.75}));
    EXPECT_EQ(c<ui::Frame>("placement").backColor(), ui::systemColor(10));
    EXPECT_EQ(c<ui::OptionButton>("pCenter").backColor(), ui::systemColor(10));
    EXPECT_EQ(c<ui::OptionButton>("pRandom").backColor(), ui::systemColor(10));
    EXPECT_EQ(c<ui::Frame>("placement").foreColor(), ui::systemColor(8));
    const auto& loader = c<ui::PictureBox>("photo");
    EXPECT_TRUE(loader.autoSize);
    EXPECT_EQ(loader.borderStyle, ui::BorderStyle::FixedSingle);
    EXPECT_EQ(c<ui::PictureBox>("photo1").borderStyle, ui::BorderStyle::None);
}

TEST_F(DialogLayoutTest, StatusBarHasThreePanelsAndAClockThatKeepsItselfCurrent) {
    platform.setTimeOfDay(14 * 3600 + 5 * 60 + 30);
    loadDesigned();
    const auto& bar = c<ui::StatusBar>("SS_StatusBar");
    ASSERT_EQ(bar.panels.size(), 3u);
    EXPECT_EQ(bar.panels[0].width, 3500);
    EXPECT_EQ(bar.panels[1].width, 3500);
    EXPECT_EQ(bar.panels[2].width, 1790);
    EXPECT_EQ(platform.statusPanelText(bar, 1), "Vistrel Version 3.0");
    EXPECT_FALSE(platform.statusPanelText(bar, 0).empty());
    EXPECT_EQ(platform.statusPanelText(bar, 2), "14:05");
    for (const auto& panel : bar.panels) EXPECT_TRUE(panel.toolTipIsText);
    platform.advance(60'000);
    EXPECT_EQ(platform.statusPanelText(bar, 2), "14:06");
}

TEST_F(DialogLayoutTest, FocusStartsOnCancelAndTabMovesItToOk) {
    openSample();
    EXPECT_EQ(platform.focusedControl(), &c<ui::Button>("Cancel"));
    platform.userTab(dialog->form2);
    EXPECT_EQ(platform.focusedControl(), &c<ui::Button>("Ok"));
    platform.userTab(dialog->form2, true);
    platform.userTab(dialog->form2, true);
    // Backwards from Cancel: the last stop, "More options..." (tab 49), then
    // "Add Folder..." (tab 48).
    EXPECT_EQ(platform.focusedControl(), &c<ui::Button>("moreOptions"));
    platform.userTab(dialog->form2, true);
    EXPECT_EQ(platform.focusedControl(), &c<ui::Button>("addFolder"));
    platform.userTab(dialog->form2, true);
    // Before them the last of the window's designed stops, "Random Transitions" (tab 46).
    EXPECT_EQ(platform.focusedControl(), &c<ui::CheckBox>("RndTranCheck"));
    EXPECT_TRUE(dialog->form2.loaded());
}

TEST_F(DialogLayoutTest, TheDialogIsCentredAcrossAndAnEighthOfTheFreeHeightDown) {
    // 800 twips of free height: 100 below the top; 805 twips: still 100.
    struct Case {
        platform::ScreenMetrics screen;
        int top, left;
    };
    const Case cases[] = {
        {{1000, 707, 10, 10}, 100, (10000 - 8820) / 2},
        {{2000, 1415, 5, 5}, 100, (10000 - 8820) / 2},
        {{1024, 768, 15, 15}, (11520 - 6270) / 8, (15360 - 8820) / 2},
    };
    for (const Case& test : cases) {
        platform::headless::HeadlessPlatform screenOfItsOwn;
        screenOfItsOwn.setScreen(test.screen);
        putSamplePictures(screenOfItsOwn);
        screenOfItsOwn.putFile(kSettingsPath, SampleSettings{}.text());
        std::unique_ptr<dialog::SettingsDialog> placed;
        ASSERT_TRUE(screenOfItsOwn.run([&] { placed = dialog::OpenSettingsDialog(screenOfItsOwn); }));
        EXPECT_EQ(placed->form2.top(), test.top);
        EXPECT_EQ(placed->form2.left(), test.left);
    }
}

}  // namespace
}  // namespace vistrel::testing
