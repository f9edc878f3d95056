// The preview that lives in the host's window: its life cycle, the stored
// picture kept through repaints, and the miniature slideshow.
#include "app/live_preview.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <variant>

#include "app/main.h"
#include "resources/preview_picture.h"
#include "saver_run_support.h"

namespace vistrel::app {
namespace {

using platform::headless::colorToPixel;
using platform::headless::HeadlessPlatform;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr std::uint32_t kHostPixel = 0xFF123456;
constexpr int kHostWidth = 200;
constexpr int kHostHeight = 150;
constexpr std::uint32_t kRed = 255;  // settings colours: red in the low byte

// Picture colours as RGB (0xRRGGBB), and as the screen shows them.
constexpr std::uint32_t kColours[] = {0x3366CC, 0xCC9933, 0x22AA22};
std::uint32_t shownColour(std::uint32_t rgb) { return 0xFF000000u | rgb; }

class LivePreviewTest : public ::testing::Test {
protected:
    LivePreviewTest() { host = platform.createHostWindow("Host", kHostWidth, kHostHeight, kHostPixel); }

    // Three square pictures of 300 x 300: fitted into the host, 150 x 150
    // centred, with 25 columns of background on either side.
    void installList(testing::SampleSettings settings) {
        settings.images.clear();
        for (int i = 0; i < 3; ++i) {
            settings.images.push_back("C:\\Pictures\\p" + std::to_string(i) + ".bmp");
            platform.putFile(settings.images.back(), testing::solidBitmap(300, 300, kColours[i]));
        }
        settings.captions = {"", "", ""};
        settings.total = "3";
        settings.newBackColor = std::to_string(kRed);
        platform.putFile(testing::kSettingsPath, settings.text());
    }
    bool start() {
        platform.setCommandLine("/p " + std::to_string(host));
        return platform.run([&] { program = Main(platform); });
    }
    LivePreview& preview() { return *program->preview(); }
    std::uint32_t centre() { return platform.hostView(host).at(kHostWidth / 2, kHostHeight / 2); }

    HeadlessPlatform platform;
    platform::Handle host = 0;
    std::unique_ptr<Program> program;
};

TEST_F(LivePreviewTest, LivesInTheHostRepaintsWithItAndEndsWhenItGoes) {
    ASSERT_TRUE(start());
    auto& form = preview().form;
    // A child window of the host over its whole client area, shown, and
    // never the active window.
    EXPECT_EQ(form.host, host);
    EXPECT_TRUE(platform.isShown(form.hwnd()));
    EXPECT_EQ(form.left(), 0);
    EXPECT_EQ(form.top(), 0);
    EXPECT_EQ(form.width(), kHostWidth * 15);
    EXPECT_EQ(form.height(), kHostHeight * 15);
    EXPECT_EQ(platform.activeWindow(), nullptr);

    const auto decoded = platform.decodePicture(resources::previewPictureBytes());
    const auto& stored = std::get<picture::Picture>(decoded);
    const auto showsTheStoredPicture = [&] {
        const auto view = platform.hostView(host);
        return view.at(10, 10) == stored.at(10, 10) && view.at(150, 118) == stored.at(150, 118) &&
               view.at(75, 60) == stored.at(75, 60) && view.at(190, 140) == colorToPixel(ui::kBlack);
    };
    EXPECT_TRUE(showsTheStoredPicture());

    // Another window passed over the host, which painted its client area
    // anew: the preview paints itself again, from its own image.
    ASSERT_TRUE(platform.advance(3000));
    platform.clearCalls();
    platform.repaintHostWindow(host, kHostPixel);
    EXPECT_THAT(platform.calls(), ElementsAre("WM_PAINT(PreviewForm)"));
    EXPECT_TRUE(showsTheStoredPicture());
    ASSERT_TRUE(platform.advance(5000));
    EXPECT_FALSE(platform.programEnded());

    // The host goes: the program ends within a quarter of a second.
    platform.destroyHostWindow(host);
    EXPECT_FALSE(platform.advance(kHostWatchMs));
    EXPECT_TRUE(platform.programEnded());
    EXPECT_THAT(platform.messageBoxes(), IsEmpty());
}

TEST_F(LivePreviewTest, AHostThatGoesWhileThePreviewStartsEndsItAtOnce) {
    platform.whenCalled("Load(PreviewForm)", [&] { platform.destroyHostWindow(host); });
    EXPECT_FALSE(start());
    EXPECT_THAT(platform.calls(), Not(Contains("PreviewForm.Visible = True")));
    EXPECT_THAT(platform.messageBoxes(), IsEmpty());
    EXPECT_EQ(platform.calls().back(), "EndProgram()");
}

TEST_F(LivePreviewTest, WithAListTheMiniatureShowsEachPictureFittedInTurn) {
    testing::SampleSettings settings;
    settings.timeInterval = "10";  // more than the preview waits
    settings.effectMode = "1";     // left wipe
    installList(settings);
    ASSERT_TRUE(start());
    // No stored picture: the host's own context is left alone.
    EXPECT_THAT(platform.callsStartingWith({"GetDC", "BitBlt"}), IsEmpty());

    ASSERT_TRUE(platform.advance(100));
    const auto& miniature = preview().miniature;
    ASSERT_TRUE(miniature.picture());
    EXPECT_EQ(miniature.picture()->width, 150);
    EXPECT_EQ(miniature.picture()->height, 150);
    EXPECT_EQ(centre(), shownColour(kColours[0]));
    // Fitted over the chosen background colour.
    EXPECT_EQ(platform.hostView(host).at(10, 75), colorToPixel(kRed));
    EXPECT_EQ(platform.hostView(host).at(30, 75), shownColour(kColours[0]));

    // At most 3 s later the next picture wipes in from the left.
    ASSERT_TRUE(platform.advance(3000 + 500));
    const auto halfWay = platform.hostView(host);
    EXPECT_EQ(halfWay.at(30, 75), shownColour(kColours[1]));
    EXPECT_EQ(halfWay.at(170, 75), shownColour(kColours[0]));
    ASSERT_TRUE(platform.advance(600));
    EXPECT_EQ(platform.hostView(host).at(170, 75), shownColour(kColours[1]));
    EXPECT_EQ(preview().imageIndex(), 1);

    // In list order, and round again.
    ASSERT_TRUE(platform.advance(4100));
    EXPECT_EQ(centre(), shownColour(kColours[2]));
    ASSERT_TRUE(platform.advance(4100));
    EXPECT_EQ(centre(), shownColour(kColours[0]));

    // A repaint of the host shows the miniature again.
    platform.repaintHostWindow(host, kHostPixel);
    EXPECT_EQ(centre(), shownColour(kColours[0]));
}

TEST_F(LivePreviewTest, ReadsTheUsersOwnSettingsFileAsTheSaverDoes) {
    // The file beside the program lists the pictures in red; the user's own
    // file, which the saver and the dialog take first, says "Never" on blue.
    testing::SampleSettings beside;
    beside.timeInterval = "10";
    installList(beside);
    testing::SampleSettings own = beside;
    own.images = {"C:\\Pictures\\p2.bmp"};
    own.captions = {""};
    own.total = "1";
    own.timeInterval = "0";
    own.newBackColor = "16711680";  // blue
    platform.putFile("C:\\Users\\tester\\AppData\\Roaming\\Vistrel\\vistrel.ini", own.text());
    ASSERT_TRUE(start());
    ASSERT_TRUE(platform.advance(8000));
    EXPECT_EQ(centre(), shownColour(kColours[2]));
    EXPECT_EQ(platform.hostView(host).at(10, 75), colorToPixel(0xFF0000));
    EXPECT_FALSE(preview().changeTimer.timerEnabled());
}

TEST_F(LivePreviewTest, NeverKeepsTheFirstPicture) {
    testing::SampleSettings settings;
    settings.timeInterval = "0";
    installList(settings);
    ASSERT_TRUE(start());
    ASSERT_TRUE(platform.advance(20000));
    EXPECT_EQ(centre(), shownColour(kColours[0]));
    EXPECT_FALSE(preview().changeTimer.timerEnabled());
    EXPECT_EQ(platform.callsStartingWith({"LoadPictureInBackground"}).size(), 1u);
}

TEST_F(LivePreviewTest, RandomOrderShowsPicturesOfTheList) {
    testing::SampleSettings settings;
    settings.randomPick = "1";
    settings.timeInterval = "1";
    settings.effectMode = "0";
    installList(settings);
    ASSERT_TRUE(start());
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(platform.advance(1100));
        seen.insert(centre());
    }
    EXPECT_EQ(seen, (std::set<std::uint32_t>{shownColour(kColours[0]), shownColour(kColours[1]),
                                             shownColour(kColours[2])}));
}

TEST_F(LivePreviewTest, SlowPhotosAreLoadedOffTheUserInterfaceThread) {
    testing::SampleSettings settings;
    settings.effectMode = "7";  // vertical blinds
    installList(settings);
    // Each picture takes 2.5 s to decode, as a 24-megapixel photo may.
    for (int i = 0; i < 3; ++i) platform.setDecodeCost("C:\\Pictures\\p" + std::to_string(i) + ".bmp", 2500);
    ASSERT_TRUE(start());
    ASSERT_TRUE(platform.advance(1000));
    EXPECT_FALSE(preview().miniature.picture());  // still loading; the host watch goes on
    ASSERT_TRUE(platform.advance(1600));
    EXPECT_EQ(centre(), shownColour(kColours[0]));
    // The third picture goes before its turn, while the second is decoded.
    platform.removeFile("C:\\Pictures\\p2.bmp");

    // The second was decoded while the first was shown: its change, 3 s
    // after the first came, takes it at once, and its blinds are done a
    // second later.
    ASSERT_TRUE(platform.advance(3000 + 1000));
    EXPECT_EQ(centre(), shownColour(kColours[1]));
    // No event of the preview held the thread for more than 50 ms.
    EXPECT_LE(preview().longestEventMs(), 50);

    // A picture that cannot be loaded is passed over in silence at its
    // turn: the one after it is decoded then, and comes as it is ready.
    ASSERT_TRUE(platform.advance(3000 + 2500 + 1100));
    EXPECT_EQ(centre(), shownColour(kColours[0]));
    EXPECT_THAT(platform.messageBoxes(), IsEmpty());
}

TEST_F(LivePreviewTest, AFolderEntryShowsItsPicturesReadAfreshOnceFound) {
    testing::SampleSettings settings;
    settings.timeInterval = "1";
    settings.effectMode = "0";
    installList(settings);
    // The same three pictures in a folder on a share that answers slowly,
    // and a fourth in a subfolder.
    for (int i = 0; i < 3; ++i) {
        platform.putFile("\\\\nas\\photos\\p" + std::to_string(i) + ".bmp",
                         testing::solidBitmap(300, 300, kColours[i]));
    }
    platform.putFile("\\\\nas\\photos\\zz\\p3.bmp", testing::solidBitmap(300, 300, 0x777777));
    platform.setFolderListCost("\\\\nas\\photos", 1500);
    settings.images = {"\\\\nas\\photos\\"};
    settings.captions = {""};
    settings.total = "1";
    platform.putFile(testing::kSettingsPath, settings.text());
    ASSERT_TRUE(start());
    ASSERT_TRUE(platform.advance(1400));
    EXPECT_FALSE(preview().miniature.picture());  // nothing found yet; the host watch goes on
    ASSERT_TRUE(platform.advance(200));
    EXPECT_EQ(centre(), shownColour(kColours[0]));
    std::vector<std::uint32_t> seen{centre()};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(platform.advance(1100));
        seen.push_back(centre());
    }
    EXPECT_THAT(seen, ElementsAre(shownColour(kColours[0]), shownColour(kColours[1]), shownColour(kColours[2]),
                                  shownColour(0x777777), shownColour(kColours[0])));
    EXPECT_EQ(preview().pictureLibrary().size(), 4u);
}

TEST_F(LivePreviewTest, TheMiniatureCrossfadesOverItsBlurredFill) {
    testing::SampleSettings settings;
    settings.effectMode = "8";
    settings.backEffect = "2";
    settings.timeInterval = "10";
    installList(settings);
    ASSERT_TRUE(start());
    ASSERT_TRUE(platform.advance(100));
    // Beside the square picture, its blurred copy rather than the colour.
    const std::uint32_t beside = platform.hostView(host).at(10, 75);
    EXPECT_NE(beside, colorToPixel(kRed));
    EXPECT_EQ(beside, platform.hostView(host).at(5, 20));  // a one-colour picture blurs to one colour
    EXPECT_EQ(centre(), shownColour(kColours[0]));
    // Half way through the change (3 s later), half of each picture.
    ASSERT_TRUE(platform.advance(3000 + 500));
    const std::uint32_t mixed = centre();
    for (int shift : {0, 8, 16}) {
        const int expected = ((kColours[0] >> shift & 0xFF) + (kColours[1] >> shift & 0xFF)) / 2;
        EXPECT_NEAR(static_cast<int>(mixed >> shift & 0xFF), expected, 12) << shift;
    }
    ASSERT_TRUE(platform.advance(600));
    EXPECT_EQ(centre(), shownColour(kColours[1]));
}

TEST_F(LivePreviewTest, APannedMiniatureFillsThePreview) {
    testing::SampleSettings settings;
    settings.picRandom = "pan";
    installList(settings);
    ASSERT_TRUE(start());
    ASSERT_TRUE(platform.advance(100));
    const auto view = platform.hostView(host);
    for (int x = 0; x < kHostWidth; x += 9) EXPECT_EQ(view.at(x, 75), shownColour(kColours[0])) << x;
}

TEST(PreviewTransitionPieces, TheSaversStepsShrunkToThePreview) {
    // A left wipe of a 150 x 150 miniature of a 1024-pixel-wide screen.
    const auto wipe = scaledTransitionPieces(1, 150, 150, 150.0 / 1024);
    ASSERT_FALSE(wipe.empty());
    EXPECT_LE(wipe.size(), 151u);
    EXPECT_EQ(wipe.front().left, 0);
    EXPECT_EQ(wipe.back().right, 150);
    for (const auto& piece : wipe) {
        EXPECT_GE(piece.left, 0);
        EXPECT_LE(piece.right, 150);
        EXPECT_EQ(piece.height(), 150);
    }

    // Blinds keep their number of bands: 20-pixel bands at full size are
    // 5-pixel bands at a quarter.
    const auto blinds = scaledTransitionPieces(6, 100, 100, 0.25);
    std::set<int> bandTops;
    for (const auto& piece : blinds) bandTops.insert(piece.top / 5);
    EXPECT_EQ(bandTops.size(), 20u);

    // Every pixel is drawn by the end, whatever the code.
    for (int code = 1; code <= 7; ++code) {
        std::vector<bool> covered(60 * 40, false);
        for (const auto& piece : scaledTransitionPieces(code, 60, 40, 0.2)) {
            for (int y = piece.top; y < piece.bottom; ++y) {
                for (int x = piece.left; x < piece.right; ++x) covered[static_cast<std::size_t>(y) * 60 + x] = true;
            }
        }
        EXPECT_EQ(std::count(covered.begin(), covered.end(), false), 0) << "code " << code;
    }
}

}  // namespace
}  // namespace vistrel::app
