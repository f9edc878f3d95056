#include "platform/dialog_controls.h"

#include <algorithm>

namespace vistrel::ui {
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view captionOf(const Control& control) {
    switch (control.kind()) {
        case ControlKind::Frame:
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
            return static_cast<const CaptionedControl&>(control).caption();
        case ControlKind::Label:
            return static_cast<const Label&>(control).text();
        default:
            return {};
    }
}

bool shownAndUsable(const Control& control) {
    for (const Control* c = &control; c; c = c->parent()) {
        // A window's own visibility does not count: its controls are laid
        // out, and take the focus, before it is first shown.
        if (c->kind() != ControlKind::Window && !c->visible()) return false;
    }
    return control.acceptsInput();
}

void collectInCreationOrder(Control& control, std::vector<Control*>& found) {
    for (Control* child : control.children()) {
        found.push_back(child);
        collectInCreationOrder(*child, found);
    }
}

// The first of the option buttons with the same parent, in creation order.
const OptionButton* firstOfGroup(const OptionButton& option) {
    for (const Control* sibling : option.parent()->children()) {
        if (sibling->kind() == ControlKind::OptionButton) return static_cast<const OptionButton*>(sibling);
    }
    return &option;
}

}  // namespace

char accessKeyOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;  // an "&" shown as it is
            continue;
        }
        return lower(caption[i + 1]);
    }
    return 0;
}

// --- CaptionedControl ---

CaptionedControl::CaptionedControl(ControlKind kind, std::string name, Control& parent)
    : Control(kind, std::move(name), &parent) {}

void CaptionedControl::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    changed(Property::Text);
}

void CaptionedControl::setBackColor(Color color) {
    if (backColor_ == color) return;
    backColor_ = color;
    changed(Property::BackColor);
}

void CaptionedControl::setForeColor(Color color) {
    if (foreColor_ == color) return;
    foreColor_ = color;
    changed(Property::ForeColor);
}

// --- Button ---

void Button::click() {
    if (onClick) onClick();
}

void Button::userClick() {
    if (acceptsInput()) click();
}

// --- CheckBox ---

void CheckBox::setValue(int value) {
    const int checked = value != 0 ? 1 : 0;
    if (value_ == checked) return;
    value_ = checked;
    changed(Property::Value);
    if (onClick) onClick();
}

void CheckBox::userClick() {
    if (acceptsInput()) setValue(value_ == 0 ? 1 : 0);
}

// --- OptionButton ---

void OptionButton::setValue(bool selected) {
    if (value_ == selected) return;
    if (selected) {
        for (Control* sibling : parent()->children()) {
            if (sibling == this || sibling->kind() != ControlKind::OptionButton) continue;
            auto& other = static_cast<OptionButton&>(*sibling);
            if (other.value_) {
                other.value_ = false;
                other.changed(Property::Value);
            }
        }
    }
    value_ = selected;
    changed(Property::Value);
    if (selected && onClick) onClick();
}

OptionButton* OptionButton::selectedInGroup() const {
    for (Control* sibling : parent()->children()) {
        if (sibling->kind() == ControlKind::OptionButton && static_cast<OptionButton*>(sibling)->value_) {
            return static_cast<OptionButton*>(sibling);
        }
    }
    return nullptr;
}

// --- ListControl ---

const std::string& ListControl::list(int index) const {
    static const std::string kNoItem;
    if (index < 0 || index >= listCount()) return kNoItem;
    return items_[static_cast<std::size_t>(index)].text;
}

std::int32_t ListControl::itemData(int index) const {
    if (index < 0 || index >= listCount()) return 0;
    return items_[static_cast<std::size_t>(index)].data;
}

void ListControl::itemsChanged(ItemChange::Kind kind, int index) {
    lastChange_ = ItemChange{kind, index};
    changed(Property::Items);
}

void ListControl::addItem(std::string text, std::int32_t data) {
    items_.push_back(Item{std::move(text), data});
    itemsChanged(ItemChange::Kind::Added, listCount() - 1);
}

bool ListControl::setItemText(int index, std::string text) {
    if (index < 0 || index >= listCount()) return false;
    std::string& item = items_[static_cast<std::size_t>(index)].text;
    if (item == text) return true;
    item = std::move(text);
    itemsChanged(ItemChange::Kind::Changed, index);
    return true;
}

bool ListControl::removeItem(int index) {
    if (index < 0 || index >= listCount()) return false;
    items_.erase(items_.begin() + index);
    itemsChanged(ItemChange::Kind::Removed, index);
    if (listIndex_ == index) {
        listIndex_ = -1;
        changed(Property::ListIndex);
    } else if (listIndex_ > index) {
        --listIndex_;  // the same item, one place up: the peer's list moved it already
    }
    return true;
}

void ListControl::clear() {
    items_.clear();
    listIndex_ = -1;
    itemsChanged(ItemChange::Kind::Cleared, -1);
}

bool ListControl::setListIndex(int index) {
    if (index < -1 || index >= listCount()) return false;
    if (listIndex_ == index) return true;
    listIndex_ = index;
    changed(Property::ListIndex);
    if (onClick) onClick();
    return true;
}

void ListControl::setBackColor(Color color) {
    if (backColor_ == color) return;
    backColor_ = color;
    changed(Property::BackColor);
}

// --- RangeControl ---

void RangeControl::setRange(int min, int max) {
    min_ = min;
    max_ = max;
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
}

void RangeControl::setValue(int value) {
    value = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
    if (value_ == value) return;
    value_ = value;
    changed(Property::Value);
    if (onChange) onChange();
}

// --- focus and access keys ---

std::size_t nextTabStop(std::ptrdiff_t current, std::size_t count, bool backwards) {
    if (current < 0) return backwards ? count - 1 : 0;
    const auto index = static_cast<std::size_t>(current);
    return backwards ? (index + count - 1) % count : (index + 1) % count;
}

bool takesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::TextBox:
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
        case ControlKind::ListBox:
        case ControlKind::ComboBox:
        case ControlKind::ScrollBar:
        case ControlKind::Slider:
            return true;
        default:
            return false;
    }
}

std::vector<Control*> tabOrder(Window& window) {
    std::vector<Control*> all;
    collectInCreationOrder(window, all);
    std::vector<Control*> stops;
    for (Control* control : all) {
        if (!takesFocus(control->kind()) || !control->tabStop || !shownAndUsable(*control)) continue;
        if (control->kind() == ControlKind::OptionButton) {
            const auto& option = static_cast<const OptionButton&>(*control);
            const OptionButton* selected = option.selectedInGroup();
            if (option.parent() && (selected ? selected != &option : firstOfGroup(option) != &option)) continue;
        }
        stops.push_back(control);
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex() < b->tabIndex(); });
    return stops;
}

namespace {

// Gives `control` the focus the way its access key does: a control that
// takes the focus takes it, a frame or label hands it to the tab stop after it.
void focusForAccessKey(Window& window, Control& control) {
    if (takesFocus(control.kind())) {
        control.setFocus();
        return;
    }
    const std::vector<Control*> stops = tabOrder(window);
    const auto next = std::find_if(stops.begin(), stops.end(),
                                   [&](const Control* stop) { return stop->tabIndex() > control.tabIndex(); });
    if (next != stops.end()) (*next)->setFocus();
}

// Of the controls that share a key, ordered by tab index: the one after
// the focused control.
Control* nextSharing(std::vector<Control*> sharing, const Control* focused) {
    std::stable_sort(sharing.begin(), sharing.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex() < b->tabIndex(); });
    if (!focused) return sharing.front();
    const auto self = std::find(sharing.begin(), sharing.end(), focused);
    if (self != sharing.end()) return std::next(self) == sharing.end() ? sharing.front() : *std::next(self);
    const auto after = std::find_if(sharing.begin(), sharing.end(),
                                    [&](const Control* c) { return c->tabIndex() > focused->tabIndex(); });
    return after == sharing.end() ? sharing.front() : *after;
}

}  // namespace

bool pressAccessKey(Window& window, char key, const Control* focused) {
    key = lower(key);
    if (key == 0) return false;
    std::vector<Control*> all;
    collectInCreationOrder(window, all);
    std::vector<Control*> owners;
    for (Control* control : all) {
        if (accessKeyOf(captionOf(*control)) == key && shownAndUsable(*control)) owners.push_back(control);
    }
    if (owners.empty()) return false;
    if (owners.size() > 1) {
        focusForAccessKey(window, *nextSharing(owners, focused));
        return true;
    }
    Control& control = *owners.front();
    focusForAccessKey(window, control);
    switch (control.kind()) {
        case ControlKind::Button: static_cast<Button&>(control).userClick(); break;
        case ControlKind::CheckBox: static_cast<CheckBox&>(control).userClick(); break;
        case ControlKind::OptionButton: static_cast<OptionButton&>(control).userClick(); break;
        default: break;
    }
    return true;
}

Control* controlWithHandle(Window& window, Handle hwnd) {
    if (hwnd == 0) return nullptr;
    if (window.hwnd() == hwnd) return &window;
    std::vector<Control*> all;
    collectInCreationOrder(window, all);
    const auto found = std::find_if(all.begin(), all.end(), [&](const Control* c) { return c->hwnd() == hwnd; });
    return found == all.end() ? nullptr : *found;
}

void StatusBar::setPanelText(std::size_t panel, std::string text) {
    if (panel >= panels.size() || panels[panel].text == text) return;
    panels[panel].text = std::move(text);
    lastChangedPanel_ = panel;
    changed(Property::Text);
}

}  // namespace vistrel::ui
