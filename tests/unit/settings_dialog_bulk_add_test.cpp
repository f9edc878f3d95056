// Many pictures in one step: several files chosen in the file dialog, files
// dropped on the dialog, each checked by its header alone, and folders
// dropped, each one entry; the one summary; the limit of the list; progress
// and Esc in a long add.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog/bulk_add.h"
#include "dialog_test_support.h"
#include "platform/headless/headless_platform.h"

namespace vistrel::testing {
namespace {

using platform::MessageBoxAnswer;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

constexpr int kEscape = 0x1B;
constexpr std::uint32_t kGreenRgb = 0x00FF00;

class BulkAddTest : public DialogTest {
protected:
    ui::ListBox& list() { return c<ui::ListBox>("List1"); }
    ui::ListBox& captions() { return c<ui::ListBox>("photo_caption"); }
    std::string count() { return c<ui::TextBox>("Text3").text(); }
    std::string status() { return platform.statusPanelText(c<ui::StatusBar>("SS_StatusBar"), 0); }
    std::vector<std::string> entries(ui::ListControl& items) {
        std::vector<std::string> texts;
        for (int i = 0; i < items.listCount(); ++i) texts.push_back(items.list(i));
        return texts;
    }
    void drop(const std::vector<std::string>& paths) { ASSERT_TRUE(platform.dropFiles(dialog->form2, paths)); }
    // Every image has its own caption entry, and Text3 counts them.
    void expectAligned() {
        EXPECT_EQ(captions().listCount(), list().listCount());
        EXPECT_EQ(count(), std::to_string(list().listCount()));
    }
    std::vector<std::string> decoded() const { return platform.callsStartingWith({"LoadPicture"}); }
};

TEST_F(BulkAddTest, SeveralChosenFilesAreAddedInTheirOrderAndOnlyTheLastIsDecoded) {
    openSample();
    platform.putFile("C:\\Pictures\\d.bmp", bmpFile(12, 8, kRedRgb));
    platform.putFile("C:\\Pictures\\c.bmp", bmpFile(10, 10, kBlueRgb));
    platform.putFile("C:\\Pictures\\notes.bmp", "shopping list: milk, eggs");
    platform.putFile("C:\\Pictures\\e.bmp", bmpFile(16, 9, kGreenRgb));
    platform.clearCalls();
    platform.answerFileDialogFiles({"C:\\Pictures\\d.bmp", "C:\\Pictures\\c.bmp", "C:\\Pictures\\a.jpg",
                                    "C:\\Pictures\\notes.bmp", "C:\\Pictures\\e.bmp"});
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    c<ui::Button>("add").userClick();

    EXPECT_THAT(entries(list()), ElementsAre("C:\\Pictures\\a.jpg", "C:\\Pictures\\b.gif", "C:\\Pictures\\d.bmp",
                                             "C:\\Pictures\\c.bmp", "C:\\Pictures\\e.bmp"));
    EXPECT_THAT(entries(captions()), ElementsAre("First", "Second", "", "", ""));
    EXPECT_EQ(list().listIndex(), 4);
    expectAligned();
    // Headers only; the listed file is not even opened; one decode, for the thumbnail.
    EXPECT_THAT(platform.callsStartingWith({"ReadPictureHeader("}),
                ElementsAre("ReadPictureHeader(C:\\Pictures\\d.bmp)", "ReadPictureHeader(C:\\Pictures\\c.bmp)",
                            "ReadPictureHeader(C:\\Pictures\\notes.bmp)", "ReadPictureHeader(C:\\Pictures\\e.bmp)"));
    EXPECT_THAT(decoded(), ElementsAre("LoadPictureInBackground(C:\\Pictures\\e.bmp)"));
    ASSERT_TRUE(settle());
    const auto* preview = platform.surfaceOf(c<ui::PictureBox>("photo1"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(platform::headless::pixelToColor(preview->at(15, 8)), kGreenRgb);
    EXPECT_THAT(messageTexts(), ElementsAre("3 pictures were added to the list.\r\n\r\nLeft out:\r\n"
                                            "1 not a picture or damaged\r\n1 already in the list"));
}

TEST_F(BulkAddTest, ABulkAddWithNothingLeftOutShowsNoMessage) {
    openSample();
    platform.putFile("C:\\Pictures\\c.bmp", bmpFile(10, 10, kBlueRgb));
    platform.putFile("C:\\Pictures\\d.bmp", bmpFile(10, 10, kRedRgb));
    platform.answerFileDialogFiles({"C:\\Pictures\\c.bmp", "C:\\Pictures\\d.bmp"});
    c<ui::Button>("add").userClick();
    EXPECT_THAT(messageTexts(), IsEmpty());
    EXPECT_EQ(list().listCount(), 4);
    EXPECT_EQ(list().listIndex(), 3);
    expectAligned();
}

TEST_F(BulkAddTest, ADroppedFolderIsOneEntryAndEachDroppedFileIsCheckedByItsHeader) {
    platform.setPictureFileExtensions({".bmp", ".jpg", ".png", ".heic"});
    openSample();
    platform.putFile("D:\\Photos\\inside.bmp", bmpFile(8, 8, kRedRgb));
    platform.putFile("D:\\Loose\\b.jpg", bmpFile(8, 8, kRedRgb));  // named wrongly, still a picture
    platform.putFile("D:\\Loose\\fake.png", "<html>not a picture</html>");
    platform.putFile("D:\\Loose\\phone.heic", "ftypheic: a format only a decoder of the system reads");
    platform.putFile("D:\\Loose\\phone.jpg", "ftypheic: but named as a JPEG");
    platform.clearCalls();
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    drop({"D:\\Loose\\b.jpg", "D:\\Loose\\fake.png", "c:\\pictures\\A.JPG", "D:\\Loose\\phone.heic",
          "D:\\Loose\\phone.jpg", "D:\\Photos"});

    EXPECT_THAT(entries(list()), ElementsAre("C:\\Pictures\\a.jpg", "C:\\Pictures\\b.gif", "D:\\Loose\\b.jpg",
                                             "D:\\Loose\\phone.heic", "D:\\Photos\\"));
    EXPECT_THAT(entries(captions()), ElementsAre("First", "Second", "", "", ""));
    EXPECT_EQ(list().listIndex(), 4);
    expectAligned();
    // The folder is not walked for the add, nor any picture decoded.
    EXPECT_THAT(platform.callsStartingWith({"ListFolder("}), IsEmpty());
    EXPECT_THAT(decoded(), IsEmpty());
    EXPECT_THAT(messageTexts(), ElementsAre("3 pictures were added to the list.\r\n\r\nLeft out:\r\n"
                                            "2 not a picture or damaged\r\n1 already in the list"));

    // The same folder again, in other letters and with its backslash: listed already.
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    drop({"d:\\photos\\"});
    EXPECT_EQ(list().listCount(), 5);
    expectAligned();
    EXPECT_EQ(messageTexts().back(), "0 pictures were added to the list.\r\n\r\nLeft out:\r\n1 already in the list");
}

TEST_F(BulkAddTest, TheLimitOfTheListIsReachedInTheMiddleOfADrop) {
    SampleSettings nearlyFull;
    nearlyFull.total = std::to_string(dialog::kMaxImages - 2);
    nearlyFull.images.assign(dialog::kMaxImages - 2, "C:\\Pictures\\a.jpg");
    nearlyFull.captions.assign(dialog::kMaxImages - 2, "");
    openSample(nearlyFull);
    std::vector<std::string> five;
    for (int i = 1; i <= 5; ++i) {
        five.push_back("D:\\More\\" + std::to_string(i) + ".bmp");
        platform.putFile(five.back(), bmpFile(4, 4, kRedRgb));
    }
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    drop(five);

    EXPECT_EQ(list().listCount(), dialog::kMaxImages);
    EXPECT_EQ(list().list(dialog::kMaxImages - 1), "D:\\More\\2.bmp");
    EXPECT_EQ(list().listIndex(), dialog::kMaxImages - 1);
    expectAligned();
    EXPECT_THAT(messageTexts(), ElementsAre("2 pictures were added to the list.\r\n\r\nLeft out:\r\n"
                                            "3 over the limit of 32,767 pictures"));
}

TEST_F(BulkAddTest, CaptionsMissingFromTheSettingsFileStayAlignedWithTheirImages) {
    SampleSettings fewerCaptions;
    fewerCaptions.captions = {"First"};
    openSample(fewerCaptions);
    platform.putFile("D:\\New\\n.bmp", bmpFile(4, 4, kRedRgb));
    drop({"D:\\New\\n.bmp"});
    EXPECT_THAT(entries(captions()), ElementsAre("First", "", ""));
    EXPECT_EQ(list().listIndex(), 2);
    expectAligned();
}

TEST_F(BulkAddTest, ADropWhileAMessageBoxWaitsDoesNothing) {
    openSample();
    platform.putFile("D:\\Photos\\p.bmp", bmpFile(4, 4, kRedRgb));
    platform.onMessageBox([&] { platform.dropFiles(dialog->form2, {"D:\\Photos"}); });
    platform.answerMessageBoxes({MessageBoxAnswer::No});
    c<ui::Button>("RemoveAll").userClick();
    EXPECT_EQ(list().listCount(), 2);
    EXPECT_THAT(platform.callsStartingWith({"ReadPictureHeader(", "ListFolder("}), IsEmpty());
    platform.onMessageBox(nullptr);
    drop({"D:\\Photos"});
    EXPECT_EQ(list().listCount(), 3);
}

class LongBulkAddTest : public BulkAddTest {
protected:
    // 300 pictures that take 10 ms each to check: three seconds in all.
    std::vector<std::string> putSlowFiles() {
        std::vector<std::string> paths;
        for (int i = 0; i < 300; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "D:\\Many\\%03d.bmp", i);
            paths.push_back(name);
            platform.putFile(name, bmpFile(2, 2, kRedRgb));
        }
        platform.setHeaderReadCost(10);
        return paths;
    }
};

TEST_F(LongBulkAddTest, ProgressShowsInTheStatusBarAndEscStopsKeepingWhatWasAdded) {
    openSample();
    const auto many = putSlowFiles();
    const std::string statusBefore = status();
    const std::int64_t start = platform.nowMs();
    std::vector<std::string> progress;
    std::int64_t firstYield = -1;
    platform.onDoEvents([&] {
        if (firstYield < 0) firstYield = platform.nowMs() - start;
        progress.push_back(status());
        // A drop meanwhile is not taken; Esc after a second stops the add.
        platform.dropFiles(dialog->form2, {"C:\\Pictures\\a.jpg"});
        if (platform.nowMs() - start >= 1000 && progress.size() < 1000) platform.pressKey(kEscape);
    });
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    drop(many);
    platform.onDoEvents(nullptr);

    // Quiet for half a second, then the progress and events every 50 ms.
    EXPECT_GE(firstYield, 500);
    EXPECT_LT(firstYield, 560);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), "Adding 50 of 300...");
    EXPECT_GE(progress.size(), 10u);
    EXPECT_THAT(progress.back(), StartsWith("Adding 10"));
    const int added = list().listCount() - 2;
    EXPECT_GE(added, 100);
    EXPECT_LT(added, 110);
    EXPECT_EQ(list().list(2), "D:\\Many\\000.bmp");
    EXPECT_EQ(list().listIndex(), list().listCount() - 1);
    expectAligned();
    EXPECT_EQ(status(), statusBefore);
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_EQ(messageTexts()[0], std::to_string(added) + " pictures were added to the list.\r\n\r\nLeft out:\r\n" +
                                     std::to_string(300 - added) + " not looked at: stopped with Esc");
}

TEST_F(LongBulkAddTest, CancelDuringAnAddClosesTheDialogAfterItWithoutWriting) {
    openSample();
    const std::string before = settingsOnDisk();
    const auto many = putSlowFiles();
    platform.onDoEvents([&] { c<ui::Button>("Cancel").userClick(); });
    drop(many);
    platform.onDoEvents(nullptr);
    EXPECT_FALSE(dialog->form2.loaded());
    EXPECT_EQ(platform.fileReplaceCount(), 0u);
    EXPECT_EQ(settingsOnDisk(), before);
    EXPECT_THAT(messageTexts(), IsEmpty());
}

TEST_F(BulkAddTest, OkAfterABulkAddSavesTheWholeListInOneStepAFolderWithItsBackslash) {
    openSample();
    platform.putFile("D:\\Three\\0.bmp", bmpFile(4, 4, kRedRgb));
    platform.putFile("D:\\One.bmp", bmpFile(4, 4, kRedRgb));
    drop({"D:\\Three", "D:\\One.bmp"});
    ASSERT_TRUE(act([&] { c<ui::Button>("Ok").userClick(); }));
    EXPECT_EQ(platform.fileReplaceCount(), 1u);
    const std::string saved = settingsOnDisk();
    EXPECT_THAT(saved, HasSubstr("2=D:\\Three\\\r\n3=D:\\One.bmp\r\n"));
    EXPECT_THAT(saved, HasSubstr("total=4"));
    EXPECT_THAT(saved, HasSubstr("[caption]\r\n0=First\r\n1=Second\r\n2=\r\n3=\r\n"));
}

TEST(BulkAddTexts, CountsWithThousandsAndOnlyTheReasonsThatOccurred) {
    EXPECT_EQ(dialog::withThousands(0), "0");
    EXPECT_EQ(dialog::withThousands(999), "999");
    EXPECT_EQ(dialog::withThousands(1200), "1,200");
    EXPECT_EQ(dialog::withThousands(1234567), "1,234,567");
    EXPECT_EQ(dialog::bulkAddProgressText(1200, 20000), "Adding 1,200 of 20,000...");

    dialog::BulkAddCounts counts;
    counts.offered = 25000;
    counts.added = 19990;
    counts.notPictures = 3;
    counts.duplicates = 1200;
    counts.overLimit = 3807;
    EXPECT_EQ(dialog::bulkAddSummaryText(counts, 32767),
              "19,990 pictures were added to the list.\r\n\r\nLeft out:\r\n3 not a picture or damaged\r\n"
              "1,200 already in the list\r\n3,807 over the limit of 32,767 pictures");
    counts = {.offered = 1, .added = 1};
    EXPECT_FALSE(counts.anythingLeftOut());
    EXPECT_EQ(dialog::bulkAddSummaryText(counts, 32767), "1 picture was added to the list.");
}

TEST(BulkAddRules, TheFilterGivesTheExtensionsAndTheHeaderDecides) {
    const auto extensions = dialog::firstFilterExtensions(dialog::kAddFileFilter);
    EXPECT_EQ(extensions, library::ownPictureExtensions());
    EXPECT_THAT(extensions, ElementsAre(".gif", ".jpg", ".jpeg", ".jpe", ".jfif", ".jif", ".bmp", ".dib", ".png",
                                        ".tif", ".tiff"));
    // The system's further formats join the first pattern list, and only it.
    EXPECT_EQ(dialog::addFileFilter({".bmp", ".heic", ".webp"}),
              "Image files (*.gif;*.jpg;*.jpeg;*.bmp;*.png;*.tif)|"
              "*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.jif;*.bmp;*.dib;*.png;*.tif;*.tiff;*.heic;*.webp|"
              "CompuServe Files (*.gif)|*.gif|Jpeg Files (*.jpg)|*.jpg|Jif files (*.jif)|*.jif|"
              "Windows Bitmap Files (*.bmp)|*.bmp|Windows DIB files (*.dib)|*.dib|"
              "PNG Files (*.png)|*.png|TIFF Files (*.tif;*.tiff)|*.tif;*.tiff");
    const library::PictureExtensions decodable({".jpg", ".heic"});
    platform::PictureFileHeader unknown{platform::FileStatus::Ok, {}};
    EXPECT_TRUE(dialog::takenByExtension(unknown, "D:\\phone.HEIC", decodable));
    EXPECT_FALSE(dialog::takenByExtension(unknown, "D:\\phone.webp", decodable));  // no decoder here
    EXPECT_FALSE(dialog::takenByExtension(unknown, "D:\\damaged.jpg", decodable));
    unknown.status = platform::FileStatus::Missing;
    EXPECT_FALSE(dialog::takenByExtension(unknown, "D:\\phone.heic", decodable));

    platform::PictureFileHeader file{platform::FileStatus::Ok, {}};
    file.header.format = picture::PictureFormat::Png;
    file.header.sizeKnown = true;
    file.header.width = 4000;
    file.header.height = 3000;
    const picture::PictureRequest screen{1024, 768, 0};
    EXPECT_TRUE(dialog::headerPassesCheck(file, screen));
    file.header.width = 40000;  // beyond a side's limit
    EXPECT_FALSE(dialog::headerPassesCheck(file, screen));
    // A sequential JPEG that large is still shown, decoded reduced.
    file.header.format = picture::PictureFormat::Jpeg;
    file.header.jpegSinglePass = true;
    EXPECT_TRUE(dialog::headerPassesCheck(file, screen));
    file.header.jpegSinglePass = false;
    EXPECT_FALSE(dialog::headerPassesCheck(file, screen));
    file.header = {.format = picture::PictureFormat::Bmp, .sizeKnown = true, .width = 10, .height = 10};
    EXPECT_TRUE(dialog::headerPassesCheck(file, screen));
    file.header.impossible = true;
    EXPECT_FALSE(dialog::headerPassesCheck(file, screen));
    file.header.impossible = false;
    file.header.sizeKnown = false;
    EXPECT_FALSE(dialog::headerPassesCheck(file, screen));
    file.header.sizeKnown = true;
    file.status = platform::FileStatus::Missing;
    EXPECT_FALSE(dialog::headerPassesCheck(file, screen));
}

}  // namespace
}  // namespace vistrel::testing
