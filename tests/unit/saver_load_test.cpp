#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

#include "saver/saver_window.h"
#include "test_support.h"

namespace vistrel::saver {
namespace {

using platform::headless::HeadlessPlatform;
using platform::headless::colorToPixel;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Settings from a table, remembering the order in which they were read.
class RecordingStore : public settings::SettingsReader {
public:
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::vector<std::string> reads;

    std::string ReadSetting(std::string_view section, std::string_view key) override {
        reads.push_back(std::string(section) + "/" + std::string(key));
        const auto it = values.find({std::string(section), std::string(key)});
        return it == values.end() ? std::string() : it->second;
    }
};

// A saver window loaded on a platform of its own, for table-driven cases.
struct LoadedSaver {
    HeadlessPlatform platform;
    RunValues values;
    std::unique_ptr<SaverWindow> window;
    bool loaded = false;
};

std::unique_ptr<LoadedSaver> loadSaver(const vistrel::testing::SampleSettings& settings,
                                       const std::function<void(HeadlessPlatform&)>& configure = {}) {
    auto saver = std::make_unique<LoadedSaver>();
    if (configure) configure(saver->platform);
    saver->platform.putFile(vistrel::testing::kSettingsPath, settings.text());
    saver->window = std::make_unique<SaverWindow>(saver->platform, saver->values);
    saver->loaded = saver->platform.run([&] { saver->window->form1.load(); });
    return saver;
}

class SaverLoadTest : public ::testing::Test {
protected:
    SaverLoadTest() { platform.setScreen({800, 600, 15, 15}); }

    SaverWindow& loadWith(const vistrel::testing::SampleSettings& settings) {
        platform.putFile(vistrel::testing::kSettingsPath, settings.text());
        return load();
    }

    SaverWindow& load() {
        saver = std::make_unique<SaverWindow>(platform, runValues);
        EXPECT_TRUE(platform.run([&] { saver->form1.load(); }));
        return *saver;
    }

    HeadlessPlatform platform;
    RunValues runValues;
    std::unique_ptr<SaverWindow> saver;
};

TEST_F(SaverLoadTest, ReadsEverySettingOnceInItsOrder) {
    RecordingStore store;
    store.values[{"total", "total"}] = "2";
    SaverWindow window(platform, runValues, &store);
    ASSERT_TRUE(platform.run([&] { window.form1.load(); }));

    EXPECT_THAT(store.reads,
                ElementsAreArray<std::string>(
                    {"total/total", "images/0", "images/1", "caption/0", "caption/1", "image/randomPick",
                     "background/newBackColor", "background/backEffect", "image/picSpeed", "image/timeInterval",
                     "image/picRandom", "image/effectMode", "image/randomEffect", "image/fitLarge",
                     "image/allMonitors", "image/autoCaption", "password/saverPassword", "password/saverEnabled", "font/newFontName",
                     "font/newFontSize", "font/newFontBold", "font/newFontItalic", "font/newFontUnderline",
                     "font/newFontFontStrikethru", "font/newFontForeColor"}));
}

TEST_F(SaverLoadTest, HoldsTheImageListAndOptionsAsRead) {
    vistrel::testing::SampleSettings settings;
    settings.total = "3";
    settings.images = {"C:\\a.jpg", "C:\\b.jpg", "C:\\c.jpg"};
    settings.captions = {"one", "two"};  // the third image has no caption
    settings.saverPassword = "Secret";
    settings.saverEnabled = "1";
    settings.picRandom = "rand";
    settings.timeInterval = "2.5";
    SaverWindow& window = loadWith(settings);

    EXPECT_THAT(window.imagePaths, ElementsAre("C:\\a.jpg", "C:\\b.jpg", "C:\\c.jpg", ""));
    EXPECT_THAT(window.imageCaptions, ElementsAre("one", "two", "", ""));
    EXPECT_EQ(window.lastIndex, 2);
    EXPECT_EQ(window.total, "3");
    EXPECT_EQ(window.picRandom, "rand");
    EXPECT_EQ(window.timeInterval, "2.5");
    EXPECT_EQ(runValues.savedPassword, "Secret");
    EXPECT_EQ(runValues.passwordEnabled, "1");
}

TEST_F(SaverLoadTest, AnEmptyListReadsNoEntries) {
    vistrel::testing::SampleSettings settings;
    settings.total = "0";
    SaverWindow& window = loadWith(settings);
    EXPECT_EQ(window.lastIndex, -1);
    EXPECT_THAT(window.imagePaths, ElementsAre(""));
}

TEST_F(SaverLoadTest, AppliesCaptionFontAndColourInOrderAndLeavesTheCaptionHiddenAtTheTop) {
    SaverWindow& window = loadWith({});

    EXPECT_THAT(platform.callsStartingWith({"Label1.Font", "Label1.ForeColor"}),
                ElementsAre("Label1.FontName = Times New Roman", "Label1.FontSize = 14", "Label1.FontBold = True",
                            "Label1.FontUnderline = True", "Label1.ForeColor = 65535"));
    const ui::Font& font = window.label1.font();
    EXPECT_EQ(font.name, "Times New Roman");
    EXPECT_EQ(font.sizePoints, 14);
    EXPECT_TRUE(font.bold);
    EXPECT_FALSE(font.italic);
    EXPECT_TRUE(font.underline);
    EXPECT_FALSE(font.strikethrough);
    EXPECT_EQ(window.label1.foreColor(), 65535u);
    EXPECT_EQ(window.label1.top(), 0);
    EXPECT_FALSE(window.label1.visible());
    EXPECT_EQ(window.label1.text(), " ");
}

TEST_F(SaverLoadTest, SolidBackgroundColoursTheWindowAndBothPictureBoxes) {
    SaverWindow& window = loadWith({});  // newBackColor 255: red

    EXPECT_EQ(window.form1.backColor(), 255u);
    EXPECT_EQ(window.picture1.backColor(), 255u);
    EXPECT_EQ(window.picture2.backColor(), 255u);
    const auto* surface = platform.surfaceOf(window.form1);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->at(0, 0), colorToPixel(255));
    EXPECT_EQ(surface->at(799, 599), colorToPixel(255));
    EXPECT_THAT(platform.callsStartingWith({"GetDesktopWindow", "GetDC", "BitBlt"}), IsEmpty());
}

TEST_F(SaverLoadTest, DesktopSnapshotBecomesTheWindowsPersistentBackground) {
    auto& desktop = platform.desktop();
    for (int y = 0; y < desktop.height; ++y) {
        for (int x = 0; x < desktop.width; ++x) desktop.set(x, y, colorToPixel(static_cast<ui::Color>(x * 7 + y * 13)));
    }
    vistrel::testing::SampleSettings settings;
    settings.backEffect = "1";
    settings.newBackColor = "not a colour";  // not converted in this mode
    SaverWindow& window = loadWith(settings);

    EXPECT_THAT(platform.callsStartingWith({"GetDesktopWindow", "GetDC", "BitBlt", "ReleaseDC"}),
                ElementsAre("GetDesktopWindow() -> Desktop", "GetDC(Desktop) -> hdc:Desktop",
                            "BitBlt(hdc:Form1, 0, 0, 800, 600, hdc:Desktop, 0, 0, SRCCOPY)",
                            "ReleaseDC(Desktop, hdc:Desktop)"));
    // The window is exactly the screen, in twips.
    EXPECT_EQ(window.form1.width(), 800 * 15);
    EXPECT_EQ(window.form1.height(), 600 * 15);
    const auto* surface = platform.surfaceOf(window.form1);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->pixels, desktop.pixels);
    // The designed colours, the system's, stay in this mode.
    EXPECT_EQ(window.form1.backColor(), ui::kSystemWindowFrame);
    EXPECT_EQ(window.picture1.backColor(), ui::kSystemButtonText);
    EXPECT_EQ(window.picture2.backColor(), ui::kBlack);
}

TEST_F(SaverLoadTest, UnderAHighContrastSchemeTheDesignedColoursAreTheSchemes) {
    constexpr ui::Color kFrameColour = 0x00FFFF, kButtonTextColour = 0x00FF00;
    platform.setSystemColor(6, kFrameColour);
    platform.setSystemColor(18, kButtonTextColour);
    vistrel::testing::SampleSettings settings;
    settings.backEffect = "1";
    SaverWindow& window = loadWith(settings);
    EXPECT_EQ(window.form1.backColor(), ui::kSystemWindowFrame);
    EXPECT_EQ(colorToPixel(window.form1.backColor()), colorToPixel(kFrameColour));
    // The image surface shows the scheme's button-text colour where no picture is.
    window.picture1.move(0, 0, 150, 150);
    window.picture1.setVisible(true);
    const auto* image = platform.surfaceOf(window.form1);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->at(5, 5), colorToPixel(kButtonTextColour));
}

TEST_F(SaverLoadTest, AnyNonZeroBackEffectTakesTheSnapshot) {
    for (const char* effect : {"1", "2", "-1", "0.5"}) {
        vistrel::testing::SampleSettings settings;
        settings.backEffect = effect;
        const auto saver = loadSaver(settings);
        ASSERT_TRUE(saver->loaded);
        EXPECT_THAT(saver->platform.callsStartingWith({"BitBlt"}), ::testing::SizeIs(1)) << effect;
    }
}

TEST_F(SaverLoadTest, ArmsOnlyTheFirstImageTimer) {
    SaverWindow& window = loadWith({});
    EXPECT_TRUE(window.timer3.timerEnabled());
    EXPECT_EQ(window.timer3.interval(), 500);
    EXPECT_FALSE(window.timer1.timerEnabled());
    EXPECT_EQ(window.timer1.interval(), 100);
    EXPECT_FALSE(window.timer2.timerEnabled());
    EXPECT_EQ(window.timer2.interval(), 0);
    EXPECT_FALSE(window.picture1.visible());
    EXPECT_FALSE(window.picture2.visible());
    // The timer is armed last, after the background is in place.
    EXPECT_EQ(platform.calls().back(), "Timer3.Enabled = True");
}

// The flag that keeps Ctrl+Alt+Del away is for protected runs on 95/98 only.
TEST_F(SaverLoadTest, ScreenSaverRunningFlagOnlyForProtectedRunsOutsideTheNtFamily) {
    struct Case {
        const char* saverEnabled;
        std::int32_t platformId;
        bool versionReadable;
        bool flagOn;
    };
    const Case cases[] = {
        {"1", platform::VER_PLATFORM_WIN32_WINDOWS, true, true},
        {"1.00", platform::VER_PLATFORM_WIN32_WINDOWS, true, true},
        {"1", platform::VER_PLATFORM_WIN32_NT, true, false},
        {"1", platform::VER_PLATFORM_WIN32_NT, false, true},  // unread version counts as not NT
        {"0", platform::VER_PLATFORM_WIN32_WINDOWS, true, false},
        {"", platform::VER_PLATFORM_WIN32_WINDOWS, true, false},
        {"2", platform::VER_PLATFORM_WIN32_WINDOWS, true, false},
        {"yes", platform::VER_PLATFORM_WIN32_WINDOWS, true, false},
    };
    for (const Case& c : cases) {
        vistrel::testing::SampleSettings settings;
        settings.saverEnabled = c.saverEnabled;
        settings.saverPassword = "Secret";
        const auto saver = loadSaver(settings, [&](HeadlessPlatform& platform) {
            platform.setPlatformId(c.platformId);
            platform.setVersionReadable(c.versionReadable);
        });
        ASSERT_TRUE(saver->loaded);
        HeadlessPlatform& fresh = saver->platform;
        const RunValues& values = saver->values;

        const auto flagCalls = fresh.callsStartingWith({"SystemParametersInfoA"});
        SCOPED_TRACE(std::string("saverEnabled=") + c.saverEnabled + " platform=" + std::to_string(c.platformId));
        if (c.flagOn) {
            EXPECT_THAT(flagCalls, ElementsAre("SystemParametersInfoA(97, 1, 0, 0)"));
            EXPECT_EQ(fresh.screenSaverRunningFlag(), 1);
        } else {
            EXPECT_THAT(flagCalls, IsEmpty());
            EXPECT_EQ(fresh.screenSaverRunningFlag(), 0);
        }
        EXPECT_EQ(values.platformId, c.versionReadable ? c.platformId : 0);
        // The version record is asked for with its documented size.
        EXPECT_THAT(fresh.callsStartingWith({"GetVersionExA"}), ::testing::Contains(::testing::StartsWith("GetVersionExA(148)")));
    }
}

TEST_F(SaverLoadTest, MissingSettingsFileFallsBackWithoutFailing) {
    SaverWindow& window = load();

    EXPECT_EQ(window.lastIndex, -1);
    EXPECT_EQ(window.form1.backColor(), ui::kBlack);
    EXPECT_EQ(window.label1.font().name, "Arial");
    EXPECT_EQ(window.label1.font().sizePoints, 20);
    EXPECT_FALSE(window.label1.font().bold);
    EXPECT_EQ(window.label1.foreColor(), ui::kWhite);
    EXPECT_TRUE(window.timer3.timerEnabled());
    EXPECT_TRUE(platform.messageBoxes().empty());
}

TEST_F(SaverLoadTest, GarbageValuesFallBackOneByOne) {
    vistrel::testing::SampleSettings settings;
    settings.total = "lots";
    settings.newBackColor = "red";
    settings.fontName = "";
    settings.fontSize = "huge";
    settings.fontBold = "maybe";
    settings.fontItalic = "1";
    settings.fontForeColor = "99999999";  // beyond 24-bit RGB
    SaverWindow& window = loadWith(settings);

    EXPECT_EQ(window.lastIndex, -1);
    EXPECT_EQ(window.form1.backColor(), ui::kBlack);
    EXPECT_EQ(window.label1.font().name, "Arial");
    EXPECT_EQ(window.label1.font().sizePoints, 20);
    EXPECT_FALSE(window.label1.font().bold);
    EXPECT_TRUE(window.label1.font().italic);
    EXPECT_EQ(window.label1.foreColor(), ui::kWhite);
}

TEST_F(SaverLoadTest, ImageCountFollowsTheNumericValueOfTotal) {
    struct Case {
        const char* total;
        int lastIndex;
    };
    for (const Case& c : {Case{"2", 1}, Case{" 2 ", 1}, Case{"2 images", 1}, Case{"2.5", 2}, Case{"-4", -1},
                          Case{"", -1}, Case{"99999999", 32766}}) {
        vistrel::testing::SampleSettings settings;
        settings.total = c.total;
        const auto saver = loadSaver(settings);
        ASSERT_TRUE(saver->loaded);
        EXPECT_EQ(saver->window->lastIndex, c.lastIndex) << c.total;
        EXPECT_EQ(saver->window->imagePaths.size(), static_cast<std::size_t>(c.lastIndex + 2)) << c.total;
    }
}

}  // namespace
}  // namespace vistrel::saver

namespace vistrel::saver {
namespace {

TEST(SaverFirstStartValues, MissingMovementAndTimingKeysTakeWhatTheDialogOpensWith) {
    vistrel::testing::SampleSettings settings;
    settings.picRandom = "";
    settings.picSpeed = "";
    settings.timeInterval = "";
    auto saver = loadSaver(settings);
    ASSERT_TRUE(saver->loaded);
    EXPECT_EQ(saver->window->picRandom, "cent");
    EXPECT_EQ(saver->window->picSpeed, "3");
    EXPECT_EQ(saver->window->timeInterval, "2");

    // Present but not usable is not missing: garbage still means no change.
    settings.timeInterval = "soon";
    EXPECT_EQ(loadSaver(settings)->window->timeInterval, "soon");
}

}  // namespace
}  // namespace vistrel::saver
