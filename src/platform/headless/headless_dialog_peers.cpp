// The headless counterparts of the settings dialog's controls, the keyboard
// focus, and the record of which controls were made.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/headless/call_text.h"
#include "platform/headless/headless_impl.h"

namespace vistrel::platform::headless {
namespace {

const char* kindName(ui::ControlKind kind) {
    switch (kind) {
        case ui::ControlKind::Window: return "Window";
        case ui::ControlKind::PictureBox: return "PictureBox";
        case ui::ControlKind::Label: return "Label";
        case ui::ControlKind::TextBox: return "TextBox";
        case ui::ControlKind::Timer: return "Timer";
        case ui::ControlKind::Frame: return "Frame";
        case ui::ControlKind::Button: return "Button";
        case ui::ControlKind::CheckBox: return "CheckBox";
        case ui::ControlKind::OptionButton: return "OptionButton";
        case ui::ControlKind::ListBox: return "ListBox";
        case ui::ControlKind::ComboBox: return "ComboBox";
        case ui::ControlKind::ScrollBar: return "ScrollBar";
        case ui::ControlKind::Slider: return "Slider";
        case ui::ControlKind::StatusBar: return "StatusBar";
    }
    return "?";
}

std::string quoted(std::string_view text) { return "\"" + escapedText(text) + "\""; }

std::string captionText(const ui::Control& control) {
    switch (control.kind()) {
        case ui::ControlKind::Window: return static_cast<const ui::Window&>(control).caption;
        case ui::ControlKind::Label: return static_cast<const ui::Label&>(control).text();
        case ui::ControlKind::Frame:
        case ui::ControlKind::Button:
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::OptionButton: return static_cast<const ui::CaptionedControl&>(control).caption();
        default: return {};
    }
}

// Visible, enabled and bounds, as every peer of the backend records them.
class DialogPeer : public ui::ControlPeer {
public:
    ~DialogPeer() override { forgetFocus(platform_, control_); }

    void sync(ui::Property property) override {
        switch (property) {
            case ui::Property::Visible: record("Visible", boolText(control_.visible())); break;
            case ui::Property::Enabled: record("Enabled", boolText(control_.enabled())); break;
            case ui::Property::Bounds:
                record("Bounds", std::to_string(control_.left()) + ", " + std::to_string(control_.top()) + ", " +
                                     std::to_string(control_.width()) + ", " + std::to_string(control_.height()));
                break;
            default: syncOwn(property); break;
        }
    }
    void setFocus() override { moveFocus(platform_, control_); }

protected:
    DialogPeer(HeadlessPlatform& platform, ui::Control& control) : platform_(platform), control_(control) {}
    virtual void syncOwn(ui::Property property) = 0;

    void record(std::string_view property, const std::string& value) {
        platform_.record(control_.name() + "." + std::string(property) + " = " + escapedText(value));
    }

    HeadlessPlatform& platform_;
    ui::Control& control_;
};

class CaptionedPeer : public DialogPeer {
public:
    CaptionedPeer(HeadlessPlatform& platform, ui::CaptionedControl& control)
        : DialogPeer(platform, control), control_(control) {}

protected:
    void syncOwn(ui::Property property) override {
        switch (property) {
            case ui::Property::Text: record("Caption", control_.caption()); break;
            case ui::Property::BackColor: record("BackColor", colorText(control_.backColor())); break;
            case ui::Property::ForeColor: record("ForeColor", colorText(control_.foreColor())); break;
            case ui::Property::Value: recordValue(); break;
            default: break;
        }
    }
    void recordValue() {
        if (control_.kind() == ui::ControlKind::CheckBox) {
            record("Value", std::to_string(static_cast<ui::CheckBox&>(control_).value()));
        } else if (control_.kind() == ui::ControlKind::OptionButton) {
            record("Value", boolText(static_cast<ui::OptionButton&>(control_).value()));
        }
    }

private:
    ui::CaptionedControl& control_;
};

// A frame is a surface: the labels in it are drawn on it, and anything that
// changes how the frame looks draws it whole, with them.
class FramePeer final : public CaptionedPeer {
public:
    FramePeer(HeadlessPlatform& platform, ui::Frame& frame) : CaptionedPeer(platform, frame), frame_(frame) {}
    void invalidate(const ui::TwipsRect& area) override { platform_.impl().redrawLabels(frame_, &area); }

private:
    void sync(ui::Property property) override {
        CaptionedPeer::sync(property);
        if (property == ui::Property::Visible && frame_.visible()) {
            platform_.impl().redrawAllLabels(frame_);
        } else {
            platform_.impl().redrawLabels(frame_, nullptr);
        }
    }
    ui::Frame& frame_;
};

class ListPeer final : public DialogPeer {
public:
    ListPeer(HeadlessPlatform& platform, ui::ListControl& list) : DialogPeer(platform, list), list_(list) {}

private:
    void syncOwn(ui::Property property) override {
        switch (property) {
            case ui::Property::Items: recordItems(); break;
            case ui::Property::ListIndex: record("ListIndex", std::to_string(list_.listIndex())); break;
            case ui::Property::BackColor: record("BackColor", colorText(list_.backColor())); break;
            default: break;
        }
    }
    void recordItems() {
        const auto& change = list_.lastItemChange();
        switch (change.kind) {
            case ui::ListControl::ItemChange::Kind::Added:
                platform_.record(list_.name() + ".AddItem(" + quoted(list_.list(change.index)) + ")");
                break;
            case ui::ListControl::ItemChange::Kind::Removed:
                platform_.record(list_.name() + ".RemoveItem(" + std::to_string(change.index) + ")");
                break;
            case ui::ListControl::ItemChange::Kind::Cleared: platform_.record(list_.name() + ".Clear()"); break;
            case ui::ListControl::ItemChange::Kind::Changed:
                platform_.record(list_.name() + ".List(" + std::to_string(change.index) +
                                 ") = " + quoted(list_.list(change.index)));
                break;
        }
    }

    ui::ListControl& list_;
};

class RangePeer final : public DialogPeer {
public:
    RangePeer(HeadlessPlatform& platform, ui::RangeControl& range) : DialogPeer(platform, range), range_(range) {}

private:
    void syncOwn(ui::Property property) override {
        if (property == ui::Property::Value) record("Value", std::to_string(range_.value()));
    }

    ui::RangeControl& range_;
};

// A status bar changes nothing after it is made; the time panel is read
// from the clock when asked (HeadlessPlatform::statusPanelText).
class StatusBarPeer final : public DialogPeer {
public:
    StatusBarPeer(HeadlessPlatform& platform, ui::StatusBar& bar) : DialogPeer(platform, bar), bar_(bar) {}

private:
    void syncOwn(ui::Property property) override {
        if (property != ui::Property::Text) return;
        const std::size_t panel = bar_.lastChangedPanel();
        record("Panels(" + std::to_string(panel + 1) + ").Text", bar_.panels.at(panel).text);
    }
    ui::StatusBar& bar_;
};

}  // namespace

std::string colorText(ui::Color color) {
    if (ui::isSystemColor(color)) return "System(" + std::to_string(color & 0xFF) + ")";
    return std::to_string(color);
}

std::unique_ptr<ui::ControlPeer> createDialogPeer(HeadlessPlatform& platform, ui::Control& control) {
    switch (control.kind()) {
        case ui::ControlKind::Frame: return std::make_unique<FramePeer>(platform, static_cast<ui::Frame&>(control));
        case ui::ControlKind::Button:
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::OptionButton:
            return std::make_unique<CaptionedPeer>(platform, static_cast<ui::CaptionedControl&>(control));
        case ui::ControlKind::ListBox:
        case ui::ControlKind::ComboBox:
            return std::make_unique<ListPeer>(platform, static_cast<ui::ListControl&>(control));
        case ui::ControlKind::ScrollBar:
        case ui::ControlKind::Slider:
            return std::make_unique<RangePeer>(platform, static_cast<ui::RangeControl&>(control));
        case ui::ControlKind::StatusBar:
            return std::make_unique<StatusBarPeer>(platform, static_cast<ui::StatusBar&>(control));
        default: return nullptr;
    }
}

std::string describeCreatedControl(const ui::Control& control) {
    std::string line = std::string(kindName(control.kind())) + " " + control.name();
    if (control.parent()) line += " in " + control.parent()->name();
    line += ": " + std::to_string(control.left()) + ", " + std::to_string(control.top()) + ", " +
            std::to_string(control.width()) + ", " + std::to_string(control.height());
    if (ui::takesFocus(control.kind()) || control.kind() == ui::ControlKind::PictureBox ||
        control.kind() == ui::ControlKind::Frame || control.kind() == ui::ControlKind::Label ||
        control.kind() == ui::ControlKind::StatusBar) {
        line += "; tab " + std::to_string(control.tabIndex());
    }
    const std::string caption = captionText(control);
    if (!caption.empty()) line += "; " + quoted(caption);
    if (!control.toolTipText.empty()) line += "; tip " + quoted(control.toolTipText);
    if (!control.visible() && control.kind() != ui::ControlKind::Window) line += "; hidden";
    if (!control.enabled()) line += "; disabled";
    return line;
}

// --- focus ---

void moveFocus(HeadlessPlatform& platform, ui::Control& control, bool byProgram) {
    if (byProgram) platform.record(control.name() + ".SetFocus()");
    platform.impl().focusOn(control);
}

void forgetFocus(HeadlessPlatform& platform, const ui::Control& control) { platform.impl().controlGone(control); }

std::string HeadlessPlatform::statusPanelText(const ui::StatusBar& bar, std::size_t panel) {
    const ui::StatusBar::Panel& shown = bar.panels.at(panel);
    if (shown.style == ui::StatusBar::PanelStyle::Text) return shown.text;
    const auto seconds = static_cast<long>(std::floor(timeOfDaySeconds()));
    char text[16];
    std::snprintf(text, sizeof text, "%02ld:%02ld", seconds / 3600, seconds / 60 % 60);
    return text;
}

}  // namespace vistrel::platform::headless
