// The page of more options: opened from the dialog by mouse or keyboard,
// filled from the pending settings, its OK and Cancel against the dialog's
// OK and Cancel, values it cannot show kept, and its keyboard use.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "dialog_test_support.h"
#include "settings/profile_document.h"

namespace vistrel::testing {
namespace {

using settings::Option;

constexpr int kAlt = 4;
constexpr int kSpace = 0x20;
constexpr int kEscape = 27;

class MoreOptionsPageTest : public DialogTest {
protected:
    void openWith(const std::string& fitLarge, const std::string& allMonitors, const std::string& autoCaption) {
        SampleSettings settings;
        settings.fitLarge = fitLarge;
        settings.allMonitors = allMonitors;
        settings.autoCaption = autoCaption;
        openSample(settings);
    }
    dialog::MoreOptionsPage& page() {
        dialog::MoreOptionsPage* open = dialog->morePage();
        if (!open) throw std::runtime_error("the page is not open");
        return *open;
    }
    ui::CheckBox& box(const char* name) { return page().control<ui::CheckBox>(name); }
    std::vector<int> ticks() {
        std::vector<int> values;
        for (const char* name : {"fitLarge", "allMonitors", "captionDate", "captionFolder", "captionFile"}) {
            values.push_back(box(name).value());
        }
        return values;
    }
    bool alt(char letter) { return platform.pressKey(letter - 'a' + 'A', kAlt, letter); }
    void openByMouse() { ASSERT_TRUE(act([&] { c<ui::Button>("moreOptions").userClick(); })); }
    void pageButton(const char* name) { ASSERT_TRUE(act([&] { page().control<ui::Button>(name).userClick(); })); }
    std::string saved(Option option) {
        const auto file = settings::ProfileDocument::fromFileBytes(settingsOnDisk(), [](std::string_view b) {
            return std::string(b);
        });
        const settings::OptionSpec& spec = settings::specOf(option);
        return file.get(spec.section, spec.key).value_or("<missing>");
    }
};

TEST_F(MoreOptionsPageTest, OpensOverTheDialogWithTheChoicesOfThePendingSettings) {
    openWith("", "1", "file, date");
    openByMouse();
    EXPECT_EQ(page().form.caption, "More options");
    EXPECT_EQ(page().form.owner, dialog->form2.hwnd());
    EXPECT_EQ(platform.activeWindow(), &page().form);
    EXPECT_EQ(platform.focusedControl(), &box("fitLarge"));
    EXPECT_THAT(ticks(), ::testing::ElementsAre(1, 1, 1, 0, 1));  // a missing fitLarge fits
    // The dialog takes nothing while the page is up.
    EXPECT_FALSE(dialog->form2.enabled());
    c<ui::Button>("Ok").userClick();
    EXPECT_TRUE(dialog->form2.loaded());
    SampleSettings unchanged;
    unchanged.allMonitors = "1";
    unchanged.autoCaption = "file, date";
    EXPECT_EQ(settingsOnDisk(), unchanged.text());
}

TEST_F(MoreOptionsPageTest, PageOkKeepsTheChoicesAndTheDialogsOkWritesThem) {
    openWith("1", "", "date,folder,file");
    openByMouse();
    box("captionDate").userClick();
    box("fitLarge").userClick();
    box("allMonitors").userClick();
    pageButton("Ok");
    EXPECT_EQ(dialog->morePage(), nullptr);
    EXPECT_TRUE(dialog->form2.enabled());
    EXPECT_EQ(platform.activeWindow(), &dialog->form2);
    EXPECT_EQ(platform.focusedControl(), &c<ui::Button>("moreOptions"));
    EXPECT_EQ(dialog->pending[Option::autoCaption], "folder,file");
    EXPECT_EQ(dialog->pending[Option::fitLarge], "0");
    EXPECT_EQ(dialog->pending[Option::allMonitors], "1");

    // Opened again, it shows what its OK kept.
    openByMouse();
    EXPECT_THAT(ticks(), ::testing::ElementsAre(0, 1, 0, 1, 1));
    pageButton("Cancel");
    ASSERT_TRUE(act([&] { c<ui::Button>("Ok").userClick(); }));
    EXPECT_EQ(saved(Option::autoCaption), "folder,file");
    EXPECT_EQ(saved(Option::fitLarge), "0");
    EXPECT_EQ(saved(Option::allMonitors), "1");
}

TEST_F(MoreOptionsPageTest, PageCancelCloseBoxAndEscLeaveThePendingSettings) {
    openWith("2", "0", "date");
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        openByMouse();
        box("captionDate").userClick();
        box("fitLarge").userClick();
        if (way == 0) pageButton("Cancel");
        if (way == 1) ASSERT_TRUE(platform.requestClose(page().form));
        if (way == 2) ASSERT_TRUE(platform.pressKey(kEscape));
        EXPECT_EQ(dialog->morePage(), nullptr);
        EXPECT_TRUE(dialog->form2.enabled());
        EXPECT_EQ(dialog->pending[Option::autoCaption], "date");
        EXPECT_EQ(dialog->pending[Option::fitLarge], "2");
    }
}

TEST_F(MoreOptionsPageTest, TheDialogsCancelDropsWhatThePagesOkKept) {
    openWith("", "", "");
    const std::string before = settingsOnDisk();
    openByMouse();
    box("captionFile").userClick();
    pageButton("Ok");
    ASSERT_EQ(dialog->pending[Option::autoCaption], "file");
    ASSERT_TRUE(act([&] { c<ui::Button>("Cancel").userClick(); }));
    EXPECT_FALSE(dialog->form2.loaded());
    EXPECT_EQ(settingsOnDisk(), before);
}

TEST_F(MoreOptionsPageTest, ValuesThePageCannotShowSurviveItsOkAndComeBackAfterATickAndUntick) {
    openWith("2", "yes", "File, sepia");
    openByMouse();
    EXPECT_THAT(ticks(), ::testing::ElementsAre(1, 0, 0, 0, 1));
    box("fitLarge").userClick();
    box("fitLarge").userClick();
    pageButton("Ok");
    EXPECT_EQ(dialog->pending[Option::fitLarge], "1");  // changed twice: as the box says
    EXPECT_EQ(dialog->pending[Option::allMonitors], "yes");
    EXPECT_EQ(dialog->pending[Option::autoCaption], "File, sepia");
    openByMouse();
    box("captionDate").userClick();
    pageButton("Ok");
    EXPECT_EQ(dialog->pending[Option::autoCaption], "date,file,sepia");  // the unknown word stays
}

TEST_F(MoreOptionsPageTest, TheKeyboardAloneOpensChangesAndConfirmsIt) {
    openWith("", "", "date");
    ASSERT_TRUE(alt('m'));  // "&More options...": one control has M
    ASSERT_NE(dialog->morePage(), nullptr);
    // Tab from the first choice to the next; Space ticks it.
    platform.userTab(page().form);
    EXPECT_EQ(platform.focusedControl(), &box("allMonitors"));
    ASSERT_TRUE(platform.pressKey(kSpace, 0, ' '));
    ASSERT_TRUE(alt('d'));  // "&Date taken" unticked
    ASSERT_TRUE(alt('i'));  // "F&ile name" ticked
    EXPECT_THAT(ticks(), ::testing::ElementsAre(1, 1, 0, 0, 1));
    ASSERT_TRUE(alt('o'));
    EXPECT_EQ(dialog->morePage(), nullptr);
    EXPECT_EQ(dialog->pending[Option::allMonitors], "1");
    EXPECT_EQ(dialog->pending[Option::autoCaption], "file");
}

TEST_F(MoreOptionsPageTest, PanAndZoomIsChosenHereAndClearsTheMovementOptionsOfTheDialog) {
    openWith("", "", "");  // the sample settings centre the pictures
    ASSERT_TRUE(c<ui::OptionButton>("pCenter").value());
    openByMouse();
    EXPECT_EQ(box("panAndZoom").value(), 0);
    box("panAndZoom").userClick();
    pageButton("Ok");
    // Neither Center nor Float, and no float speed, while it pans.
    EXPECT_EQ(dialog->pending[Option::picRandom], "pan");
    EXPECT_FALSE(c<ui::OptionButton>("pCenter").value());
    EXPECT_FALSE(c<ui::OptionButton>("pRandom").value());
    EXPECT_FALSE(c<ui::Slider>("Slider1").enabled());

    // Unticked on the page, the picture stands centred again.
    openByMouse();
    EXPECT_EQ(box("panAndZoom").value(), 1);
    box("panAndZoom").userClick();
    pageButton("Ok");
    EXPECT_EQ(dialog->pending[Option::picRandom], "cent");
    EXPECT_TRUE(c<ui::OptionButton>("pCenter").value());

    // Chosen again, then left by Float in the dialog; the dialog's OK writes
    // what the movement options say.
    openByMouse();
    box("panAndZoom").userClick();
    pageButton("Ok");
    c<ui::OptionButton>("pRandom").userClick();
    EXPECT_TRUE(c<ui::Slider>("Slider1").enabled());
    openByMouse();
    EXPECT_EQ(box("panAndZoom").value(), 0);
    pageButton("Cancel");
    ASSERT_TRUE(act([&] { c<ui::Button>("Ok").userClick(); }));
    EXPECT_EQ(saved(Option::picRandom), "rand");
}

TEST_F(MoreOptionsPageTest, EveryControlHasAnAccessKeyOfItsOwnAndStandsInsideThePage) {
    openWith("", "", "");
    openByMouse();
    std::set<char> keys;
    std::vector<ui::Control*> stops;
    for (const char* name :
         {"fitLarge", "allMonitors", "panAndZoom", "captionDate", "captionFolder", "captionFile", "Ok", "Cancel"}) {
        auto& control = page().control<ui::CaptionedControl>(name);
        const char key = ui::accessKeyOf(control.caption());
        EXPECT_NE(key, 0) << name;
        EXPECT_TRUE(keys.insert(key).second) << name << " shares the key " << key;
        stops.push_back(&control);
        // Inside its container: a frame of the page, or the page itself.
        const ui::Control& container = *control.parent();
        const int width = container.kind() == ui::ControlKind::Window ? page().form.interiorWidth : container.width();
        const int height = container.kind() == ui::ControlKind::Window ? page().form.interiorHeight : container.height();
        EXPECT_GE(control.left(), 0) << name;
        EXPECT_GE(control.top(), 0) << name;
        EXPECT_LE(control.left() + control.width(), width) << name;
        EXPECT_LE(control.top() + control.height(), height) << name;
    }
    // Tab goes round the choices, then OK and Cancel.
    EXPECT_EQ(ui::tabOrder(page().form), stops);
}

}  // namespace
}  // namespace vistrel::testing
