// The headless counterparts of the portable controls: they record what the
// program sets, keep the pixel surfaces of windows and picture boxes, and
// put timers on the virtual clock.
#include <algorithm>
#include <cmath>

#include "platform/headless/call_text.h"
#include "platform/headless/headless_impl.h"
#include "platform/headless/surface_ops.h"

namespace vistrel::platform::headless {
namespace {

int twipsToPixels(int twips, double twipsPerPixel) {
    if (twipsPerPixel <= 0) return 0;
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

class RecordingPeer : public ui::ControlPeer {
public:
    ~RecordingPeer() override { forgetFocus(platform_, control_); }

    void sync(ui::Property property) override {
        switch (property) {
            case ui::Property::Visible: recordValue("Visible", boolText(control_.visible())); break;
            case ui::Property::Enabled: recordValue("Enabled", boolText(control_.enabled())); break;
            case ui::Property::Bounds:
                recordValue("Bounds", std::to_string(control_.left()) + ", " + std::to_string(control_.top()) + ", " +
                                          std::to_string(control_.width()) + ", " +
                                          std::to_string(control_.height()));
                break;
            default: break;
        }
    }

protected:
    RecordingPeer(HeadlessPlatform& platform, ui::Control& control) : platform_(platform), control_(control) {}

    void recordValue(std::string_view property, const std::string& value) {
        platform_.record(control_.name() + "." + std::string(property) + " = " + escapedText(value));
    }

    HeadlessPlatform& platform_;
    ui::Control& control_;
};

// A windowed control with a persistent image: windows and picture boxes.
class SurfacePeer : public RecordingPeer {
public:
    ~SurfacePeer() override { platform_.impl().removeTarget(target_); }

    Handle hwnd() const override { return target_.hwnd; }
    Handle hdc() override { return target_.hdc; }
    void setFocus() override { moveFocus(platform_, control_); }

protected:
    SurfacePeer(HeadlessPlatform& platform, ui::Control& control, int width, int height, ui::Color back)
        : RecordingPeer(platform, control),
          target_(platform.impl().addTarget(control.name(), width, height, colorToPixel(back), &control)) {}

    Target& target_;
};

class WindowPeer : public SurfacePeer {
public:
    WindowPeer(HeadlessPlatform& platform, ui::Window& window)
        : SurfacePeer(platform, window, surfaceWidth(platform, window), surfaceHeight(platform, window),
                      window.backColor()),
          window_(window) {
        target_.shown = window.visible();
        platform.record("Load(" + window.name() + ")");
    }
    ~WindowPeer() override { platform_.record("Unload(" + window_.name() + ")"); }

    void sync(ui::Property property) override {
        RecordingPeer::sync(property);
        switch (property) {
            case ui::Property::Visible:
                target_.shown = window_.visible();
                if (window_.visible()) focusOnShow(platform_, window_);
                break;
            case ui::Property::Bounds:
                resizeSurface(target_.surface, surfaceWidth(platform_, window_), surfaceHeight(platform_, window_),
                              colorToPixel(window_.backColor()));
                break;
            case ui::Property::BackColor:
                recordValue("BackColor", std::to_string(window_.backColor()));
                // A new colour wipes what was drawn, as on the real window.
                target_.surface.fill(colorToPixel(window_.backColor()));
                break;
            default: break;
        }
    }

private:
    // A maximized window covers the screen whatever its designed size.
    static int surfaceWidth(HeadlessPlatform& platform, const ui::Window& window) {
        const ScreenMetrics screen = platform.screen();
        if (window.windowState == ui::WindowState::Maximized) return screen.widthPixels;
        return twipsToPixels(window.width(), screen.twipsPerPixelX);
    }
    static int surfaceHeight(HeadlessPlatform& platform, const ui::Window& window) {
        const ScreenMetrics screen = platform.screen();
        if (window.windowState == ui::WindowState::Maximized) return screen.heightPixels;
        return twipsToPixels(window.height(), screen.twipsPerPixelY);
    }

    ui::Window& window_;
};

class PictureBoxPeer : public SurfacePeer {
public:
    PictureBoxPeer(HeadlessPlatform& platform, ui::PictureBox& box)
        : SurfacePeer(platform, box, surfaceWidth(platform, box), surfaceHeight(platform, box), box.backColor()),
          box_(box) {
        target_.shown = box.visible();
        repaint();
    }

    void sync(ui::Property property) override {
        RecordingPeer::sync(property);
        switch (property) {
            case ui::Property::Visible: target_.shown = box_.visible(); break;
            case ui::Property::Bounds: resize(); break;
            case ui::Property::BackColor:
                recordValue("BackColor", std::to_string(box_.backColor()));
                repaint();
                break;
            case ui::Property::Picture:
                recordValue("Picture", box_.picture() ? std::to_string(box_.picture()->width) + " x " +
                                                            std::to_string(box_.picture()->height)
                                                      : "Nothing");
                if (box_.picture()) {
                    drawPicture(target_.surface, *box_.picture());
                } else {
                    repaint();
                }
                break;
            case ui::Property::Cleared:
                platform_.record(box_.name() + ".Cls()");
                repaint();
                break;
            default: break;
        }
    }

private:
    // The cleared image: the back colour with the assigned picture on it.
    void repaint() {
        target_.surface.fill(colorToPixel(box_.backColor()));
        if (box_.picture()) drawPicture(target_.surface, *box_.picture());
    }

    // What was drawn stays where it fits; new area shows the cleared image,
    // so a box that grows to its new picture shows all of it.
    void resize() {
        Surface old = std::move(target_.surface);
        target_.surface = Surface(surfaceWidth(platform_, box_), surfaceHeight(platform_, box_));
        repaint();
        copyPixels(target_.surface, 0, 0, old.width, old.height, old, 0, 0);
    }

    // Picture boxes sit on their window in twips and draw in pixels, inside their border.
    static int border(const ui::PictureBox& box) {
        return box.borderStyle == ui::BorderStyle::None ? 0 : 2 * ui::PictureBox::kPictureBorderPixels;
    }
    static int surfaceWidth(HeadlessPlatform& platform, const ui::PictureBox& box) {
        return std::max(twipsToPixels(box.width(), platform.screen().twipsPerPixelX) - border(box), 0);
    }
    static int surfaceHeight(HeadlessPlatform& platform, const ui::PictureBox& box) {
        return std::max(twipsToPixels(box.height(), platform.screen().twipsPerPixelY) - border(box), 0);
    }

    ui::PictureBox& box_;
};

class LabelPeer : public RecordingPeer {
public:
    LabelPeer(HeadlessPlatform& platform, ui::Label& label)
        : RecordingPeer(platform, label), label_(label), lastFont_(label.font()) {}

    void sync(ui::Property property) override {
        RecordingPeer::sync(property);
        switch (property) {
            case ui::Property::Text: recordValue("Text", label_.text()); break;
            case ui::Property::ForeColor: recordValue("ForeColor", std::to_string(label_.foreColor())); break;
            case ui::Property::BackColor: recordValue("BackColor", std::to_string(label_.backColor())); break;
            case ui::Property::Font: recordFontChanges(); break;
            default: break;
        }
    }

    // Every character is as wide as 0.6 of the font size; enough for tests
    // of placement, and the same on every machine.
    ui::TextSize measureText(const std::string& text) override {
        const double twipsPerPoint = 20;
        const double size = label_.font().sizePoints * twipsPerPoint;
        const int charWidth = static_cast<int>(std::ceil(0.6 * size));
        int characters = 0;
        for (char c : text) {
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;  // not a UTF-8 continuation byte
        }
        return {charWidth * characters, static_cast<int>(std::ceil(size * 1.2))};
    }

private:
    // The model says only that the font changed; the peer tells which part.
    void recordFontChanges() {
        const ui::Font& font = label_.font();
        if (font.name != lastFont_.name) recordValue("FontName", font.name);
        if (font.sizePoints != lastFont_.sizePoints) recordValue("FontSize", numberText(font.sizePoints));
        if (font.bold != lastFont_.bold) recordValue("FontBold", boolText(font.bold));
        if (font.italic != lastFont_.italic) recordValue("FontItalic", boolText(font.italic));
        if (font.underline != lastFont_.underline) recordValue("FontUnderline", boolText(font.underline));
        if (font.strikethrough != lastFont_.strikethrough) {
            recordValue("FontStrikethrough", boolText(font.strikethrough));
        }
        lastFont_ = font;
    }

    ui::Label& label_;
    ui::Font lastFont_;
};

class TextBoxPeer : public RecordingPeer {
public:
    TextBoxPeer(HeadlessPlatform& platform, ui::TextBox& box) : RecordingPeer(platform, box), box_(box) {}

    void sync(ui::Property property) override {
        RecordingPeer::sync(property);
        if (property == ui::Property::Text) recordValue("Text", box_.text());
        if (property == ui::Property::BackColor) recordValue("BackColor", colorText(box_.backColor()));
    }
    void setFocus() override { moveFocus(platform_, box_); }

private:
    ui::TextBox& box_;
};

class TimerPeer : public RecordingPeer {
public:
    TimerPeer(HeadlessPlatform& platform, ui::Timer& timer)
        : RecordingPeer(platform, timer), timer_(timer), id_(platform.impl().timers.add(timer)) {
        // A timer designed enabled starts counting when its window loads.
        platform.impl().timers.restart(id_, platform.nowMs());
    }
    ~TimerPeer() override { platform_.impl().timers.remove(id_); }

    void sync(ui::Property property) override {
        if (property == ui::Property::Interval) {
            recordValue("Interval", std::to_string(timer_.interval()));
        } else if (property == ui::Property::TimerEnabled) {
            recordValue("Enabled", boolText(timer_.timerEnabled()));
        } else {
            return;
        }
        // Every assignment of the interval, and every enabling, counts anew from now.
        platform_.impl().timers.restart(id_, platform_.nowMs());
    }

private:
    ui::Timer& timer_;
    TimerSchedule::Id id_;
};

}  // namespace

std::unique_ptr<ui::ControlPeer> HeadlessPlatform::createPeer(ui::Control& control) {
    created_.push_back(describeCreatedControl(control));
    switch (control.kind()) {
        case ui::ControlKind::Window:
            return std::make_unique<WindowPeer>(*this, static_cast<ui::Window&>(control));
        case ui::ControlKind::PictureBox:
            return std::make_unique<PictureBoxPeer>(*this, static_cast<ui::PictureBox&>(control));
        case ui::ControlKind::Label: return std::make_unique<LabelPeer>(*this, static_cast<ui::Label&>(control));
        case ui::ControlKind::TextBox:
            return std::make_unique<TextBoxPeer>(*this, static_cast<ui::TextBox&>(control));
        case ui::ControlKind::Timer: return std::make_unique<TimerPeer>(*this, static_cast<ui::Timer&>(control));
        default: return createDialogPeer(*this, control);
    }
}

}  // namespace vistrel::platform::headless
