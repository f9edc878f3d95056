// The saver on machines with several monitors: the window covers them all,
// the pointer waits at the virtual screen's corner, input anywhere counts,
// and the slideshow runs on the primary monitor (on each, with allMonitors=1).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "platform/monitors.h"
#include "saver_run_support.h"

namespace vistrel::testing {
namespace {

using platform::Monitor;
using platform::headless::colorToPixel;
using ::testing::ElementsAre;

// Primary 1024 x 768 at (0, 0), a 1280 x 1024 monitor right of it.
const std::vector<Monitor> kSideBySide = {{{0, 0, 1024, 768}, 96}, {{1024, 0, 1280, 1024}, 96}};
// A 1280 x 1024 monitor left of the primary and a little higher, and an
// 800 x 600 one right of it: the virtual screen starts at (-1280, -256).
const std::vector<Monitor> kThree = {
    {{0, 0, 1024, 768}, 96}, {{-1280, -256, 1280, 1024}, 96}, {{1024, 0, 800, 600}, 96}};

constexpr std::uint32_t kRed = 255;  // settings colours: red in the low byte

TEST(MonitorGeometry, VirtualScreenAndThePointsThePointerCanReach) {
    EXPECT_EQ(platform::virtualScreenOf(kSideBySide), (platform::PixelBounds{0, 0, 2304, 1024}));
    EXPECT_EQ(platform::virtualScreenOf(kThree), (platform::PixelBounds{-1280, -256, 3104, 1024}));
    EXPECT_EQ(platform::virtualScreenOf({}), (platform::PixelBounds{}));

    // The corner of the bounding rectangle may lie on no monitor: the
    // nearest point of one is taken.
    const auto corner = platform::nearestPointOnMonitors(kThree, 1832, 776);
    EXPECT_EQ(corner.x, 1823);
    EXPECT_EQ(corner.y, 599);
    const auto left = platform::nearestPointOnMonitors(kThree, -5000, -5000);
    EXPECT_EQ(left.x, -1280);
    EXPECT_EQ(left.y, -256);
    const auto inside = platform::nearestPointOnMonitors(kThree, -3, 700);
    EXPECT_EQ(inside.x, -3);
    EXPECT_EQ(inside.y, 700);
}

class MonitorsTest : public ::testing::Test {
protected:
    bool start(const std::vector<Monitor>& monitors, SampleSettings settings = {}) {
        run.platform.setMonitors(monitors);
        settings.newBackColor = std::to_string(kRed);
        return run.start(settings);
    }
    // The first picture is on screen once its pause and transition are over.
    void untilFirstPicture() { ASSERT_TRUE(run.platform.advance(900)); }
    std::uint32_t screenAt(int virtualX, int virtualY) {
        const auto shot = run.platform.screenshot();
        return shot.at(virtualX, virtualY);
    }

    SaverRun run;
};

TEST_F(MonitorsTest, TwoMonitorsSideBySideAreBothCovered) {
    ASSERT_TRUE(start(kSideBySide));
    EXPECT_THAT(run.platform.callsStartingWith({"SetCursorPos", "SetWindowPos"}),
                ElementsAre("SetCursorPos(2312, 1032)", "SetWindowPos(Form1, HWND_TOPMOST, 0, 0, 2304, 1024, 0x50)"));
    // The pointer rests on the far corner, on the second monitor.
    EXPECT_EQ(run.platform.cursor().x, 2303);
    EXPECT_EQ(run.platform.cursor().y, 1023);

    auto& form1 = run.saver().form1;
    EXPECT_EQ(form1.scaleWidth(), 2304 * 15);
    EXPECT_EQ(form1.scaleHeight(), 1024 * 15);
    const auto shot = run.platform.screenshot();
    ASSERT_EQ(shot.width, 2304);
    ASSERT_EQ(shot.height, 1024);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {1023, 767}, {1024, 0}, {2303, 1023}, {1500, 900}}) {
        EXPECT_EQ(shot.at(x, y), colorToPixel(kRed)) << x << ", " << y;
    }
}

TEST_F(MonitorsTest, ThreeMonitorsOneLeftOfThePrimaryAtNegativeCoordinates) {
    ASSERT_TRUE(start(kThree));
    EXPECT_THAT(run.platform.callsStartingWith({"SetCursorPos", "SetWindowPos"}),
                ElementsAre("SetCursorPos(1832, 776)", "SetWindowPos(Form1, HWND_TOPMOST, -1280, -256, 3104, 1024, 0x50)"));
    EXPECT_EQ(run.platform.cursor().x, 1823);
    EXPECT_EQ(run.platform.cursor().y, 599);
    auto& form1 = run.saver().form1;
    EXPECT_EQ(form1.left(), -1280 * 15);
    EXPECT_EQ(form1.top(), -256 * 15);
    EXPECT_EQ(form1.scaleWidth(), 3104 * 15);

    // In the window, the primary lies 1280 pixels right of its left edge
    // and 256 below its top; the caption stands at the primary's top.
    EXPECT_EQ(run.saver().primaryStage().area, (saver::TwipsArea{19200, 3840, 15360, 11520, 1024, 768}));
    EXPECT_EQ(run.saver().label1.top(), 3840);
    const auto shot = run.platform.screenshot();
    EXPECT_EQ(shot.at(0, 0), colorToPixel(kRed));            // left monitor
    EXPECT_EQ(shot.at(3103, 256 + 599), colorToPixel(kRed));  // right monitor
}

TEST_F(MonitorsTest, TheDesktopCopyIsTakenOfTheWholeVirtualScreen) {
    run.platform.setMonitors(kThree);
    // Each monitor shows a colour of its own on the desktop.
    auto& desktop = run.platform.desktop();
    const std::uint32_t colours[] = {0xFF102030, 0xFF405060, 0xFF708090};
    for (std::size_t m = 0; m < kThree.size(); ++m) {
        const auto& b = kThree[m].bounds;
        for (int y = b.top; y < b.bottom(); ++y) {
            for (int x = b.left; x < b.right(); ++x) desktop.set(x + 1280, y + 256, colours[m]);
        }
    }
    SampleSettings settings;
    settings.backEffect = "1";
    ASSERT_TRUE(run.start(settings));
    EXPECT_THAT(run.platform.callsStartingWith({"BitBlt(hdc:Form1"}),
                ElementsAre("BitBlt(hdc:Form1, 0, 0, 3104, 1024, hdc:Desktop, -1280, -256, SRCCOPY)"));
    const auto shot = run.platform.screenshot();
    EXPECT_EQ(shot.at(1280 + 5, 256 + 700), colours[0]);
    EXPECT_EQ(shot.at(10, 10), colours[1]);
    EXPECT_EQ(shot.at(1280 + 1024 + 799, 256 + 599), colours[2]);
}

TEST_F(MonitorsTest, PicturesAreCentredOnThePrimaryMonitor) {
    ASSERT_TRUE(start(kThree));
    untilFirstPicture();
    // a.bmp is 40 x 30: centred on the primary, which starts at (1280, 256).
    const auto& picture1 = run.saver().picture1;
    EXPECT_EQ(picture1.left(), 19200 + (15360 - 600) / 2);
    EXPECT_EQ(picture1.top(), 3840 + (11520 - 450) / 2);
    EXPECT_EQ(screenAt(1280 + 492 + 20, 256 + 369 + 15), colorToPixel(0x996633));  // 0x336699 as RGB
    // The caption is centred on the primary too.
    const auto& label1 = run.saver().label1;
    EXPECT_EQ(label1.left(), 19200 + (15360 - label1.width()) / 2);
    // The other monitors show the background.
    EXPECT_EQ(screenAt(640, 500), colorToPixel(kRed));
    EXPECT_EQ(screenAt(1280 + 1024 + 400, 256 + 300), colorToPixel(kRed));
}

TEST_F(MonitorsTest, AFloatingPictureBouncesWithinThePrimaryMonitor) {
    SampleSettings settings;
    settings.picRandom = "float";
    settings.picSpeed = "5";
    settings.timeInterval = "0";
    ASSERT_TRUE(start(kThree, settings));
    untilFirstPicture();
    const auto& picture1 = run.saver().picture1;
    const auto area = run.saver().primaryStage().area;
    int leftmost = picture1.left(), rightmost = picture1.left() + picture1.width();
    int topmost = picture1.top(), bottommost = picture1.top() + picture1.height();
    // 2 minutes at 25 ms a tick: the picture crosses the primary many times.
    for (int i = 0; i < 4800; ++i) {
        ASSERT_TRUE(run.platform.advance(25));
        leftmost = std::min(leftmost, picture1.left());
        rightmost = std::max(rightmost, picture1.left() + picture1.width());
        topmost = std::min(topmost, picture1.top());
        bottommost = std::max(bottommost, picture1.top() + picture1.height());
    }
    // It reaches each edge of the primary, and passes it by less than a step.
    EXPECT_GE(leftmost, area.left - 15);
    EXPECT_LT(leftmost, area.left + 15);
    EXPECT_LE(rightmost, area.right() + 15);
    EXPECT_GT(rightmost, area.right() - 15);
    EXPECT_GE(topmost, area.top + run.saver().label1.height() - 15);
    EXPECT_LE(bottommost, area.bottom() + 15);
    EXPECT_GT(bottommost, area.bottom() - 15);
}

TEST_F(MonitorsTest, AClickOnAnyMonitorCountsAndThePromptIsCentredOnThePrimary) {
    ASSERT_TRUE(start(kThree));
    untilFirstPicture();
    // On the left monitor, far from the primary: an unprotected run ends.
    EXPECT_FALSE(run.platform.pressMouse(run.saver().form1, 1, 100, 100));

    SaverRun guarded;
    guarded.platform.setMonitors(kThree);
    ASSERT_TRUE(guarded.start(protectedSettings()));
    ASSERT_TRUE(guarded.platform.advance(900));
    ASSERT_TRUE(guarded.platform.pressMouse(guarded.saver().form1, 1, 1280 + 1024 + 700, 256 + 500));
    ASSERT_TRUE(guarded.promptShown());
    auto& prompt = guarded.prompt().form;
    const auto* surface = guarded.platform.surfaceOf(prompt);
    ASSERT_NE(surface, nullptr);
    const auto at = guarded.platform.windowPosition(prompt.hwnd());
    EXPECT_EQ(at.x, (1024 - surface->width) / 2);
    EXPECT_EQ(at.y, (768 - surface->height) / 2);
    // The saver window steps back over every monitor, not only the primary.
    EXPECT_THAT(guarded.platform.callsStartingWith({"SetWindowPos"}),
                ElementsAre("SetWindowPos(Form1, HWND_TOPMOST, -1280, -256, 3104, 1024, 0x50)",
                            "SetWindowPos(Form1, HWND_NOTOPMOST, -1280, -256, 3104, 1024, 0x50)"));
}

TEST_F(MonitorsTest, TwipsPerPixelStayThoseOfThePrimary) {
    // The primary at 120 dots per inch (12 twips a pixel), the other at 96.
    ASSERT_TRUE(start({{{0, 0, 1024, 768}, 120}, {{1024, 0, 1280, 1024}, 96}}));
    EXPECT_EQ(run.platform.screen().twipsPerPixelX, 12);
    EXPECT_EQ(run.saver().form1.scaleWidth(), 2304 * 12);
    EXPECT_EQ(run.saver().primaryStage().area, (saver::TwipsArea{0, 0, 1024 * 12, 768 * 12, 1024, 768}));
    untilFirstPicture();
    EXPECT_EQ(run.saver().picture1.width(), 40 * 12);
    EXPECT_EQ(run.saver().picture1.left(), (1024 * 12 - 40 * 12) / 2);
}

// With one monitor the run makes the calls it always made, with the same
// values: the window and the desktop copy at (0, 0) with the screen's size,
// the pointer beyond the screen's corner, the picture and caption centred
// on the whole window, the floating picture bouncing off its edges.
TEST(OneMonitor, TheRunMakesTheSameCallsAsEver) {
    SaverRun run;  // one 1024 x 768 monitor
    SampleSettings settings;
    settings.backEffect = "1";
    settings.picRandom = "float";
    settings.picSpeed = "0";
    ASSERT_TRUE(run.start(settings));
    // The first picture, a change, and the movement ticks around them.
    ASSERT_TRUE(run.platform.advance(6300));
    const std::vector<std::string> expected = {
        "Load(Form1)",
        "Label1.Bounds = 0, 0, 99, 198",
        // The user's own settings first, then those beside the program.
        "ReadFile(C:\\Users\\tester\\AppData\\Roaming\\Vistrel\\vistrel.ini)",
        "ReadFile(C:\\Program Files\\Vistrel\\vistrel.ini)",
        "Label1.FontName = Times New Roman",
        "Label1.FontSize = 14",
        "Label1.Bounds = 0, 0, 168, 336",
        "Label1.FontBold = True",
        "Label1.FontUnderline = True",
        "Label1.ForeColor = 65535",
        "GetVersionExA(148) -> 2",
        "GetDesktopWindow() -> Desktop",
        "GetDC(Desktop) -> hdc:Desktop",
        "BitBlt(hdc:Form1, 0, 0, 1024, 768, hdc:Desktop, 0, 0, SRCCOPY)",
        "ReleaseDC(Desktop, hdc:Desktop)",
        "Timer3.Interval = 500",
        "Timer3.Enabled = True",
        "SetCursorPos(1032, 776)",
        "Form1.Visible = True",
        "SetWindowPos(Form1, HWND_TOPMOST, 0, 0, 1024, 768, 0x50)",
        "Timer1.Interval = 150",
        "LoadPictureInBackground(C:\\Pictures\\a.bmp)",
        "Picture1.Cls()",
        "Picture2.Cls()",
        "Picture2.Picture = 40 x 30",
        "Picture2.Bounds = 0, 0, 600, 450",
        "Picture1.Bounds = 0, 0, 600, 450",
        "Picture1.Bounds = 7380, 5535, 600, 450",
        "DoEvents() x300",
        "Picture1.Visible = True",
        "Picture1.Picture = 40 x 30",
        "Picture1.Picture = 40 x 30",
        "Label1.Text = ",
        "Label1.Bounds = 0, 0, 0, 336",
        "Label1.Text = First",
        "Label1.Bounds = 0, 0, 840, 336",
        "Label1.Bounds = 0, 0, 1040, 336",
        "Label1.Bounds = 7160, 0, 1040, 336",
        "Label1.Visible = True",
        "Timer1.Enabled = True",
        "Timer2.Enabled = True",
        "Timer2.Interval = 5000",
        "Timer3.Enabled = False",
        // The next picture, decoded while this one is shown.
        "LoadPictureInBackground(C:\\Pictures\\b.bmp)",
        "Picture1.Bounds = 7395, 5520, 600, 450",
        "Picture1.Bounds = 7410, 5505, 600, 450",
        "Picture1.Bounds = 7425, 5490, 600, 450",
        "Picture1.Bounds = 7440, 5475, 600, 450",
        "Picture1.Bounds = 7455, 5460, 600, 450",
        "Picture1.Bounds = 7470, 5445, 600, 450",
        "Picture1.Bounds = 7485, 5430, 600, 450",
        "Picture1.Bounds = 7500, 5415, 600, 450",
        "Picture1.Bounds = 7515, 5400, 600, 450",
        "Picture1.Bounds = 7530, 5385, 600, 450",
        "Picture1.Bounds = 7545, 5370, 600, 450",
        "Picture1.Bounds = 7560, 5355, 600, 450",
        "Picture1.Bounds = 7575, 5340, 600, 450",
        "Picture1.Bounds = 7590, 5325, 600, 450",
        "Picture1.Bounds = 7605, 5310, 600, 450",
        "Picture1.Bounds = 7620, 5295, 600, 450",
        "Picture1.Bounds = 7635, 5280, 600, 450",
        "Picture1.Bounds = 7650, 5265, 600, 450",
        "Picture1.Bounds = 7665, 5250, 600, 450",
        "Picture1.Bounds = 7680, 5235, 600, 450",
        "Picture1.Bounds = 7695, 5220, 600, 450",
        "Picture1.Bounds = 7710, 5205, 600, 450",
        "Picture1.Bounds = 7725, 5190, 600, 450",
        "Picture1.Bounds = 7740, 5175, 600, 450",
        "Picture1.Bounds = 7755, 5160, 600, 450",
        "Picture1.Bounds = 7770, 5145, 600, 450",
        "Picture1.Bounds = 7785, 5130, 600, 450",
        "Picture1.Bounds = 7800, 5115, 600, 450",
        "Picture1.Bounds = 7815, 5100, 600, 450",
        "Picture1.Bounds = 7830, 5085, 600, 450",
        "Picture1.Bounds = 7845, 5070, 600, 450",
        "Picture1.Bounds = 7860, 5055, 600, 450",
        "Picture1.Bounds = 7875, 5040, 600, 450",
        "Timer2.Interval = 60000",
        "Label1.Visible = False",
        "Picture1.Cls()",
        "Picture2.Cls()",
        "Picture2.Picture = 30 x 40",
        "Picture2.Bounds = 0, 0, 450, 600",
        "Picture1.Visible = False",
        "Picture1.Bounds = 7875, 5040, 450, 600",
        "Picture1.Bounds = 7455, 5460, 450, 600",
        "DoEvents() x100",
        "Picture1.Bounds = 7440, 5445, 450, 600",
        "DoEvents() x150",
        "Picture1.Bounds = 7425, 5430, 450, 600",
        "DoEvents() x50",
        "Picture1.Visible = True",
        "Picture1.Picture = 30 x 40",
        "Picture1.Picture = 30 x 40",
        "Label1.Text = ",
        "Label1.Bounds = 7160, 0, 0, 336",
        "Label1.Text = Second",
        "Label1.Bounds = 7160, 0, 1008, 336",
        "Label1.Bounds = 7160, 0, 1208, 336",
        "Label1.Bounds = 7076, 0, 1208, 336",
        "Label1.Visible = True",
        "Timer2.Interval = 5000",
        "LoadPictureInBackground(C:\\Pictures\\a.bmp)",
        "Picture1.Bounds = 7410, 5415, 450, 600"};
    // Left out: the areas the composed stage puts on the screen as the
    // picture and caption change, one or two for each change above.
    std::vector<std::string> calls;
    for (const std::string& call : run.platform.calls()) {
        if (!call.starts_with("Form1.ShowCanvas(")) calls.push_back(call);
    }
    EXPECT_EQ(calls, expected);
    // The first picture where it stands, then where it floated to.
    const auto shown = run.platform.callsStartingWith({"Form1.ShowCanvas("});
    EXPECT_THAT(shown, ::testing::Contains("Form1.ShowCanvas(492, 369, 40, 30)"));
    EXPECT_THAT(shown, ::testing::Contains("Form1.ShowCanvas(492, 368, 41, 31)"));
}

// --- allMonitors=1 ---

class AllMonitorsTest : public MonitorsTest {
protected:
    // Three pictures of three colours.
    SampleSettings threePictures() {
        SampleSettings settings;
        settings.allMonitors = "1";
        return settings;
    }
    bool startThree(const std::vector<Monitor>& monitors, SampleSettings settings) {
        run.platform.setMonitors(monitors);
        settings.newBackColor = std::to_string(kRed);
        installPictures(run.platform, settings);
        settings.images.push_back("C:\\Pictures\\c.bmp");
        settings.captions = {"First", "Second", "Third"};
        settings.total = "3";
        run.platform.putFile(settings.images[2], solidBitmap(50, 20, 0x22AA22));
        run.platform.putFile(kSettingsPath, settings.text());
        run.platform.setCommandLine("/s");
        return run.platform.run([&] { run.program = app::Main(run.platform); });
    }
    // The picture each stage shows now.
    std::vector<int> shown() {
        std::vector<int> indices{run.saver().primaryStage().shownIndex};
        for (const auto& further : run.saver().furtherMonitors) indices.push_back(further->stage.shownIndex);
        return indices;
    }
};

TEST_F(AllMonitorsTest, EachFurtherMonitorShowsAPictureOfItsOwn) {
    ASSERT_TRUE(startThree(kThree, threePictures()));
    ASSERT_EQ(run.saver().furtherMonitors.size(), 2u);
    // The first changes of all three monitors, each with its pause.
    ASSERT_TRUE(run.platform.advance(2000));
    EXPECT_THAT(shown(), ElementsAre(0, 1, 2));

    // Each picture is centred on its own monitor, its caption at its top.
    const auto& left = *run.saver().furtherMonitors[0];
    EXPECT_EQ(left.stage.area, (saver::TwipsArea{0, 0, 19200, 15360, 1280, 1024}));
    EXPECT_EQ(left.picture1.left(), (19200 - 450) / 2);
    EXPECT_EQ(left.picture1.top(), (15360 - 600) / 2);
    EXPECT_EQ(left.label1.text(), "Second");
    EXPECT_EQ(left.label1.left(), (19200 - left.label1.width()) / 2);
    EXPECT_EQ(screenAt(640, 512), colorToPixel(0x336699));  // b.bmp, 0x996633 as RGB
    const auto& right = *run.saver().furtherMonitors[1];
    EXPECT_EQ(right.label1.text(), "Third");
    EXPECT_EQ(screenAt(1280 + 1024 + 400, 256 + 300), colorToPixel(0x22AA22));

    // The next change moves every monitor on by one picture.
    ASSERT_TRUE(run.platform.advance(5000 + 4000));
    EXPECT_THAT(shown(), ElementsAre(1, 2, 0));
}

TEST_F(AllMonitorsTest, AtRandomNoTwoMonitorsShowTheSamePicture) {
    SampleSettings settings = threePictures();
    settings.randomPick = "1";
    settings.timeInterval = "1";
    ASSERT_TRUE(startThree(kSideBySide, settings));
    ASSERT_TRUE(run.platform.advance(2000));
    std::set<std::vector<int>> seen;
    for (int change = 0; change < 40; ++change) {
        const auto indices = shown();
        EXPECT_NE(indices[0], indices[1]);
        seen.insert(indices);
        ASSERT_TRUE(run.platform.advance(3700));  // one interval and two changes
    }
    // Different pairs come by, not one fixed pair.
    EXPECT_GT(seen.size(), 2u);
}

TEST_F(AllMonitorsTest, WithoutTheKeyOrWithOneMonitorThereIsOneSlideshow) {
    SampleSettings settings = threePictures();
    settings.allMonitors = "";
    ASSERT_TRUE(startThree(kSideBySide, settings));
    ASSERT_TRUE(run.platform.advance(2000));
    EXPECT_TRUE(run.saver().furtherMonitors.empty());
    const auto shot = run.platform.screenshot();
    for (int y = 0; y < 1024; y += 16) {
        for (int x = 1024; x < 2304; x += 16) ASSERT_EQ(shot.at(x, y), colorToPixel(kRed)) << x << ", " << y;
    }

    SaverRun single;
    single.platform.setScreen({1024, 768, 15, 15});
    ASSERT_TRUE(single.start(threePictures()));
    EXPECT_TRUE(single.saver().furtherMonitors.empty());
}

}  // namespace
}  // namespace vistrel::testing
