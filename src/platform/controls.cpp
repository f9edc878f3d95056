#include "platform/controls.h"
#include "platform/units.h"

#include <algorithm>
#include <cmath>

namespace vistrel::ui {
namespace {

int toTwips(int pixels, double twipsPerPixel) { return platform::pixelsToTwips(pixels, twipsPerPixel); }

}  // namespace

Control::Control(ControlKind kind, std::string name, Control* parent)
    : kind_(kind), name_(std::move(name)), parent_(parent) {
    if (parent_) parent_->children_.push_back(this);
}

Control::~Control() {
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

Window& Control::window() {
    Control* c = this;
    while (c->parent_) c = c->parent_;
    return static_cast<Window&>(*c);
}

platform::Platform& Control::platform() { return window().platformRef(); }

bool hasSurface(ControlKind kind) {
    return kind == ControlKind::Window || kind == ControlKind::PictureBox || kind == ControlKind::Frame;
}

void Control::changed(Property property) {
    if (peer_) peer_->sync(property);
    if (drawnByProgram) {
        if (onRedraw) onRedraw(property);
        return;
    }
    if (windowless()) repaintWindowless();
}

void Control::attachPeer(std::unique_ptr<ControlPeer> peer) {
    peer_ = std::move(peer);
    // A window that is already on the screen shows a new windowless control at once.
    drawnBounds_ = {};
    if (windowless() && !drawnByProgram) repaintWindowless();
}

Control* Control::drawingSurface(TwipsRect& boundsOnSurface) const {
    boundsOnSurface = {left_, top_, width_, height_};
    for (Control* container = parent_; container; container = container->parent_) {
        if (hasSurface(container->kind_)) return container;
        boundsOnSurface.left += container->left_;
        boundsOnSurface.top += container->top_;
    }
    return nullptr;
}

void Control::repaintWindowless() {
    if (!peer_) return;
    TwipsRect bounds;
    Control* surface = drawingSurface(bounds);
    if (!surface || !surface->peer_) return;
    // The container draws the control with everything else under it, so
    // the old place shows what is behind once the control has moved,
    // shrunk or gone.
    surface->peer_->invalidate(drawnBounds_);
    if (!(bounds == drawnBounds_)) surface->peer_->invalidate(bounds);
    drawnBounds_ = bounds;
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    changed(Property::Visible);
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    changed(Property::Enabled);
}

void Control::move(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed(Property::Bounds);
}

void Control::setFocus() {
    if (peer_) peer_->setFocus();
}

bool Control::acceptsInput() const {
    for (const Control* c = this; c; c = c->parent_) {
        if (!c->enabled_) return false;
    }
    return true;
}

Control* Control::programDrawnChildAt(double x, double y, double& childX, double& childY) {
    const auto drawn = [](const Control* child) { return child->drawnByProgram && child->visible_ && child->peer_; };
    if (std::none_of(children_.begin(), children_.end(), drawn)) return nullptr;
    // Children stand in twips of the interior; a picture box counts its
    // own positions in pixels.
    const platform::ScreenMetrics screen = platform().screen();
    const bool inPixels = kind_ == ControlKind::PictureBox;
    const double tx = inPixels ? x * screen.twipsPerPixelX : x;
    const double ty = inPixels ? y * screen.twipsPerPixelY : y;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Control* child = *it;
        if (!drawn(child)) continue;
        if (tx < child->left_ || tx >= child->left_ + child->width_ || ty < child->top_ ||
            ty >= child->top_ + child->height_) {
            continue;
        }
        const bool childInPixels = child->kind_ == ControlKind::PictureBox;
        childX = (tx - child->left_) / (childInPixels ? screen.twipsPerPixelX : 1.0);
        childY = (ty - child->top_) / (childInPixels ? screen.twipsPerPixelY : 1.0);
        return child;
    }
    return nullptr;
}

void Control::raiseMouse(MouseHandler Control::*handler, int button, int shift, double x, double y) {
    if (!acceptsInput()) return;
    // What the program draws over its container takes the input there, as
    // a child window would.
    double childX = 0, childY = 0;
    if (Control* child = programDrawnChildAt(x, y, childX, childY)) {
        child->raiseMouse(handler, button, shift, childX, childY);
        return;
    }
    if (this->*handler) (this->*handler)(button, shift, x, y);
}

void Control::raiseMouseDown(int button, int shift, double x, double y) {
    raiseMouse(&Control::onMouseDown, button, shift, x, y);
}

void Control::raiseMouseMove(int button, int shift, double x, double y) {
    raiseMouse(&Control::onMouseMove, button, shift, x, y);
}

void Control::raiseKeyDown(int& keyCode, int shift) {
    if (acceptsInput() && onKeyDown) onKeyDown(keyCode, shift);
}

void Control::raiseKeyPress(int& keyAscii) {
    if (acceptsInput() && onKeyPress) onKeyPress(keyAscii);
}

void Control::raiseLostFocus() {
    if (onLostFocus) onLostFocus();
}

// --- Window ---

Window::Window(std::string name, platform::Platform& platform)
    : Control(ControlKind::Window, std::move(name), nullptr), platform_(platform) {
    // A window is designed hidden; show() makes it visible.
    Control::setVisible(false);
}

Window::~Window() { unload(); }

void Window::setBackColor(Color color) {
    if (backColor_ == color) return;
    backColor_ = color;
    changed(Property::BackColor);
}

void Window::createPeers(Control& control) {
    control.attachPeer(platform_.createPeer(control));
    // A label that sizes itself could not measure its text before it had a peer.
    if (control.kind() == ControlKind::Label) static_cast<Label&>(control).fitToText();
    const auto children = control.children();
    for (Control* child : children) createPeers(*child);
}

void Window::dropPeers(Control& control) {
    const auto children = control.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) dropPeers(**it);
    control.detachPeer();
}

void Window::load() {
    if (loaded_) return;
    loaded_ = true;
    if (windowState == WindowState::Maximized) {
        // A maximized window covers every monitor; with one monitor, that
        // is the screen from (0, 0).
        const auto screen = platform_.screen();
        const platform::PixelBounds all = platform_.virtualScreen();
        move(toTwips(all.left, screen.twipsPerPixelX), toTwips(all.top, screen.twipsPerPixelY),
             toTwips(all.width, screen.twipsPerPixelX), toTwips(all.height, screen.twipsPerPixelY));
    }
    createPeers(*this);
    if (onLoad) onLoad();
}

void Window::loadLateControl(Control& control) {
    if (loaded_ && !control.peer()) createPeers(control);
}

void Window::show() {
    load();
    setVisible(true);
}

void Window::unload() {
    if (!loaded_) return;
    loaded_ = false;
    dropPeers(*this);
}

void Window::userClose() {
    if (onCloseRequest) {
        onCloseRequest();
        return;
    }
    if (controlBox) unload();
}

void Window::raiseFilesDropped(const std::vector<std::string>& paths) {
    if (acceptsInput() && onFilesDropped && !paths.empty()) onFilesDropped(paths);
}

bool Window::raiseKeyPreview(int keyCode, int shift) {
    return acceptsInput() && onKeyPreview && onKeyPreview(keyCode, shift);
}

picture::PixelCanvas Window::canvas() { return peer() && persistentImage ? peer()->canvas() : picture::PixelCanvas{}; }

bool Window::showCanvas(int x, int y, int width, int height) {
    return peer() && persistentImage && peer()->showCanvas(x, y, width, height);
}

int Window::scaleWidth() {
    load();
    if (windowState == WindowState::Maximized && borderStyle == BorderStyle::None) {
        return toTwips(platform_.virtualScreen().width, platform_.screen().twipsPerPixelX);
    }
    return interiorWidth > 0 ? interiorWidth : width();
}

int Window::scaleHeight() {
    load();
    if (windowState == WindowState::Maximized && borderStyle == BorderStyle::None) {
        return toTwips(platform_.virtualScreen().height, platform_.screen().twipsPerPixelY);
    }
    return interiorHeight > 0 ? interiorHeight : height();
}

int Window::outerWidth() {
    load();
    return scaleWidth() + (peer() ? peer()->frameSize().width : 0);
}

int Window::outerHeight() {
    load();
    return scaleHeight() + (peer() ? peer()->frameSize().height : 0);
}

// --- PictureBox ---

void PictureBox::setBackColor(Color color) {
    if (backColor_ == color) return;
    backColor_ = color;
    changed(Property::BackColor);
}

void PictureBox::setPicture(std::shared_ptr<const picture::Picture> picture) {
    picture_ = std::move(picture);
    changed(Property::Picture);
    if (autoSize && picture_) {
        const auto metrics = platform().screen();
        const int border = borderStyle == BorderStyle::None ? 0 : 2 * kPictureBorderPixels;
        move(left(), top(), platform::pixelsToTwips(picture_->width + border, metrics.twipsPerPixelX),
             platform::pixelsToTwips(picture_->height + border, metrics.twipsPerPixelY));
    }
}

bool PictureBox::paintPicture(const std::shared_ptr<const picture::Picture>& picture, int x, int y, int width,
                              int height) {
    if (!picture || !peer()) return false;
    return peer()->paintPicture(picture, x, y, width, height);
}

// --- Label ---

void Label::setText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    changed(Property::Text);
    fitToText();
}

void Label::setForeColor(Color color) {
    if (foreColor_ == color) return;
    foreColor_ = color;
    changed(Property::ForeColor);
}

void Label::setBackColor(Color color) {
    if (backColor_ == color) return;
    backColor_ = color;
    changed(Property::BackColor);
}

void Label::fontChanged() {
    changed(Property::Font);
    fitToText();
}

void Label::setFontName(std::string name) {
    font_.name = std::move(name);
    fontChanged();
}

void Label::setFontSize(double points) {
    font_.sizePoints = points;
    fontChanged();
}

void Label::setFontBold(bool on) {
    font_.bold = on;
    fontChanged();
}

void Label::setFontItalic(bool on) {
    font_.italic = on;
    fontChanged();
}

void Label::setFontUnderline(bool on) {
    font_.underline = on;
    fontChanged();
}

void Label::setFontStrikethrough(bool on) {
    font_.strikethrough = on;
    fontChanged();
}

TextSize Label::measure(const std::string& text) { return peer() ? peer()->measureText(text) : TextSize{}; }

picture::Picture Label::renderText() { return peer() ? peer()->renderText(text_) : picture::Picture{}; }

void Label::fitToText() {
    if (!autoSize || !peer()) return;
    const TextSize size = peer()->measureText(text_);
    move(left(), top(), size.width, size.height);
}

// --- TextBox ---

void TextBox::setText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    changed(Property::Text);
    if (onChange) onChange();
}

void TextBox::setBackColor(Color color) {
    if (backColor_ == color) return;
    backColor_ = color;
    changed(Property::BackColor);
}

void TextBox::userSetText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    if (onChange) onChange();
}

// --- Timer ---

Timer::Timer(std::string name, Control& parent) : Control(ControlKind::Timer, std::move(name), &parent) {
    Control::setVisible(false);
}

void Timer::setInterval(int milliseconds) {
    interval_ = std::clamp(milliseconds, 0, kMaxTimerInterval);
    changed(Property::Interval);
}

void Timer::setTimerEnabled(bool enabled) {
    if (timerEnabled_ == enabled) return;
    timerEnabled_ = enabled;
    changed(Property::TimerEnabled);
}

void Timer::tick() {
    // A tick that falls due while this timer's own handler still runs (it
    // processes events during a pause) is dropped, as Windows merges a
    // timer's pending messages: a handler never runs inside itself.
    if (!timerEnabled_ || interval_ <= 0 || !onTimer || running_) return;
    running_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{running_};
    onTimer();
}

}  // namespace vistrel::ui
