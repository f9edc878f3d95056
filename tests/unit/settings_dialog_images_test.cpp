// The image frame: adding through the file dialog, selecting, captions,
// removing, the thumbnail, and the image and caption lists kept aligned.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "dialog/dialog_values.h"
#include "dialog_test_support.h"
#include "picture_files.h"
#include "platform/headless/headless_platform.h"

namespace vistrel::testing {
namespace {

using platform::MessageBoxAnswer;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kNotFound = "Image file not found.\r\nYou need to reload a new one.";
constexpr const char* kNoFile = "No file has been selected.";

class DialogImagesTest : public DialogTest {
protected:
    ui::ListBox& list() { return c<ui::ListBox>("List1"); }
    ui::ListBox& captions() { return c<ui::ListBox>("photo_caption"); }
    ui::TextBox& captionBox() { return c<ui::TextBox>("p_caption"); }
    std::string count() { return c<ui::TextBox>("Text3").text(); }
    std::vector<std::string> entries(ui::ListControl& items) {
        std::vector<std::string> texts;
        for (int i = 0; i < items.listCount(); ++i) texts.push_back(items.list(i));
        return texts;
    }
    void add(const std::optional<std::string>& path) {
        platform.answerFileDialog(path);
        c<ui::Button>("add").userClick();
    }
};

TEST_F(DialogImagesTest, AddAppendsSelectsAndShowsTheNewImage) {
    // A decoder the system has beyond the program's own formats.
    platform.setPictureFileExtensions({".gif", ".jpg", ".bmp", ".webp"});
    openSample();
    platform.putFile("C:\\Pictures\\c.bmp", bmpFile(30, 20, kRedRgb));
    platform.clearCalls();
    add("C:\\Pictures\\c.bmp");

    ASSERT_EQ(platform.fileDialogRequests().size(), 1u);
    const platform::FileOpenRequest& request = platform.fileDialogRequests()[0];
    EXPECT_EQ(request.title, "Select a file to open");
    // OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, OFN_ALLOWMULTISELECT | OFN_EXPLORER
    EXPECT_EQ(request.flags, 0x1004u | 0x200u | 0x80000u);
    EXPECT_EQ(request.filter,
              "Image files (*.gif;*.jpg;*.jpeg;*.bmp;*.png;*.tif)|"
              "*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.jif;*.bmp;*.dib;*.png;*.tif;*.tiff;*.webp|"
              "CompuServe Files (*.gif)|*.gif|Jpeg Files (*.jpg)|*.jpg|Jif files (*.jif)|*.jif|"
              "Windows Bitmap Files (*.bmp)|*.bmp|Windows DIB files (*.dib)|*.dib|"
              "PNG Files (*.png)|*.png|TIFF Files (*.tif;*.tiff)|*.tif;*.tiff");
    EXPECT_THAT(entries(list()), ElementsAre("C:\\Pictures\\a.jpg", "C:\\Pictures\\b.gif", "C:\\Pictures\\c.bmp"));
    EXPECT_THAT(entries(captions()), ElementsAre("First", "Second", ""));
    EXPECT_EQ(list().listIndex(), 2);
    EXPECT_EQ(count(), "3");
    EXPECT_EQ(captionBox().text(), "");
    // The thumbnail follows once it is decoded.
    ASSERT_TRUE(settle());
    EXPECT_EQ(platform.calls().back(), "BitBlt(hdc:photo1, 0, 0, 30, 20, hdc:photo, 0, 0, SRCCOPY)");
    // Drawn at the top-left corner, at its own size.
    const auto* preview = platform.surfaceOf(c<ui::PictureBox>("photo1"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(platform::headless::pixelToColor(preview->at(0, 0)), kRedRgb);
    EXPECT_EQ(platform::headless::pixelToColor(preview->at(29, 19)), kRedRgb);
    EXPECT_NE(platform::headless::pixelToColor(preview->at(30, 20)), kRedRgb);
    EXPECT_THAT(messageTexts(), IsEmpty());

    add("C:\\Pictures\\c.bmp");  // the same file again: listed twice
    EXPECT_EQ(list().listCount(), 4);
    EXPECT_EQ(captions().listCount(), 4);
}

TEST_F(DialogImagesTest, CancelledAddChangesNothing) {
    openSample();
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    add(std::nullopt);
    EXPECT_THAT(messageTexts(), ElementsAre(kNoFile));
    EXPECT_EQ(list().listCount(), 2);
    EXPECT_EQ(list().listIndex(), 0);
}

TEST_F(DialogImagesTest, AFileThatIsNoPictureIsNotListedAndOneDamagedFurtherInIsTakenBackOut) {
    openSample();
    list().userSelect(1);
    ASSERT_TRUE(settle());
    // Its header tells at once.
    platform.putFile("C:\\Pictures\\notes.jpg", "not a picture");
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    add("C:\\Pictures\\notes.jpg");
    EXPECT_THAT(messageTexts(), ElementsAre(kNoFile));
    EXPECT_THAT(entries(list()), ElementsAre("C:\\Pictures\\a.jpg", "C:\\Pictures\\b.gif"));
    EXPECT_EQ(list().listIndex(), 1);

    // A sound header with its pixels cut off: listed until its thumbnail's
    // decode fails, then taken back out with its caption.
    platform.putFile("C:\\Pictures\\cut.bmp", bmpFile(40, 40, kRedRgb).substr(0, 80));
    add("C:\\Pictures\\cut.bmp");
    EXPECT_EQ(list().listCount(), 3);
    EXPECT_EQ(captions().listCount(), 3);
    EXPECT_EQ(list().listIndex(), 2);
    platform.answerMessageBoxes({MessageBoxAnswer::Ok, MessageBoxAnswer::Ok});
    ASSERT_TRUE(settle());
    EXPECT_THAT(messageTexts(), ElementsAre(kNoFile, kNotFound, kNoFile));
    EXPECT_THAT(entries(list()), ElementsAre("C:\\Pictures\\a.jpg", "C:\\Pictures\\b.gif"));
    EXPECT_THAT(entries(captions()), ElementsAre("First", "Second"));
    EXPECT_EQ(list().listIndex(), 1);
    EXPECT_EQ(captionBox().text(), "Second");
    EXPECT_EQ(count(), "2");
}

TEST_F(DialogImagesTest, TheNewestSelectionWinsAndTheDialogNeverWaits) {
    SampleSettings three;
    three.total = "3";
    three.images.push_back("C:\\Pictures\\c.bmp");
    three.captions.push_back("Third");
    platform.putFile("C:\\Pictures\\c.bmp", bmpFile(30, 30, kRedRgb));
    for (const char* path : {"C:\\Pictures\\a.jpg", "C:\\Pictures\\b.gif", "C:\\Pictures\\c.bmp"}) {
        platform.setDecodeCost(path, 400);
    }
    openSample(three);  // a.jpg selected, its decode running until 400 ms
    platform.clearCalls();
    const std::int64_t start = platform.nowMs();
    list().userSelect(1);
    ASSERT_TRUE(platform.advance(100));
    list().userSelect(2);
    // Selecting took no time, and each selection's caption came at once.
    EXPECT_EQ(platform.nowMs(), start + 100);
    EXPECT_EQ(captionBox().text(), "Third");
    // The first decode cannot be stopped half-way; the second never starts.
    ASSERT_TRUE(platform.advance(699));
    EXPECT_THAT(platform.callsStartingWith({"photo.Picture"}), IsEmpty());
    ASSERT_TRUE(platform.advance(1));
    EXPECT_THAT(platform.callsStartingWith({"photo.Picture", "LoadPicture"}),
                ElementsAre("LoadPictureInBackground(C:\\Pictures\\b.gif)",
                            "LoadPictureInBackground(C:\\Pictures\\c.bmp)", "photo.Picture = 30 x 30"));
    EXPECT_EQ(platform.picturesInWorker(), 0u);
}

TEST_F(DialogImagesTest, SelectingShowsTheCaptionAndAFailedLoadIsReportedAfterTheRedraw) {
    openSample();
    EXPECT_EQ(captionBox().text(), "First");
    list().userSelect(1);
    EXPECT_EQ(captionBox().text(), "Second");
    ASSERT_TRUE(settle());
    EXPECT_EQ(c<ui::PictureBox>("photo").picture()->width, 20);

    platform.removeFile("C:\\Pictures\\a.jpg");
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    platform.clearCalls();
    list().userSelect(0);
    EXPECT_EQ(captionBox().text(), "First");
    ASSERT_TRUE(settle());
    // The loader keeps the picture it had, and that is what is drawn.
    EXPECT_EQ(c<ui::PictureBox>("photo").picture()->width, 20);
    EXPECT_THAT(platform.callsStartingWith({"LoadPicture", "BitBlt", "MessageBox"}),
                ElementsAre("LoadPictureInBackground(C:\\Pictures\\a.jpg)",
                            "BitBlt(hdc:photo1, 0, 0, 20, 10, hdc:photo, 0, 0, SRCCOPY)",
                            "MessageBox(\"Image file not found.\\r\\nYou need to reload a new one.\", \"Vistrel "
                            "Screen Saver\", OK) -> OK"));
    EXPECT_EQ(list().listCount(), 2);
}

TEST_F(DialogImagesTest, CaptionsAreStoredPerImageAndClearEmptiesOnlyTheSelectedOne) {
    openSample();
    list().userSelect(1);
    captionBox().userSetText("Harbour");
    list().userSelect(0);
    EXPECT_EQ(captionBox().text(), "First");
    list().userSelect(1);
    EXPECT_EQ(captionBox().text(), "Harbour");
    c<ui::Button>("caption_clear").userClick();
    EXPECT_EQ(captionBox().text(), "");
    EXPECT_THAT(entries(captions()), ElementsAre("First", ""));
}

TEST_F(DialogImagesTest, ACaptionTypedIntoAnEmptyListIsRefused) {
    open(std::nullopt);
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    captionBox().userSetText("x");
    EXPECT_THAT(messageTexts(), ElementsAre("An image must be loaded first."));
    EXPECT_EQ(captionBox().text(), "");
    EXPECT_EQ(captions().listCount(), 0);
    c<ui::Button>("caption_clear").userClick();  // nothing to clear, no message
    EXPECT_EQ(messageTexts().size(), 1u);
}

TEST_F(DialogImagesTest, RemoveSelectsANeighbourAndTheLastRemovalEmptiesEverything) {
    SampleSettings three;
    three.total = "3";
    three.images.push_back("C:\\Pictures\\a.jpg");
    three.captions.push_back("Third");
    openSample(three);
    auto& remove = c<ui::Button>("remove");

    remove.userClick();  // the first: the former second is the new first
    EXPECT_THAT(entries(list()), ElementsAre("C:\\Pictures\\b.gif", "C:\\Pictures\\a.jpg"));
    EXPECT_THAT(entries(captions()), ElementsAre("Second", "Third"));
    EXPECT_EQ(list().listIndex(), 0);
    EXPECT_EQ(captionBox().text(), "Second");
    EXPECT_EQ(count(), "2");

    list().userSelect(1);
    remove.userClick();  // the last: the one before it
    EXPECT_EQ(list().listIndex(), 0);
    EXPECT_EQ(captionBox().text(), "Second");

    remove.userClick();
    EXPECT_EQ(list().listCount(), 0);
    EXPECT_EQ(captions().listCount(), 0);
    EXPECT_EQ(captionBox().text(), "");
    EXPECT_EQ(count(), "0");
    EXPECT_EQ(platform.calls().back(), "Text3.Text = 0");

    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    remove.userClick();
    EXPECT_THAT(messageTexts(), ElementsAre("Nothing was selected to remove."));
}

TEST_F(DialogImagesTest, RemoveAllAsksFirst) {
    openSample();
    platform.answerMessageBoxes({MessageBoxAnswer::No, MessageBoxAnswer::Yes, MessageBoxAnswer::Yes});
    auto& removeAll = c<ui::Button>("RemoveAll");
    removeAll.userClick();
    EXPECT_EQ(list().listCount(), 2);
    EXPECT_EQ(captionBox().text(), "First");
    removeAll.userClick();
    EXPECT_EQ(list().listCount(), 0);
    EXPECT_EQ(captions().listCount(), 0);
    EXPECT_EQ(captionBox().text(), "");
    EXPECT_EQ(count(), "0");
    removeAll.userClick();  // asked even when there is nothing to remove
    EXPECT_EQ(platform.messageBoxes().size(), 3u);
    EXPECT_EQ(platform.messageBoxes()[0].text, "Do you really want to remove all loaded images?");
    EXPECT_EQ(platform.messageBoxes()[0].buttons, platform::MessageBoxButtons::YesNo);
}

// Whatever the user does, entry i of the caption list is the caption of
// entry i of the image list.
TEST_F(DialogImagesTest, ImageAndCaptionListsStayAlignedThroughAnySequence) {
    open(std::nullopt);
    std::mt19937 random(7);
    // Every box is answered as it comes: OK, or at random Yes or No.
    platform.onMessageBox([&] {
        const bool question = platform.messageBoxes().back().buttons == platform::MessageBoxButtons::YesNo;
        platform.answerMessageBoxes(
            {!question ? MessageBoxAnswer::Ok : random() % 2 ? MessageBoxAnswer::Yes : MessageBoxAnswer::No});
    });
    std::map<std::string, std::string> captionOf;  // every path is added once, with its own caption
    int added = 0;
    for (int step = 0; step < 300; ++step) {
        const int action = static_cast<int>(random() % 10);
        if (action < 4) {
            const std::string path = "C:\\Pictures\\p" + std::to_string(added++) + ".bmp";
            // Good, no picture at all, or cut off after a sound header (taken
            // back out if its thumbnail fails before anything cancels it).
            const int kind = static_cast<int>(random() % 4);
            const std::string good = bmpFile(4, 4, kBlueRgb);
            platform.putFile(path, kind == 0 ? std::string("garbage") : kind == 1 ? good.substr(0, 60) : good);
            add(path);
            if (kind >= 2) {
                captionOf[path] = "caption of " + path;
                captionBox().userSetText(captionOf[path]);
            }
        } else if (action < 6) {
            c<ui::Button>("remove").userClick();
        } else if (action < 7) {
            c<ui::Button>("RemoveAll").userClick();
        } else if (action < 8) {
            // Thumbnails on their way arrive now, between any two actions.
            ASSERT_TRUE(settle());
        } else if (list().listCount() > 0) {
            list().userSelect(static_cast<int>(random() % static_cast<unsigned>(list().listCount())));
        }
        ASSERT_EQ(list().listCount(), captions().listCount()) << "step " << step;
        for (int i = 0; i < list().listCount(); ++i) {
            ASSERT_EQ(captions().list(i), captionOf[list().list(i)]) << "step " << step << ", entry " << i;
        }
        ASSERT_EQ(count(), std::to_string(list().listCount()));
    }
    EXPECT_GT(added, 50);
}

TEST_F(DialogImagesTest, AddRefusesAnImageBeyondWhatTheSaverReads) {
    SampleSettings full;
    full.total = std::to_string(dialog::kMaxImages);
    full.images.assign(dialog::kMaxImages, "C:\\Pictures\\a.jpg");
    full.captions.assign(dialog::kMaxImages, "");
    openSample(full);
    ASSERT_EQ(list().listCount(), 32767);
    platform.answerMessageBoxes({MessageBoxAnswer::Ok});
    c<ui::Button>("add").userClick();
    EXPECT_TRUE(platform.fileDialogRequests().empty());
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_THAT(messageTexts()[0], ::testing::HasSubstr("32767"));
    EXPECT_EQ(list().listCount(), 32767);
}

TEST(DialogThumbnail, ReducesByTenthsUntilThePictureFitsThePreview) {
    struct Case {
        int width, height, expectedWidth, expectedHeight;
        bool reduced;
    };
    const Case cases[] = {
        {4000, 2000, 3240, 1620, true},  // 3600 x 1800 first, then 3240 x 1620
        {3374, 1814, 3374, 1814, false},
        {3375, 1000, 3038, 900, true},  // 3037.5: the half goes to the even neighbour
        {1000, 1815, 900, 1634, true},  // 1633.5 rounds to the even 1634
        {60, 60, 60, 60, false},
    };
    for (const Case& test : cases) {
        const dialog::ThumbnailSize size = dialog::thumbnailSize(test.width, test.height);
        EXPECT_EQ(size.width, test.expectedWidth) << test.width << " x " << test.height;
        EXPECT_EQ(size.height, test.expectedHeight) << test.width << " x " << test.height;
        EXPECT_EQ(size.reduced, test.reduced) << test.width << " x " << test.height;
    }
}

TEST_F(DialogImagesTest, ALargeLoaderIsDrawnReducedWithAveragedPixels) {
    // At 10 twips a pixel, a picture of 396 x 196 pixels makes a loader of
    // 4000 x 2000 twips with its border.
    platform.setScreen({1024, 768, 10, 10});
    std::string stripes = bmpFile(396, 196, 0);
    // Black and white columns (rows of 396 pixels need no padding): a
    // smooth reduction averages them to grey.
    for (std::size_t at = 54; at + 3 <= stripes.size(); at += 3) {
        const std::size_t column = (at - 54) / 3 % 396;
        stripes.replace(at, 3, 3, column % 2 ? '\xFF' : '\0');
    }
    platform.putFile("C:\\Pictures\\a.jpg", stripes);
    platform.putFile("C:\\Pictures\\b.gif", bmpFile(2, 2, kBlueRgb));
    open(SampleSettings{}.text());

    EXPECT_EQ(dialog->thumbWidth(), 3240);
    EXPECT_EQ(dialog->thumbHeight(), 1620);
    EXPECT_THAT(platform.callsStartingWith({"SetStretchBltMode", "StretchBlt", "BitBlt"}),
                ElementsAre("SetStretchBltMode(hdc:photo1, HALFTONE)",
                            // The loader holds the picture decoded no larger than the
                            // preview box (337 x 181 pixels at 10 twips a pixel).
                            "StretchBlt(hdc:photo1, 0, 0, 324, 162, hdc:photo, 0, 0, 337, 167, SRCCOPY)"));
    const auto* preview = platform.surfaceOf(c<ui::PictureBox>("photo1"));
    const std::uint32_t grey = preview->at(100, 80) & 0xFF;
    EXPECT_GT(grey, 0x40u);
    EXPECT_LT(grey, 0xC0u);
}

TEST_F(DialogImagesTest, TheThumbnailOfATaggedPhotoIsUprightAndSizedFromTheWholePhoto) {
    // Stored 600 x 300, left half red; tag 8 turns it a quarter anticlockwise,
    // so upright it is 300 x 600 with the red half at the bottom.
    const std::string jpeg = saved(600, 300, false, "jpeg", [](int x, int) { return x < 300 ? 0xFF0000FFu : 0x0000FFFFu; });
    platform.putFile("C:\\Pictures\\a.jpg", withOrientation(jpeg, 8));
    platform.putFile("C:\\Pictures\\b.gif", bmpFile(2, 2, kBlueRgb));
    open(SampleSettings{}.text());

    const auto& loaded = c<ui::PictureBox>("photo").picture();
    ASSERT_TRUE(loaded);
    EXPECT_LT(loaded->width, loaded->height);
    EXPECT_EQ(loaded->naturalWidth, 300);
    EXPECT_EQ(loaded->naturalHeight, 600);
    // The thumbnail's size comes from the whole photo with the loader's
    // border, 304 x 604 pixels, through the 0.9 steps.
    EXPECT_EQ(dialog->thumbHeight() < 1815 && dialog->thumbWidth() < 3375, true);
    EXPECT_EQ(dialog->thumbWidth() * 604 / 304 / 10, dialog->thumbHeight() / 10);
    const std::uint32_t top = loaded->at(loaded->width / 2, 2);
    const std::uint32_t bottom = loaded->at(loaded->width / 2, loaded->height - 3);
    EXPECT_GT(top & 0xFF, 200u);             // blue above
    EXPECT_GT(bottom >> 16 & 0xFF, 200u);    // red below
}

}  // namespace
}  // namespace vistrel::testing
