#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/headless/headless_platform.h"
#include "settings/settings_file.h"

namespace vistrel::settings {
namespace {

using platform::headless::HeadlessPlatform;

constexpr const char* kPath = "C:\\Program Files\\Vistrel\\vistrel.ini";

std::string fileOf(std::initializer_list<std::string_view> lines) {
    std::string bytes;
    for (std::string_view line : lines) (bytes += line) += "\r\n";
    return bytes;
}

TEST(SettingsFilePath, OneBackslashBetweenFolderAndFileName) {
    EXPECT_EQ(settingsPathInFolder("C:\\"), "C:\\vistrel.ini");
    EXPECT_EQ(settingsPathInFolder("D:\\Screen Savers"), "D:\\Screen Savers\\vistrel.ini");
    EXPECT_EQ(settingsPathInFolder("D:\\Screen Savers\\"), "D:\\Screen Savers\\vistrel.ini");

    HeadlessPlatform platform;
    platform.setProgramFolder("E:\\");
    EXPECT_EQ(SettingsFilePath(platform), "E:\\vistrel.ini");
}

class SettingsFileTest : public ::testing::Test {
protected:
    HeadlessPlatform platform;
    SettingsFile settings{platform, kPath};

    std::string onDisk() const { return platform.file(kPath).value_or("<no file>"); }

    // The writes of a save from the settings dialog, in the order it makes them.
    bool saveAsTheDialogDoes(const std::vector<std::string>& images, const std::vector<std::string>& captions) {
        SettingsFile::Batch save = settings.batch();
        save.deleteSection("images");
        save.deleteSection("caption");
        for (std::size_t i = 0; i < images.size(); ++i) save.write("images", std::to_string(i), images[i]);
        save.write("total", "total", std::to_string(images.size()));
        for (std::size_t i = 0; i < captions.size(); ++i) save.write("caption", std::to_string(i), captions[i]);
        save.write("image", "randomPick", "0");
        save.write("background", "newBackColor", "255");
        save.write("password", "saverPassword", "pass word ");
        save.write("font", "newFontBold", "True");
        return save.commit();
    }
};

TEST_F(SettingsFileTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(settings.ReadSetting("total", "total"), "");
    platform.putFile(kPath, fileOf({"[total]", "total=3"}));
    EXPECT_EQ(settings.ReadSetting("total", "count"), "");
    EXPECT_EQ(settings.ReadSetting("images", "0"), "");
    EXPECT_EQ(settings.ReadSetting("TOTAL", "Total"), "3");
}

TEST_F(SettingsFileTest, SnapshotReadsWhatEachSingleReadWould) {
    platform.putFile(kPath, fileOf({"orphan=before any section", "[Images]", "0 = \"C:\\a b.jpg\"", "0=second copy",
                                    "[total]", "total=2", "[images]", "1=in a later copy of the section",
                                    "[caption]", "0=", "[font]", "NewFontName= Arial ", "noequals"}));
    SettingsSnapshot snapshot(platform, kPath);
    const std::pair<const char*, const char*> keys[] = {
        {"images", "0"}, {"IMAGES", "0"}, {"images", "1"},  {"total", "total"}, {"caption", "0"},
        {"font", "newFontName"}, {"font", "noequals"}, {"", "orphan"}, {"missing", "key"}};
    for (const auto& [section, key] : keys) {
        EXPECT_EQ(snapshot.ReadSetting(section, key), settings.ReadSetting(section, key)) << section << "/" << key;
    }
    EXPECT_EQ(snapshot.ReadSetting("images", "0"), "C:\\a b.jpg");
    EXPECT_EQ(snapshot.ReadSetting("images", "1"), "");
}

TEST_F(SettingsFileTest, SnapshotKeepsTheFileAsItWasWhenMade) {
    platform.putFile(kPath, fileOf({"[image]", "timeInterval=5"}));
    SettingsSnapshot snapshot(platform, kPath);
    platform.putFile(kPath, fileOf({"[image]", "timeInterval=9"}));
    EXPECT_EQ(snapshot.ReadSetting("image", "timeInterval"), "5");
    EXPECT_EQ(SettingsSnapshot(platform, kPath).ReadSetting("image", "timeInterval"), "9");
}

TEST_F(SettingsFileTest, EveryReadSeesTheFileAsItIsNow) {
    platform.putFile(kPath, fileOf({"[image]", "timeInterval=5"}));
    EXPECT_EQ(settings.ReadSetting("image", "timeInterval"), "5");
    platform.putFile(kPath, fileOf({"[image]", "timeInterval=9"}));
    EXPECT_EQ(settings.ReadSetting("image", "timeInterval"), "9");
}

TEST_F(SettingsFileTest, FirstSaveCreatesTheFileInOrderOfFirstWrite) {
    ASSERT_TRUE(saveAsTheDialogDoes({"C:\\a.jpg", "C:\\b.gif"}, {"", "Beach"}));
    EXPECT_EQ(onDisk(), fileOf({"[images]", "0=C:\\a.jpg", "1=C:\\b.gif", "", "[total]", "total=2", "", "[caption]",
                                "0=", "1=Beach", "", "[image]", "randomPick=0", "", "[background]",
                                "newBackColor=255", "", "[password]", "saverPassword=\"pass word \"", "", "[font]",
                                "newFontBold=True"}));
    EXPECT_EQ(platform.fileReplaceCount(), 1u);
    EXPECT_EQ(settings.ReadSetting("caption", "0"), "");
    EXPECT_EQ(settings.ReadSetting("password", "saverPassword"), "pass word ");
}

TEST_F(SettingsFileTest, ShorterListReplacesTheLongerOneAndHandAddedKeysStay) {
    ASSERT_TRUE(saveAsTheDialogDoes({"a", "b", "c", "d", "e"}, {"1", "2", "3", "4", "5"}));
    ASSERT_TRUE(settings.WriteSetting("font", "myOwnKey", "kept"));
    ASSERT_TRUE(saveAsTheDialogDoes({"a", "b"}, {"1", "2"}));
    EXPECT_EQ(onDisk(), fileOf({"[total]", "total=2", "", "[image]", "randomPick=0", "", "[background]",
                                "newBackColor=255", "", "[password]", "saverPassword=\"pass word \"", "", "[font]",
                                "newFontBold=True", "myOwnKey=kept", "", "[images]", "0=a", "1=b", "", "[caption]",
                                "0=1", "1=2"}));
}

TEST_F(SettingsFileTest, NonAsciiTextSurvivesAndPlainAsciiStaysAscii) {
    const std::string path = "C:\\Bilder\\Gr\xC3\xBC\xC3\x9F" "e\\\xE6\x97\xA5\xE6\x9C\xAC.jpg";
    ASSERT_TRUE(settings.WriteSetting("images", "0", path));
    EXPECT_EQ(settings.ReadSetting("images", "0"), path);

    platform.removeFile(kPath);
    ASSERT_TRUE(settings.WriteSetting("total", "total", "1"));
    EXPECT_EQ(onDisk(), fileOf({"[total]", "total=1"}));  // no byte-order mark
}

TEST_F(SettingsFileTest, OlderAnsiFileIsReadAndRewrittenAsUtf8) {
    platform.putFile(kPath, fileOf({"[caption]", "0=Caf\xE9"}));
    EXPECT_EQ(settings.ReadSetting("caption", "0"), "Caf\xC3\xA9");
    ASSERT_TRUE(settings.WriteSetting("caption", "1", "Cr\xC3\xA8me"));
    EXPECT_EQ(onDisk(), fileOf({"[caption]", "0=Caf\xC3\xA9", "1=Cr\xC3\xA8me"}));
}

TEST_F(SettingsFileTest, FileThatCannotBeReadIsNeverReplaced) {
    const std::string original = fileOf({"[total]", "total=4"});
    platform.putFile(kPath, original);
    platform.setFileLocked(kPath, true);
    EXPECT_EQ(settings.ReadSetting("total", "total"), "");
    EXPECT_FALSE(settings.WriteSetting("total", "total", "1"));
    EXPECT_FALSE(settings.DeleteSettingsSection("total"));
    platform.setFileLocked(kPath, false);
    EXPECT_EQ(onDisk(), original);

    const std::string huge = "[total]\r\ntotal=4\r\n" + std::string(kMaxSettingsFileBytes, ';');
    platform.putFile(kPath, huge);
    EXPECT_EQ(settings.ReadSetting("total", "total"), "");
    EXPECT_FALSE(settings.WriteSetting("total", "total", "1"));
    EXPECT_EQ(onDisk(), huge);
    EXPECT_EQ(platform.fileReplaceCount(), 0u);
}

TEST_F(SettingsFileTest, FailedBatchLeavesTheFileAsItWas) {
    const std::string original = fileOf({"[images]", "0=a"});
    platform.putFile(kPath, original);

    platform.setWritable(false);
    EXPECT_FALSE(saveAsTheDialogDoes({"b"}, {""}));
    EXPECT_FALSE(settings.WriteSetting("images", "0", "b"));
    EXPECT_EQ(onDisk(), original);

    platform.setWritable(true);
    SettingsFile::Batch badName = settings.batch();
    badName.deleteSection("images");
    badName.write("images", "k=v", "x");
    EXPECT_FALSE(badName.commit());
    EXPECT_EQ(onDisk(), original);
}

TEST_F(SettingsFileTest, AFailedCommitSaysWhy) {
    platform.putFile(kPath, fileOf({"[images]", "0=a"}));
    SettingsFile::Batch batch = settings.batch();
    batch.write("images", "0", "b");

    platform.setWritable(false);
    EXPECT_FALSE(batch.commit());
    EXPECT_EQ(batch.failure(), "The disk is write-protected.");

    platform.setWritable(true);
    platform.setFileLocked(kPath, true);
    EXPECT_FALSE(batch.commit());
    EXPECT_EQ(batch.failure(), "The file exists but could not be read. The file is locked by another program.");

    platform.setFileLocked(kPath, false);
    batch.write("images", "k=v", "x");
    EXPECT_FALSE(batch.commit());
    EXPECT_EQ(batch.failure(), "The setting name \"images\" / \"k=v\" cannot be stored.");
    EXPECT_EQ(onDisk(), fileOf({"[images]", "0=a"}));
}

TEST_F(SettingsFileTest, DeletingFromAMissingFileCreatesNothing) {
    EXPECT_TRUE(settings.DeleteSettingsSection("images"));
    EXPECT_FALSE(platform.file(kPath).has_value());
}

TEST_F(SettingsFileTest, CommittedBatchIsEmptied) {
    SettingsFile::Batch batch = settings.batch();
    batch.write("image", "effectMode", "3");
    ASSERT_TRUE(batch.commit());
    ASSERT_TRUE(settings.WriteSetting("image", "effectMode", "5"));
    ASSERT_TRUE(batch.commit());  // nothing left to write: the 5 stays
    EXPECT_EQ(settings.ReadSetting("image", "effectMode"), "5");
}

}  // namespace
}  // namespace vistrel::settings
