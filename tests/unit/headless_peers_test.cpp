// The headless peers: what they record of the program's property changes,
// and the persistent images of windows and picture boxes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/headless/headless_platform.h"

namespace vistrel::platform::headless {
namespace {

using ::testing::ElementsAre;

constexpr ui::Color kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00;

std::shared_ptr<const picture::Picture> solidPicture(int width, int height, std::uint32_t pixel) {
    auto picture = std::make_shared<picture::Picture>();
    picture->width = width;
    picture->height = height;
    picture->pixels.assign(static_cast<std::size_t>(width) * height, pixel);
    return picture;
}

int countPixels(const Surface& surface, std::uint32_t pixel) {
    return static_cast<int>(std::count(surface.pixels.begin(), surface.pixels.end(), pixel));
}

class HeadlessPeersTest : public ::testing::Test {
protected:
    HeadlessPeersTest() { platform.setScreen({640, 480, 15, 15}); }

    HeadlessPlatform platform;
};

TEST_F(HeadlessPeersTest, AMaximizedWindowsImageCoversTheScreenOthersTheirBounds) {
    ui::Window saver("Form1", platform);
    saver.windowState = ui::WindowState::Maximized;
    saver.setBackColor(kRed);
    ui::Window dialog("Form2", platform);
    dialog.move(0, 0, 1500, 750);
    saver.load();
    dialog.load();

    const Surface* full = platform.surfaceOf(saver);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->width, 640);
    EXPECT_EQ(full->height, 480);
    EXPECT_EQ(countPixels(*full, colorToPixel(kRed)), 640 * 480);
    const Surface* small = platform.surfaceOf(dialog);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->width, 100);
    EXPECT_EQ(small->height, 50);
    EXPECT_THAT(platform.callsStartingWith({"Load("}), ElementsAre("Load(Form1)", "Load(Form2)"));
}

TEST_F(HeadlessPeersTest, WindowsAndPictureBoxesGetTheirOwnNamedHandles) {
    ui::Window form("Form1", platform);
    ui::PictureBox picture("Picture1", form);
    ui::Label label("Label1", form);
    form.load();
    const Handle handles[] = {form.hwnd(), form.hdc(), picture.hwnd(), picture.hdc(), platform.getDesktopWindow()};
    for (std::size_t i = 0; i < std::size(handles); ++i) {
        EXPECT_NE(handles[i], 0u);
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(handles[i], handles[j]);
    }
    EXPECT_EQ(label.hwnd(), 0u);
    EXPECT_EQ(platform.getDC(form.hwnd()), form.hdc());
    EXPECT_EQ(platform.getDC(picture.hwnd()), picture.hdc());
    EXPECT_THAT(platform.callsStartingWith({"GetDC"}),
                ElementsAre("GetDC(Form1) -> hdc:Form1", "GetDC(Picture1) -> hdc:Picture1"));
}

TEST_F(HeadlessPeersTest, AnUnloadedWindowLosesItsImageButKeepsItsNameInTheLog) {
    ui::Window form("Form1", platform);
    form.load();
    const Handle old = form.hwnd();
    form.unload();
    EXPECT_EQ(platform.surfaceOf(form), nullptr);
    EXPECT_EQ(platform.getDC(old), 0u);
    EXPECT_THAT(platform.callsStartingWith({"Load(", "Unload(", "GetDC"}),
                ElementsAre("Load(Form1)", "Unload(Form1)", "GetDC(Form1) -> 0"));
}

TEST_F(HeadlessPeersTest, ANewBackColourWipesWhatWasDrawnOnTheWindow) {
    ui::Window form("Form1", platform);
    form.windowState = ui::WindowState::Maximized;
    form.load();
    platform.desktop().fill(colorToPixel(kGreen));
    platform.bitBlt(form.hdc(), 0, 0, 640, 480, platform.getDC(0), 0, 0, SRCCOPY);
    ASSERT_EQ(countPixels(*platform.surfaceOf(form), colorToPixel(kGreen)), 640 * 480);
    form.setBackColor(kBlue);
    EXPECT_EQ(countPixels(*platform.surfaceOf(form), colorToPixel(kBlue)), 640 * 480);
}

TEST_F(HeadlessPeersTest, APictureBoxThatSizesItselfShowsAllOfItsPicture) {
    ui::Window form("Form1", platform);
    ui::PictureBox box("Picture2", form);
    box.autoSize = true;
    box.setBackColor(kBlue);
    form.load();
    ASSERT_EQ(platform.surfaceOf(box)->width, 0);

    box.setPicture(solidPicture(30, 20, colorToPixel(kRed)));
    const Surface* surface = platform.surfaceOf(box);
    EXPECT_EQ(surface->width, 30);
    EXPECT_EQ(surface->height, 20);
    EXPECT_EQ(countPixels(*surface, colorToPixel(kRed)), 30 * 20);
    EXPECT_THAT(platform.callsStartingWith({"Picture2."}),
                ElementsAre("Picture2.Picture = 30 x 20", "Picture2.Bounds = 0, 0, 450, 300"));
}

TEST_F(HeadlessPeersTest, ClearingAPictureBoxRestoresBackColourAndPicture) {
    ui::Window form("Form1", platform);
    ui::PictureBox box("Picture1", form);
    box.setBackColor(kBlue);
    box.move(0, 0, 600, 600);  // 40 x 40 pixels
    form.load();
    box.setPicture(solidPicture(10, 10, colorToPixel(kRed)));
    Surface& surface = *platform.surfaceOf(box);
    surface.fill(colorToPixel(kGreen));  // something drawn over everything

    box.cls();
    EXPECT_EQ(surface.at(9, 9), colorToPixel(kRed));
    EXPECT_EQ(surface.at(10, 10), colorToPixel(kBlue));
    EXPECT_EQ(countPixels(surface, colorToPixel(kGreen)), 0);
    EXPECT_EQ(platform.calls().back(), "Picture1.Cls()");
}

TEST_F(HeadlessPeersTest, AResizedPictureBoxKeepsWhatFitsAndClearsTheRest) {
    ui::Window form("Form1", platform);
    ui::PictureBox box("Picture1", form);
    box.setBackColor(kBlue);
    box.move(0, 0, 300, 300);  // 20 x 20 pixels
    form.load();
    platform.surfaceOf(box)->fill(colorToPixel(kGreen));

    box.move(0, 0, 450, 150);  // 30 x 10
    const Surface* surface = platform.surfaceOf(box);
    ASSERT_EQ(surface->width, 30);
    ASSERT_EQ(surface->height, 10);
    EXPECT_EQ(surface->at(19, 9), colorToPixel(kGreen));
    EXPECT_EQ(surface->at(20, 0), colorToPixel(kBlue));
}

TEST_F(HeadlessPeersTest, PropertyChangesAreRecordedOneLineEach) {
    ui::Window form("Form1", platform);
    ui::Label label("Label1", form);
    ui::TextBox text("txtNotes", form);
    form.load();
    form.setBackColor(255);
    form.show();
    label.setText("Hello");
    label.setFontName("Arial");
    label.setFontSize(12);
    label.setFontSize(12);  // unchanged: nothing to record
    label.setFontSize(9.75);
    label.setFontBold(true);
    label.setFontStrikethrough(true);
    label.setForeColor(65535);
    label.move(0, 0, 1500, 300);
    label.setVisible(false);
    text.setText("line one\r\nline two");
    text.setEnabled(false);
    text.setFocus();
    EXPECT_THAT(platform.calls(),
                ElementsAre("Load(Form1)", "Form1.BackColor = 255", "Form1.Visible = True", "Label1.Text = Hello",
                            "Label1.FontName = Arial", "Label1.FontSize = 12", "Label1.FontSize = 9.75",
                            "Label1.FontBold = True",
                            "Label1.FontStrikethrough = True", "Label1.ForeColor = 65535",
                            "Label1.Bounds = 0, 0, 1500, 300", "Label1.Visible = False",
                            "txtNotes.Text = line one\\r\\nline two", "txtNotes.Enabled = False",
                            "txtNotes.SetFocus()"));
    EXPECT_TRUE(platform.isShown(form.hwnd()));
}

TEST_F(HeadlessPeersTest, ALabelThatSizesItselfMeasuresCharactersNotBytes) {
    ui::Window form("Form1", platform);
    ui::Label label("Label1", form);
    label.autoSize = true;
    label.setFontSize(10);
    label.setText("Caf\xC3\xA9");  // four characters, five bytes
    form.load();
    // 0.6 x 10 pt x 20 twips = 120 twips a character; 1.2 x 200 twips high.
    EXPECT_EQ(label.width(), 480);
    EXPECT_EQ(label.height(), 240);
    label.setFontSize(8.25);
    EXPECT_EQ(label.width(), 4 * 99);
    EXPECT_EQ(label.height(), 198);
}

}  // namespace
}  // namespace vistrel::platform::headless
