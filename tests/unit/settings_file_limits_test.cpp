// The limits of the settings file and of the image list: the reader takes
// every file the dialog can write, a save that would pass the reader's limit
// is refused with the old file intact, and a hand-edited list longer than
// the dialog holds is reported when the dialog opens.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dialog_test_support.h"
#include "saver/saver_window.h"
#include "settings/settings_file.h"

namespace vistrel::testing {
namespace {

using platform::MessageBoxAnswer;
using settings::kMaxSettingsFileBytes;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A path of the longest length the file dialog hands (MAX_PATH less its
// terminator), distinct for each index.
std::string longPath(int index) {
    std::string path = "C:\\Users\\Someone With A Long Name\\Pictures\\Holidays\\" + std::to_string(index) + " ";
    path.resize(255, 'x');
    return path + ".jpg";
}

// A caption with letters that take two bytes in the file (it ends in a
// letter: the file keeps no blanks at the end of a value).
std::string longCaption(int index) {
    std::string caption = std::to_string(index) + ":";
    while (caption.size() < 400) caption += " Sonnenuntergang \xC3\xBC" "ber dem Fjord";
    return caption;
}

class SettingsLimitsTest : public DialogTest {
protected:
    void pressOk() { ASSERT_TRUE(act([&] { c<ui::Button>("Ok").userClick(); })); }
};

TEST_F(SettingsLimitsTest, TheLargestListTheDialogHoldsIsSavedAndReadBackByTheSaverAndTheDialog) {
    SampleSettings largest;
    largest.total = std::to_string(dialog::kMaxImages);
    largest.images.clear();
    largest.captions.clear();
    for (int i = 0; i < dialog::kMaxImages; ++i) {
        largest.images.push_back(i == 0 ? "C:\\Pictures\\a.jpg" : longPath(i));
        largest.captions.push_back(longCaption(i));
    }
    openSample(largest);
    ASSERT_EQ(c<ui::ListBox>("List1").listCount(), dialog::kMaxImages);
    pressOk();
    ASSERT_FALSE(dialog->form2.loaded()) << (messageTexts().empty() ? "" : messageTexts().back());
    const std::string saved = settingsOnDisk();
    EXPECT_GT(saved.size(), 16u << 20) << "four times the old limit";
    EXPECT_LE(saved.size(), kMaxSettingsFileBytes);
    const int last = dialog::kMaxImages - 1;

    // The saver reads every entry and shows the first picture with its caption.
    saver::RunValues values;
    saver::SaverWindow saver(platform, values);
    ASSERT_TRUE(platform.run([&] { saver.form1.show(); }));
    ASSERT_EQ(saver.lastIndex, last);
    EXPECT_EQ(saver.imagePaths[static_cast<std::size_t>(last)], longPath(last));
    EXPECT_EQ(saver.imageCaptions[static_cast<std::size_t>(last)], longCaption(last));
    ASSERT_TRUE(platform.advance(600));
    EXPECT_TRUE(saver.picture1.visible());
    EXPECT_EQ(saver.label1.text(), longCaption(0));
    saver.form1.unload();

    // The dialog opens again with all of them.
    open(std::nullopt);
    ASSERT_EQ(c<ui::ListBox>("List1").listCount(), dialog::kMaxImages);
    EXPECT_EQ(c<ui::ListBox>("List1").list(last), longPath(last));
    EXPECT_EQ(c<ui::ListBox>("photo_caption").list(last), longCaption(last));
    EXPECT_EQ(c<ui::TextBox>("p_caption").text(), longCaption(0));
    EXPECT_THAT(messageTexts(), IsEmpty());
}

TEST_F(SettingsLimitsTest, ASaveThatWouldPassTheLimitIsRefusedAndTheOldFileStays) {
    SampleSettings settings;
    const std::string original = settings.text();
    openSample(settings);
    // A caption pasted from somewhere, of 65 MB.
    c<ui::TextBox>("p_caption").userSetText(std::string(65u << 20, 'b'));
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    pressOk();

    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_THAT(messageTexts()[0], HasSubstr("could not be saved"));
    EXPECT_THAT(messageTexts()[0], HasSubstr("66 MB, more than the 64 MB the screen saver reads"));
    EXPECT_TRUE(dialog->form2.loaded());
    EXPECT_EQ(settingsOnDisk(), original);
    EXPECT_EQ(platform.fileReplaceCount(), 0u);
}

TEST_F(SettingsLimitsTest, TheReaderTakesAFileUpToTheLimitAndRefusesOneByteMore) {
    std::string file = crlfLines({"[total]", "total=4", "[padding]"});
    file += std::string(kMaxSettingsFileBytes - file.size() - 2, ';') + "\r\n";
    ASSERT_EQ(file.size(), kMaxSettingsFileBytes);
    platform.putFile(kSettingsPath, file);
    EXPECT_EQ(platform.readFile(kSettingsPath, kMaxSettingsFileBytes).status, platform::FileStatus::Ok);
    // One byte more is refused on its size, before anything is read.
    platform.putFile(kSettingsPath, file + ";");
    EXPECT_EQ(platform.readFile(kSettingsPath, kMaxSettingsFileBytes).status, platform::FileStatus::Failed);
    EXPECT_EQ(settings::SettingsSnapshot(platform, kSettingsPath).ReadSetting("total", "total"), "");
}

TEST_F(SettingsLimitsTest, ATotalAboveWhatTheDialogHoldsIsReportedWhenItOpensAndNothingIsWritten) {
    SampleSettings settings;
    settings.total = "40000";
    settings.images.assign(40000, "C:\\Pictures\\a.jpg");
    settings.captions.assign(40000, "");
    const std::string original = settings.text();
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    openSample(settings);
    EXPECT_EQ(c<ui::ListBox>("List1").listCount(), dialog::kMaxImages);
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_THAT(messageTexts()[0], HasSubstr("lists 40000 images"));
    EXPECT_THAT(messageTexts()[0], HasSubstr("32767 images are loaded; 7233 are left out"));
    EXPECT_EQ(settingsOnDisk(), original);
    ASSERT_TRUE(act([&] { c<ui::Button>("Cancel").userClick(); }));
    EXPECT_EQ(settingsOnDisk(), original);

    // OK is the user's choice to keep what the dialog shows.
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    open(std::nullopt);
    pressOk();
    EXPECT_NE(settingsOnDisk().find("[total]\r\ntotal=32767\r\n"), std::string::npos);
}

TEST_F(SettingsLimitsTest, ATotalThatTheDialogHoldsWholeOrThatIsNotANumberSaysNothing) {
    for (const char* total : {"32767", "2", "many"}) {
        SampleSettings settings;
        settings.total = total;
        openSample(settings);
        EXPECT_THAT(messageTexts(), IsEmpty()) << total;
        dialog.reset();
    }
    // A huge number is counted as it is written.
    SampleSettings huge;
    huge.total = "1e6";
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    openSample(huge);
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_THAT(messageTexts()[0], HasSubstr("1000000 images"));
    EXPECT_THAT(messageTexts()[0], HasSubstr("967233 are left out"));
}

}  // namespace
}  // namespace vistrel::testing
