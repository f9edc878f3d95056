// The portable control model: windows, picture boxes, labels, text boxes and
// timers as the program's windows are designed with them.
//
// The model holds every property; a backend peer mirrors it on the screen.
// Setting a value from code raises the control's change handler at once
// (nested inside the setter) and exactly once per real change, on every
// backend. A user's change arrives from the peer through the `user...`
// entry points, which update the model and raise the same handler without
// echoing the value back to the peer.
//
// Units: a window's position and size are in twips on the screen; the
// controls on a window are placed in twips of the window's interior.
// Picture boxes draw in pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "picture/picture.h"
#include "picture/pixel_canvas.h"
#include "platform/platform.h"

namespace vistrel::ui {

using platform::Handle;

// The kinds after Timer are the settings dialog's (platform/dialog_controls.h).
enum class ControlKind {
    Window,
    PictureBox,
    Label,
    TextBox,
    Timer,
    Frame,
    Button,
    CheckBox,
    OptionButton,
    ListBox,
    ComboBox,
    ScrollBar,
    Slider,
    StatusBar,
};

// What changed, so a peer updates only that.
enum class Property {
    Visible,
    Enabled,
    Bounds,
    BackColor,
    ForeColor,
    Text,
    Font,
    Picture,
    Cleared,
    Interval,  // raised on every assignment: it restarts the timer's count
    TimerEnabled,
    Value,      // check box, option button, scroll bar, slider
    ListIndex,  // the selected item of a list
    Items,      // items added, removed or cleared (ListControl::lastItemChange says which)
};

// RGB colour, red in the low byte.
using Color = std::uint32_t;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;

// A colour with the top bit set names a system colour by its index, as
// the runtime's colour values do; the backend looks the colour up.
inline constexpr Color systemColor(int index) { return 0x80000000u | static_cast<Color>(index); }
inline constexpr bool isSystemColor(Color color) { return (color & 0x80000000u) != 0; }
inline constexpr Color kSystemWindowBackground = systemColor(5);
inline constexpr Color kSystemWindowFrame = systemColor(6);
inline constexpr Color kSystemWindowText = systemColor(8);
inline constexpr Color kSystemActiveBorder = systemColor(10);
inline constexpr Color kSystemButtonFace = systemColor(15);
inline constexpr Color kSystemGrayText = systemColor(17);
inline constexpr Color kSystemButtonText = systemColor(18);
inline constexpr Color kSystem3DLight = systemColor(22);

// The mouse buttons as the events number them: the runtime's left, right
// and middle, and the two side buttons (back and forward) after them.
inline constexpr int kMouseLeft = 1;
inline constexpr int kMouseRight = 2;
inline constexpr int kMouseMiddle = 4;
inline constexpr int kMouseSideBack = 8;
inline constexpr int kMouseSideForward = 16;

struct Font {
    std::string name = "MS Sans Serif";
    double sizePoints = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    bool operator==(const Font&) const = default;
};

struct TextSize {
    int width = 0;  // twips
    int height = 0;
};

// A rectangle in twips of a container's interior.
struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

class Window;

// The backend's side of one control.
class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    virtual void sync(Property property) = 0;
    // HWND of a windowed control, 0 for windowless ones (labels, timers).
    virtual Handle hwnd() const { return 0; }
    // Device context of the control's persistent image (windows and
    // picture boxes); drawing into it stays until cleared.
    virtual Handle hdc() { return 0; }
    // Size of `text` on one line in the label's font, in twips.
    virtual TextSize measureText(const std::string& /*text*/) { return {0, 0}; }
    virtual void setFocus() {}
    // Picture boxes: copies the rectangle (x, y, width, height) of `picture`
    // to the same place on the box, and shows it at once. False on failure.
    virtual bool paintPicture(const std::shared_ptr<const picture::Picture>& /*picture*/, int /*x*/, int /*y*/,
                              int /*width*/, int /*height*/) {
        return false;
    }
    // A window's title bar and borders: how much larger than its interior
    // it is, in twips.
    virtual TextSize frameSize() { return {0, 0}; }
    // Controls with a surface (windows, picture boxes, frames): the area of
    // the interior, in twips, is drawn anew with the next repaint, and the
    // windowless controls on it with it.
    virtual void invalidate(const TwipsRect& /*area*/) {}
    // Windows with a persistent image: its pixels, which the program reads
    // and draws into directly (empty for any other control).
    virtual picture::PixelCanvas canvas() { return {}; }
    // Puts the area (pixels of the interior) of the persistent image on the
    // screen now, also in the middle of work that processes no messages.
    // False when the drawing failed.
    virtual bool showCanvas(int /*x*/, int /*y*/, int /*width*/, int /*height*/) { return false; }
    // Labels: `text` on one line in the label's font, as a coverage mask as
    // wide as the text and as high as the line (see Label::renderText).
    virtual picture::Picture renderText(const std::string& /*text*/) { return {}; }
};

// Whether controls of this kind have a surface of their own, on which the
// windowless controls they hold (labels) are drawn.
bool hasSurface(ControlKind kind);

class Control {
public:
    Control(ControlKind kind, std::string name, Control* parent);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    Control* parent() const { return parent_; }
    const std::vector<Control*>& children() const { return children_; }
    Window& window();
    platform::Platform& platform();

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setLeft(int v) { move(v, top_, width_, height_); }
    void setTop(int v) { move(left_, v, width_, height_); }
    void setWidth(int v) { move(left_, top_, v, height_); }
    void setHeight(int v) { move(left_, top_, width_, v); }
    void move(int left, int top, int width, int height);

    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int index) { tabIndex_ = index; }
    // Designed: whether Tab stops at the control (when its kind takes the
    // focus at all), and the tip shown when the pointer rests on it.
    bool tabStop = true;
    std::string toolTipText;

    // Designed: the program draws the control itself, on an image it
    // composes (the saver's stage), so the backend shows nothing of it: no
    // window, no face. Its properties are mirrored as for any control, a
    // label still measures and renders its text for the program, and input
    // over it comes to it through its container.
    bool drawnByProgram = false;
    // Raised at once, nested in the setter, after every change of a
    // program-drawn control that could alter how it looks.
    std::function<void(Property property)> onRedraw;

    ControlPeer* peer() const { return peer_.get(); }
    Handle hwnd() const { return peer_ ? peer_->hwnd() : 0; }
    Handle hdc() const { return peer_ ? peer_->hdc() : 0; }
    void setFocus();

    // Handlers, named after the events they serve. Mouse coordinates are in
    // the control's own drawing units (twips, pixels for picture boxes).
    using MouseHandler = std::function<void(int button, int shift, double x, double y)>;
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;
    std::function<void(int& keyCode, int shift)> onKeyDown;
    std::function<void(int& keyAscii)> onKeyPress;
    std::function<void()> onLostFocus;

    // Input from the backend. A disabled control, or one on a disabled
    // window, receives nothing.
    void raiseMouseDown(int button, int shift, double x, double y);
    void raiseMouseMove(int button, int shift, double x, double y);
    void raiseKeyDown(int& keyCode, int shift);
    void raiseKeyPress(int& keyAscii);
    // The keyboard focus left the control (also when its window is disabled).
    void raiseLostFocus();
    bool acceptsInput() const;

    // Peers are made and dropped by the owning window's load and unload.
    void attachPeer(std::unique_ptr<ControlPeer> peer);
    void detachPeer() { peer_.reset(); }

    // Windowless controls (labels) are drawn by the surface of the control
    // that holds them. Every change that could alter how one looks (text,
    // enabled state, visibility, colours, font, place) repaints where it
    // was and where it is now, whatever kind of container holds it.
    bool windowless() const { return kind_ == ControlKind::Label; }
    // The control whose surface draws this one (its nearest container with
    // a surface), and this control's bounds in that surface's interior.
    Control* drawingSurface(TwipsRect& boundsOnSurface) const;

protected:
    // Tells the peer; a windowless control is also drawn anew at once.
    void changed(Property property);

private:
    void repaintWindowless();
    // A mouse event for `handler`, or for the program-drawn child under it.
    void raiseMouse(MouseHandler Control::*handler, int button, int shift, double x, double y);
    // The visible program-drawn child at (x, y) of this control's units,
    // the topmost (last made) first, and the point in the child's units.
    Control* programDrawnChildAt(double x, double y, double& childX, double& childY);

    ControlKind kind_;
    std::string name_;
    Control* parent_;
    std::vector<Control*> children_;
    std::unique_ptr<ControlPeer> peer_;
    // Where a windowless control was last drawn, on its surface.
    TwipsRect drawnBounds_;
    bool visible_ = true;
    bool enabled_ = true;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int tabIndex_ = 0;
};

enum class BorderStyle { None, FixedSingle, Sizable };
// A maximized window covers the virtual screen: every monitor.
enum class WindowState { Normal, Maximized };

// A top-level window (a form). Its load step runs once, at first use.
class Window : public Control {
public:
    Window(std::string name, platform::Platform& platform);
    ~Window() override;

    platform::Platform& platformRef() { return platform_; }

    // Designed properties, set before the window is loaded.
    std::string caption;
    BorderStyle borderStyle = BorderStyle::Sizable;
    bool controlBox = true;
    bool minButton = false;  // of a window with a fixed border; a sizable one has both
    bool maxButton = false;
    bool showInTaskbar = true;
    // Another program's window that owns this one, so it stays in front of it (0 = none).
    Handle owner = 0;
    // Another program's window that this one lives in as a child window
    // (0 = none): placed in the host's client area, it never takes the
    // activation or the keyboard focus.
    Handle host = 0;
    bool centerOnScreen = false;
    WindowState windowState = WindowState::Normal;
    bool persistentImage = false;  // keeps a backing image that repaints the window
    int interiorWidth = 0;         // twips; for windows whose interior size is designed
    int interiorHeight = 0;

    Color backColor() const { return backColor_; }
    void setBackColor(Color color);

    bool loaded() const { return loaded_; }
    // Runs the load step on first use: creates the backend peers of the
    // window and of every control on it, then calls onLoad.
    void load();
    void show();
    void hide() { setVisible(false); }
    // Drops the window and its peers; it may be loaded again later.
    void unload();
    // Gives a control added to the loaded window after its load step its
    // peers (and its children's), as the load step gives them to the rest.
    void loadLateControl(Control& control);

    // A window with a persistent image (loaded): its pixels, for the
    // program to read and draw into; empty otherwise. What is drawn shows
    // once showCanvas has been called for its area (pixels of the interior).
    picture::PixelCanvas canvas();
    bool showCanvas(int x, int y, int width, int height);

    // The interior size in twips (for a maximized borderless window the
    // virtual screen, round every monitor).
    int scaleWidth();
    int scaleHeight();
    // The outer size in twips, title bar and borders included (loaded windows).
    int outerWidth();
    int outerHeight();

    std::function<void()> onLoad;

    // A request to close the window from outside the program's code: the
    // close box, Alt+F4 (which Windows turns into a close command even for
    // a window without a control box), or another program. With a handler,
    // the handler decides what happens; without one, a window with a
    // control box unloads and any other stays as it is.
    std::function<void()> onCloseRequest;
    void userClose();

    // Designed: files and folders dragged from the system's file manager
    // may be dropped on the window. The handler gets their full paths.
    bool acceptsDroppedFiles = false;
    std::function<void(const std::vector<std::string>& paths)> onFilesDropped;
    void raiseFilesDropped(const std::vector<std::string>& paths);

    // Sees a key pressed on any control of the window before that control
    // does; returning true keeps the key from it.
    std::function<bool(int keyCode, int shift)> onKeyPreview;
    bool raiseKeyPreview(int keyCode, int shift);

private:
    void createPeers(Control& control);
    void dropPeers(Control& control);
    platform::Platform& platform_;
    Color backColor_ = kBlack;
    bool loaded_ = false;
};

class PictureBox : public Control {
public:
    PictureBox(std::string name, Control& parent) : Control(ControlKind::PictureBox, std::move(name), &parent) {}

    bool autoSize = false;
    // FixedSingle: a sunken border of kPictureBorderPixels on each side.
    BorderStyle borderStyle = BorderStyle::None;
    static constexpr int kPictureBorderPixels = 2;

    Color backColor() const { return backColor_; }
    void setBackColor(Color color);
    const std::shared_ptr<const picture::Picture>& picture() const { return picture_; }
    // Assigns a picture, which replaces what was drawn on the box; with
    // autoSize the box takes the picture's pixel size (and its border
    // around it).
    void setPicture(std::shared_ptr<const picture::Picture> picture);
    // Clears what was drawn; the assigned picture stays.
    void cls() { changed(Property::Cleared); }
    // Copies the rectangle (x, y, width, height), in pixels, of `picture` to
    // the same place on the box. The box keeps what is drawn until it is
    // cleared or given a picture. False when the drawing failed (or the box
    // is not loaded).
    bool paintPicture(const std::shared_ptr<const picture::Picture>& picture, int x, int y, int width, int height);

private:
    Color backColor_ = kBlack;
    std::shared_ptr<const picture::Picture> picture_;
};

enum class Alignment { Left, Right, Center };

// A windowless caption drawn on its window's surface.
class Label : public Control {
public:
    Label(std::string name, Control& parent) : Control(ControlKind::Label, std::move(name), &parent) {}

    bool autoSize = false;
    bool transparent = false;
    Alignment alignment = Alignment::Left;

    const std::string& text() const { return text_; }
    void setText(std::string text);
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color color);
    Color backColor() const { return backColor_; }
    void setBackColor(Color color);

    const Font& font() const { return font_; }
    void setFontName(std::string name);
    void setFontSize(double points);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setFontStrikethrough(bool on);

    // Re-measures the text when the label sizes itself.
    void fitToText();
    // The text on one line in the label's font, as wide as the text and as
    // high as the line: each pixel's red, green and blue bytes tell how much
    // of the text colour that channel takes there (0 to 255; they differ
    // where the system smooths text for the screen's pixel layout). Empty
    // before the label has a peer.
    picture::Picture renderText();
    // The size `text` would take on one line in the label's font, in twips
    // (0 x 0 before the label has a peer).
    TextSize measure(const std::string& text);

private:
    void fontChanged();
    std::string text_;
    Color foreColor_ = kBlack;
    Color backColor_ = kWhite;
    Font font_;
};

class TextBox : public Control {
public:
    TextBox(std::string name, Control& parent) : Control(ControlKind::TextBox, std::move(name), &parent) {}

    bool multiLine = false;
    char passwordChar = 0;  // 0 = text shown as typed
    bool inputMethodOff = false;  // no input-method editor (for passwords)
    Font font;

    Color backColor() const { return backColor_; }
    void setBackColor(Color color);

    const std::string& text() const { return text_; }
    void setText(std::string text);
    // A change the user made in the backend's edit control.
    void userSetText(std::string text);

    std::function<void()> onChange;

private:
    std::string text_;
    Color backColor_ = kSystemWindowBackground;
};

// Ticks every `interval` ms while enabled; interval 0 gives no ticks.
// Intervals run up to kMaxTimerInterval (about 24.8 days).
inline constexpr int kMaxTimerInterval = 0x7FFFFFFF;

class Timer : public Control {
public:
    Timer(std::string name, Control& parent);

    int interval() const { return interval_; }
    // Every assignment restarts the count, also with an unchanged value.
    void setInterval(int milliseconds);
    bool timerEnabled() const { return timerEnabled_; }
    void setTimerEnabled(bool enabled);

    // Called by the backend when the interval has run out.
    void tick();
    std::function<void()> onTimer;

private:
    int interval_ = 0;
    bool timerEnabled_ = false;
    bool running_ = false;  // its handler is running
};

}  // namespace vistrel::ui
