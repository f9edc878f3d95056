// In-memory files, the ANSI code page and the scripted boxes and dialogs
// of the headless backend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/headless/headless_platform.h"

namespace vistrel::platform::headless {
namespace {

using ::testing::ElementsAre;

class HeadlessServicesTest : public ::testing::Test {
protected:
    HeadlessPlatform platform;
};

TEST_F(HeadlessServicesTest, PathsIgnoreLetterCaseAndSlashDirection) {
    platform.putFile("C:\\Program Files\\Vistrel\\vistrel.ini", "[total]");
    const FileContent read = platform.readFile("c:/program files/VISTREL/Vistrel.INI", 1000);
    EXPECT_EQ(read.status, FileStatus::Ok);
    EXPECT_EQ(read.bytes, "[total]");
    EXPECT_EQ(platform.readFile("C:\\Program Files\\Vistrel\\other.ini", 1000).status, FileStatus::Missing);
    platform.removeFile("C:/PROGRAM FILES/vistrel/vistrel.ini");
    EXPECT_FALSE(platform.file("C:\\Program Files\\Vistrel\\vistrel.ini").has_value());
    EXPECT_THAT(platform.callsStartingWith({"ReadFile"}),
                ElementsAre("ReadFile(c:/program files/VISTREL/Vistrel.INI)",
                            "ReadFile(C:\\Program Files\\Vistrel\\other.ini)"));
}

TEST_F(HeadlessServicesTest, LockedOrOversizedFilesFailToRead) {
    platform.putFile("a.ini", "0123456789");
    EXPECT_EQ(platform.readFile("a.ini", 10).status, FileStatus::Ok);
    EXPECT_EQ(platform.readFile("a.ini", 9).status, FileStatus::Failed);
    platform.setFileLocked("A.INI", true);
    EXPECT_EQ(platform.readFile("a.ini", 10).status, FileStatus::Failed);
    platform.setFileLocked("a.ini", false);
    EXPECT_EQ(platform.readFile("a.ini", 10).status, FileStatus::Ok);
}

TEST_F(HeadlessServicesTest, AFailedReplaceLeavesTheOldContent) {
    platform.putFile("a.ini", "old");
    platform.setWritable(false);
    EXPECT_FALSE(platform.replaceFile("a.ini", "new"));
    platform.setWritable(true);
    platform.setFileLocked("a.ini", true);
    EXPECT_FALSE(platform.replaceFile("a.ini", "new"));
    EXPECT_EQ(platform.file("a.ini"), "old");
    EXPECT_EQ(platform.fileReplaceCount(), 0u);

    platform.setFileLocked("a.ini", false);
    EXPECT_TRUE(platform.replaceFile("A.ini", "new"));
    EXPECT_TRUE(platform.replaceFile("b.ini", "created"));
    EXPECT_EQ(platform.file("a.ini"), "new");
    EXPECT_EQ(platform.file("B.INI"), "created");
    EXPECT_EQ(platform.fileReplaceCount(), 2u);
}

TEST_F(HeadlessServicesTest, AnsiTextIsWindows1252) {
    EXPECT_EQ(platform.ansiToUtf8("plain"), "plain");
    EXPECT_EQ(platform.ansiToUtf8("caf\xE9"), "caf\xC3\xA9");               // e acute, as in Latin-1
    EXPECT_EQ(platform.ansiToUtf8("\x80"), "\xE2\x82\xAC");                 // euro sign
    EXPECT_EQ(platform.ansiToUtf8("\x93quoted\x94"), "\xE2\x80\x9Cquoted\xE2\x80\x9D");
    EXPECT_EQ(platform.ansiToUtf8("\x9F\xFF"), "\xC5\xB8\xC3\xBF");         // Y and y with diaeresis
    for (const char* undefined : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"}) {
        EXPECT_EQ(platform.ansiToUtf8(undefined), "\xEF\xBF\xBD") << static_cast<int>(undefined[0] & 0xFF);
    }
}

TEST_F(HeadlessServicesTest, MessageBoxesTakeTheScriptedAnswersInOrder) {
    platform.answerMessageBoxes({MessageBoxAnswer::Ok, MessageBoxAnswer::No});
    EXPECT_EQ(platform.messageBox("path\r\ndoes not exist!", "", MessageBoxButtons::Ok), MessageBoxAnswer::Ok);
    EXPECT_EQ(platform.messageBox("Remove all?", "Images", MessageBoxButtons::YesNo), MessageBoxAnswer::No);
    ASSERT_EQ(platform.messageBoxes().size(), 2u);
    EXPECT_EQ(platform.messageBoxes()[0].title, kApplicationTitle);
    EXPECT_EQ(platform.messageBoxes()[0].text, "path\r\ndoes not exist!");
    EXPECT_EQ(platform.messageBoxes()[1].buttons, MessageBoxButtons::YesNo);
    EXPECT_THAT(platform.calls(),
                ElementsAre("MessageBox(\"path\\r\\ndoes not exist!\", \"Vistrel Screen Saver\", OK) -> OK",
                            "MessageBox(\"Remove all?\", \"Images\", YesNo) -> No"));
}

TEST_F(HeadlessServicesTest, AnUnexpectedOrWronglyAnsweredBoxFailsLoudly) {
    try {
        platform.messageBox("Surprise", "", MessageBoxButtons::Ok);
        ADD_FAILURE() << "an unscripted box went unnoticed";
    } catch (const std::logic_error& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("Surprise"));
    }
    platform.answerMessageBoxes({MessageBoxAnswer::Yes});
    EXPECT_THROW(platform.messageBox("Only OK here", "", MessageBoxButtons::Ok), std::logic_error);
}

TEST_F(HeadlessServicesTest, CommonDialogsReportTheRequestAndTheScriptedChoice) {
    platform.answerFileDialog("C:\\Pictures\\a.jpg");
    platform.answerFileDialog(std::nullopt);
    platform.answerFileDialogFiles({"C:\\Pictures\\b.gif", "C:\\Pictures\\c.jpg"});
    platform.answerColorDialog(255);
    platform.answerFontDialog(FontChoice{"Arial", 12});
    FileOpenRequest open;
    open.title = "Add Image";
    open.filter = "Pictures|*.gif;*.jpg";
    EXPECT_EQ(platform.chooseFiles(open), std::vector<std::string>{"C:\\Pictures\\a.jpg"});
    EXPECT_EQ(platform.chooseFiles(open), std::nullopt);
    EXPECT_EQ(platform.chooseFiles(open), (std::vector<std::string>{"C:\\Pictures\\b.gif", "C:\\Pictures\\c.jpg"}));
    EXPECT_EQ(platform.chooseColor(65535), 255u);
    FontRequest font;
    font.start.name = "Times New Roman";
    font.start.sizePoints = 14;
    const auto chosen = platform.chooseFont(font);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->name, "Arial");
    EXPECT_THROW(platform.chooseColor(0), std::logic_error);

    ASSERT_EQ(platform.fileDialogRequests().size(), 3u);
    EXPECT_EQ(platform.fileDialogRequests()[0].filter, "Pictures|*.gif;*.jpg");
    EXPECT_THAT(platform.colorDialogRequests(), ElementsAre(65535u, 0u));
    EXPECT_EQ(platform.fontDialogRequests().at(0).start.sizePoints, 14);
    EXPECT_THAT(platform.calls(),
                ElementsAre("ChooseFile(\"Add Image\") -> C:\\Pictures\\a.jpg", "ChooseFile(\"Add Image\") -> Cancel",
                            "ChooseFile(\"Add Image\") -> C:\\Pictures\\b.gif; C:\\Pictures\\c.jpg",
                            "ChooseColor(65535) -> 255", "ChooseFont(Times New Roman, 14) -> Arial, 12",
                            "ChooseColor(0) -> no answer"));
}

}  // namespace
}  // namespace vistrel::platform::headless
