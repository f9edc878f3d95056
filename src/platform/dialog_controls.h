// The controls of the settings dialog, in the portable control model:
// frames, buttons, check boxes, option buttons, list and combo boxes, the
// vertical scroll bar used as a spin control, the slider and the status bar.
//
// The rule of controls.h holds: a value set from code raises the control's
// click or change handler at once, nested inside the setter, and once per
// real change; a user's change comes in through a `user...` entry point,
// which raises the same handler. A control that does not accept input
// (disabled itself or inside a disabled container) takes no user change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls.h"

namespace vistrel::ui {

// The access key of a caption: the character after the first single "&"
// ("&OK" has 'o', "R&emove All" 'e'), lower-cased; 0 when there is none.
// "&&" stands for an "&" shown as it is.
char accessKeyOf(std::string_view caption);

// A control that shows a caption (frames, buttons, check boxes, option
// buttons); its text changes raise Property::Text.
class CaptionedControl : public Control {
public:
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

    Color backColor() const { return backColor_; }
    void setBackColor(Color color);
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color color);

protected:
    CaptionedControl(ControlKind kind, std::string name, Control& parent);

private:
    std::string caption_;
    Color backColor_ = kSystemButtonFace;
    Color foreColor_ = kSystemWindowText;
};

// A captioned box around other controls. The controls whose parent it is
// are placed in its interior; the option buttons in it form one group.
class Frame : public CaptionedControl {
public:
    Frame(std::string name, Control& parent) : CaptionedControl(ControlKind::Frame, std::move(name), parent) {}
};

class Button : public CaptionedControl {
public:
    Button(std::string name, Control& parent) : CaptionedControl(ControlKind::Button, std::move(name), parent) {}

    // Presses the button from code.
    void click();
    // A press by the user: mouse, space bar or access key.
    void userClick();
    std::function<void()> onClick;
};

class CheckBox : public CaptionedControl {
public:
    CheckBox(std::string name, Control& parent) : CaptionedControl(ControlKind::CheckBox, std::move(name), parent) {}

    // 0 cleared, 1 checked.
    int value() const { return value_; }
    // Any value other than 0 checks the box. Raises onClick when the value changes.
    void setValue(int value);
    // The user's click toggles the box.
    void userClick();
    std::function<void()> onClick;

private:
    int value_ = 0;
};

// Option buttons with the same parent form a group: selecting one clears
// the others.
class OptionButton : public CaptionedControl {
public:
    OptionButton(std::string name, Control& parent)
        : CaptionedControl(ControlKind::OptionButton, std::move(name), parent) {}

    bool value() const { return value_; }
    // true selects this option and clears the others of its group, then
    // raises this option's onClick; false clears it and raises nothing.
    // Selecting the option that is already selected raises nothing.
    void setValue(bool selected);
    void userClick() {
        if (acceptsInput()) setValue(true);
    }
    // The selected option of this one's group, or null.
    OptionButton* selectedInGroup() const;
    std::function<void()> onClick;

private:
    bool value_ = false;
};

// The items and the selection shared by list boxes and combo boxes.
class ListControl : public Control {
public:
    int listCount() const { return static_cast<int>(items_.size()); }
    // The text of item `index`; "" for an index without an item.
    const std::string& list(int index) const;
    std::int32_t itemData(int index) const;
    void addItem(std::string text, std::int32_t data = 0);
    // Replaces the text of item `index`; false when there is no such item.
    bool setItemText(int index, std::string text);
    // False when there is no such item. Removing the selected item leaves
    // no item selected; one above it moves the selection up with its item.
    // Neither raises onClick.
    bool removeItem(int index);
    // Empties the list; no item stays selected. Raises nothing.
    void clear();

    // The selected item, -1 for none.
    int listIndex() const { return listIndex_; }
    // -1 to listCount() - 1; false, with nothing changed, for any other
    // index. Raises onClick when the selection changes.
    bool setListIndex(int index);
    void userSelect(int index) {
        if (acceptsInput()) setListIndex(index);
    }
    std::function<void()> onClick;

    // Designed, before the window is loaded.
    Font font;

    Color backColor() const { return backColor_; }
    void setBackColor(Color color);

    // The change behind the last Property::Items, for the peer.
    struct ItemChange {
        enum class Kind { Added, Removed, Cleared, Changed } kind = Kind::Cleared;
        int index = -1;
    };
    const ItemChange& lastItemChange() const { return lastChange_; }

protected:
    ListControl(ControlKind kind, std::string name, Control& parent)
        : Control(kind, std::move(name), &parent) {}

private:
    struct Item {
        std::string text;
        std::int32_t data;
    };
    void itemsChanged(ItemChange::Kind kind, int index);

    std::vector<Item> items_;
    int listIndex_ = -1;
    Color backColor_ = kSystemWindowBackground;
    ItemChange lastChange_;
};

// A single-selection list of lines.
class ListBox : public ListControl {
public:
    ListBox(std::string name, Control& parent) : ListControl(ControlKind::ListBox, std::move(name), parent) {}
};

// A drop-down list without an edit field: the user can only choose an item.
class ComboBox : public ListControl {
public:
    ComboBox(std::string name, Control& parent) : ListControl(ControlKind::ComboBox, std::move(name), parent) {}
};

// A range of whole numbers from `min` to `max` with one value: the common
// part of the scroll bar and the slider.
class RangeControl : public Control {
public:
    // Designed, before the window is loaded. `min` may be larger than `max`.
    void setRange(int min, int max);
    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }
    // Kept within the range. Raises onChange when the value changes.
    void setValue(int value);
    void userSetValue(int value) {
        if (acceptsInput()) setValue(value);
    }
    std::function<void()> onChange;

protected:
    RangeControl(ControlKind kind, std::string name, Control& parent) : Control(kind, std::move(name), &parent) {}

private:
    int min_ = 0;
    int max_ = 32767;
    int value_ = 0;
};

// A vertical scroll bar. `min` is at its top end and `max` at its bottom
// end, whichever is larger: with min 60 and max 0 the up arrow counts up.
class ScrollBar : public RangeControl {
public:
    ScrollBar(std::string name, Control& parent) : RangeControl(ControlKind::ScrollBar, std::move(name), parent) {}

    int smallChange = 1;  // an arrow
    int largeChange = 1;  // a click in the track

    // The user's clicks: towards the top end (`min`) or the bottom end.
    void userLineUp() { userStep(-smallChange); }
    void userLineDown() { userStep(smallChange); }
    void userPageUp() { userStep(-largeChange); }
    void userPageDown() { userStep(largeChange); }

    // The position from the top end, 0 to span(): what a system scroll bar
    // (whose top end is its smallest position) shows.
    int span() const { return max() >= min() ? max() - min() : min() - max(); }
    int positionOf(int value) const { return max() >= min() ? value - min() : min() - value; }
    int valueAt(int position) const { return max() >= min() ? min() + position : min() - position; }

private:
    void userStep(int positions) { userSetValue(valueAt(positionOf(value()) + positions)); }
};

// A horizontal slider with a thumb and ticks.
class Slider : public RangeControl {
public:
    Slider(std::string name, Control& parent) : RangeControl(ControlKind::Slider, std::move(name), parent) {
        setRange(0, 10);
    }
};

// A bar of panels docked to the bottom edge of its window.
class StatusBar : public Control {
public:
    StatusBar(std::string name, Control& parent) : Control(ControlKind::StatusBar, std::move(name), &parent) {}

    enum class PanelStyle { Text, Time };
    struct Panel {
        int width = 0;  // twips
        PanelStyle style = PanelStyle::Text;
        std::string text;  // of a text panel; a time panel shows the time of day
        bool toolTipIsText = true;  // the panel's tip is what it shows
    };
    // Designed, before the window is loaded.
    std::vector<Panel> panels;

    // Shows new text in a text panel (raises Property::Text).
    void setPanelText(std::size_t panel, std::string text);
    std::size_t lastChangedPanel() const { return lastChangedPanel_; }

private:
    std::size_t lastChangedPanel_ = 0;
};

// Keyboard focus among the controls of a window, as Tab moves it: the
// controls that take the focus, are shown and accept input, with their
// tab stop set, ordered by tab index. Of a group of option buttons only the
// selected one (or the first, when none is) is a stop.
std::vector<Control*> tabOrder(Window& window);
// The index of the stop that Tab (or Shift+Tab) moves to from `current` in
// a list of `count` stops, wrapping round; from none of them (-1) Tab
// goes to the first, Shift+Tab to the last. `count` must not be 0.
std::size_t nextTabStop(std::ptrdiff_t current, std::size_t count, bool backwards);
// Whether a control of this kind can hold the keyboard focus at all.
bool takesFocus(ControlKind kind);

// Alt + `key` on `window`, with the keyboard focus on `focused` (null for
// none), as Windows dialogs take it. When one shown and usable control has
// that access key in its caption, it acts as a click would (a button
// presses, a check box toggles, an option is selected) after taking the
// focus; a frame or label passes the focus to the next tab stop after it.
// When several share the key, the focus moves to the next of them in tab
// order after `focused` (round to the first), and nothing is pressed: the
// user presses the key again to reach the one meant. False when no shown
// control has the key.
bool pressAccessKey(Window& window, char key, const Control* focused = nullptr);

// The control of `window` (or the window itself) with that window handle;
// null for none.
Control* controlWithHandle(Window& window, Handle hwnd);

}  // namespace vistrel::ui
