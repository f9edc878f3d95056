// Window-system and graphics calls of the headless backend: device
// contexts, BitBlt clipping, topmost windows, the pointer and system flags.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"

namespace vistrel::platform::headless {
namespace {

using ::testing::ElementsAre;

constexpr std::uint32_t kOld = 0xFF101010;

// Fills a surface with pixels that tell where they came from: 0xFFxxyyyy.
void fillWithCoordinates(Surface& surface) {
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            surface.set(x, y, 0xFF000000u | static_cast<std::uint32_t>(x) << 12 | static_cast<std::uint32_t>(y));
        }
    }
}

std::uint32_t sourcePixel(int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(x) << 12 | static_cast<std::uint32_t>(y);
}

class HeadlessGraphicsTest : public ::testing::Test {
protected:
    HeadlessGraphicsTest() {
        platform.setScreen({800, 600, 15, 15});
        fillWithCoordinates(platform.desktop());
        host = platform.createHostWindow("Host", 40, 30, kOld);
        hostDc = platform.getDC(host);
        screenDc = platform.getDC(0);
        platform.clearCalls();
    }

    Surface& hostSurface() { return *platform.surfaceOfWindow(host); }

    HeadlessPlatform platform;
    Handle host = 0, hostDc = 0, screenDc = 0;
};

TEST_F(HeadlessGraphicsTest, TheDesktopSnapshotSequenceReadsLikeTheRealCalls) {
    const Handle desktop = platform.getDesktopWindow();
    const Handle dc = platform.getDC(desktop);
    EXPECT_TRUE(platform.bitBlt(hostDc, 0, 0, 40, 30, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(platform.releaseDC(desktop, dc), 1);
    EXPECT_THAT(platform.calls(), ElementsAre("GetDesktopWindow() -> Desktop", "GetDC(Desktop) -> hdc:Desktop",
                                              "BitBlt(hdc:Host, 0, 0, 40, 30, hdc:Desktop, 0, 0, SRCCOPY)",
                                              "ReleaseDC(Desktop, hdc:Desktop)"));
    // The whole screen (no window) and the desktop window share one surface.
    EXPECT_EQ(screenDc, dc);
    EXPECT_EQ(hostSurface().at(39, 29), sourcePixel(39, 29));
}

TEST_F(HeadlessGraphicsTest, UnknownHandlesGiveNoContextAndCopyNothing) {
    EXPECT_EQ(platform.getDC(4242), 0u);
    EXPECT_FALSE(platform.bitBlt(hostDc, 0, 0, 10, 10, 4243, 0, 0, SRCCOPY));
    EXPECT_FALSE(platform.bitBlt(0, 0, 0, 10, 10, screenDc, 0, 0, SRCCOPY));
    EXPECT_EQ(platform.releaseDC(4242, 0), 0);
    EXPECT_THAT(platform.calls(), ElementsAre("GetDC(4242) -> 0", "BitBlt(hdc:Host, 0, 0, 10, 10, 4243, 0, 0, SRCCOPY)",
                                              "BitBlt(0, 0, 0, 10, 10, hdc:Desktop, 0, 0, SRCCOPY)",
                                              "ReleaseDC(4242, 0)"));
    EXPECT_EQ(hostSurface().at(0, 0), kOld);
}

TEST_F(HeadlessGraphicsTest, OnlySourceCopyIsSupported) {
    constexpr std::uint32_t kSrcAnd = 0x008800C6;
    EXPECT_FALSE(platform.bitBlt(hostDc, 0, 0, 10, 10, screenDc, 0, 0, kSrcAnd));
    EXPECT_EQ(platform.calls().back(), "BitBlt(hdc:Host, 0, 0, 10, 10, hdc:Desktop, 0, 0, 0x8800C6)");
    EXPECT_EQ(hostSurface().at(0, 0), kOld);
}

TEST_F(HeadlessGraphicsTest, BlockCopiesAreClippedToBothSurfaces) {
    struct Case {
        const char* name;
        int x, y, width, height, srcX, srcY;
    };
    // The host is 40 x 30 and the desktop 800 x 600.
    const Case cases[] = {
        {"inside both", 5, 4, 10, 8, 100, 200},
        {"off the destination's right and bottom", 35, 25, 20, 20, 0, 0},
        {"off the destination's left and top", -5, -3, 12, 10, 50, 60},
        {"off the source's right and bottom", 0, 0, 40, 30, 790, 595},
        {"off the source's left and top", 10, 10, 20, 20, -8, -4},
        {"nothing inside", 50, 50, 10, 10, 0, 0},
        {"negative size", 0, 0, -10, 10, 0, 0},
    };
    for (const Case& c : cases) {
        hostSurface().fill(kOld);
        EXPECT_TRUE(platform.bitBlt(hostDc, c.x, c.y, c.width, c.height, screenDc, c.srcX, c.srcY, SRCCOPY)) << c.name;
        int wrong = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const int dx = x - c.x, dy = y - c.y;
                const int sx = c.srcX + dx, sy = c.srcY + dy;
                const bool inBlock = dx >= 0 && dy >= 0 && dx < c.width && dy < c.height;
                const bool inSource = sx >= 0 && sy >= 0 && sx < 800 && sy < 600;
                const std::uint32_t expected = inBlock && inSource ? sourcePixel(sx, sy) : kOld;
                if (hostSurface().at(x, y) != expected) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

TEST_F(HeadlessGraphicsTest, ABlockMovedWithinOneSurfaceIsCopiedAsItWas) {
    fillWithCoordinates(hostSurface());
    ASSERT_TRUE(platform.bitBlt(hostDc, 2, 1, 20, 20, hostDc, 0, 0, SRCCOPY));
    EXPECT_EQ(hostSurface().at(2, 1), sourcePixel(0, 0));
    EXPECT_EQ(hostSurface().at(21, 20), sourcePixel(19, 19));
    EXPECT_EQ(hostSurface().at(0, 0), sourcePixel(0, 0));
}

TEST_F(HeadlessGraphicsTest, SetWindowPosChangesTheTopmostRankAndShowsTheWindow) {
    const Handle other = platform.createHostWindow("Other", 10, 10);
    platform.setWindowPos(host, HWND_TOPMOST, 0, 0, 800, 600, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    EXPECT_TRUE(platform.isTopmost(host));
    platform.setWindowPos(host, HWND_NOTOPMOST, 0, 0, 800, 600, 0);
    EXPECT_FALSE(platform.isTopmost(host));
    platform.setWindowPos(host, static_cast<std::intptr_t>(other), 1, 2, 3, 4, 0x13);
    platform.setWindowPos(77, HWND_TOPMOST, 0, 0, 0, 0, 0);
    EXPECT_FALSE(platform.isTopmost(77));
    EXPECT_THAT(platform.calls(), ElementsAre("SetWindowPos(Host, HWND_TOPMOST, 0, 0, 800, 600, 0x50)",
                                              "SetWindowPos(Host, HWND_NOTOPMOST, 0, 0, 800, 600, 0x0)",
                                              "SetWindowPos(Host, Other, 1, 2, 3, 4, 0x13)",
                                              "SetWindowPos(77, HWND_TOPMOST, 0, 0, 0, 0, 0x0)"));
}

TEST_F(HeadlessGraphicsTest, ThePointerStaysOnTheScreen) {
    platform.setCursorPos(808, 608);
    EXPECT_EQ(platform.cursor().x, 799);
    EXPECT_EQ(platform.cursor().y, 599);
    platform.setCursorPos(-5, 300);
    EXPECT_EQ(platform.cursor().x, 0);
    EXPECT_EQ(platform.cursor().y, 300);
    EXPECT_THAT(platform.calls(), ElementsAre("SetCursorPos(808, 608)", "SetCursorPos(-5, 300)"));
}

TEST_F(HeadlessGraphicsTest, TheScreenSaverRunningFlagFollowsActionNinetySeven) {
    std::uint32_t scratch = 0;
    EXPECT_TRUE(platform.systemParametersInfo(SPI_SETSCREENSAVERRUNNING, 1, &scratch, 0));
    EXPECT_EQ(platform.screenSaverRunningFlag(), 1);
    scratch = 0;
    EXPECT_TRUE(platform.systemParametersInfo(SPI_SETSCREENSAVERRUNNING, 0, &scratch, 0));
    EXPECT_EQ(platform.screenSaverRunningFlag(), 0);
    EXPECT_EQ(scratch, 1u);  // receives the state it replaced, as on Windows
    EXPECT_FALSE(platform.systemParametersInfo(20, 0, nullptr, 0));
    EXPECT_THAT(platform.calls(), ElementsAre("SystemParametersInfoA(97, 1, 0, 0)", "SystemParametersInfoA(97, 0, 0, 0)",
                                              "SystemParametersInfoA(20, 0, NULL, 0)"));
}

TEST_F(HeadlessGraphicsTest, TheVersionRecordNeedsItsSizeSet) {
    platform.setPlatformId(VER_PLATFORM_WIN32_WINDOWS);
    OsVersionInfo info;
    EXPECT_FALSE(platform.getVersionEx(info));
    EXPECT_EQ(info.platformId, 0);
    info.size = OSVERSIONINFOA_SIZE;
    EXPECT_TRUE(platform.getVersionEx(info));
    EXPECT_EQ(info.platformId, VER_PLATFORM_WIN32_WINDOWS);

    platform.setVersionReadable(false);
    OsVersionInfo unread;
    unread.size = OSVERSIONINFOA_SIZE;
    EXPECT_FALSE(platform.getVersionEx(unread));
    EXPECT_EQ(unread.platformId, 0);
    EXPECT_THAT(platform.calls(),
                ElementsAre("GetVersionExA(0) -> failed", "GetVersionExA(148) -> 1", "GetVersionExA(148) -> failed"));
}

TEST(HeadlessColorTest, ModelColoursHaveRedInTheLowByteAndPixelsInTheHighOne) {
    EXPECT_EQ(colorToPixel(0x0000FF), 0xFFFF0000u);
    EXPECT_EQ(colorToPixel(0x00FF00), 0xFF00FF00u);
    EXPECT_EQ(colorToPixel(0xFF0000), 0xFF0000FFu);
    EXPECT_EQ(pixelToColor(0xFF123456), 0x563412u);
    EXPECT_EQ(pixelToColor(colorToPixel(0x00ABCDEF)), 0x00ABCDEFu);
}

}  // namespace
}  // namespace vistrel::platform::headless
