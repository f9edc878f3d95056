// The headless counterparts of the portable controls: they record what the
// program sets, keep the pixel surfaces of windows and picture boxes, and
// put timers on the virtual clock.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/headless/call_text.h"
#include "platform/headless/headless_impl.h"
#include "platform/headless/surface_ops.h"

namespace vistrel::platform::headless {
namespace {

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
    ~SurfacePeer() override {
        platform_.impl().controlGone(control_);
        platform_.impl().removeTarget(target_);
    }

    Handle hwnd() const override { return target_.hwnd; }
    Handle hdc() override { return target_.hdc; }
    void setFocus() override { moveFocus(platform_, control_); }
    void invalidate(const ui::TwipsRect& area) override { platform_.impl().redrawLabels(control_, &area); }

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
    ~WindowPeer() override {
        platform_.impl().windowGone(window_);
        platform_.record("Unload(" + window_.name() + ")");
    }

    void sync(ui::Property property) override {
        // Placed before it shows, as the real window is.
        if (property == ui::Property::Visible && window_.visible() && !shownBefore_) {
            shownBefore_ = true;
            if (window_.centerOnScreen) centerOnScreen();
        }
        RecordingPeer::sync(property);
        switch (property) {
            case ui::Property::Visible:
                target_.shown = window_.visible();
                if (window_.visible()) {
                    // The first paint, and every showing, draws the whole window.
                    platform_.impl().redrawAllLabels(window_);
                    platform_.impl().windowShown(window_);
                } else {
                    platform_.impl().windowHidden(window_);
                }
                break;
            case ui::Property::Bounds:
                resizeSurface(target_.surface, surfaceWidth(platform_, window_), surfaceHeight(platform_, window_),
                              colorToPixel(window_.backColor()));
                break;
            case ui::Property::BackColor:
                recordValue("BackColor", colorText(window_.backColor()));
                // A new colour wipes what was drawn, as on the real window.
                target_.surface.fill(colorToPixel(window_.backColor()));
                platform_.impl().redrawLabels(window_, nullptr);
                break;
            default: break;
        }
    }

private:
    // At its first showing, like the real window: the window has no frame
    // here, so its interior is what is centred.
    void centerOnScreen() {
        const ScreenMetrics screen = platform_.screen();
        target_.left = (screen.widthPixels - target_.surface.width) / 2;
        target_.top = (screen.heightPixels - target_.surface.height) / 2;
        platform_.record("CenterWindow(" + window_.name() + ") -> " + std::to_string(target_.left) + ", " +
                         std::to_string(target_.top));
    }

    // A maximized window covers the virtual screen (every monitor) whatever
    // its designed size; a window with a designed interior has that size.
    static int surfaceWidth(HeadlessPlatform& platform, const ui::Window& window) {
        const ScreenMetrics screen = platform.screen();
        if (window.windowState == ui::WindowState::Maximized) return platform.virtualScreen().width;
        if (window.interiorWidth > 0) return twipsToPixels(window.interiorWidth, screen.twipsPerPixelX);
        return twipsToPixels(window.width(), screen.twipsPerPixelX);
    }
    static int surfaceHeight(HeadlessPlatform& platform, const ui::Window& window) {
        const ScreenMetrics screen = platform.screen();
        if (window.windowState == ui::WindowState::Maximized) return platform.virtualScreen().height;
        if (window.interiorHeight > 0) return twipsToPixels(window.interiorHeight, screen.twipsPerPixelY);
        return twipsToPixels(window.height(), screen.twipsPerPixelY);
    }

    picture::PixelCanvas canvas() override {
        Surface& surface = target_.surface;
        return {surface.pixels.data(), surface.width, surface.height, surface.width};
    }

    // The surface is what the screenshot shows; the call is recorded so that
    // a test sees what the program put on the screen, and when.
    bool showCanvas(int x, int y, int width, int height) override {
        platform_.record(window_.name() + ".ShowCanvas(" + std::to_string(x) + ", " + std::to_string(y) + ", " +
                         std::to_string(width) + ", " + std::to_string(height) + ")" +
                         (platform_.drawingFails() ? " -> failed" : ""));
        platform_.chargeShowCost();
        return !platform_.drawingFails();
    }

    ui::Window& window_;
    bool shownBefore_ = false;
};

// The lines a picture box records beyond those of every control, the same
// whether the backend draws it or the program does.
void recordPictureBoxChange(HeadlessPlatform& platform, const ui::PictureBox& box, ui::Property property) {
    const auto line = [&](std::string_view what, const std::string& value) {
        platform.record(box.name() + "." + std::string(what) + " = " + value);
    };
    switch (property) {
        case ui::Property::BackColor: line("BackColor", colorText(box.backColor())); break;
        case ui::Property::Picture:
            line("Picture", box.picture() ? std::to_string(box.picture()->width) + " x " +
                                                std::to_string(box.picture()->height)
                                          : "Nothing");
            break;
        case ui::Property::Cleared: platform.record(box.name() + ".Cls()"); break;
        default: break;
    }
}

// A picture box the program draws itself: mirrored and recorded, never drawn.
class ProgramDrawnBoxPeer : public RecordingPeer {
public:
    ProgramDrawnBoxPeer(HeadlessPlatform& platform, ui::PictureBox& box) : RecordingPeer(platform, box), box_(box) {}

    void sync(ui::Property property) override {
        RecordingPeer::sync(property);
        recordPictureBoxChange(platform_, box_, property);
    }

private:
    ui::PictureBox& box_;
};

class PictureBoxPeer : public SurfacePeer {
public:
    PictureBoxPeer(HeadlessPlatform& platform, ui::PictureBox& box)
        : SurfacePeer(platform, box, 0, 0, box.backColor()), box_(box) {
        target_.shown = box.visible();
        target_.materialize = [this] { materialize(); };
        target_.composeOnto = [this](Surface& dest, int x, int y) { composeOnto(dest, x, y); };
    }

    void sync(ui::Property property) override {
        RecordingPeer::sync(property);
        recordPictureBoxChange(platform_, box_, property);
        // Every change of the box draws all of it anew, with its labels.
        if (property != ui::Property::Enabled) platform_.impl().redrawLabels(box_, nullptr);
        switch (property) {
            case ui::Property::Visible: target_.shown = box_.visible(); break;
            case ui::Property::Bounds:
                if (materialized_) resize();
                break;
            case ui::Property::BackColor:
            case ui::Property::Picture:
            case ui::Property::Cleared: clearDrawings(); break;
            default: break;
        }
    }

    bool paintPicture(const std::shared_ptr<const picture::Picture>& picture, int x, int y, int width, int height) override {
        platform_.record(box_.name() + ".PaintPicture(" + std::to_string(picture->width) + " x " +
                         std::to_string(picture->height) + ", " + std::to_string(x) + ", " + std::to_string(y) +
                         ", " + std::to_string(width) + ", " + std::to_string(height) + ")" +
                         (platform_.drawingFails() ? " -> failed" : ""));
        if (platform_.drawingFails()) return false;
        if (materialized_) {
            copyFromPicture(target_.surface, x, y, width, height, *picture, x, y);
        } else {
            drawings_.push_back({picture, x, y, width, height});
        }
        return true;
    }

private:
    // A rectangle of a picture copied onto the box, kept by reference until
    // the box's pixels are needed.
    struct Drawing {
        std::shared_ptr<const picture::Picture> picture;
        int x, y, width, height;
    };

    // Picture boxes sit on their window in twips and draw in pixels, inside their border.
    int border() const { return box_.borderStyle == ui::BorderStyle::None ? 0 : 2 * ui::PictureBox::kPictureBorderPixels; }
    int widthPixels() const {
        return std::max(twipsToPixels(box_.width(), platform_.screen().twipsPerPixelX) - border(), 0);
    }
    int heightPixels() const {
        return std::max(twipsToPixels(box_.height(), platform_.screen().twipsPerPixelY) - border(), 0);
    }

    // What the box shows, drawn at (x, y) of `dest`: the back colour, the
    // picture at the top-left corner, then what was drawn.
    void composeOnto(Surface& dest, int x, int y) const {
        if (materialized_) {
            copyPixels(dest, x, y, target_.surface.width, target_.surface.height, target_.surface, 0, 0);
            return;
        }
        const int width = widthPixels(), height = heightPixels();
        fillRect(dest, x, y, width, height, colorToPixel(box_.backColor()));
        if (const auto& picture = box_.picture()) {
            copyFromPicture(dest, x, y, std::min(width, picture->width), std::min(height, picture->height), *picture,
                            0, 0);
        }
        for (const Drawing& drawing : drawings_) {
            const int right = std::min(drawing.x + drawing.width, width);
            const int bottom = std::min(drawing.y + drawing.height, height);
            copyFromPicture(dest, x + drawing.x, y + drawing.y, right - drawing.x, bottom - drawing.y,
                            *drawing.picture, drawing.x, drawing.y);
        }
    }

    void materialize() {
        if (materialized_) return;
        target_.surface = Surface(widthPixels(), heightPixels());
        composeOnto(target_.surface, 0, 0);
        drawings_.clear();
        materialized_ = true;
    }

    // The cleared image: the back colour with the assigned picture on it.
    void clearDrawings() {
        drawings_.clear();
        if (!materialized_) return;
        target_.surface.fill(colorToPixel(box_.backColor()));
        if (box_.picture()) drawPicture(target_.surface, *box_.picture());
    }

    // What was drawn stays where it fits; new area shows the cleared image,
    // so a box that grows to its new picture shows all of it.
    void resize() {
        Surface old = std::move(target_.surface);
        target_.surface = Surface(widthPixels(), heightPixels());
        clearDrawings();
        copyPixels(target_.surface, 0, 0, old.width, old.height, old, 0, 0);
    }

    ui::PictureBox& box_;
    bool materialized_ = false;
    std::vector<Drawing> drawings_;
};

class LabelPeer : public RecordingPeer {
public:
    LabelPeer(HeadlessPlatform& platform, ui::Label& label)
        : RecordingPeer(platform, label), label_(label), lastFont_(label.font()) {}
    ~LabelPeer() override { platform_.impl().drawnLabels.erase(&label_); }

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

    // The text as a box of its measured size, fully covered: what a
    // screenshot shows of a label.
    picture::Picture renderText(const std::string& text) override {
        const ui::TextSize size = measureText(text);
        const ScreenMetrics screen = platform_.screen();
        picture::Picture mask;
        mask.width = twipsToPixels(size.width, screen.twipsPerPixelX);
        mask.height = twipsToPixels(size.height, screen.twipsPerPixelY);
        mask.pixels.assign(static_cast<std::size_t>(mask.width) * mask.height, 0xFFFFFFFFu);
        return mask;
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
    ~TextBoxPeer() override {
        platform_.impl().carets.erase(&box_);
        platform_.impl().controlGone(box_);
    }

    void sync(ui::Property property) override {
        RecordingPeer::sync(property);
        if (property == ui::Property::Text) {
            recordValue("Text", box_.text());
            // Text set by the program puts the caret back at the start.
            platform_.impl().carets[&box_] = 0;
        }
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
            if (control.drawnByProgram) {
                return std::make_unique<ProgramDrawnBoxPeer>(*this, static_cast<ui::PictureBox&>(control));
            }
            return std::make_unique<PictureBoxPeer>(*this, static_cast<ui::PictureBox&>(control));
        case ui::ControlKind::Label: return std::make_unique<LabelPeer>(*this, static_cast<ui::Label&>(control));
        case ui::ControlKind::TextBox:
            return std::make_unique<TextBoxPeer>(*this, static_cast<ui::TextBox&>(control));
        case ui::ControlKind::Timer: return std::make_unique<TimerPeer>(*this, static_cast<ui::Timer&>(control));
        default: return createDialogPeer(*this, control);
    }
}

}  // namespace vistrel::platform::headless
