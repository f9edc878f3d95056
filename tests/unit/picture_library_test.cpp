// The library of a run: the walk of a folder entry, the catalog of folders
// and names, list order across entries, and the shuffled deck.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "library/folder_walk.h"
#include "library/picture_deck.h"
#include "library/picture_library.h"
#include "platform/headless/headless_platform.h"

namespace vistrel::library {
namespace {

using platform::headless::HeadlessPlatform;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const PictureExtensions kExtensions({".jpg", ".png", ".bmp"});

std::vector<std::string> sortedLikeTheBulkAdd(std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end(),
              [](const std::string& a, const std::string& b) { return samePathKey(a) < samePathKey(b); });
    return paths;
}

TEST(FolderWalk, GivesTheTreesPicturesInTheOrderOfTheirFullPathsWithoutLetterCase) {
    HeadlessPlatform platform;
    // Files and subfolders interleave: "a" (a folder) comes after "A-b.jpg"
    // and before "a_b.jpg", as its pictures' full paths do.
    const std::vector<std::string> pictures = {
        "D:\\Photos\\A-b.jpg",      "D:\\Photos\\a.jpg",        "D:\\Photos\\a\\x.JPG",
        "D:\\Photos\\a\\deep\\y.png", "D:\\Photos\\a_b.jpg",      "D:\\Photos\\B.BMP",
        "D:\\Photos\\b\\c.jpg",     "D:\\Photos\\Zed\\z.jpg",
    };
    for (const auto& path : pictures) platform.putFile(path, "x");
    platform.putFile("D:\\Photos\\notes.txt", "x");
    platform.putFile("D:\\Photos\\a\\deep\\readme", "x");
    platform.putFolder("D:\\Photos\\empty");
    platform.putFile("D:\\Photosynthesis.jpg", "not in the tree");

    EXPECT_THAT(FolderWalk::allPictures(platform, "D:\\Photos\\", kExtensions),
                ElementsAreArray(sortedLikeTheBulkAdd(pictures)));
    // Without the trailing backslash the same.
    EXPECT_THAT(FolderWalk::allPictures(platform, "D:\\Photos", kExtensions),
                ElementsAreArray(sortedLikeTheBulkAdd(pictures)));
}

TEST(FolderWalk, EachStepListsOneFolderAndHandsOverWhatCameBeforeTheNextSubfolder) {
    HeadlessPlatform platform;
    platform.putFile("D:\\P\\1.jpg", "x");
    platform.putFile("D:\\P\\m\\2.jpg", "x");
    platform.putFile("D:\\P\\n\\3.jpg", "x");
    platform.putFile("D:\\P\\z.jpg", "x");
    FolderWalk walk(platform, "D:\\P\\", kExtensions);

    ASSERT_TRUE(walk.step());
    auto found = walk.takeFound();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].folder, "D:\\P\\");
    EXPECT_EQ(found[0].count, 1u);
    EXPECT_EQ(found[0].names, std::string("1.jpg\0", 6));
    EXPECT_THAT(platform.callsStartingWith({"ListFolder("}), ElementsAre("ListFolder(D:\\P\\)"));

    ASSERT_TRUE(walk.step());  // m, then back up to wait before n
    found = walk.takeFound();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].folder, "D:\\P\\m\\");

    EXPECT_FALSE(walk.step());  // n, then the root's last file
    found = walk.takeFound();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].folder, "D:\\P\\n\\");
    EXPECT_EQ(found[1].folder, "D:\\P\\");
    EXPECT_EQ(found[1].names, std::string("z.jpg\0", 6));
    EXPECT_TRUE(walk.finished());
    EXPECT_FALSE(walk.step());
}

TEST(FolderWalk, AMissingFolderIsAWalkThatFindsNothing) {
    HeadlessPlatform platform;
    EXPECT_TRUE(FolderWalk::allPictures(platform, "\\\\server\\gone\\", kExtensions).empty());
}

TEST(PictureExtensions, MatchAnyLetterCaseAndOnlyAWholeExtension) {
    const PictureExtensions extensions({".JPG", ".heic", "png", ".webp"});
    EXPECT_TRUE(extensions.matches("a.jpg"));
    EXPECT_TRUE(extensions.matches("A.JpG"));
    EXPECT_TRUE(extensions.matches("phone.HEIC"));
    EXPECT_FALSE(extensions.matches("a.jpgx"));
    EXPECT_FALSE(extensions.matches("a.jp"));
    EXPECT_FALSE(extensions.matches("jpg"));
    EXPECT_FALSE(extensions.matches("a.png"));  // "png" without its dot is no extension
    EXPECT_FALSE(extensions.matches("folder.jpg\\file"));
    EXPECT_EQ(PictureExtensions::extensionOf("C:\\x\\Phone.HEIC"), ".heic");
    EXPECT_EQ(PictureExtensions::extensionOf("C:\\x.y\\none"), "");
}

TEST(PictureCatalog, HoldsEachFolderOnceAndGivesBackEveryPath) {
    PictureCatalog catalog(3);
    EXPECT_EQ(catalog.addFile(0, "C:\\single.jpg"), 0u);
    FoundPictures first{"D:\\Photos\\", {}, 0};
    first.add("a.jpg");
    first.add("b.jpg");
    catalog.addFound(2, first);
    FoundPictures more{"D:\\Photos\\", {}, 0};
    more.add("c.jpg");
    catalog.addFound(2, more);

    ASSERT_EQ(catalog.size(), 4u);
    EXPECT_EQ(catalog.pathOf(0), "C:\\single.jpg");
    EXPECT_EQ(catalog.pathOf(3), "D:\\Photos\\c.jpg");
    EXPECT_EQ(catalog.entryOf(2), 2u);
    EXPECT_EQ(catalog.countInEntry(1), 0u);
    EXPECT_EQ(catalog.countInEntry(2), 3u);
    EXPECT_EQ(catalog.pictureInEntry(2, 1), 2u);
    EXPECT_EQ(catalog.nameBytes(), std::string("C:\\single.jpg").size() + 15);
}

// --- the deck ---

// Deals `count` cards, checking that no card comes twice in a row.
void dealChecked(PictureDeck& deck, RandomSource& random, std::size_t count, std::vector<PictureId>& dealt) {
    for (std::size_t i = 0; i < count; ++i) {
        const PictureId card = deck.deal(random);
        ASSERT_NE(card, kNoPicture);
        if (!dealt.empty() && deck.size() > 1) ASSERT_NE(card, dealt.back()) << "deck of " << deck.size();
        dealt.push_back(card);
    }
}

TEST(PictureDeck, EveryPictureOncePerRoundAlsoWithPicturesAddedMidRoundAndNoneTwiceInARow) {
    RandomSource random;
    for (PictureId size = 1; size <= 1000; ++size) {
        PictureDeck deck;
        for (PictureId card = 0; card < size; ++card) deck.add(card);
        std::vector<PictureId> dealt;
        // Half a round, then a third as many again joins the deck.
        dealChecked(deck, random, size / 2, dealt);
        const PictureId added = size / 3 + 1;
        for (PictureId card = size; card < size + added; ++card) deck.add(card);
        const std::size_t total = size + added;
        dealChecked(deck, random, total - size / 2 + 2 * total, dealt);
        ASSERT_EQ(dealt.size(), 3 * total);
        for (std::size_t round = 0; round < 3; ++round) {
            std::vector<PictureId> cards(dealt.begin() + static_cast<std::ptrdiff_t>(round * total),
                                         dealt.begin() + static_cast<std::ptrdiff_t>((round + 1) * total));
            std::sort(cards.begin(), cards.end());
            for (std::size_t i = 0; i < total; ++i) {
                ASSERT_EQ(cards[i], i) << "deck of " << size << ", round " << round;
            }
        }
    }
}

TEST(PictureDeck, ARoundStartsClearOfThePicturesStillOnScreens) {
    RandomSource random;
    // Two monitors: each one's picture and the next one already chosen.
    constexpr std::size_t kRecent = 3;
    for (PictureId size = 4; size <= 40; ++size) {
        PictureDeck deck;
        deck.setRecentToAvoid(kRecent);
        for (PictureId card = 0; card < size; ++card) deck.add(card);
        std::vector<PictureId> dealt;
        for (std::size_t i = 0; i < 5 * size; ++i) dealt.push_back(deck.deal(random));
        for (std::size_t i = kRecent; i < dealt.size(); ++i) {
            const std::set<PictureId> window(dealt.begin() + static_cast<std::ptrdiff_t>(i - kRecent),
                                             dealt.begin() + static_cast<std::ptrdiff_t>(i + 1));
            ASSERT_EQ(window.size(), kRecent + 1) << "deck of " << size << " at deal " << i;
        }
    }
}

TEST(PictureDeck, APeekedCardIsTheNextDealtWhateverJoinsMeanwhile) {
    RandomSource random;
    PictureDeck deck;
    EXPECT_EQ(deck.peek(random), kNoPicture);
    EXPECT_EQ(deck.deal(random), kNoPicture);
    for (PictureId card = 0; card < 5; ++card) deck.add(card);
    std::vector<PictureId> dealt;
    for (int i = 0; i < 12; ++i) {
        const PictureId next = deck.peek(random);
        EXPECT_EQ(deck.peek(random), next);
        deck.add(100 + static_cast<PictureId>(i));
        ASSERT_EQ(deck.deal(random), next);
        dealt.push_back(next);
    }
    EXPECT_EQ(std::set<PictureId>(dealt.begin(), dealt.end()).size(), 12u);
}

// --- the library ---

class PictureLibraryTest : public ::testing::Test {
protected:
    PictureLibraryTest() { platform.setPictureFileExtensions({".jpg", ".bmp"}); }

    void putPictures(const std::string& folder, int count) {
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "p%06d.jpg", i);
            platform.putFile(folder + name, "x");
        }
    }
    std::vector<std::string> listOrder(const PictureLibrary& library, int count) {
        std::vector<std::string> paths;
        std::optional<ListPlace> place = library.atOrAfter({});
        for (int i = 0; i < count && place; ++i) {
            paths.push_back(library.pathOf(library.pictureAt(*place)));
            place = library.atOrAfter({place->entry, place->position + 1});
        }
        return paths;
    }

    HeadlessPlatform platform;
};

TEST_F(PictureLibraryTest, FolderPicturesStandAtTheirEntrysPlaceInListOrder) {
    platform.putFile("D:\\Photos\\b.jpg", "x");
    platform.putFile("D:\\Photos\\a\\1.bmp", "x");
    PictureLibrary library(platform, {"C:\\first.jpg", "D:\\Photos\\", "", "C:\\last.jpg", "E:\\Empty\\"});
    int found = 0;
    library.startReading([&] { ++found; });
    // The file entries are there at once; the folders are read as events.
    EXPECT_THAT(listOrder(library, 3), ElementsAre("C:\\first.jpg", "C:\\last.jpg", "C:\\first.jpg"));
    EXPECT_TRUE(library.reading());
    ASSERT_TRUE(platform.advance(1));
    EXPECT_FALSE(library.reading());
    EXPECT_GT(found, 0);
    EXPECT_THAT(listOrder(library, 5), ElementsAre("C:\\first.jpg", "D:\\Photos\\a\\1.bmp", "D:\\Photos\\b.jpg",
                                                   "C:\\last.jpg", "C:\\first.jpg"));
    EXPECT_TRUE(library.foundInFolder(library.pictureAt({1, 0})));
    EXPECT_FALSE(library.foundInFolder(library.pictureAt({0, 0})));
    EXPECT_EQ(library.deck().size(), 4u);
    EXPECT_EQ(library.stepsOn({0, 0}, 2), (ListPlace{1, 1}));
    EXPECT_EQ(library.stepsOn({3, 0}, 1), (ListPlace{0, 0}));
}

TEST_F(PictureLibraryTest, ASlowShareHoldsUpOnlyItsOwnEntry) {
    platform.putFile("\\\\slow\\share\\s.jpg", "x");
    platform.setFolderListCost("\\\\slow\\share", 30000);
    platform.putFile("D:\\Local\\l.jpg", "x");
    PictureLibrary library(platform, {"\\\\slow\\share\\", "D:\\Local\\"});
    library.startReading({});
    ASSERT_TRUE(platform.advance(100));
    EXPECT_THAT(listOrder(library, 2), ElementsAre("D:\\Local\\l.jpg", "D:\\Local\\l.jpg"));
    EXPECT_TRUE(library.reading());
    ASSERT_TRUE(platform.advance(30000));
    EXPECT_THAT(listOrder(library, 2), ElementsAre("\\\\slow\\share\\s.jpg", "D:\\Local\\l.jpg"));
}

TEST_F(PictureLibraryTest, OneHundredThousandPicturesPastTheOld16BitLimit) {
    putPictures("D:\\Many\\", 100000);
    PictureLibrary library(platform, {"C:\\one.jpg", "D:\\Many\\"});
    library.startReading({});
    ASSERT_TRUE(platform.advance(1));
    ASSERT_EQ(library.size(), 100001u);
    const ListPlace last = library.stepsOn({}, 100000);
    EXPECT_EQ(last, (ListPlace{1, 99999}));
    EXPECT_EQ(library.pathOf(library.pictureAt(last)), "D:\\Many\\p099999.jpg");
    EXPECT_EQ(library.pathOf(library.pictureAt({1, 40000})), "D:\\Many\\p040000.jpg");
    // One round of the deck deals every one of them once.
    RandomSource random;
    std::vector<bool> seen(library.size());
    for (std::uint32_t i = 0; i < library.size(); ++i) {
        const PictureId card = library.deck().deal(random);
        ASSERT_FALSE(seen[card]);
        seen[card] = true;
    }
}

TEST_F(PictureLibraryTest, PastItsLimitTheWalksStopAndKeepWhatTheyFound) {
    putPictures("D:\\A\\", 30);
    putPictures("D:\\B\\", 30);
    PictureLibrary library(platform, {"C:\\one.jpg", "D:\\A\\", "D:\\B\\"}, 40);
    library.startReading({});
    ASSERT_TRUE(platform.advance(1));
    EXPECT_TRUE(library.full());
    EXPECT_FALSE(library.reading());
    EXPECT_EQ(library.size(), 40u);
    EXPECT_EQ(library.deck().size(), 40u);
    EXPECT_EQ(platform.backgroundWorksRunning(), 0);
}

}  // namespace
}  // namespace vistrel::library
