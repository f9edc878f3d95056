// Where the settings are read from and saved to: the user's own file first,
// the file beside the program otherwise, and the user's own file for a save
// that the program's folder refuses. Each case runs the dialog's OK and then
// a saver on the files the dialog left.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/main.h"
#include "dialog_test_support.h"
#include "saver/saver_window.h"
#include "settings/settings_places.h"

namespace vistrel::testing {
namespace {

using platform::MessageBoxAnswer;
using platform::headless::HeadlessPlatform;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr const char* kProgramFolder = "C:\\Program Files\\Vistrel";
constexpr const char* kUserData = "C:\\Users\\tester\\AppData\\Roaming";
constexpr const char* kUserFolder = "C:\\Users\\tester\\AppData\\Roaming\\Vistrel";
constexpr const char* kUserFile = "C:\\Users\\tester\\AppData\\Roaming\\Vistrel\\vistrel.ini";
constexpr const char* kNewPicture = "C:\\Pictures\\c.bmp";

// The administrator's defaults beside the program: a red background, and a
// key that only a hand edit puts there.
std::string defaultFile() {
    SampleSettings settings;
    settings.fitLarge = "0";
    return settings.text() + "[local]\r\nnote=left by the administrator\r\n";
}

// A user's own settings: a green background.
std::string usersFile() {
    SampleSettings settings;
    settings.newBackColor = "65280";
    return settings.text();
}

struct PlacesSetup {
    bool defaultFile = false;          // the administrator's file beside the program
    bool userFile = false;             // the user's own file
    bool programFolderWritable = true;
    bool userDataWritable = true;      // the folder the user's folder is made in
    std::string userData = kUserData;  // what the system names as such; "" for none
};

void prepare(HeadlessPlatform& platform, const PlacesSetup& setup) {
    platform.setScreen({1024, 768, 15, 15});
    putSamplePictures(platform);
    platform.putFile(kNewPicture, bmpFile(8, 8, kRedRgb));
    platform.setUserDataFolder(setup.userData);
    if (setup.defaultFile) platform.putFile(kSettingsPath, defaultFile());
    if (setup.userFile) platform.putFile(kUserFile, usersFile());
    platform.setFolderWritable(kProgramFolder, setup.programFolderWritable);
    platform.setFolderWritable(setup.userData, setup.userDataWritable);
}

// The dialog opened on `platform`, a picture added, the desktop chosen as
// background, and OK pressed; the message it gave, if any.
std::optional<std::string> addPictureChooseDesktopAndSave(HeadlessPlatform& platform,
                                                          std::string* backColorShown = nullptr) {
    std::unique_ptr<dialog::SettingsDialog> dialog;
    EXPECT_TRUE(platform.run([&] { dialog = dialog::OpenSettingsDialog(platform); }));
    if (backColorShown) *backColorShown = dialog->pending[settings::Option::newBackColor];
    platform.answerFileDialog(kNewPicture);
    dialog->control<ui::Button>("add").userClick();
    dialog->control<ui::ComboBox>("Combo1").userSelect(1);
    const std::size_t boxesBefore = platform.messageBoxes().size();
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    EXPECT_TRUE(platform.run([&] { dialog->control<ui::Button>("Ok").userClick(); }));
    if (platform.messageBoxes().size() == boxesBefore) {
        EXPECT_FALSE(dialog->form2.loaded());
        platform.answerMessageBoxes({});
        return std::nullopt;
    }
    EXPECT_TRUE(dialog->form2.loaded());  // a failed save keeps the dialog open
    return platform.messageBoxes().back().text;
}

// What a saver started afterwards ("/s") reads from the same files.
struct SaverReading {
    std::string backEffect, newBackColor, fitLarge, total;
};

SaverReading saverReadsFrom(const HeadlessPlatform& after, const PlacesSetup& setup) {
    HeadlessPlatform platform;
    prepare(platform, setup);
    for (const char* path : {kSettingsPath, kUserFile}) {
        if (const auto bytes = after.file(path)) {
            platform.putFile(path, *bytes);
        } else {
            platform.removeFile(path);
        }
    }
    platform.setCommandLine("/s");
    std::unique_ptr<app::Program> program;
    EXPECT_TRUE(platform.run([&] { program = app::Main(platform); }));
    saver::SaverWindow& saver = *program->saverWindow();
    return {saver.backEffect, saver.newBackColor, saver.fitLarge, saver.total};
}

TEST(SettingsPlaces, TheUsersFileLiesInAFolderOfTheApplicationDataFolder) {
    HeadlessPlatform platform;
    settings::SettingsPlaces places = settings::settingsPlaces(platform);
    EXPECT_EQ(places.programFile, kSettingsPath);
    EXPECT_EQ(places.userFolder, kUserFolder);
    EXPECT_EQ(places.userFile, kUserFile);

    platform.setUserDataFolder("D:\\");  // a drive root keeps its one backslash
    platform.setProgramFolder("E:\\");
    places = settings::settingsPlaces(platform);
    EXPECT_EQ(places.userFile, "D:\\Vistrel\\vistrel.ini");
    EXPECT_EQ(places.programFile, "E:\\vistrel.ini");

    platform.setUserDataFolder("");
    places = settings::settingsPlaces(platform);
    EXPECT_EQ(places.userFolder, "");
    EXPECT_EQ(places.userFile, "");
}

TEST(SettingsPlaces, EachCaseSavesWhereTheRuleSaysAndTheSaverReadsIt) {
    struct Case {
        const char* name;
        PlacesSetup setup;
        const char* backColorShown;  // what the dialog read
        const char* savedTo;         // null: not saved
        const char* message;         // null: none
        const char* saverBackEffect;
        const char* saverBackColor;
    };
    const std::string denied = "\r\n\r\nAccess is denied.";
    const std::string toUser = std::string("The settings could not be saved in\r\n") + kUserFile;
    const std::string toProgram = std::string("The settings could not be saved in\r\n") + kSettingsPath;
    const std::string userDenied = toUser + denied, programDenied = toProgram + denied;
    const Case cases[] = {
        {"writable program folder, no user file", {.defaultFile = true}, "255", kSettingsPath, nullptr, "1", "255"},
        {"writable program folder, no file at all", {}, "0", kSettingsPath, nullptr, "1", "0"},
        {"writable program folder, a user file", {.defaultFile = true, .userFile = true}, "65280", kUserFile,
         nullptr, "1", "65280"},
        {"unwritable program folder, no default file", {.programFolderWritable = false}, "0", kUserFile, nullptr,
         "1", "0"},
        {"unwritable program folder, the administrator's default file",
         {.defaultFile = true, .programFolderWritable = false}, "255", kUserFile, nullptr, "1", "255"},
        {"unwritable program folder, a user file", {.defaultFile = true, .userFile = true,
         .programFolderWritable = false}, "65280", kUserFile, nullptr, "1", "65280"},
        {"unwritable program folder and user-data folder",
         {.defaultFile = true, .programFolderWritable = false, .userDataWritable = false}, "255", nullptr,
         userDenied.c_str(), "0", "255"},
        {"unwritable program folder, no user-data folder named",
         {.defaultFile = true, .programFolderWritable = false, .userData = ""}, "255", nullptr,
         programDenied.c_str(), "0", "255"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        HeadlessPlatform platform;
        prepare(platform, test.setup);
        const std::optional<std::string> before[] = {platform.file(kSettingsPath), platform.file(kUserFile)};
        std::string shown;
        const std::optional<std::string> message = addPictureChooseDesktopAndSave(platform, &shown);
        EXPECT_EQ(shown, test.backColorShown);
        if (test.savedTo) {
            EXPECT_EQ(message, std::nullopt);
            EXPECT_THAT(platform.file(test.savedTo).value_or(""), HasSubstr("backEffect=1\r\n"));
            // The other file is left exactly as it was.
            const bool toUserFile = std::string(test.savedTo) == kUserFile;
            EXPECT_EQ(platform.file(toUserFile ? kSettingsPath : kUserFile), before[toUserFile ? 0 : 1]);
        } else {
            EXPECT_EQ(message.value_or("<saved>"), test.message);
            EXPECT_EQ(platform.file(kSettingsPath), before[0]);
            EXPECT_EQ(platform.file(kUserFile), before[1]);
        }
        const SaverReading saver = saverReadsFrom(platform, test.setup);
        EXPECT_EQ(saver.backEffect, test.saverBackEffect);
        EXPECT_EQ(saver.newBackColor, test.saverBackColor);
        // The two pictures of a file that was there, and the one added.
        const bool hadFile = test.setup.defaultFile || test.setup.userFile;
        EXPECT_EQ(saver.total, std::to_string((hadFile ? 2 : 0) + (test.savedTo ? 1 : 0)));
    }
}

TEST(SettingsPlaces, AFirstSaveFromAnUnwritableFolderMakesTheUsersFolderAndKeepsTheDefaultsKeys) {
    HeadlessPlatform platform;
    const PlacesSetup setup{.defaultFile = true, .programFolderWritable = false};
    prepare(platform, setup);
    ASSERT_FALSE(platform.folderExists(kUserFolder));
    platform.clearCalls();
    EXPECT_EQ(addPictureChooseDesktopAndSave(platform), std::nullopt);

    EXPECT_THAT(platform.callsStartingWith({"ReadFile", "ReplaceFile", "CreateDirectory"}),
                ElementsAre(std::string("ReadFile(") + kUserFile + ")",       // the dialog's load: not there
                            std::string("ReadFile(") + kSettingsPath + ")",   // the defaults
                            std::string("ReadFile(") + kUserFile + ")",       // OK: is it there now?
                            std::string("ReadFile(") + kSettingsPath + ")",   // the save starts from the defaults
                            std::string("ReplaceFile(") + kSettingsPath + ")",  // refused
                            std::string("CreateDirectory(") + kUserFolder + ")",
                            std::string("ReadFile(") + kUserFile + ")",
                            std::string("ReadFile(") + kSettingsPath + ")",   // taken over
                            std::string("ReplaceFile(") + kUserFile + ")"));
    EXPECT_TRUE(platform.folderExists(kUserFolder));
    const std::string saved = platform.file(kUserFile).value_or("");
    // Keys the dialog does not write come with the defaults.
    EXPECT_THAT(saved, HasSubstr("fitLarge=0\r\n"));
    EXPECT_THAT(saved, HasSubstr("[local]\r\nnote=left by the administrator\r\n"));
    EXPECT_THAT(saved, HasSubstr("2=C:\\Pictures\\c.bmp\r\n"));
    EXPECT_EQ(platform.file(kSettingsPath), defaultFile());
    EXPECT_EQ(saverReadsFrom(platform, setup).fitLarge, "0");
}

TEST(SettingsPlaces, FromThenOnTheUsersFileIsReadAndSavedAndTheDefaultsStayAsTheyAre) {
    HeadlessPlatform first;
    const PlacesSetup setup{.defaultFile = true, .programFolderWritable = false};
    prepare(first, setup);
    ASSERT_EQ(addPictureChooseDesktopAndSave(first), std::nullopt);

    HeadlessPlatform again;
    prepare(again, setup);
    again.putFile(kUserFile, first.file(kUserFile).value());
    again.clearCalls();
    std::unique_ptr<dialog::SettingsDialog> dialog;
    ASSERT_TRUE(again.run([&] { dialog = dialog::OpenSettingsDialog(again); }));
    EXPECT_EQ(dialog->pending[settings::Option::backEffect], "1");
    EXPECT_EQ(dialog->control<ui::ListBox>("List1").listCount(), 3);
    dialog->control<ui::ComboBox>("TransitionsCbx").userSelect(5);
    ASSERT_TRUE(again.run([&] { dialog->control<ui::Button>("Ok").userClick(); }));
    EXPECT_THAT(again.messageBoxes(), IsEmpty());
    EXPECT_THAT(again.callsStartingWith({"ReplaceFile", "CreateDirectory"}),
                ElementsAre(std::string("ReplaceFile(") + kUserFile + ")"));
    EXPECT_THAT(again.file(kUserFile).value_or(""), HasSubstr("effectMode=5\r\n"));
    EXPECT_EQ(again.file(kSettingsPath), defaultFile());
}

TEST(SettingsPlaces, AWritableFolderKeepsTheFileBesideTheProgramByteForByteAsBefore) {
    // The same edits saved with no user-data folder at all (the program's
    // folder alone, as early versions had it) and with one: the same bytes.
    std::string without, with;
    for (std::string* saved : {&without, &with}) {
        HeadlessPlatform platform;
        prepare(platform, {.defaultFile = true, .userData = saved == &without ? "" : kUserData});
        ASSERT_EQ(addPictureChooseDesktopAndSave(platform), std::nullopt);
        EXPECT_FALSE(platform.file(kUserFile).has_value());
        EXPECT_THAT(platform.callsStartingWith({"CreateDirectory"}), IsEmpty());
        *saved = platform.file(kSettingsPath).value_or("");
    }
    EXPECT_EQ(with, without);
    EXPECT_THAT(with, HasSubstr("backEffect=1\r\n"));
}

TEST(SettingsPlaces, OnlyALackOfRightsSendsTheSaveToTheUsersFile) {
    // A locked file is no question of rights: another place would only
    // hide the settings the user reads; the failure is reported as before.
    HeadlessPlatform platform;
    prepare(platform, {.defaultFile = true});
    platform.setFileLocked(kSettingsPath, true);
    const std::optional<std::string> message = addPictureChooseDesktopAndSave(platform);
    EXPECT_EQ(message.value_or(""), std::string("The settings could not be saved in\r\n") + kSettingsPath +
                                        "\r\n\r\nThe file exists but could not be read. "
                                        "The file is locked by another program.");
    EXPECT_THAT(platform.callsStartingWith({"CreateDirectory"}), IsEmpty());
    EXPECT_FALSE(platform.file(kUserFile).has_value());
}

TEST(SettingsPlaces, AUsersFileThatRefusesTheSaveIsReportedWithoutTryingElsewhere) {
    // The user's own folder is there, but refuses writing: the save has
    // nowhere further to go.
    HeadlessPlatform platform;
    prepare(platform, {.defaultFile = true, .userFile = true});
    platform.setFolderWritable(kUserFolder, false);
    const std::optional<std::string> message = addPictureChooseDesktopAndSave(platform);
    EXPECT_EQ(message.value_or(""),
              std::string("The settings could not be saved in\r\n") + kUserFile + "\r\n\r\nAccess is denied.");
    EXPECT_THAT(platform.callsStartingWith({"ReplaceFile", "CreateDirectory"}),
                ElementsAre(std::string("ReplaceFile(") + kUserFile + ")"));
    EXPECT_EQ(platform.file(kUserFile), usersFile());
    EXPECT_EQ(platform.file(kSettingsPath), defaultFile());
}

TEST(HeadlessFolders, FolderExistAsTheFilesAndTheProgramSayAndRefuseWhatTheTestSays) {
    HeadlessPlatform platform;
    platform.putFile("C:\\Pictures\\a.bmp", "x");
    platform.putFile("C:\\Pictures a\\b.bmp", "x");
    EXPECT_TRUE(platform.folderExists("c:\\pictures"));
    EXPECT_TRUE(platform.folderExists("C:\\Pictures\\"));
    EXPECT_TRUE(platform.folderExists("C:\\"));
    EXPECT_TRUE(platform.folderExists(kProgramFolder));
    EXPECT_TRUE(platform.folderExists("C:\\Users\\tester"));  // above the user-data folder
    EXPECT_FALSE(platform.folderExists("C:\\Pictures\\a.bmp"));  // a file
    EXPECT_FALSE(platform.folderExists("C:\\Pict"));
    EXPECT_FALSE(platform.folderExists(kUserFolder));

    EXPECT_FALSE(platform.replaceFile("C:\\Elsewhere\\x.ini", "x"));
    EXPECT_EQ(platform.lastFileError(), "The system cannot find the path specified.");
    EXPECT_FALSE(platform.lastFileErrorIsDenied());
    EXPECT_FALSE(platform.createFolder("C:\\Elsewhere\\Deeper"));
    EXPECT_FALSE(platform.lastFileErrorIsDenied());

    EXPECT_TRUE(platform.createFolder(kUserFolder));
    EXPECT_TRUE(platform.createFolder(std::string(kUserFolder) + "\\"));  // there already
    EXPECT_TRUE(platform.folderExists(kUserFolder));
    EXPECT_FALSE(platform.createFolder("C:\\Pictures\\a.bmp"));

    platform.setFolderWritable(kProgramFolder, false);
    EXPECT_FALSE(platform.replaceFile(kSettingsPath, "x"));
    EXPECT_EQ(platform.lastFileError(), "Access is denied.");
    EXPECT_TRUE(platform.lastFileErrorIsDenied());
    EXPECT_FALSE(platform.createFolder(std::string(kProgramFolder) + "\\Sub"));
    EXPECT_TRUE(platform.lastFileErrorIsDenied());
    EXPECT_TRUE(platform.replaceFile(std::string(kUserFolder) + "\\vistrel.ini", "x"));  // elsewhere still
    platform.setFolderWritable(kProgramFolder, true);
    EXPECT_TRUE(platform.replaceFile(kSettingsPath, "x"));
    EXPECT_THAT(platform.callsStartingWith({"CreateDirectory"}),
                ElementsAre("CreateDirectory(C:\\Elsewhere\\Deeper)", std::string("CreateDirectory(") + kUserFolder + ")",
                            std::string("CreateDirectory(") + kUserFolder + "\\)",
                            "CreateDirectory(C:\\Pictures\\a.bmp)",
                            std::string("CreateDirectory(") + kProgramFolder + "\\Sub)"));
}

}  // namespace
}  // namespace vistrel::testing
