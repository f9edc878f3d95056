// Folder entries in the saver: read afresh at the start while the show
// goes on, their pictures in list order or dealt from the shuffled deck,
// their captions, and what is passed over.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "saver_run_support.h"

namespace vistrel::saver {
namespace {

using platform::headless::HeadlessPlatform;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using vistrel::testing::solidBitmap;

std::string numbered(const std::string& folder, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "p%03d.bmp", number);
    return folder + name;
}

class SaverFoldersTest : public ::testing::Test {
protected:
    SaverFoldersTest() {
        platform.setScreen({400, 300, 15, 15});
        platform.setPictureFileExtensions({".bmp", ".jpg"});
        settings.timeInterval = "1";
        settings.effectMode = "0";
    }

    void useEntries(std::vector<std::pair<std::string, std::string>> entries) {
        settings.images.clear();
        settings.captions.clear();
        for (auto& [path, caption] : entries) {
            settings.images.push_back(path);
            settings.captions.push_back(caption);
        }
        settings.total = std::to_string(settings.images.size());
    }
    void putPicture(const std::string& path, std::uint32_t rgb = 0x336699) {
        platform.putFile(path, solidBitmap(20, 10, rgb));
    }

    bool start() {
        platform.putFile(vistrel::testing::kSettingsPath, settings.text());
        platform.setCommandLine("/s");
        return platform.run([&] { program = app::Main(platform); });
    }
    SaverWindow& saver() { return *program->saverWindow(); }

    // The path and caption of each picture shown, one change at a time,
    // looked at every 50 ms of the virtual clock.
    std::vector<std::pair<std::string, std::string>> shownFor(std::int64_t milliseconds) {
        std::vector<std::pair<std::string, std::string>> shown;
        PictureIndex last = -2;
        std::size_t changesSeen = changeCount();
        for (std::int64_t t = 0; t < milliseconds; t += 50) {
            EXPECT_TRUE(platform.advance(50));
            const Stage& stage = saver().primaryStage();
            const std::size_t changes = changeCount();
            if (stage.shownIndex >= 0 && saver().picture1.visible() &&
                (stage.shownIndex != last || changes != changesSeen)) {
                last = stage.shownIndex;
                changesSeen = changes;
                shown.emplace_back(saver().pictureLibrary().pathOf(static_cast<library::PictureId>(last)),
                                   saver().label1.text());
            }
        }
        return shown;
    }
    // Pictures asked of the picture worker, and pictures brought in.
    std::size_t loadCount() const { return platform.callsStartingWith({"LoadPictureInBackground("}).size(); }
    std::size_t changeCount() const { return platform.callsStartingWith({"Picture2.Picture = "}).size(); }
    const std::string& board() { return program->passwordForm()->txtNotes.text(); }

    HeadlessPlatform platform;
    vistrel::testing::SampleSettings settings;
    std::unique_ptr<app::Program> program;
};

TEST_F(SaverFoldersTest, AFoldersPicturesComeAtItsPlaceInPathOrderEachWithTheFoldersCaption) {
    putPicture("C:\\One.bmp");
    putPicture("D:\\Trip\\b.BMP");
    putPicture("D:\\Trip\\a.bmp");
    putPicture("D:\\Trip\\Day 2\\c.jpg");
    platform.putFile("D:\\Trip\\notes.txt", "not a picture");
    putPicture("C:\\Last.bmp");
    useEntries({{"C:\\One.bmp", "Single"}, {"D:\\Trip\\", "Holiday"}, {"C:\\Last.bmp", ""}});
    ASSERT_TRUE(start());

    auto shown = shownFor(7500);
    ASSERT_GE(shown.size(), 6u);
    shown.resize(6);
    EXPECT_THAT(shown, ElementsAre(std::pair("C:\\One.bmp", "Single"), std::pair("D:\\Trip\\a.bmp", "Holiday"),
                                            std::pair("D:\\Trip\\b.BMP", "Holiday"),
                                            std::pair("D:\\Trip\\Day 2\\c.jpg", "Holiday"),
                                            std::pair("C:\\Last.bmp", ""), std::pair("C:\\One.bmp", "Single")));
    EXPECT_THAT(platform.callsStartingWith({"ListFolder("}),
                ElementsAre("ListFolder(D:\\Trip\\)", "ListFolder(D:\\Trip\\Day 2\\)"));
}

TEST_F(SaverFoldersTest, InRandomOrderTwelvePicturesComeOnceEachBeforeAnyComesAgain) {
    for (int i = 0; i < 12; ++i) putPicture(numbered("D:\\Twelve\\", i), 0x010101u * static_cast<unsigned>(i));
    useEntries({{"D:\\Twelve\\", ""}});
    settings.randomPick = "1";
    ASSERT_TRUE(start());
    const auto shown = shownFor(36 * 1300);
    ASSERT_GE(shown.size(), 36u);
    for (std::size_t round = 0; round < 3; ++round) {
        std::set<std::string> paths;
        for (std::size_t i = round * 12; i < round * 12 + 12; ++i) paths.insert(shown[i].first);
        EXPECT_EQ(paths.size(), 12u) << "round " << round;
    }
    for (std::size_t i = 1; i < shown.size(); ++i) EXPECT_NE(shown[i].first, shown[i - 1].first) << i;
}

TEST_F(SaverFoldersTest, AMissingFolderAndADamagedPictureInAFolderArePassedOverWithoutAMessage) {
    putPicture("D:\\Trip\\a.bmp");
    platform.putFile("D:\\Trip\\b.bmp", "damaged");
    putPicture("D:\\Trip\\c.bmp");
    useEntries({{"E:\\Gone\\", ""}, {"D:\\Trip\\", ""}});
    ASSERT_TRUE(start());
    const auto shown = shownFor(6000);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0].first, "D:\\Trip\\a.bmp");
    EXPECT_EQ(shown[1].first, "D:\\Trip\\c.bmp");
    EXPECT_EQ(shown[2].first, "D:\\Trip\\a.bmp");
    EXPECT_THAT(platform.messageBoxes(), IsEmpty());
    EXPECT_FALSE(platform.programEnded());
}

TEST_F(SaverFoldersTest, AFileTheListNamesStillEndsAnUnprotectedRunWithItsMessage) {
    putPicture("D:\\Trip\\a.bmp");
    useEntries({{"D:\\Trip\\", ""}, {"C:\\gone.bmp", ""}});
    platform.answerMessageBoxes({platform::MessageBoxAnswer::Ok});
    ASSERT_TRUE(start());
    EXPECT_FALSE(platform.advance(5000));
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_THAT(platform.messageBoxes()[0].text, HasSubstr("C:\\gone.bmp\r\ndoes not exist!"));
}

TEST_F(SaverFoldersTest, AProtectedRunNotesDamagedFolderPicturesUpToItsCapThenCountsTheRest) {
    for (int i = 0; i < 130; ++i) platform.putFile(numbered("D:\\Broken\\", i), "damaged");
    useEntries({{"D:\\Broken\\", ""}});
    settings.saverEnabled = "1";
    settings.saverPassword = "Secret";
    ASSERT_TRUE(start());
    // The first change tries 100 of them, the next the other 30.
    ASSERT_TRUE(platform.advance(500 + 1000 + 100));
    EXPECT_FALSE(saver().picture1.visible());
    EXPECT_THAT(platform.messageBoxes(), IsEmpty());
    std::size_t notes = 0;
    for (auto at = board().find("could not be shown"); at != std::string::npos;
         at = board().find("could not be shown", at + 1)) {
        ++notes;
    }
    EXPECT_EQ(notes, kBoardNotesOfFailures + 1);
    EXPECT_THAT(board(), HasSubstr("D:\\Broken\\p000.bmp could not be shown"));
    EXPECT_THAT(board(), HasSubstr("D:\\Broken\\p019.bmp could not be shown"));
    EXPECT_EQ(board().find("p020.bmp"), std::string::npos);
    EXPECT_THAT(board(), HasSubstr("and 110 more pictures could not be shown\r\n"));
    // Round after round nothing more is noted.
    const std::string before = board();
    ASSERT_TRUE(platform.advance(5000));
    EXPECT_EQ(board(), before);
}

TEST_F(SaverFoldersTest, WithNothingFoundYetTheShowWaitsForTheFirstPictureFound) {
    putPicture("\\\\slow\\share\\a.bmp");
    platform.setFolderListCost("\\\\slow\\share", 3000);
    useEntries({{"\\\\slow\\share\\", ""}});
    ASSERT_TRUE(start());
    ASSERT_TRUE(platform.advance(2999));
    EXPECT_EQ(loadCount(), 0u);
    EXPECT_FALSE(saver().timer3.timerEnabled());
    ASSERT_TRUE(platform.advance(1));
    EXPECT_EQ(changeCount(), 1u);
    EXPECT_EQ(platform.nowMs(), 3300);  // shown after its pause
    EXPECT_TRUE(saver().picture1.visible());
}

TEST_F(SaverFoldersTest, WhenNoEntryYieldsAPictureTheBackgroundStays) {
    platform.putFolder("D:\\Empty");
    useEntries({{"D:\\Empty\\", ""}, {"E:\\Gone\\", ""}, {"", ""}});
    ASSERT_TRUE(start());
    ASSERT_TRUE(platform.advance(5000));
    EXPECT_EQ(loadCount(), 0u);
    EXPECT_FALSE(saver().picture1.visible());
    EXPECT_THAT(platform.messageBoxes(), IsEmpty());
}

TEST_F(SaverFoldersTest, WithHalfAMillionPicturesTheFirstComesAtTheDesignedTime) {
    // 500,000 pictures in 25,000 folders; listing takes 10 us an entry, so
    // the whole walk takes seconds of the virtual clock.
    const std::string bytes = solidBitmap(20, 10, 0x336699);
    for (int folder = 0; folder < 25000; ++folder) {
        char name[48];
        std::snprintf(name, sizeof name, "D:\\Library\\%03d\\%05d\\", folder / 100, folder);
        for (int i = 0; i < 20; ++i) platform.putFile(numbered(name, i), bytes);
    }
    platform.setListCostPerEntry(0.01);
    useEntries({{"D:\\Library\\", "Library"}});
    ASSERT_TRUE(start());
    ASSERT_TRUE(platform.advance(500));
    EXPECT_EQ(platform.nowMs(), 800);
    EXPECT_TRUE(saver().picture1.visible());
    const auto loads = platform.callsStartingWith({"LoadPictureInBackground("});
    ASSERT_FALSE(loads.empty());
    EXPECT_EQ(loads.front(), "LoadPictureInBackground(D:\\Library\\000\\00000\\p000.bmp)");
    EXPECT_TRUE(saver().pictureLibrary().reading());
    ASSERT_TRUE(platform.advance(10000));
    EXPECT_FALSE(saver().pictureLibrary().reading());
    EXPECT_EQ(saver().pictureLibrary().size(), 500000u);
}

}  // namespace
}  // namespace vistrel::saver
