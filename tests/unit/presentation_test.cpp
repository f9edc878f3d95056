// How the saver presents its pictures on the composed stage: the crossfade,
// pan and zoom, and the blurred fill round a picture that does not cover
// the screen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "picture/pixel_blend.h"
#include "saver/composed_stage.h"
#include "saver/saver_window.h"
#include "test_support.h"

namespace vistrel::saver {
namespace {

using platform::headless::HeadlessPlatform;
using platform::headless::Surface;
using platform::headless::colorToPixel;
using vistrel::testing::bmpFile;
using vistrel::testing::solidBmp;

constexpr ui::Color kRed = 0x0000FF;
constexpr ui::Color kBlue = 0xFF0000;
constexpr ui::Color kGrey = 0x808080;
constexpr ui::Color kOrange = 0x0080FF;

std::uint32_t channel(std::uint32_t pixel, int shift) { return pixel >> shift & 0xFF; }

class PresentationTest : public ::testing::Test {
protected:
    PresentationTest() {
        platform.setScreen({200, 150, 15, 15});
        settings.newBackColor = std::to_string(kGrey);
        settings.timeInterval = "2";
    }

    SaverWindow& start(std::vector<std::pair<std::string, std::string>> pictures) {
        settings.images.clear();
        for (auto& [path, bytes] : pictures) {
            platform.putFile(path, std::move(bytes));
            settings.images.push_back(path);
        }
        settings.total = std::to_string(settings.images.size());
        settings.captions.assign(settings.images.size(), "");
        platform.putFile(vistrel::testing::kSettingsPath, settings.text());
        saver = std::make_unique<SaverWindow>(platform, runValues);
        EXPECT_TRUE(platform.run([&] { saver->form1.show(); }));
        return *saver;
    }

    // The screen at every frame of the drawing, by the time it was taken.
    std::map<std::int64_t, Surface> framesOver(std::int64_t milliseconds) {
        std::map<std::int64_t, Surface> frames;
        platform.onPause([&] { frames[platform.nowMs()] = platform.screenshot(); });
        EXPECT_TRUE(platform.advance(milliseconds));
        platform.onPause({});
        return frames;
    }

    HeadlessPlatform platform;
    RunValues runValues;
    vistrel::testing::SampleSettings settings;
    std::unique_ptr<SaverWindow> saver;
};

TEST_F(PresentationTest, ACrossfadeBlendsTheWholeScreenFromTheOldPictureToTheNewOverOneSecond) {
    settings.effectMode = "8";
    start({{"C:\\red.bmp", solidBmp(120, 90, kRed)}, {"C:\\blue.bmp", solidBmp(60, 120, kBlue)}});
    // The first picture fades in from the background: shown at 1.8 s, the
    // next change at 3.8 s, its fade after the pause, from 4.1 s.
    ASSERT_TRUE(platform.advance(3000));
    ASSERT_EQ(platform.screenshot().at(100, 75), colorToPixel(kRed));
    // The old picture stays through the pause: the middle never shows the background.
    bool bare = false;
    platform.onDoEvents([&] { bare = bare || platform.screenshot().at(100, 75) == colorToPixel(kGrey); });
    std::int64_t ended = 0;
    platform.whenCalled("Label1.Visible = True", [&] { ended = platform.nowMs(); });

    const auto frames = framesOver(2500);
    EXPECT_FALSE(bare);
    ASSERT_GE(frames.size(), 50u);
    int lastBlue = -1;
    for (const auto& [at, shot] : frames) {
        const std::uint32_t middle = shot.at(100, 75);
        EXPECT_EQ(channel(middle, 8), 0u) << at;  // red and blue only, no grey
        const int blue = static_cast<int>(channel(middle, 0));
        EXPECT_GE(blue, lastBlue) << at;  // towards the new one, never back
        lastBlue = blue;
        // The corner fades from the background to the background.
        EXPECT_EQ(shot.at(2, 2), colorToPixel(kGrey)) << at;
    }
    // Half way through, the middle is half of each; where only the old
    // picture stood, half of it and half the background.
    const Surface& halfWay = frames.lower_bound(4100 + 500)->second;
    EXPECT_NEAR(channel(halfWay.at(100, 75), 16), 128, 12);
    EXPECT_NEAR(channel(halfWay.at(100, 75), 0), 128, 12);
    EXPECT_NEAR(channel(halfWay.at(45, 75), 16), (255 + 128) / 2, 12);
    EXPECT_NEAR(channel(halfWay.at(45, 75), 8), 64, 12);
    // It ends on the new picture alone, one second after it began.
    const Surface after = platform.screenshot();
    EXPECT_EQ(after.at(100, 75), colorToPixel(kBlue));
    EXPECT_EQ(after.at(45, 75), colorToPixel(kGrey));
    EXPECT_GE(ended, 4100 + 1000);
    EXPECT_LE(ended, 4100 + 1000 + 16);
}

TEST_F(PresentationTest, ACrossfadeThatFallsBehindMergesItsLateFramesAndStillEndsAfterOneSecond) {
    settings.effectMode = "8";
    start({{"C:\\red.bmp", solidBmp(200, 150, kRed)}, {"C:\\blue.bmp", solidBmp(200, 150, kBlue)}});
    ASSERT_TRUE(platform.advance(3000));  // the red one shown; the blue one comes at 3.8 s
    platform.setShowCost(100);            // putting a frame on the screen takes 100 ms
    std::int64_t began = 0, ended = 0;
    platform.whenCalled("Pause(", [&] {
        began = platform.nowMs();
        platform.whenCalled("Label1.Visible = True", [&] { ended = platform.nowMs(); });
    });
    platform.clearCalls();
    ASSERT_TRUE(platform.advance(3000));
    // Frames every 100 ms through the second, and the stage drawn whole once
    // more at the end, rather than 64 frames stretched over six seconds.
    const auto calls = platform.callsStartingWith({"Pause(", "Form1.ShowCanvas(0, 0, 200, 150)", "Label1.Visible = T"});
    const auto from = std::find_if(calls.begin(), calls.end(), [](const std::string& c) { return c.starts_with("Pause("); });
    const auto to = std::find(from, calls.end(), "Label1.Visible = True");
    const auto frames = std::count_if(from, to, [](const std::string& c) { return c.starts_with("Form1.ShowCanvas"); });
    EXPECT_GE(frames, 9);
    EXPECT_LE(frames, 13);
    EXPECT_GE(ended - began, 1000);
    EXPECT_LE(ended - began, 1000 + 2 * 100 + 16);
    EXPECT_EQ(platform.screenshot().at(100, 75), colorToPixel(kBlue));
}

TEST_F(PresentationTest, TheCrossfadeFrameAtOneHalfIsTheExactBlendOfTheTwoScreens) {
    // The stage of a bare window, to show a frame of a chosen weight.
    ui::Window form("Form1", platform);
    ui::PictureBox picture("Picture1", form), loader("Picture2", form);
    form.windowState = ui::WindowState::Maximized;
    form.persistentImage = true;
    form.setBackColor(kGrey);  // as the saver's load step gives it the background colour
    picture.drawnByProgram = true;
    loader.setVisible(false);
    ASSERT_TRUE(platform.run([&] { form.show(); }));
    ComposedStage stage({form, picture, loader, nullptr}, {0, 0, 200, 150}, BackgroundKind::Color, kGrey);
    const auto patterned = [](std::uint32_t seed) {
        auto made = std::make_shared<picture::Picture>();
        made->width = 100;
        made->height = 80;
        for (int i = 0; i < 8000; ++i) made->pixels.push_back(0xFF000000u | (seed * 2654435761u * (i + 1)) >> 8);
        return std::shared_ptr<const picture::Picture>(made);
    };
    const auto old = patterned(7), coming = patterned(13);
    picture.move(300, 300, 1500, 1200);  // 100 x 80 pixels at (20, 20)
    picture.setPicture(old);
    picture.setVisible(true);
    const Surface from = platform.screenshot();
    stage.hold();
    picture.move(900, 450, 1500, 1200);  // the new frame at (60, 30): held, nothing drawn
    EXPECT_EQ(platform.screenshot().pixels, from.pixels);
    const StageLook to = stage.lookWith(coming, {});
    ASSERT_TRUE(stage.fadeFrame(to, picture::kBlendWhole));
    const Surface into = platform.screenshot();
    ASSERT_TRUE(stage.fadeFrame(to, picture::kBlendWhole / 2));
    const Surface half = platform.screenshot();
    for (std::size_t i = 0; i < half.pixels.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            ASSERT_EQ(channel(half.pixels[i], shift),
                      (channel(from.pixels[i], shift) + channel(into.pixels[i], shift) + 1) / 2)
                << "pixel " << i;
        }
    }
    EXPECT_EQ(into.at(60, 30), coming->at(0, 0));
}

TEST_F(PresentationTest, AnEffectModeAboveEightShowsThePictureAtOnce) {
    settings.effectMode = "9";
    start({{"C:\\red.bmp", solidBmp(120, 90, kRed)}, {"C:\\blue.bmp", solidBmp(120, 90, kBlue)}});
    ASSERT_TRUE(platform.advance(3100 + 300));
    EXPECT_EQ(platform.screenshot().at(100, 75), colorToPixel(kBlue));
    EXPECT_THAT(platform.callsStartingWith({"Pause("}), ::testing::IsEmpty());
}

TEST_F(PresentationTest, PanAndZoomFillsItsSpaceAndTheMarksOnThePictureMoveApartOrTogether) {
    settings.picRandom = "pan";
    settings.timeInterval = "5";
    // A grey picture with two black marks a quarter of the way in from each side.
    const std::string marked = bmpFile(400, 300, [](int x, int y) {
        return (std::abs(x - 100) < 3 || std::abs(x - 300) < 3) && std::abs(y - 150) < 40 ? 0x000000u : 0x808080u;
    });
    settings.newBackColor = std::to_string(kRed);
    start({{"C:\\marked.bmp", marked}});
    const auto marks = [&] {
        const Surface shot = platform.screenshot();
        std::vector<int> columns;
        for (int x = 1; x < 200; ++x) {
            if (channel(shot.at(x, 75), 16) < 64 && channel(shot.at(x - 1, 75), 16) >= 64) columns.push_back(x);
        }
        // The picture covers the whole screen: no background anywhere on the row.
        for (int x = 0; x < 200; ++x) EXPECT_NE(shot.at(x, 75), colorToPixel(kRed)) << x;
        return columns;
    };
    // Shown at 0.8 s, the next one due at 5.8 s: the travel takes 5.3 s.
    ASSERT_TRUE(platform.advance(1000));
    const std::vector<int> early = marks();
    ASSERT_EQ(early.size(), 2u);
    ASSERT_TRUE(platform.advance(4500));
    const std::vector<int> later = marks();
    ASSERT_EQ(later.size(), 2u);
    // 100 pixels apart at 100 %: a tenth of zoom or more is 10 pixels or more.
    EXPECT_GE(std::abs((later[1] - later[0]) - (early[1] - early[0])), 8);
    // Drawn about 33 times a second, the framing each time from the clock.
    EXPECT_THAT(platform.callsStartingWith({"PanTimer."}),
                ::testing::ElementsAre("PanTimer.Interval = 30", "PanTimer.Enabled = True"));
}

TEST_F(PresentationTest, TheBlurredFillCoversTheScreenRoundATallPicture) {
    settings.backEffect = "2";
    settings.newBackColor = std::to_string(kGrey);
    start({{"C:\\tall.bmp", bmpFile(40, 150, [](int x, int) { return x < 20 ? kOrange : kBlue; })}});
    ASSERT_TRUE(platform.advance(1000));
    const Surface shot = platform.screenshot();
    // The picture itself, pixel for pixel, in the middle.
    EXPECT_EQ(shot.at(85, 75), colorToPixel(kOrange));
    EXPECT_EQ(shot.at(115, 75), colorToPixel(kBlue));
    // Round it a dimmed, blurred copy: orange on the left, blue on the right.
    for (int y : {5, 75, 145}) {
        const std::uint32_t left = shot.at(3, y), right = shot.at(196, y);
        EXPECT_GT(channel(left, 16), channel(left, 8)) << y;
        EXPECT_GT(channel(left, 8), channel(left, 0)) << y;
        EXPECT_LT(channel(left, 16), 0xFFu) << y;
        EXPECT_GT(channel(right, 0), channel(right, 16)) << y;
        EXPECT_LT(channel(right, 0), 0xFFu) << y;
        EXPECT_NE(left, colorToPixel(kGrey));
    }
}

}  // namespace
}  // namespace vistrel::saver
