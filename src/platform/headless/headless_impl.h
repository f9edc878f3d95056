// The inside of the headless platform: the handle table, the windows with
// their surfaces, and the timers. Shared by the platform's calls and the
// control peers.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/headless/timer_schedule.h"
#include "platform/picture_work_queue.h"

namespace vistrel::platform::headless {

// Something with a window handle, a device context and pixels: the desktop,
// a host window, or a loaded window or picture box of the program.
struct Target {
    std::string name;
    Handle hwnd = 0;
    Handle hdc = 0;
    Surface surface;
    bool topmost = false;
    bool shown = false;
    int left = 0;  // pixels on the screen, for a window that centres itself
    int top = 0;
    // The device-context coordinates of the surface's top-left pixel: the
    // desktop's context works in screen coordinates, and its surface starts
    // at the virtual screen's corner, left of or above the primary monitor.
    int originX = 0;
    int originY = 0;
    const ui::Control* control = nullptr;  // none for the desktop and host windows
    // Picture boxes fill their surface only when its pixels are needed (a
    // test reads them, a BitBlt uses them): a loader of a 24-megapixel photo
    // must not hold a second copy of it.
    std::function<void()> materialize;
    // Draws what the target shows onto `dest` at (x, y), without filling the
    // surface; for the composed screen.
    std::function<void(Surface& dest, int x, int y)> composeOnto;

    Surface& pixels() {
        if (materialize) materialize();
        return surface;
    }
};

// What a label looked like when the surface under it last drew it. A
// screenshot shows this, as the screen shows what was last painted, not
// what the model holds: a change that repaints nothing is seen as missing.
struct DrawnLabel {
    ui::TwipsRect bounds;  // on its surface
    bool shown = false;
    std::string text;
    std::uint32_t pixel = 0;  // its text colour, grey when disabled
};

struct HeadlessPlatform::Impl {
    // Every handle ever given out keeps its name, so that a call naming a
    // window that has since been unloaded still reads well in the log.
    std::map<Handle, std::string> names;
    std::vector<std::unique_ptr<Target>> targets;
    Target* desktop = nullptr;
    TimerSchedule timers;
    // Files by their path in lower case with "\" as separator.
    std::map<std::string, std::string> files;
    // The path each file and folder was given with, by its key: what a
    // folder listing shows.
    std::map<std::string, std::string> givenPaths;
    std::set<std::string> folders;  // made empty by putFolder
    std::set<std::string> lockedFiles;
    // Folders by the same keys, without a trailing "\".
    std::set<std::string> createdFolders;
    std::set<std::string> unwritableFolders;
    std::map<std::string, std::int64_t> decodeCostMs;  // by path key
    std::map<std::string, std::int64_t> listCostMs;    // by folder key
    // Far from the small numbers a test may put on a command line.
    Handle nextHandle = 0x10010;
    // The reduction mode of each device context that was given one.
    std::map<Handle, int> stretchModes;
    // Labels as last drawn (headless_painting.cpp).
    std::map<const ui::Control*, DrawnLabel> drawnLabels;
    // The surface drew `area` of its interior anew (all of it without one):
    // the labels on it that were or are there are drawn as they are now.
    void redrawLabels(const ui::Control& surface, const ui::TwipsRect* area);
    // The surface drew all of itself, and every surface inside it with it
    // (a window shown, a frame shown or enabled).
    void redrawAllLabels(const ui::Control& surface);
    // What the shown `window` puts on the screen: its surface, the labels
    // on it as drawn, and its picture boxes and frames with theirs.
    Surface composeWindow(Target& window, const ScreenMetrics& screen);

    Target& addTarget(std::string name, int width, int height, std::uint32_t pixel,
                      const ui::Control* control);
    void removeTarget(const Target& target);
    Target* findByWindow(Handle hwnd);
    Target* findByDc(Handle hdc);
    Target* findByControl(const ui::Control& control);
    // The name of a handle for the log; unknown ones print as numbers.
    std::string handleName(Handle handle) const;

    // Activation and keyboard focus, kept as the window manager keeps them
    // (headless_input.cpp).
    std::vector<ui::Window*> activations;  // shown windows, the most recently active last
    ui::Window* active = nullptr;
    ui::Control* focus = nullptr;
    std::map<const ui::Window*, ui::Control*> lastFocus;
    // The caret of each loaded text box, as a byte offset into its text.
    std::map<const ui::Control*, std::size_t> carets;
    void windowShown(ui::Window& window);
    void windowHidden(ui::Window& window);
    void windowGone(ui::Window& window);
    // A control that could hold the focus lost its peer (unloaded or destroyed).
    void controlGone(const ui::Control& control);
    // Gives `control` the focus (and its window the activation); the
    // control that had it gets its LostFocus.
    void focusOn(ui::Control& control);
};

// Moves the keyboard focus as SetFocus does: records "<name>.SetFocus()"
// when the program asked for it, then raises LostFocus on the control that
// had it.
void moveFocus(HeadlessPlatform& platform, ui::Control& control, bool byProgram = true);
// The controls of `window` that can take the focus now, in tab order.
std::vector<ui::Control*> focusableInTabOrder(ui::Window& window);
// A control losing its peer loses the focus with it.
void forgetFocus(HeadlessPlatform& platform, const ui::Control& control);

// The peers of the settings dialog's control kinds (headless_dialog_peers.cpp).
std::unique_ptr<ui::ControlPeer> createDialogPeer(HeadlessPlatform& platform, ui::Control& control);
// The line of HeadlessPlatform::createdControls for a control.
std::string describeCreatedControl(const ui::Control& control);
// A colour as the log shows it: decimal RGB, or "System(22)".
std::string colorText(ui::Color color);

// The picture worker on the virtual clock (headless_picture_worker.cpp).
struct HeadlessPlatform::PictureWorker {
    PictureWorkQueue queue;
    // Of the task being decoded: its result, decoded when it started, and
    // when its decode ends on the worker's clock.
    picture::PictureResult decoded;
    std::int64_t finishAtMs = 0;
    // The worker is free from this moment on.
    std::int64_t freeAtMs = 0;
    std::map<PictureWorkQueue::Id, std::int64_t> askedAtMs;
    std::map<PictureWorkQueue::Id, std::function<void()>> readyEvents;
};

}  // namespace vistrel::platform::headless
