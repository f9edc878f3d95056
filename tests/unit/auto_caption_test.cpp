// Captions that write themselves: the list of parts in autoCaption, the
// caption made of them, and the saver showing it for a photo taken on
// 14 July 2024 in the folder "Crete holiday".
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "picture_files.h"
#include "saver/auto_caption.h"
#include "saver/saver_window.h"
#include "settings/caption_parts.h"
#include "test_support.h"

namespace vistrel::testing {
namespace {

using saver::composeCaption;
using settings::CaptionPart;
using settings::CaptionParts;
using settings::captionPartsOf;
using settings::withCaptionPart;

TEST(CaptionParts, TheListTakesItsThreeWordsInAnyCaseAndPassesOverOthers) {
    EXPECT_EQ(captionPartsOf("date,folder,file"), (CaptionParts{true, true, true}));
    EXPECT_EQ(captionPartsOf(" File , DATE "), (CaptionParts{true, false, true}));
    EXPECT_EQ(captionPartsOf("folder,,pan"), (CaptionParts{false, true, false}));
    EXPECT_FALSE(captionPartsOf("").any());
    EXPECT_FALSE(captionPartsOf("dates,files").any());
}

TEST(CaptionParts, ListingOrUnlistingOnePartKeepsTheOthersAndHandEditedWords) {
    EXPECT_EQ(withCaptionPart("", CaptionPart::Date, true), "date");
    EXPECT_EQ(withCaptionPart("file,date", CaptionPart::Folder, true), "date,folder,file");
    EXPECT_EQ(withCaptionPart("date,folder,file", CaptionPart::Date, false), "folder,file");
    EXPECT_EQ(withCaptionPart("Date, sepia", CaptionPart::Date, false), "sepia");
    EXPECT_EQ(withCaptionPart("sepia", CaptionPart::File, true), "file,sepia");
    // Already as asked: the text stays exactly as it was written.
    EXPECT_EQ(withCaptionPart(" File , DATE ", CaptionPart::Date, true), " File , DATE ");
    EXPECT_EQ(withCaptionPart("folder", CaptionPart::File, false), "folder");
}

constexpr const char* kCretePath = "C:\\Photos\\Crete holiday\\IMG_0714.jpg";

TEST(ComposeCaption, EachPartInTheOrderDateFolderFileWhateverTheListsOrder) {
    const saver::CaptionSources photo{.path = kCretePath, .dateText = "14 July 2024"};
    EXPECT_EQ(composeCaption(photo, captionPartsOf("date")), "14 July 2024");
    EXPECT_EQ(composeCaption(photo, captionPartsOf("folder")), "Crete holiday");
    EXPECT_EQ(composeCaption(photo, captionPartsOf("file")), "IMG_0714");
    EXPECT_EQ(composeCaption(photo, captionPartsOf("file,folder,date")),
              "14 July 2024 \xC2\xB7 Crete holiday \xC2\xB7 IMG_0714");
    EXPECT_EQ(composeCaption(photo, {}), "");
    // Without a day only the other parts, without a separator left over.
    const saver::CaptionSources undated{.path = kCretePath};
    EXPECT_EQ(composeCaption(undated, captionPartsOf("date,file")), "IMG_0714");
    EXPECT_EQ(composeCaption(undated, captionPartsOf("date")), "");
}

TEST(ComposeCaption, ACaptionOfItsOwnWinsThenTheEntrysCaption) {
    const CaptionParts all = captionPartsOf("date,folder,file");
    EXPECT_EQ(composeCaption({.ownCaption = "Sunset", .entryCaption = "Crete", .path = kCretePath, .dateText = "x"}, all),
              "Sunset");
    // A picture of a folder entry: the entry's caption, or the parts when it has none.
    EXPECT_EQ(composeCaption({.entryCaption = "Crete", .path = kCretePath}, all), "Crete");
    EXPECT_EQ(composeCaption({.path = kCretePath}, captionPartsOf("folder")), "Crete holiday");
}

TEST(ComposeCaption, FolderAndFileNamesOfPathsOfEveryShape) {
    struct Case {
        const char* path;
        const char* folder;
        const char* file;
    } cases[] = {
        {"C:\\Photos\\beach.jpg", "Photos", "beach"},
        {"C:\\beach.jpg", "", "beach"},  // the root of a drive has no folder name
        {"\\\\server\\share\\beach.jpg", "share", "beach"},
        {"D:/Trips/Crete/beach.JPG", "Crete", "beach"},
        {"C:\\Photos\\archive.tar.gz", "Photos", "archive.tar"},
        {"C:\\Photos\\.hidden", "Photos", ".hidden"},
        {"C:\\Photos\\no extension", "Photos", "no extension"},
        {"C:\\Photos.2024\\beach", "Photos.2024", "beach"},
        {"beach.jpg", "", "beach"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(saver::folderNameOf(c.path), c.folder) << c.path;
        EXPECT_EQ(saver::fileTitleOf(c.path), c.file) << c.path;
    }
}

// The saver on a 400 x 300 screen with one JPEG of 80 x 1000 pixels, which
// is fitted to the screen's height less the caption's bands.
class AutoCaptionSaverTest : public ::testing::Test {
protected:
    void run(const std::string& autoCaption, const std::string& ownCaption, bool dated = true) {
        platform.setScreen({400, 300, 15, 15});
        const std::string jpeg = saved(80, 1000, false, "jpeg", [](int, int) { return 0x4080C0FFu; });
        const ExifMetadata exif{.dateTime = "2025:01:02 10:00:00", .dateTimeOriginal = "2024:07:14 09:30:00"};
        platform.putFile(kCretePath, dated ? withApp1(jpeg, exif.app1()) : jpeg);
        SampleSettings settings;
        settings.total = "1";
        settings.images = {kCretePath};
        settings.captions = {ownCaption};
        settings.autoCaption = autoCaption;
        platform.putFile(kSettingsPath, settings.text());
        window = std::make_unique<saver::SaverWindow>(platform, runValues);
        ASSERT_TRUE(platform.run([&] {
            window->form1.load();
            window->form1.show();
        }));
        ASSERT_TRUE(platform.advance(1500));
    }
    std::string caption() const { return window->label1.visible() ? window->label1.text() : "<hidden>"; }
    int shownHeightPixels() const { return window->picture1.height() / 15; }
    int oneLineBandPixels() { return (window->label1.measure("Ag").height + 14) / 15; }

    platform::headless::HeadlessPlatform platform;
    saver::RunValues runValues;
    std::unique_ptr<saver::SaverWindow> window;
};

TEST_F(AutoCaptionSaverTest, TheDayTakenInTheUsersLongDateFormat) {
    run("date", "");
    EXPECT_EQ(caption(), "14 July 2024");  // DateTimeOriginal, not DateTime
    EXPECT_THAT(platform.callsStartingWith({"GetDateFormatEx("}),
                ::testing::ElementsAre("GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, 2024-07-14) -> "
                                       "14 July 2024"));
}

TEST_F(AutoCaptionSaverTest, FolderAndFileName) {
    run("folder,file", "");
    EXPECT_EQ(caption(), "Crete holiday \xC2\xB7 IMG_0714");
    EXPECT_THAT(platform.callsStartingWith({"GetDateFormatEx("}), ::testing::IsEmpty());
}

TEST_F(AutoCaptionSaverTest, ACaptionOfItsOwnWins) {
    run("date,folder,file", "Sunset over Balos");
    EXPECT_EQ(caption(), "Sunset over Balos");
}

TEST_F(AutoCaptionSaverTest, WhileItIsOnThePictureLeavesTheBandFreeAlsoWithoutACaption) {
    // An undated photo with only the date asked: no caption, band kept.
    run("date", "", false);
    EXPECT_EQ(caption(), "");
    const int band = oneLineBandPixels();
    ASSERT_GT(band, 0);
    EXPECT_EQ(shownHeightPixels(), 300 - 2 * band);
    EXPECT_GE(window->picture1.top(), band * 15);
}

TEST_F(AutoCaptionSaverTest, WhileItIsOffAPictureWithoutCaptionTakesTheWholeHeight) {
    run("", "", false);
    EXPECT_EQ(caption(), "");
    EXPECT_EQ(shownHeightPixels(), 300);
}

}  // namespace
}  // namespace vistrel::testing
