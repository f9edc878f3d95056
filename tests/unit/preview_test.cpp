#include "app/preview.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <variant>

#include "app/main.h"
#include "platform/headless/headless_platform.h"
#include "resources/preview_picture.h"

namespace vistrel::app {
namespace {

using platform::headless::HeadlessPlatform;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint32_t kHostPixel = 0xFF123456;

class PreviewTest : public ::testing::Test {
protected:
    bool preview(const std::string& command) {
        platform.setCommandLine(command);
        std::unique_ptr<Program> program;
        return platform.run([&] { program = Main(platform); });
    }
    HeadlessPlatform platform;
};

TEST_F(PreviewTest, StoredPictureIs151By119) {
    HeadlessPlatform decoder;
    const auto decoded = decoder.decodePicture(resources::previewPictureBytes());
    const auto* picture = std::get_if<picture::Picture>(&decoded);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 151);
    EXPECT_EQ(picture->height, 119);
}

TEST_F(PreviewTest, CopiesA160By120BlockIntoTheHostWindowAndLivesOn) {
    const auto host = platform.createHostWindow("Host", 200, 150, kHostPixel);
    EXPECT_TRUE(preview("/p " + std::to_string(host)));
    EXPECT_FALSE(platform.programEnded());

    // The first paint goes into the host's own context, as it always did;
    // then the same block into the image of the window that lives there.
    EXPECT_THAT(platform.callsStartingWith({"GetDC", "BitBlt", "ReleaseDC", "EndProgram"}),
                ElementsAre("GetDC(Host) -> hdc:Host", "BitBlt(hdc:Host, 0, 0, 160, 120, hdc:Picture1, 0, 0, SRCCOPY)",
                            "ReleaseDC(Host, hdc:Host)",
                            "BitBlt(hdc:PreviewForm, 0, 0, 160, 120, hdc:Picture1, 0, 0, SRCCOPY)"));
    // The event loop runs 200 times before the copy.
    EXPECT_EQ(platform.doEventsCount(), 200u);

    const auto decoded = platform.decodePicture(resources::previewPictureBytes());
    const auto& picture = std::get<picture::Picture>(decoded);
    const auto* surface = platform.surfaceOfWindow(host);
    ASSERT_NE(surface, nullptr);
    int differences = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool inPicture = x < 151 && y < 119;
            const std::uint32_t expected = inPicture ? picture.at(x, y) : kHostPixel;
            if (surface->at(x, y) != expected) ++differences;
        }
    }
    // Beyond the picture (the right 9 columns and the bottom row of the
    // block) the host keeps what it had drawn.
    EXPECT_EQ(differences, 0);
}

TEST_F(PreviewTest, HandleZeroDrawsAtTheScreensTopLeft) {
    platform.desktop().fill(kHostPixel);
    EXPECT_FALSE(preview("/p x"));
    EXPECT_THAT(platform.callsStartingWith({"GetDC", "BitBlt"}),
                ElementsAre("GetDC(0) -> hdc:Desktop", "BitBlt(hdc:Desktop, 0, 0, 160, 120, hdc:Picture1, 0, 0, SRCCOPY)"));
    EXPECT_NE(platform.desktop().at(0, 0), kHostPixel);
    EXPECT_EQ(platform.desktop().at(151, 0), kHostPixel);
}

TEST_F(PreviewTest, AWindowThatDoesNotExistEndsAtOnceWithoutAMessage) {
    EXPECT_FALSE(preview("/p 987654"));
    EXPECT_THAT(platform.callsStartingWith({"GetDC", "BitBlt", "Load(PreviewForm"}), IsEmpty());
    EXPECT_THAT(platform.messageBoxes(), IsEmpty());
    EXPECT_EQ(platform.calls().back(), "EndProgram()");
}

TEST_F(PreviewTest, NoRoomForAHandleDrawsNothingAndEnds) {
    EXPECT_FALSE(preview("/p"));
    EXPECT_THAT(platform.callsStartingWith({"GetDC", "BitBlt", "ReleaseDC"}), IsEmpty());
    EXPECT_EQ(platform.calls().back(), "EndProgram()");
}

}  // namespace
}  // namespace vistrel::app
