// Sizes converted between twips and pixels round as every whole-number
// conversion of the program does: an exact half goes to the even neighbour.
// At 150 % (10 twips to a pixel) and 200 % (7.5) halves are common.
#include <gtest/gtest.h>

#include <memory>

#include "platform/controls.h"
#include "platform/headless/headless_platform.h"
#include "platform/units.h"

namespace vistrel::platform {
namespace {

TEST(TwipsRounding, HalvesGoToTheEvenNeighbourBothWays) {
    struct Case {
        double twips, twipsPerPixel;
        int pixels;
    };
    for (const Case& c : {Case{25, 10, 2}, Case{35, 10, 4}, Case{15, 10, 2}, Case{24, 10, 2}, Case{26, 10, 3},
                          Case{-25, 10, -2}, Case{45, 15, 3}, Case{22.5, 15, 2}, Case{0, 0, 0}}) {
        EXPECT_EQ(twipsToPixels(c.twips, c.twipsPerPixel), c.pixels) << c.twips << " / " << c.twipsPerPixel;
    }
    EXPECT_EQ(pixelsToTwips(3, 7.5), 22);  // 22.5
    EXPECT_EQ(pixelsToTwips(5, 7.5), 38);  // 37.5
    EXPECT_EQ(pixelsToTwips(4, 7.5), 30);
}

TEST(TwipsRounding, TheScreenAndAPictureBoxThatSizesItselfFollowTheRule) {
    ScreenMetrics screen{1023, 767, 7.5, 7.5};
    EXPECT_EQ(screen.widthTwips(), 7672);   // 7672.5
    EXPECT_EQ(screen.heightTwips(), 5752);  // 5752.5

    headless::HeadlessPlatform platform;
    platform.setScreen({1024, 768, 7.5, 7.5});
    ui::Window form("Form1", platform);
    ui::PictureBox box("Picture1", form);
    box.autoSize = true;
    ASSERT_TRUE(platform.run([&] { form.load(); }));
    auto picture = std::make_shared<picture::Picture>();
    picture->width = 3;
    picture->height = 5;
    picture->pixels.assign(15, 0xFF000000);
    box.setPicture(picture);
    EXPECT_EQ(box.width(), 22);   // 22.5
    EXPECT_EQ(box.height(), 38);  // 37.5
}

}  // namespace
}  // namespace vistrel::platform
