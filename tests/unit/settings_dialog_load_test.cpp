// The dialog's load step: every control and pending setting filled from the
// file, the order of its steps and their consequences, the first start, and
// hand-edited values outside a control's range.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace vistrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class DialogLoadTest : public DialogTest {};

TEST_F(DialogLoadTest, SampleFileFillsEveryControlAndPendingSetting) {
    SampleSettings settings;
    settings.randomPick = "1";
    settings.backEffect = "1";
    settings.effectMode = "6";
    settings.randomEffect = "1";
    settings.picRandom = "rand";
    settings.saverPassword = "Secret";
    settings.saverEnabled = "1";
    openSample(settings);

    const auto& list = c<ui::ListBox>("List1");
    ASSERT_EQ(list.listCount(), 2);
    EXPECT_EQ(list.list(1), "C:\\Pictures\\b.gif");
    EXPECT_EQ(list.listIndex(), 0);
    EXPECT_EQ(c<ui::ListBox>("photo_caption").list(1), "Second");
    EXPECT_EQ(c<ui::TextBox>("p_caption").text(), "First");
    EXPECT_EQ(c<ui::TextBox>("Text3").text(), "2");
    EXPECT_EQ(c<ui::CheckBox>("Random_select").value(), 1);
    EXPECT_EQ(c<ui::PictureBox>("Picture1").backColor(), 255u);
    EXPECT_EQ(c<ui::ComboBox>("Combo1").listIndex(), 1);
    EXPECT_FALSE(c<ui::Button>("backColorClick").enabled());
    EXPECT_TRUE(c<ui::OptionButton>("pRandom").value());
    EXPECT_TRUE(c<ui::Slider>("Slider1").enabled());
    EXPECT_EQ(c<ui::Slider>("Slider1").value(), 3);
    EXPECT_TRUE(c<ui::OptionButton>("aChange").value());
    EXPECT_EQ(c<ui::TextBox>("Text2").text(), "5");
    EXPECT_EQ(c<ui::ScrollBar>("changeVScroll1").value(), 5);
    EXPECT_EQ(c<ui::ComboBox>("TransitionsCbx").listIndex(), 6);
    EXPECT_EQ(c<ui::CheckBox>("RndTranCheck").value(), 1);
    EXPECT_FALSE(c<ui::ComboBox>("TransitionsCbx").enabled());
    for (const char* name : {"SS_password", "SS_Confirm"}) {
        const auto& box = c<ui::TextBox>(name);
        EXPECT_EQ(box.text(), "Secret") << name;
        EXPECT_TRUE(box.enabled()) << name;
        EXPECT_EQ(box.backColor(), ui::systemColor(5)) << name;
    }
    EXPECT_EQ(c<ui::PictureBox>("Picture2").backColor(), 65535u);
    EXPECT_EQ(dialog->colorDialogColor(), 255u);
    const platform::FontChoice& font = dialog->fontDialogFont();
    EXPECT_EQ(font.name, "Times New Roman");
    EXPECT_EQ(font.sizePoints, 14);
    EXPECT_TRUE(font.bold && font.underline && !font.italic && !font.strikethrough);
    EXPECT_EQ(font.color, 65535u);

    EXPECT_THAT(pendingTexts(dialog->pending),
                ElementsAre("1", "255", "1", "3", "5", "rand", "ch", "6", "1", "1", "0", "", "Secret", "1",
                            "Times New Roman", "14", "True", "False", "True", "False", "65535"));
    EXPECT_EQ(dialog->pending.confirmPassword, "Secret");
    EXPECT_THAT(messageTexts(), IsEmpty());
}

TEST_F(DialogLoadTest, SettingControlsRaisesTheirHandlersInTheOrderOfTheSteps) {
    openSample();
    EXPECT_THAT(
        platform.callsStartingWith({"ReadFile", "List1.", "photo_caption.", "Text3.", "Combo1.", "backColorClick.",
                                    "pCenter.", "Slider1.", "Label5(2).", "aChange.", "Text2.", "changeVScroll1.",
                                    "Label3(5).", "Random_select.", "TransitionsCbx.", "SS_", "Picture", "LoadPicture",
                                    "p_caption.", "photo", "BitBlt"}),
        // Only real changes show: "After..." finds the seconds box already
        // enabled, and the password boxes were designed disabled. The file's
        // interval in the seconds box moves the spin control at once. The
        // user's own file is looked for first.
        ElementsAre("ReadFile(C:\\Users\\tester\\AppData\\Roaming\\Vistrel\\vistrel.ini)",
                    "ReadFile(C:\\Program Files\\Vistrel\\vistrel.ini)", "List1.Clear()",
                    "List1.AddItem(\"C:\\Pictures\\a.jpg\")", "List1.AddItem(\"C:\\Pictures\\b.gif\")",
                    "photo_caption.Clear()", "photo_caption.AddItem(\"First\")", "photo_caption.AddItem(\"Second\")",
                    "Text3.Text = 2", "Picture1.BackColor = 255", "Combo1.ListIndex = 0", "pCenter.Value = True",
                    "Slider1.Enabled = False", "Label5(2).Enabled = False", "Slider1.Value = 3",
                    "aChange.Value = True", "Text2.Text = 5", "changeVScroll1.Value = 5",
                    "TransitionsCbx.ListIndex = 0", "SS_password.BackColor = System(22)",
                    "SS_Confirm.BackColor = System(22)", "Picture2.BackColor = 65535", "List1.ListIndex = 0",
                    "p_caption.Text = First", "photo.Cls()", "photo1.Cls()",
                    "LoadPictureInBackground(C:\\Pictures\\a.jpg)",
                    // The thumbnail, once decoded.
                    "photo.Picture = 40 x 30", "photo.Bounds = 7080, 5160, 660, 510",
                    "BitBlt(hdc:photo1, 0, 0, 40, 30, hdc:photo, 0, 0, SRCCOPY)"));
}

TEST_F(DialogLoadTest, NeverChangeLoadsWithRandomOrderOffAndTheStoredInterval) {
    std::string text = SampleSettings{}.text();
    text = replaced(text, "picChange=ch", "picChange=not_ch");
    text = replaced(text, "randomPick=0", "randomPick=1");
    putSamplePictures(platform);
    open(text);

    EXPECT_TRUE(c<ui::OptionButton>("nChange").value());
    EXPECT_EQ(c<ui::CheckBox>("Random_select").value(), 0);
    EXPECT_FALSE(c<ui::CheckBox>("Random_select").enabled());
    EXPECT_EQ(dialog->pending[settings::Option::randomPick], "0");
    // The seconds box and the spin control show the stored interval, but
    // what is saved is what "Never" means: the saver reads only the interval.
    EXPECT_EQ(dialog->pending[settings::Option::timeInterval], "0");
    EXPECT_EQ(c<ui::TextBox>("Text2").text(), "5");
    EXPECT_EQ(c<ui::ScrollBar>("changeVScroll1").value(), 5);
    EXPECT_FALSE(c<ui::TextBox>("Text2").enabled());
    EXPECT_EQ(c<ui::TextBox>("Text2").backColor(), ui::systemColor(22));
    EXPECT_FALSE(c<ui::ScrollBar>("changeVScroll1").enabled());
    // "After..." takes the seconds shown.
    c<ui::OptionButton>("aChange").setValue(true);
    EXPECT_EQ(dialog->pending[settings::Option::timeInterval], "5");
}

TEST_F(DialogLoadTest, PanAndZoomAndTheBlurredPictureAreKeptAsTheyAre) {
    std::string text = SampleSettings{}.text();
    text = replaced(text, "picRandom=cent", "picRandom=pan");
    text = replaced(text, "backEffect=0", "backEffect=2");
    putSamplePictures(platform);
    open(text);

    // The movement frame has no option for pan and zoom: none is selected,
    // and nothing rewrites the setting until one is chosen.
    EXPECT_FALSE(c<ui::OptionButton>("pCenter").value());
    EXPECT_FALSE(c<ui::OptionButton>("pRandom").value());
    EXPECT_FALSE(c<ui::Slider>("Slider1").enabled());
    EXPECT_EQ(dialog->pending[settings::Option::picRandom], "pan");
    EXPECT_EQ(c<ui::ComboBox>("Combo1").listIndex(), 2);
    EXPECT_EQ(dialog->pending[settings::Option::backEffect], "2");
    EXPECT_FALSE(c<ui::Button>("backColorClick").enabled());

    c<ui::OptionButton>("pRandom").userClick();
    EXPECT_EQ(dialog->pending[settings::Option::picRandom], "rand");
    EXPECT_TRUE(c<ui::Slider>("Slider1").enabled());
}

TEST_F(DialogLoadTest, TotalBeyondTheListedImagesListsEmptyEntries) {
    SampleSettings settings;
    settings.total = "3";
    putSamplePictures(platform);
    open(settings.text());
    const auto& list = c<ui::ListBox>("List1");
    ASSERT_EQ(list.listCount(), 3);
    EXPECT_EQ(list.list(2), "");
    EXPECT_EQ(c<ui::ListBox>("photo_caption").listCount(), 3);
    EXPECT_EQ(c<ui::TextBox>("Text3").text(), "3");
}

TEST_F(DialogLoadTest, FirstStartShowsTheSaversFallbacksAndSelectsNothing) {
    open(std::nullopt);

    EXPECT_EQ(c<ui::ListBox>("List1").listCount(), 0);
    EXPECT_EQ(c<ui::ListBox>("List1").listIndex(), -1);
    EXPECT_EQ(c<ui::TextBox>("Text3").text(), "0");
    EXPECT_EQ(c<ui::TextBox>("p_caption").text(), "");
    EXPECT_THAT(messageTexts(), IsEmpty());
    EXPECT_THAT(platform.callsStartingWith({"LoadPicture"}), IsEmpty());

    EXPECT_EQ(c<ui::PictureBox>("Picture1").backColor(), ui::kBlack);
    EXPECT_EQ(c<ui::PictureBox>("Picture2").backColor(), ui::kWhite);
    EXPECT_EQ(c<ui::ComboBox>("Combo1").listIndex(), 0);
    EXPECT_TRUE(c<ui::OptionButton>("pCenter").value());
    EXPECT_TRUE(c<ui::OptionButton>("aChange").value());
    EXPECT_EQ(c<ui::ScrollBar>("changeVScroll1").value(), 2);
    EXPECT_EQ(c<ui::TextBox>("Text2").text(), "2");
    EXPECT_EQ(c<ui::ComboBox>("TransitionsCbx").listIndex(), 0);
    EXPECT_EQ(c<ui::CheckBox>("Password_enabled").value(), 0);
    EXPECT_EQ(dialog->fontDialogFont().name, "Arial");
    EXPECT_EQ(dialog->fontDialogFont().sizePoints, 20);

    // The first-start values.
    EXPECT_THAT(pendingTexts(dialog->pending),
                ElementsAre("0", "0", "0", "3", "2", "cent", "ch", "0", "0", "1", "0", "", "", "0", "Arial", "20",
                            "False", "False", "False", "False", "16777215"));
}

TEST_F(DialogLoadTest, ValuesOutOfRangeAreShownAtTheNearestSetting) {
    struct Case {
        const char* from;
        const char* to;
    };
    const Case edits[] = {
        {"backEffect=0", "backEffect=7"},       {"effectMode=0", "effectMode=12"},
        {"timeInterval=5", "timeInterval=300"}, {"picSpeed=3", "picSpeed=9"},
        {"newBackColor=255", "newBackColor=red"}, {"newFontSize=14", "newFontSize=-4"},
    };
    std::string text = SampleSettings{}.text();
    for (const Case& edit : edits) text = replaced(text, edit.from, edit.to);
    putSamplePictures(platform);
    open(text);

    EXPECT_EQ(c<ui::ComboBox>("Combo1").listIndex(), 1);
    EXPECT_EQ(c<ui::ComboBox>("TransitionsCbx").listIndex(), 8);
    EXPECT_EQ(c<ui::ScrollBar>("changeVScroll1").value(), 60);
    EXPECT_EQ(c<ui::TextBox>("Text2").text(), "60");
    EXPECT_EQ(c<ui::Slider>("Slider1").value(), 5);
    const dialog::PendingSettings& p = dialog->pending;
    using settings::Option;
    EXPECT_THAT((std::vector<std::string>{p[Option::backEffect], p[Option::effectMode], p[Option::timeInterval],
                                          p[Option::picSpeed], p[Option::newBackColor], p[Option::newFontSize]}),
                ElementsAre("1", "8", "60", "5", "0", "20"));

    // The other end of each range.
    std::string low = SampleSettings{}.text();
    for (const Case& edit : {Case{"effectMode=0", "effectMode=-3"}, Case{"timeInterval=5", "timeInterval=-1"},
                             Case{"picSpeed=3", "picSpeed=-2.5"}}) {
        low = replaced(low, edit.from, edit.to);
    }
    dialog.reset();
    open(low);
    EXPECT_EQ(dialog->pending[settings::Option::effectMode], "0");
    EXPECT_EQ(dialog->pending[settings::Option::timeInterval], "0");
    EXPECT_EQ(dialog->pending[settings::Option::picSpeed], "0");
}

}  // namespace
}  // namespace vistrel::testing
