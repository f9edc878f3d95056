// The settings dialog's kinds of control in the portable model: which
// changes raise their handlers, option groups, list selections, the spin
// control's ends, the tab order and access keys.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialog_controls.h"
#include "platform/headless/headless_platform.h"

namespace vistrel::ui {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DialogControlsTest : public ::testing::Test {
protected:
    DialogControlsTest() : form("Form2", platform) {}

    // A handler that notes the control's name each time it runs.
    std::function<void()> noting(const std::string& name) {
        return [this, name] { raised.push_back(name); };
    }

    platform::headless::HeadlessPlatform platform;
    Window form;
    std::vector<std::string> raised;
};

TEST(AccessKey, IsTheCharacterAfterASingleAmpersand) {
    EXPECT_EQ(accessKeyOf("&OK"), 'o');
    EXPECT_EQ(accessKeyOf("R&emove All"), 'e');
    EXPECT_EQ(accessKeyOf("&After..."), 'a');
    EXPECT_EQ(accessKeyOf("Fish && &Chips"), 'c');
    EXPECT_EQ(accessKeyOf("Fish && Chips"), 0);
    EXPECT_EQ(accessKeyOf("Random Order"), 0);
    EXPECT_EQ(accessKeyOf("Trailing&"), 0);
}

TEST_F(DialogControlsTest, OptionButtonsOfOneFrameFormAGroup) {
    Frame first("Frame1", form), second("Frame2", form);
    OptionButton never("nChange", first), after("aChange", first), centre("pCenter", second);
    for (OptionButton* option : {&never, &after, &centre}) option->onClick = noting(option->name());
    form.load();

    never.setValue(true);
    after.userClick();
    centre.setValue(true);
    after.setValue(true);  // already selected: nothing
    after.userClick();     // nor by the user
    EXPECT_THAT(raised, ElementsAre("nChange", "aChange", "pCenter"));
    EXPECT_FALSE(never.value());
    EXPECT_TRUE(after.value());
    EXPECT_TRUE(centre.value());
    EXPECT_EQ(after.selectedInGroup(), &after);
    // The option that was cleared shows it; clearing raises no click.
    EXPECT_THAT(platform.callsStartingWith({"nChange.Value", "aChange.Value"}),
                ElementsAre("nChange.Value = True", "nChange.Value = False", "aChange.Value = True"));

    first.setEnabled(false);
    never.userClick();  // inside a disabled frame: no input
    EXPECT_TRUE(after.value());
    EXPECT_EQ(raised.size(), 3u);
}

TEST_F(DialogControlsTest, CheckBoxRaisesItsClickOncePerChange) {
    CheckBox box("Random_select", form);
    box.onClick = noting("click");
    form.load();
    box.setValue(1);
    box.setValue(7);  // still checked
    box.userClick();
    box.setValue(0);
    EXPECT_THAT(raised, ElementsAre("click", "click"));
    EXPECT_EQ(box.value(), 0);
    EXPECT_THAT(platform.callsStartingWith({"Random_select."}),
                ElementsAre("Random_select.Value = 1", "Random_select.Value = 0"));
}

TEST_F(DialogControlsTest, ListSelectionFollowsItsItemAndRemovalsRaiseNothing) {
    ListBox list("List1", form);
    list.onClick = noting("click");
    form.load();
    for (const char* path : {"a", "b", "c", "d"}) list.addItem(path);
    ASSERT_TRUE(list.setListIndex(2));
    EXPECT_TRUE(list.removeItem(0));  // above the selection: "c" stays selected
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(list.list(1), "c");
    EXPECT_TRUE(list.removeItem(1));  // the selected one: nothing is selected
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_FALSE(list.removeItem(5));
    EXPECT_FALSE(list.setListIndex(2));
    EXPECT_FALSE(list.setListIndex(-2));
    EXPECT_TRUE(list.setItemText(1, "D"));
    EXPECT_FALSE(list.setItemText(2, "x"));  // no such item: nothing stored
    EXPECT_EQ(list.list(2), "");
    list.clear();
    EXPECT_EQ(list.listCount(), 0);
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_THAT(raised, ElementsAre("click"));
    EXPECT_THAT(platform.callsStartingWith({"List1."}),
                ElementsAre("List1.AddItem(\"a\")", "List1.AddItem(\"b\")", "List1.AddItem(\"c\")",
                            "List1.AddItem(\"d\")", "List1.ListIndex = 2", "List1.RemoveItem(0)", "List1.RemoveItem(1)",
                            "List1.ListIndex = -1", "List1.List(1) = \"D\"", "List1.Clear()"));
}

TEST_F(DialogControlsTest, SpinControlCountsUpTowardsItsTopEndAndStopsAtBothEnds) {
    ScrollBar spin("changeVScroll1", form);
    spin.setRange(60, 0);
    spin.setValue(2);
    spin.onChange = noting("change");
    form.load();

    spin.userLineUp();
    EXPECT_EQ(spin.value(), 3);
    spin.setValue(59);
    spin.userLineUp();
    EXPECT_EQ(spin.value(), 60);
    spin.userLineUp();
    spin.userPageUp();
    EXPECT_EQ(spin.value(), 60);
    spin.setValue(0);
    spin.userLineDown();
    spin.userPageDown();
    EXPECT_EQ(spin.value(), 0);
    EXPECT_THAT(raised, ElementsAre("change", "change", "change", "change"));
    // The system's scroll bar counts positions from the top.
    EXPECT_EQ(spin.span(), 60);
    EXPECT_EQ(spin.positionOf(60), 0);
    EXPECT_EQ(spin.positionOf(0), 60);
    EXPECT_EQ(spin.valueAt(58), 2);
    spin.setValue(500);
    EXPECT_EQ(spin.value(), 60);
    spin.setEnabled(false);
    spin.userLineDown();
    EXPECT_EQ(spin.value(), 60);
}

TEST_F(DialogControlsTest, TabOrderTakesShownUsableControlsByTabIndex) {
    Frame frame("placement", form);
    OptionButton centre("pCenter", frame), floating("pRandom", frame);
    Button ok("Ok", form), cancel("Cancel", form), hidden("Hidden", form);
    TextBox text("Text2", form);
    Slider slider("Slider1", frame);
    Label label("Label7", form);
    ListBox list("List1", form);
    cancel.setTabIndex(0);
    ok.setTabIndex(1);
    text.setTabIndex(7);
    centre.setTabIndex(10);
    floating.setTabIndex(11);
    slider.setTabIndex(12);
    list.setTabIndex(3);
    label.setTabIndex(2);
    hidden.setVisible(false);
    list.tabStop = false;

    auto names = [this] {
        std::vector<std::string> order;
        for (const Control* control : tabOrder(form)) order.push_back(control->name());
        return order;
    };
    // No option selected: the first of the group is the stop.
    EXPECT_THAT(names(), ElementsAre("Cancel", "Ok", "Text2", "pCenter", "Slider1"));
    floating.setValue(true);
    text.setEnabled(false);
    EXPECT_THAT(names(), ElementsAre("Cancel", "Ok", "pRandom", "Slider1"));
    frame.setEnabled(false);
    EXPECT_THAT(names(), ElementsAre("Cancel", "Ok"));
}

TEST_F(DialogControlsTest, AccessKeysActAsAClickAfterTakingTheFocus) {
    Frame frame("Frame1", form);
    frame.setCaption("&Change Image");
    frame.setTabIndex(4);
    OptionButton after("aChange", frame);
    after.setCaption("&After...");
    after.setTabIndex(5);
    CheckBox random("Random_select", frame);
    random.setCaption("Random O&rder");
    Button ok("Ok", form);
    ok.setCaption("&OK");
    ok.setTabIndex(1);
    Button hidden("Hidden", form);
    hidden.setCaption("&Hidden");
    hidden.setVisible(false);
    ok.onClick = noting("Ok");
    after.onClick = noting("aChange");
    random.onClick = noting("Random_select");
    form.show();  // the focus goes only to controls of a window on screen

    EXPECT_TRUE(pressAccessKey(form, 'O'));
    EXPECT_TRUE(pressAccessKey(form, 'a'));
    EXPECT_TRUE(pressAccessKey(form, 'r'));
    EXPECT_TRUE(pressAccessKey(form, 'r'));
    EXPECT_FALSE(pressAccessKey(form, 'h'));  // hidden controls have no key
    EXPECT_FALSE(pressAccessKey(form, 'z'));
    EXPECT_THAT(raised, ElementsAre("Ok", "aChange", "Random_select", "Random_select"));
    EXPECT_EQ(random.value(), 0);
    // A frame's key hands the focus to the control after it.
    EXPECT_TRUE(pressAccessKey(form, 'c'));
    EXPECT_EQ(platform.focusedControl(), &after);
    EXPECT_THAT(platform.callsStartingWith({"Ok.SetFocus", "aChange.SetFocus"}),
                ElementsAre("Ok.SetFocus()", "aChange.SetFocus()", "aChange.SetFocus()"));
}

TEST_F(DialogControlsTest, AKeySharedByALabelAndAButtonTakesTheFocusRoundAndPressesNothing) {
    Label nameLabel("Label1", form);
    nameLabel.setText("&Name");
    nameLabel.setTabIndex(3);
    TextBox name("Text1", form);
    name.setTabIndex(4);
    Button newButton("New", form);
    newButton.setCaption("&New");
    newButton.setTabIndex(1);
    Button ok("Ok", form);
    ok.setCaption("&OK");
    ok.setTabIndex(0);
    newButton.onClick = noting("New");
    form.show();

    // From OK (tab 0): the button (1), then the label, which hands the focus
    // to the box after it (4), then round to the button again.
    ok.setFocus();
    std::vector<std::string> focus;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(pressAccessKey(form, 'n', platform.focusedControl()));
        focus.push_back(platform.focusedControl()->name());
    }
    EXPECT_THAT(focus, ElementsAre("New", "Text1", "New"));
    EXPECT_THAT(raised, IsEmpty());
    // Once the label is hidden the button owns the key alone, and is pressed.
    nameLabel.setVisible(false);
    EXPECT_TRUE(pressAccessKey(form, 'n', platform.focusedControl()));
    EXPECT_THAT(raised, ElementsAre("New"));
}

TEST_F(DialogControlsTest, LosingTheFocusRaisesLostFocusOnce) {
    TextBox seconds("Text2", form), caption("p_caption", form);
    seconds.onLostFocus = noting("Text2 lost");
    caption.onLostFocus = noting("p_caption lost");
    form.show();
    seconds.setFocus();
    seconds.setFocus();
    EXPECT_THAT(raised, IsEmpty());
    caption.setFocus();
    platform.userTab(form);
    EXPECT_THAT(raised, ElementsAre("Text2 lost", "p_caption lost"));
    EXPECT_EQ(platform.focusedControl(), &seconds);
}

}  // namespace
}  // namespace vistrel::ui
