// Folder entries in the settings dialog: added as one entry by the keyboard
// or the mouse, shown as their path, their first picture as the thumbnail
// and their count in the status bar from a walk off the dialog's thread.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "platform/headless/headless_platform.h"

namespace vistrel::testing {
namespace {

using platform::MessageBoxAnswer;
using platform::headless::pixelToColor;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kAlt = 4;

class DialogFoldersTest : public DialogTest {
protected:
    DialogFoldersTest() { platform.setPictureFileExtensions({".bmp", ".jpg", ".gif"}); }
    ui::ListBox& list() { return c<ui::ListBox>("List1"); }
    std::string status() { return platform.statusPanelText(c<ui::StatusBar>("SS_StatusBar"), 0); }
    std::uint32_t thumbnailAt(int x, int y) {
        return pixelToColor(platform.surfaceOf(c<ui::PictureBox>("photo1"))->at(x, y));
    }
};

TEST_F(DialogFoldersTest, AltDAddsAFolderAsOneEntryWhoseFirstPictureAndCountFollowFromAWalk) {
    platform.putFile("D:\\Trip\\b.bmp", bmpFile(30, 20, kBlueRgb));
    platform.putFile("D:\\Trip\\1 Day\\a.bmp", bmpFile(30, 20, kRedRgb));
    platform.putFile("D:\\Trip\\notes.txt", "not a picture");
    for (int i = 0; i < 1200; ++i) platform.putFile("D:\\Trip\\z\\" + std::to_string(i) + ".jpg", "x");
    platform.setFolderListCost("D:\\Trip\\z", 2000);
    openSample();
    platform.clearCalls();
    platform.answerFolderDialog("D:\\Trip");
    ASSERT_TRUE(platform.pressKey('D', kAlt, 'd'));

    EXPECT_THAT(platform.callsStartingWith({"ChooseFolder("}),
                ElementsAre("ChooseFolder(\"Select a folder of pictures\") -> D:\\Trip"));
    ASSERT_EQ(list().listCount(), 3);
    EXPECT_EQ(list().list(2), "D:\\Trip\\");
    EXPECT_EQ(list().listIndex(), 2);
    EXPECT_EQ(c<ui::TextBox>("Text3").text(), "3");
    EXPECT_EQ(c<ui::ListBox>("photo_caption").listCount(), 3);
    // Nothing read yet on the dialog's own thread.
    EXPECT_EQ(status(), "Counting pictures... 0");
    EXPECT_THAT(platform.callsStartingWith({"ListFolder(", "LoadPicture"}), IsEmpty());

    // The first steps find the first picture in the saver's order.
    ASSERT_TRUE(platform.advance(1));
    EXPECT_THAT(platform.callsStartingWith({"LoadPicture"}),
                ElementsAre("LoadPictureInBackground(D:\\Trip\\1 Day\\a.bmp)"));
    EXPECT_EQ(thumbnailAt(0, 0), kRedRgb);
    EXPECT_EQ(status(), "Counting pictures... 2");
    // The slow subfolder holds up nothing but the count.
    ASSERT_TRUE(platform.advance(2000));
    EXPECT_EQ(status(), "1,202 pictures in this folder");
    EXPECT_THAT(messageTexts(), IsEmpty());

    // A file entry selected: the status bar tells its notice again.
    list().userSelect(0);
    EXPECT_EQ(status(), "Settings of the Vistrel screen saver");
    ASSERT_TRUE(act([&] { c<ui::Button>("Ok").userClick(); }));
    EXPECT_THAT(settingsOnDisk(), HasSubstr("1=C:\\Pictures\\b.gif\r\n2=D:\\Trip\\\r\n"));
    EXPECT_THAT(settingsOnDisk(), HasSubstr("total=3\r\n"));
}

TEST_F(DialogFoldersTest, AMissingOrEmptyFolderIsListedAndCountsNothingWithoutAMessage) {
    openSample();
    platform.answerFolderDialog("E:\\Gone\\");
    c<ui::Button>("addFolder").userClick();
    ASSERT_TRUE(platform.advance(1));
    EXPECT_EQ(list().list(2), "E:\\Gone\\");
    EXPECT_EQ(status(), "No pictures in this folder");
    EXPECT_THAT(messageTexts(), IsEmpty());

    // Cancel in the folder chooser adds nothing and says nothing.
    platform.answerFolderDialog(std::nullopt);
    c<ui::Button>("addFolder").userClick();
    EXPECT_EQ(list().listCount(), 3);
    EXPECT_THAT(messageTexts(), IsEmpty());
}

TEST_F(DialogFoldersTest, AFileNoDecoderTakesIsRefusedWithAMessageNamingItsExtension) {
    openSample();
    platform.putFile("D:\\Phone\\IMG_0001.HEIC", "ftypheic");
    platform.answerFileDialog("D:\\Phone\\IMG_0001.HEIC");
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    c<ui::Button>("add").userClick();
    EXPECT_THAT(messageTexts(),
                ElementsAre("No file has been selected.\r\n\r\nThis computer has no picture decoder for .heic files."));
    EXPECT_EQ(list().listCount(), 2);
}

}  // namespace
}  // namespace vistrel::testing
