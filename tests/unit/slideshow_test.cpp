// The slideshow on the headless backend: the order and timing of the
// images, each change's steps, the transitions on screen, the caption, the
// float movement, and the image that cannot be shown.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "saver/saver_window.h"
#include "test_support.h"

namespace vistrel::saver {
namespace {

using platform::headless::HeadlessPlatform;
using platform::headless::Surface;
using platform::headless::colorToPixel;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using vistrel::testing::solidBmp;

constexpr ui::Color kRed = 0x0000FF;
constexpr ui::Color kGreen = 0x00FF00;
constexpr ui::Color kBlue = 0xFF0000;

class SlideshowTest : public ::testing::Test {
protected:
    SlideshowTest() {
        platform.setScreen({200, 150, 15, 15});
        settings.newBackColor = std::to_string(kBlue);
        settings.timeInterval = "2";
        settings.captions = {"", ""};
        putImage("C:\\Pictures\\a.bmp", solidBmp(40, 30, kRed));
        putImage("C:\\Pictures\\b.bmp", solidBmp(60, 20, kGreen));
        putImage("C:\\Pictures\\c.bmp", solidBmp(30, 50, 0x808080));
        useImages({"C:\\Pictures\\a.bmp", "C:\\Pictures\\b.bmp", "C:\\Pictures\\c.bmp"});
    }

    void putImage(const std::string& path, std::string bytes) { platform.putFile(path, std::move(bytes)); }

    void useImages(std::vector<std::string> paths) {
        settings.total = std::to_string(paths.size());
        settings.captions.resize(paths.size());
        settings.images = std::move(paths);
    }

    SaverWindow& start() {
        platform.putFile(vistrel::testing::kSettingsPath, settings.text());
        saver = std::make_unique<SaverWindow>(platform, runValues);
        EXPECT_TRUE(platform.run([&] {
            saver->form1.load();
            saver->form1.show();
        }));
        return *saver;
    }

    // The pictures asked of the picture worker, in order: each change's, and
    // from the end of each change the next one, decoded ahead.
    std::vector<std::string> loads() const { return platform.callsStartingWith({"LoadPictureInBackground("}); }
    // The picture each change brought in, by its size.
    std::vector<std::string> changes() const { return platform.callsStartingWith({"Picture2.Picture = "}); }

    HeadlessPlatform platform;
    RunValues runValues;
    vistrel::testing::SampleSettings settings;
    std::unique_ptr<SaverWindow> saver;
};

TEST_F(SlideshowTest, ImagesComeInListOrderOneIntervalAfterEachChangeEnds) {
    settings.effectMode = "0";  // "Standard": no transition time
    start();
    ASSERT_TRUE(platform.advance(499));
    EXPECT_THAT(loads(), IsEmpty());
    ASSERT_TRUE(platform.advance(1));  // the first image half a second after the load
    // Shown after the 0.3 s pause, and the second one then decoded ahead;
    // the next change two seconds after that.
    EXPECT_THAT(loads(), ElementsAre("LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\b.bmp)"));
    EXPECT_EQ(platform.nowMs(), 800);
    ASSERT_TRUE(platform.advance(1999));
    EXPECT_EQ(changes().size(), 1u);
    ASSERT_TRUE(platform.advance(1));
    EXPECT_EQ(changes().size(), 2u);
    EXPECT_EQ(platform.nowMs(), 3100);
    ASSERT_TRUE(platform.advance(2000 + 2300 + 1));
    EXPECT_THAT(changes(), ElementsAre("Picture2.Picture = 40 x 30", "Picture2.Picture = 60 x 20",
                                       "Picture2.Picture = 30 x 50", "Picture2.Picture = 40 x 30"));
    EXPECT_THAT(loads(), ElementsAre("LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\b.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\c.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\b.bmp)"));
}

TEST_F(SlideshowTest, TheFirstImageStepByStep) {
    settings.effectMode = "0";
    settings.captions = {"Hi", "", ""};
    start();
    platform.clearCalls();
    ASSERT_TRUE(platform.advance(500));
    const auto calls = platform.callsStartingWith({"Label1.", "Picture", "LoadPicture", "DoEvents", "Timer"});
    // (The caption and the display surface start hidden: hiding them again
    // changes nothing and records nothing.)
    EXPECT_THAT(calls, ElementsAreArray<std::string>({
                           "LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                           "Picture1.Cls()",
                           "Picture2.Cls()",
                           "Picture2.Picture = 40 x 30",
                           "Picture2.Bounds = 0, 0, 600, 450",
                           "Picture1.Bounds = 0, 0, 600, 450",
                           "Picture1.Bounds = 1200, 900, 600, 450",  // centred on 3000 x 2250 twips
                           "DoEvents() x300",
                           "Picture1.Visible = True",
                           "Picture1.Picture = 40 x 30",  // "Standard"
                           "Picture1.Picture = 40 x 30",  // the final copy
                           // The caption: emptied, set, widened by 200 and centred.
                           "Label1.Text = ",
                           "Label1.Bounds = 0, 0, 0, 336",
                           "Label1.Text = Hi",
                           "Label1.Bounds = 0, 0, 336, 336",
                           "Label1.Bounds = 0, 0, 536, 336",
                           "Label1.Bounds = 1232, 0, 536, 336",
                           "Label1.Visible = True",
                           "Timer2.Enabled = True",
                           "Timer2.Interval = 2000",
                           "Timer3.Enabled = False",
                           // The next picture, decoded while this one is shown.
                           "LoadPictureInBackground(C:\\Pictures\\b.bmp)",
                       }));
}

TEST_F(SlideshowTest, AChangeHoldsOffTheChangeTimerUntilItHasFinished) {
    start();
    ASSERT_TRUE(platform.advance(2700));  // the first image shown, the change to come at 2800
    platform.clearCalls();
    ASSERT_TRUE(platform.advance(5000));
    const auto timer2 = platform.callsStartingWith({"Timer2.", "LoadPicture"});
    ASSERT_GE(timer2.size(), 3u);
    // The change takes the picture decoded ahead; the one after it is asked
    // for once the change is done.
    EXPECT_THAT(std::vector<std::string>(timer2.begin(), timer2.begin() + 3),
                ElementsAre("Timer2.Interval = 60000", "Timer2.Interval = 2000",
                            "LoadPictureInBackground(C:\\Pictures\\c.bmp)"));
}

TEST_F(SlideshowTest, ALeftWipeHalfwayShowsTheNewImageOnTheLeftAndThePreviousOneCutToTheNewFrame) {
    // The previous image, 60 x 40 red; the new one, 80 x 30 green. The new
    // frame is wider and lower: to the right of the red the background shows.
    putImage("C:\\Pictures\\old.bmp", solidBmp(60, 40, kRed));
    putImage("C:\\Pictures\\new.bmp", solidBmp(80, 30, kGreen));
    useImages({"C:\\Pictures\\old.bmp", "C:\\Pictures\\new.bmp"});
    settings.effectMode = "1";
    start();
    ASSERT_TRUE(platform.advance(2900));

    // Watch the frames of the second transition.
    std::map<std::int64_t, Surface> frames;
    std::int64_t firstFrame = -1;
    platform.onPause([&] {
        if (firstFrame < 0) firstFrame = platform.nowMs();
        frames[platform.nowMs()] = platform.screenshot();
    });
    ASSERT_TRUE(platform.advance(2000));
    ASSERT_FALSE(frames.empty());

    // The frame nearest half a second into the transition.
    const auto half = frames.lower_bound(firstFrame + 490);
    ASSERT_NE(half, frames.end());
    const Surface& screen = half->second;
    // The new frame stands centred: (200 - 80) / 2 = 60, (150 - 30) / 2 = 60.
    int greenColumns = 0;
    while (greenColumns < 80 && screen.at(60 + greenColumns, 75) == colorToPixel(kGreen)) ++greenColumns;
    EXPECT_GE(greenColumns, 30);
    EXPECT_LE(greenColumns, 50);
    for (int x = greenColumns; x < 80; ++x) {
        const ui::Color expected = x < 60 ? kRed : kBlue;  // the previous image stops at 60
        for (int y : {60, 75, 89}) ASSERT_EQ(screen.at(60 + x, y), colorToPixel(expected)) << x << ", " << y;
    }
    // Nothing of the previous image outside the new frame.
    EXPECT_EQ(screen.at(59, 75), colorToPixel(kBlue));
    EXPECT_EQ(screen.at(100, 59), colorToPixel(kBlue));
    EXPECT_EQ(screen.at(100, 90), colorToPixel(kBlue));

    // The wipe only grows, and it ends with the whole new image.
    int previous = 0;
    for (const auto& [at, shot] : frames) {
        int columns = 0;
        while (columns < 80 && shot.at(60 + columns, 75) == colorToPixel(kGreen)) ++columns;
        EXPECT_GE(columns, previous) << "at " << at;
        previous = columns;
    }
    const Surface after = platform.screenshot();
    for (int x = 60; x < 140; ++x) ASSERT_EQ(after.at(x, 75), colorToPixel(kGreen)) << x;
}

TEST_F(SlideshowTest, WithFitLargeOffAnImageLargerThanTheScreenIsCentredAndDrawnOnlyWhereVisible) {
    putImage("C:\\Pictures\\huge.bmp", solidBmp(300, 200, kRed));
    useImages({"C:\\Pictures\\huge.bmp"});
    settings.effectMode = "5";
    settings.fitLarge = "0";
    start();
    ASSERT_TRUE(platform.advance(3000));
    EXPECT_EQ(saver->picture1.left(), -750);  // (3000 - 4500) / 2 twips
    EXPECT_EQ(saver->picture1.top(), -375);
    // What the transition put on the screen: between the previous picture
    // shown in the new frame and the new one assigned whole.
    const auto calls = platform.callsStartingWith({"Form1.ShowCanvas(", "Picture1.Visible = True", "Picture1.Picture"});
    const auto from = std::find(calls.begin(), calls.end(), "Picture1.Visible = True");
    ASSERT_NE(from, calls.end());
    const auto to = std::find_if(from, calls.end(), [](const std::string& call) {
        return call.starts_with("Picture1.Picture");
    });
    ASSERT_GT(to - from, 2);
    long long painted = 0;
    for (auto call = from + 2; call != to; ++call) {
        int x = 0, y = 0, cw = 0, ch = 0;
        ASSERT_EQ(std::sscanf(call->c_str(), "Form1.ShowCanvas(%d, %d, %d, %d)", &x, &y, &cw, &ch), 4);
        EXPECT_GE(x, 0);
        EXPECT_GE(y, 0);
        EXPECT_LE(x + cw, 200);
        EXPECT_LE(y + ch, 150);
        painted += static_cast<long long>(cw) * ch;
    }
    // A centre wipe stops one pixel short of the image; the visible part is
    // the whole screen, each pixel written at most once.
    EXPECT_LE(painted, 200 * 150);
    EXPECT_GT(painted, 190 * 140);
    const Surface screen = platform.screenshot();
    for (int x = 0; x < 200; x += 7) ASSERT_EQ(screen.at(x, 100), colorToPixel(kRed)) << x;
}

TEST_F(SlideshowTest, RandomOrderAndRandomTransitionsDrawFromTheList) {
    settings.randomPick = "1";
    settings.randomEffect = "1";
    settings.effectMode = "0";
    settings.timeInterval = "1";
    SaverWindow& window = start();
    std::set<std::string> codes;
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(platform.advance(2500));
        codes.insert(window.effectMode);
    }
    // Codes 1 to 8 only, stored in place of the setting in memory.
    for (const std::string& code : codes) {
        EXPECT_GE(std::stoi(code), 1) << code;
        EXPECT_LE(std::stoi(code), 8) << code;
    }
    EXPECT_GE(codes.size(), 4u);
    std::map<std::string, int> shown;
    for (const std::string& load : loads()) ++shown[load];
    EXPECT_EQ(shown.size(), 3u);  // every image of the list comes up, and nothing else
    EXPECT_GE(loads().size(), 20u);
    // The settings file is never written.
    EXPECT_EQ(platform.fileReplaceCount(), 0u);
}

TEST_F(SlideshowTest, AnIntervalOfZeroKeepsACentredImageForTheRestOfTheRun) {
    settings.timeInterval = "0";
    start();
    ASSERT_TRUE(platform.advance(60000));
    // Nothing decoded ahead for a change that never comes.
    EXPECT_THAT(loads(), ElementsAre("LoadPictureInBackground(C:\\Pictures\\a.bmp)"));
    EXPECT_THAT(platform.callsStartingWith({"Timer2.", "Timer1.", "PanTimer."}), IsEmpty());
}

TEST_F(SlideshowTest, IntervalsLongerThanTheDesignedTimerRangeAreKept) {
    settings.timeInterval = "100";
    settings.effectMode = "0";
    start();
    ASSERT_TRUE(platform.advance(800 + 99999));
    EXPECT_EQ(changes().size(), 1u);
    ASSERT_TRUE(platform.advance(1));
    EXPECT_EQ(changes().size(), 2u);
    EXPECT_THAT(platform.callsStartingWith({"Timer2.Interval"}),
                ElementsAre("Timer2.Interval = 100000", "Timer2.Interval = 60000", "Timer2.Interval = 100000"));
}

TEST_F(SlideshowTest, AFloatingImageMovesOneStepPerTickAtItsSpeed) {
    settings.picRandom = "rand";
    settings.picSpeed = "5";
    settings.timeInterval = "0";
    SaverWindow& window = start();
    ASSERT_TRUE(platform.advance(2000));
    EXPECT_THAT(platform.callsStartingWith({"Timer1."}),
                ElementsAre("Timer1.Interval = 25", "Timer1.Enabled = True"));
    EXPECT_THAT(platform.callsStartingWith({"Timer2."}), ElementsAre("Timer2.Enabled = True", "Timer2.Interval = 0"));
    const int left = window.picture1.left(), top = window.picture1.top();
    ASSERT_TRUE(window.stepX == 15 || window.stepX == -15);
    ASSERT_TRUE(window.stepY == 15 || window.stepY == -15);
    ASSERT_TRUE(platform.advance(250));  // ten ticks, far from any edge
    EXPECT_EQ(window.picture1.left(), left + 10 * window.stepX);
    EXPECT_EQ(window.picture1.top(), top + 10 * window.stepY);
}

TEST_F(SlideshowTest, AFloatingImageBouncesOffTheEdgesAndTheCaptionBand) {
    settings.picRandom = "rand";
    settings.picSpeed = "5";
    settings.timeInterval = "0";
    settings.captions = {"Caption", "", ""};
    SaverWindow& window = start();
    ASSERT_TRUE(platform.advance(2000));
    const int band = window.label1.height();
    ASSERT_GT(band, 0);
    int minLeft = 1 << 30, maxRight = -(1 << 30), minTop = 1 << 30, maxBottom = -(1 << 30);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(platform.advance(25));
        minLeft = std::min(minLeft, window.picture1.left());
        maxRight = std::max(maxRight, window.picture1.left() + window.picture1.width());
        minTop = std::min(minTop, window.picture1.top());
        maxBottom = std::max(maxBottom, window.picture1.top() + window.picture1.height());
    }
    // It reaches every edge and passes none by more than one step.
    EXPECT_GE(minLeft, -15);
    EXPECT_LE(minLeft, 0);
    EXPECT_LE(maxRight, 3000 + 15);
    EXPECT_GE(maxRight, 3000);
    EXPECT_GE(minTop, band - 15);
    EXPECT_LE(minTop, band);
    EXPECT_LE(maxBottom, 2250 + 15);
    EXPECT_GE(maxBottom, 2250);
}

TEST_F(SlideshowTest, TheCaptionIsCentredAtTheTopAndAnEmptyOneTakesNoRoom) {
    settings.captions = {"Sunset", "", ""};
    settings.effectMode = "0";
    SaverWindow& window = start();
    ASSERT_TRUE(platform.advance(900));
    // Six characters of 14 point: 6 x 168 twips, widened by 200.
    EXPECT_EQ(window.label1.width(), 6 * 168 + 200);
    EXPECT_EQ(window.label1.left(), (3000 - (6 * 168 + 200)) / 2);
    EXPECT_EQ(window.label1.top(), 0);
    EXPECT_TRUE(window.label1.visible());
    ASSERT_TRUE(platform.advance(2300));  // the next image has no caption
    EXPECT_EQ(window.label1.text(), "");
    EXPECT_EQ(window.label1.height(), 0);
    EXPECT_TRUE(window.label1.visible());
}

TEST_F(SlideshowTest, EntriesWithoutAPathArePassedOver) {
    // Five images announced, two given: entries 2 to 4 read as empty.
    settings.total = "5";
    settings.images = {"C:\\Pictures\\a.bmp", "", "C:\\Pictures\\b.bmp"};
    settings.captions = {"", "", ""};
    settings.effectMode = "0";
    start();
    ASSERT_TRUE(platform.advance(800 + 4 * 2300));
    // Five changes, and the picture of the sixth decoded ahead.
    EXPECT_THAT(loads(), ElementsAre("LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\b.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\b.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\b.bmp)"));
    EXPECT_THAT(platform.messageBoxes(), IsEmpty());
}

TEST_F(SlideshowTest, WithoutAnyImageTheBackgroundStays) {
    for (const char* total : {"0", "3"}) {
        SCOPED_TRACE(total);
        HeadlessPlatform bare;
        bare.setScreen({200, 150, 15, 15});
        vistrel::testing::SampleSettings none;
        none.total = total;
        none.images = {"", ""};
        none.newBackColor = std::to_string(kBlue);
        bare.putFile(vistrel::testing::kSettingsPath, none.text());
        RunValues values;
        SaverWindow window(bare, values);
        ASSERT_TRUE(bare.run([&] { window.form1.show(); }));
        ASSERT_TRUE(bare.advance(20000));
        EXPECT_THAT(bare.callsStartingWith({"LoadPicture"}), IsEmpty());
        EXPECT_FALSE(bare.programEnded());
        EXPECT_EQ(bare.screenshot().at(100, 75), colorToPixel(kBlue));
    }
}

TEST_F(SlideshowTest, AnImageThatCannotBeShownEndsTheRunWithItsMessage) {
    platform.putFile("C:\\Pictures\\b.bmp", "not a picture at all");
    platform.answerMessageBoxes({platform::MessageBoxAnswer::Ok});
    settings.effectMode = "0";
    start();
    EXPECT_FALSE(platform.advance(10000));
    EXPECT_TRUE(platform.programEnded());
    // Decoded ahead, and found wanting, while a.bmp was shown; reported only
    // when its turn came, at the second change.
    EXPECT_EQ(platform.nowMs(), 800 + 2000);
    const auto calls = platform.callsStartingWith({"LoadPicture", "Unload", "MessageBox", "EndProgram",
                                                   "SystemParametersInfoA"});
    EXPECT_THAT(calls, ElementsAre("LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                   "LoadPictureInBackground(C:\\Pictures\\b.bmp)",
                                   "Unload(Form1)",
                                   "MessageBox(\"C:\\Pictures\\b.bmp\\r\\ndoes not exist! Vistrel Screen Saver "
                                   "will\\r\\nnot function unless a different image is reloaded.\", \"Vistrel Screen "
                                   "Saver\", OK) -> OK",
                                   "EndProgram()"));
}

TEST_F(SlideshowTest, AFailedDrawingStepEndsTheRunUnlessTheTransitionIsABlind) {
    for (const char* code : {"1", "5", "6", "7"}) {
        SCOPED_TRACE(code);
        HeadlessPlatform drawing;
        drawing.setScreen({200, 150, 15, 15});
        drawing.putFile("C:\\Pictures\\a.bmp", solidBmp(40, 30, kRed));
        drawing.setDrawingFails(true);
        vistrel::testing::SampleSettings one;
        one.images = {"C:\\Pictures\\a.bmp"};
        one.captions = {""};
        one.total = "1";
        one.effectMode = code;
        drawing.putFile(vistrel::testing::kSettingsPath, one.text());
        drawing.answerMessageBoxes({platform::MessageBoxAnswer::Ok});
        RunValues values;
        SaverWindow window(drawing, values);
        ASSERT_TRUE(drawing.run([&] { window.form1.show(); }));
        const bool blinds = std::string(code) == "6" || std::string(code) == "7";
        EXPECT_EQ(drawing.advance(3000), blinds);
        EXPECT_EQ(drawing.messageBoxes().size(), blinds ? 0u : 1u);
        if (blinds) {
            // Every step was tried; the final copy shows the picture all the same.
            EXPECT_GT(drawing.callsStartingWith({"Form1.ShowCanvas("}).size(), 10u);
            EXPECT_EQ(drawing.screenshot().at(100, 75), colorToPixel(kRed));
        }
    }
}

TEST_F(SlideshowTest, AMissingImageOnAProtectedWindows98RunKeepsTheFlagOn) {
    // Passed over instead of ending the run: Ctrl+Alt+Del stays blocked
    // until the password is given.
    platform.setPlatformId(platform::VER_PLATFORM_WIN32_WINDOWS);
    platform.removeFile("C:\\Pictures\\a.bmp");
    settings.saverEnabled = "1";
    settings.saverPassword = "secret";
    SaverWindow& window = start();
    std::vector<std::string> skipped;
    window.onImageSkipped = [&](const std::string& path) { skipped.push_back(path); };
    EXPECT_TRUE(platform.advance(1000));
    EXPECT_EQ(platform.screenSaverRunningFlag(), 1);
    EXPECT_THAT(platform.callsStartingWith({"SystemParametersInfoA", "Unload", "MessageBox"}),
                ElementsAre("SystemParametersInfoA(97, 1, 0, 0)"));
    EXPECT_THAT(skipped, ElementsAre("C:\\Pictures\\a.bmp"));
    // b.bmp in a.bmp's place, and c.bmp decoded ahead for the next change.
    EXPECT_THAT(loads(), ElementsAre("LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\b.bmp)",
                                     "LoadPictureInBackground(C:\\Pictures\\c.bmp)"));
}

}  // namespace
}  // namespace vistrel::saver

namespace vistrel::saver {
namespace {

class FittedSlideshowTest : public SlideshowTest {};

TEST_F(FittedSlideshowTest, ASlowFirstPictureIsShownOnceAndTheNextFollowsOneIntervalLater) {
    // Decoding the first picture takes longer than the first-image timer's
    // interval: its next tick falls inside the change, and must not start
    // the slideshow again inside itself.
    settings.effectMode = "0";
    settings.captions = {"first", "second", "third"};
    platform.setDecodeCost("C:\\Pictures\\a.bmp", 800);
    start();
    ASSERT_TRUE(platform.advance(2000));
    EXPECT_EQ(changes().size(), 1u);
    EXPECT_EQ(saver->label1.text(), "first");
    EXPECT_EQ(saver->picture1.width(), 40 * 15);
    // 500 ms + 800 ms decode + 300 ms pause: the change ends near 1.6 s; the
    // second picture comes one 2-second interval later, near 3.6 s.
    ASSERT_TRUE(platform.advance(1500));
    EXPECT_EQ(changes().size(), 1u);
    ASSERT_TRUE(platform.advance(300));
    EXPECT_EQ(changes().size(), 2u);
    EXPECT_EQ(saver->label1.text(), "second");
    EXPECT_EQ(saver->picture1.width(), 60 * 15);
}

TEST_F(FittedSlideshowTest, PicturesLargerThanTheirSpaceAreShrunkToFitKeepingProportions) {
    // Screen 200 x 150 pixels. Centred: the whole screen, less twice the
    // caption's band; floating: two thirds of the screen.
    struct Case {
        int width, height;
        std::string caption, placement;
        int shownWidth, shownHeight;  // 0: worked out from the caption band
    } cases[] = {
        {200, 150, "", "cent", 200, 150},     // exactly the screen
        {201, 150, "", "cent", 200, 149},     // one pixel over
        {200, 151, "", "cent", 199, 150},
        {400, 100, "", "cent", 200, 50},
        {100, 300, "", "cent", 50, 150},
        {300, 300, "Caption", "cent", 0, 0},  // band at the top and bottom
        {133, 100, "", "rand", 133, 100},     // exactly two thirds
        {134, 100, "", "rand", 133, 99},
        {400, 400, "", "rand", 100, 100},
    };
    for (const Case& c : cases) {
        HeadlessPlatform own;
        own.setScreen({200, 150, 15, 15});
        own.putFile("C:\\Pictures\\big.bmp", solidBmp(c.width, c.height, kRed));
        useImages({"C:\\Pictures\\big.bmp"});
        settings.captions = {c.caption};
        settings.picRandom = c.placement;
        settings.effectMode = "0";
        own.putFile(vistrel::testing::kSettingsPath, settings.text());
        RunValues values;
        SaverWindow shown(own, values);
        ASSERT_TRUE(own.run([&] {
            shown.form1.load();
            shown.form1.show();
        }));
        ASSERT_TRUE(own.advance(1000));
        const int width = shown.picture1.width() / 15;
        const int height = shown.picture1.height() / 15;
        if (c.shownWidth == 0) {
            const int band = (shown.label1.height() + 14) / 15;
            ASSERT_GT(band, 0);
            EXPECT_EQ(height, 150 - 2 * band) << c.width << " x " << c.height;
            EXPECT_EQ(width, height) << c.width << " x " << c.height;
            EXPECT_GE(shown.picture1.top(), shown.label1.height());
        } else {
            EXPECT_EQ(width, c.shownWidth) << c.width << " x " << c.height << " " << c.placement;
            EXPECT_EQ(height, c.shownHeight) << c.width << " x " << c.height << " " << c.placement;
        }
    }
}

}  // namespace
}  // namespace vistrel::saver
