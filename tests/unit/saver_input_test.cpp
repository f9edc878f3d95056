// Input on the saver window: which events make exit requests, and the
// move test with its bursts, timed on the virtual clock.
#include "saver/saver_input.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "saver/saver_window.h"
#include "saver_run_support.h"

namespace vistrel::saver {
namespace {

using platform::headless::HeadlessPlatform;

constexpr double kNoon = 12 * 3600.0;

class SaverInputTest : public ::testing::Test {
protected:
    SaverInputTest() { open({1024, 768, 15, 15}); }

    void open(platform::ScreenMetrics screen) {
        window.reset();
        platform = std::make_unique<HeadlessPlatform>();
        platform->setScreen(screen);
        platform->setTimeOfDay(kNoon + 0.25);
        vistrel::testing::SampleSettings settings;
        vistrel::testing::installPictures(*platform, settings);
        platform->putFile(vistrel::testing::kSettingsPath, settings.text());
        window = std::make_unique<SaverWindow>(*platform, values);
        window->input.onExitRequest = [this] { ++exitRequests; };
        exitRequests = 0;
        ASSERT_TRUE(platform->run([&] { window->form1.show(); }));
    }

    // Puts a picture on the image surface and shows it, as the slideshow does.
    void showPicture() {
        auto picture = std::make_shared<picture::Picture>();
        picture->width = 300;
        picture->height = 200;
        picture->pixels.assign(300 * 200, 0xFF336699);
        window->picture1.setPicture(picture);
        window->picture1.setVisible(true);
    }

    enum Over { Background, Image };
    struct Move {
        Over over;
        int delayMs;  // since the previous event
        int x, y;     // pixels inside the background or the image
    };
    // The number of exit requests made after each move.
    std::vector<int> requestsAfterEach(const std::vector<Move>& moves) {
        std::vector<int> counts;
        for (const Move& move : moves) {
            platform->advance(move.delayMs);
            ui::Control& control = move.over == Image ? static_cast<ui::Control&>(window->picture1) : window->form1;
            platform->moveMouse(control, move.x, move.y);
            counts.push_back(exitRequests);
        }
        return counts;
    }

    std::unique_ptr<HeadlessPlatform> platform;
    RunValues values;
    std::unique_ptr<SaverWindow> window;
    int exitRequests = 0;
};

TEST_F(SaverInputTest, FiveSignificantMovesInQuickSuccessionMakeAnExitRequest) {
    struct Case {
        const char* what;
        std::vector<Move> moves;
        std::vector<int> requests;
    };
    const Case cases[] = {
        {"six moves within a second: the first only records the pointer",
         {{Background, 100, 100, 100}, {Background, 100, 110, 100}, {Background, 100, 120, 100}, {Background, 100, 130, 100},
          {Background, 100, 140, 100}, {Background, 100, 150, 100}},
         {0, 0, 0, 0, 0, 1}},
        {"one pixel is 15 twips, more than the threshold",
         {{Background, 50, 200, 200}, {Background, 50, 201, 200}, {Background, 50, 201, 201}, {Background, 50, 202, 201},
          {Background, 50, 202, 202}, {Background, 50, 203, 202}},
         {0, 0, 0, 0, 0, 1}},
        {"four quick moves, ten seconds' pause: the fifth counted move still ends the saver",
         {{Background, 100, 100, 100}, {Background, 100, 110, 100}, {Background, 100, 120, 100}, {Background, 100, 130, 100},
          {Background, 100, 140, 100}, {Background, 10000, 150, 100}},
         {0, 0, 0, 0, 0, 1}},
        {"two quick moves, three seconds' pause: the next move clears the count",
         {{Background, 100, 100, 100}, {Background, 100, 110, 100}, {Background, 100, 120, 100}, {Background, 3000, 130, 100},
          {Background, 100, 140, 100}, {Background, 100, 150, 100}, {Background, 100, 160, 100}, {Background, 100, 170, 100},
          {Background, 100, 180, 100}},
         {0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"moves from the top edge never count",
         {{Background, 100, 100, 0}, {Background, 100, 120, 0}, {Background, 100, 140, 0}, {Background, 100, 160, 0},
          {Background, 100, 180, 0}, {Background, 100, 200, 0}, {Background, 100, 220, 0}},
         {0, 0, 0, 0, 0, 0, 0}},
        {"a move from the left edge only records the pointer",
         {{Background, 100, 0, 300}, {Background, 100, 20, 300}, {Background, 100, 40, 300}, {Background, 100, 60, 300},
          {Background, 100, 80, 300}, {Background, 100, 100, 300}, {Background, 100, 120, 300}},
         {0, 0, 0, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open({1024, 768, 15, 15});
        EXPECT_EQ(requestsAfterEach(c.moves), c.requests);
    }
}

TEST_F(SaverInputTest, BackgroundAndImageKeepTheirOwnLastPositions) {
    showPicture();
    // Each handler's first event only records; the fifth counted move is
    // the seventh event.
    EXPECT_EQ(requestsAfterEach({{Background, 100, 100, 100},
                                 {Image, 100, 10, 10},
                                 {Background, 100, 120, 100},
                                 {Image, 100, 20, 10},
                                 {Background, 100, 140, 100},
                                 {Image, 100, 30, 10},
                                 {Background, 100, 160, 100}}),
              (std::vector<int>{0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(window->input.lastFormX, 160 * 15);
    EXPECT_EQ(window->input.lastPictureX, 30);
}

TEST_F(SaverInputTest, OverTheImageThreePixelsAtATimeNeverCount) {
    showPicture();
    std::vector<Move> slow, quick;
    for (int step = 1; step <= 60; ++step) slow.push_back({Image, 50, 10 + 2 * step, 10 + 3 * (step % 2)});
    for (int step = 1; step <= 6; ++step) quick.push_back({Image, 50, 10 + 4 * step, 10});
    EXPECT_EQ(requestsAfterEach(slow).back(), 0);
    open({1024, 768, 15, 15});
    showPicture();
    EXPECT_EQ(requestsAfterEach(quick), (std::vector<int>{0, 0, 0, 0, 0, 1}));
}

TEST_F(SaverInputTest, TheBurstStartsAtAWholeSecondRoundedHalfToEven) {
    platform->setTimeOfDay(1000.4);
    platform->moveMouse(window->form1, 100, 100);
    platform->advance(100);  // 1000.5
    platform->moveMouse(window->form1, 120, 100);
    EXPECT_EQ(window->input.moveWindowStart, 1000);
    EXPECT_EQ(window->input.moveCount, 1);
    // 2.4 s after the whole-second start, though only 1.9 s after the move.
    platform->advance(1900);
    platform->moveMouse(window->form1, 140, 100);
    EXPECT_EQ(window->input.moveWindowStart, 0);
    EXPECT_EQ(window->input.moveCount, 0);

    platform->setTimeOfDay(1001.5);
    platform->moveMouse(window->form1, 160, 100);
    EXPECT_EQ(window->input.moveWindowStart, 1002);
}

TEST_F(SaverInputTest, PositionsAreWholeNumbersRoundedHalfToEven) {
    // At 192 dots per inch a pixel is 7.5 twips.
    open({2048, 1536, 7.5, 7.5});
    platform->moveMouse(window->form1, 3, 5);
    EXPECT_EQ(window->input.lastFormX, 22);  // 22.5
    EXPECT_EQ(window->input.lastFormY, 38);  // 37.5
    platform->moveMouse(window->form1, 9, 7);
    EXPECT_EQ(window->input.lastFormX, 68);  // 67.5
    EXPECT_EQ(window->input.lastFormY, 52);  // 52.5
}

TEST_F(SaverInputTest, ScreensBeyond32767TwipsWork) {
    open({3840, 2160, 15, 15});
    std::vector<Move> moves;
    for (int step = 0; step < 6; ++step) moves.push_back({Background, 100, 3000 + 10 * step, 2100});
    EXPECT_EQ(requestsAfterEach(moves), (std::vector<int>{0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(window->input.lastFormX, 3050 * 15);
    EXPECT_EQ(window->input.lastFormY, 2100 * 15);
}

TEST_F(SaverInputTest, AnyKeyOnTheWindowOrTheImageMakesAnExitRequest) {
    showPicture();
    // Shift, Ctrl and Alt alone, a letter, a function key, Escape.
    const int keys[] = {16, 17, 18, 'A', 112, 27};
    for (int key : keys) platform->pressKey(key);
    EXPECT_EQ(exitRequests, 6);
    EXPECT_EQ(platform->focusedControl(), &window->form1);

    // A click on the image gives it the focus but is no request.
    platform->pressMouse(window->picture1, 1, 5, 5);
    EXPECT_EQ(exitRequests, 6);
    ASSERT_EQ(platform->focusedControl(), &window->picture1);
    for (int key : keys) platform->pressKey(key);
    EXPECT_EQ(exitRequests, 12);
}

TEST_F(SaverInputTest, OnlyButtonsOverTheBackgroundMakeExitRequests) {
    showPicture();
    window->label1.setText("Caption");
    window->label1.setVisible(true);
    for (int button : {1, 2, 4}) platform->pressMouse(window->form1, button, 500, 400, 1);
    EXPECT_EQ(exitRequests, 3);
    platform->pressMouse(window->picture1, 1, 10, 10);
    platform->pressMouse(window->label1, 1, 2, 2);
    platform->pressMouse(window->picture2, 1, 2, 2);  // hidden: nothing there to press
    EXPECT_EQ(exitRequests, 3);

    // Moving over the caption is no move of the background.
    platform->moveMouse(window->form1, 500, 400);
    for (int x = 0; x < 10; ++x) platform->moveMouse(window->label1, 10 + 20 * x, 5);
    EXPECT_EQ(window->input.lastFormX, 7500);
    EXPECT_EQ(window->input.moveCount, 0);
}

TEST_F(SaverInputTest, InputOverThePictureOnTheWindowGoesToThePicture) {
    // The picture has no window of its own: the saver window passes what
    // happens over it on, in the picture's pixels.
    showPicture();  // 300 x 200 at the window's top-left corner
    platform->pressMouse(window->form1, 1, 100, 100);
    EXPECT_EQ(exitRequests, 0);
    platform->moveMouse(window->form1, 120, 110);
    EXPECT_EQ(window->input.lastPictureX, 120);
    EXPECT_EQ(window->input.lastPictureY, 110);
    EXPECT_EQ(window->input.lastFormX, 0);
    platform->pressMouse(window->form1, 1, 500, 400);  // beside it
    EXPECT_EQ(exitRequests, 1);
}

TEST_F(SaverInputTest, ACloseCommandIsAnExitRequest) {
    platform->requestClose(window->form1);
    EXPECT_EQ(exitRequests, 1);
    EXPECT_TRUE(window->form1.loaded());
}

}  // namespace
}  // namespace vistrel::saver
