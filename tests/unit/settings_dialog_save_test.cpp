// OK and Cancel: the checks and their messages, the exact file OK writes,
// nothing written by Cancel or the close box, and a save that fails.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace vistrel::testing {
namespace {

using platform::MessageBoxAnswer;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DialogSaveTest : public DialogTest {
protected:
    void pressOk() { ASSERT_TRUE(act([&] { c<ui::Button>("Ok").userClick(); })); }
    bool closed() const { return !dialog->form2.loaded(); }
};

TEST_F(DialogSaveTest, OkWritesTheWholeFileForAGivenSetOfEdits) {
    openSample();
    platform.putFile("C:\\Pictures\\c.bmp", bmpFile(8, 8, kRedRgb));
    platform.answerFileDialog("C:\\Pictures\\c.bmp");
    c<ui::Button>("add").userClick();
    c<ui::TextBox>("p_caption").userSetText("Harbour");
    c<ui::ComboBox>("Combo1").userSelect(1);
    c<ui::ComboBox>("TransitionsCbx").userSelect(3);
    c<ui::CheckBox>("Password_enabled").userClick();
    c<ui::TextBox>("SS_password").userSetText("pw");
    c<ui::TextBox>("SS_Confirm").userSetText("pw");
    platform.answerFontDialog(platform::FontChoice{"Courier New", 10.5, false, true, false, true, 255});
    c<ui::Button>("font").userClick();
    pressOk();

    // The sections keep their places; the image and caption lists are written anew at the end.
    EXPECT_EQ(settingsOnDisk(),
              crlfLines({"[total]", "total=3", "[image]", "randomPick=0", "picSpeed=3", "timeInterval=5",
                         "picRandom=cent", "picChange=ch", "effectMode=3", "randomEffect=0", "fitLarge=1",
                         "allMonitors=0", "autoCaption=", "[background]",
                         "newBackColor=255", "backEffect=1", "[password]", "saverPassword=pw", "saverEnabled=1",
                         "[font]", "newFontName=Courier New", "newFontSize=10.5", "newFontBold=False",
                         "newFontItalic=True", "newFontUnderline=False", "newFontFontStrikethru=True",
                         "newFontForeColor=255", "", "[images]", "0=C:\\Pictures\\a.jpg", "1=C:\\Pictures\\b.gif",
                         "2=C:\\Pictures\\c.bmp", "", "[caption]", "0=First", "1=Second", "2=Harbour"}));
    EXPECT_EQ(platform.fileReplaceCount(), 1u);  // one step
    EXPECT_TRUE(closed());
    EXPECT_THAT(messageTexts(), IsEmpty());
}

TEST_F(DialogSaveTest, TheFirstSaveWritesEveryKeyInTheOrderOfTheWrites) {
    open(std::nullopt);
    platform.putFile("C:\\My Pictures\\first.bmp", bmpFile(8, 8, kRedRgb));
    platform.answerFileDialog("C:\\My Pictures\\first.bmp");
    c<ui::Button>("add").userClick();
    pressOk();
    EXPECT_EQ(settingsOnDisk(),
              crlfLines({"[images]", "0=C:\\My Pictures\\first.bmp", "", "[total]", "total=1", "", "[caption]", "0=",
                         "", "[image]", "randomPick=0", "picSpeed=3", "timeInterval=2", "picRandom=cent",
                         "picChange=ch", "effectMode=0", "randomEffect=0", "fitLarge=1", "allMonitors=0",
                         "autoCaption=", "", "[background]", "newBackColor=0",
                         "backEffect=0", "", "[password]", "saverPassword=", "saverEnabled=0", "", "[font]",
                         "newFontName=Arial", "newFontSize=20", "newFontBold=False", "newFontItalic=False",
                         "newFontUnderline=False", "newFontFontStrikethru=False", "newFontForeColor=16777215"}));
}

TEST_F(DialogSaveTest, AShorterListLeavesNoKeysOfTheLongerOne) {
    SampleSettings five;
    five.total = "5";
    five.images.assign(5, "C:\\Pictures\\b.gif");
    five.captions = {"1", "2", "3", "4", "5"};
    openSample(five);
    for (int i = 0; i < 3; ++i) c<ui::Button>("remove").userClick();
    pressOk();
    const std::string saved = settingsOnDisk();
    EXPECT_THAT(saved, ::testing::HasSubstr("total=2\r\n"));
    EXPECT_THAT(saved, ::testing::EndsWith("[images]\r\n0=C:\\Pictures\\b.gif\r\n1=C:\\Pictures\\b.gif\r\n\r\n"
                                           "[caption]\r\n0=4\r\n1=5\r\n"));
}

TEST_F(DialogSaveTest, ChecksRunInOrderAndOnlyTheFirstFailureIsShown) {
    struct Case {
        bool images;
        bool protection;
        const char* password;
        const char* confirm;
        const char* message;  // null: saved
    };
    const Case cases[] = {
        {false, true, "", "", "You need to load at least one image file."},
        {true, true, "", "", "You must enter a 'Password' or uncheck 'Password Protection'."},
        {true, true, "", "x", "The 'Password' and 'Confirm' entries must be the same."},
        {true, true, "Secret", "secret", "The 'Password' and 'Confirm' entries must be the same."},
        {true, false, "one", "two", nullptr},
        {true, true, "Secret", "Secret", nullptr},
    };
    for (const Case& test : cases) {
        platform::headless::HeadlessPlatform fresh;
        putSamplePictures(fresh);
        SampleSettings settings;
        if (!test.images) {
            settings.total = "0";
            settings.images.clear();
            settings.captions.clear();
        }
        fresh.putFile(kSettingsPath, settings.text());
        std::unique_ptr<dialog::SettingsDialog> shown;
        ASSERT_TRUE(fresh.run([&] { shown = dialog::OpenSettingsDialog(fresh); }));
        if (test.protection) shown->control<ui::CheckBox>("Password_enabled").userClick();
        shown->control<ui::TextBox>("SS_password").userSetText(test.password);
        shown->control<ui::TextBox>("SS_Confirm").userSetText(test.confirm);
        if (test.message) fresh.answerMessageBoxes({MessageBoxAnswer::Ok});
        const auto pendingBefore = shown->pending[settings::Option::saverPassword];
        ASSERT_TRUE(fresh.run([&] { shown->control<ui::Button>("Ok").userClick(); }));

        if (test.message) {
            ASSERT_EQ(fresh.messageBoxes().size(), 1u) << test.message;
            EXPECT_EQ(fresh.messageBoxes()[0].text, test.message);
            EXPECT_EQ(fresh.messageBoxes()[0].title, "Vistrel Screen Saver");
            EXPECT_EQ(fresh.fileReplaceCount(), 0u) << test.message;
            EXPECT_TRUE(shown->form2.loaded());
            EXPECT_EQ(shown->pending[settings::Option::saverPassword], pendingBefore);
        } else {
            EXPECT_TRUE(fresh.messageBoxes().empty());
            EXPECT_FALSE(shown->form2.loaded());
            // With protection off the password is stored as typed all the same.
            EXPECT_THAT(*fresh.file(kSettingsPath),
                        ::testing::HasSubstr("saverPassword=" + std::string(test.password) + "\r\n"));
        }
    }
}

TEST_F(DialogSaveTest, CancelAndTheCloseBoxWriteNothing) {
    openSample();
    const std::string before = settingsOnDisk();
    c<ui::ComboBox>("Combo1").userSelect(1);
    c<ui::Button>("remove").userClick();
    ASSERT_TRUE(act([&] { c<ui::Button>("Cancel").userClick(); }));
    EXPECT_TRUE(closed());

    dialog.reset();
    open(before);
    c<ui::ComboBox>("TransitionsCbx").userSelect(7);
    dialog->form2.unload();  // what the window's close box does
    EXPECT_EQ(settingsOnDisk(), before);
    EXPECT_EQ(platform.fileReplaceCount(), 0u);
    EXPECT_THAT(platform.callsStartingWith({"ReplaceFile"}), IsEmpty());
}

TEST_F(DialogSaveTest, AFailedSaveIsReportedAndTheDialogStaysAsItWas) {
    openSample();
    const std::string before = settingsOnDisk();
    c<ui::ComboBox>("Combo1").userSelect(1);
    platform.setWritable(false);
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    pressOk();

    // Refused beside the program, then in the user's own folder: the
    // message names the file tried last.
    EXPECT_THAT(platform.callsStartingWith({"ReplaceFile", "CreateDirectory"}),
                ElementsAre("ReplaceFile(C:\\Program Files\\Vistrel\\vistrel.ini)",
                            "CreateDirectory(C:\\Users\\tester\\AppData\\Roaming\\Vistrel)"));
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_EQ(messageTexts()[0],
              "The settings could not be saved in\r\nC:\\Users\\tester\\AppData\\Roaming\\Vistrel\\vistrel.ini"
              "\r\n\r\nThe disk is write-protected.");
    EXPECT_FALSE(closed());
    EXPECT_EQ(settingsOnDisk(), before);
    EXPECT_EQ(dialog->pending[settings::Option::backEffect], "1");
    EXPECT_EQ(c<ui::ListBox>("List1").listCount(), 2);

    platform.setWritable(true);  // the user freed the disk and presses OK again
    pressOk();
    EXPECT_TRUE(closed());
    EXPECT_THAT(settingsOnDisk(), ::testing::HasSubstr("backEffect=1\r\n"));
}

}  // namespace
}  // namespace vistrel::testing
