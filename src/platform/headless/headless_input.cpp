// Input from the test, delivered as the system delivers it, and the
// activation and keyboard focus that decide where keys go.
#include <algorithm>
#include <cstdint>

#include "platform/dialog_controls.h"
#include "platform/headless/call_text.h"
#include "platform/headless/headless_impl.h"
#include "platform/task_switch_keys.h"

namespace vistrel::platform::headless {
namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;
constexpr int kKeyPacket = 0xE7;  // VK_PACKET: a character typed without a key of its own
constexpr int kShiftDown = 1;
constexpr int kCtrlDown = 2;
constexpr int kAltDown = 4;

// Loaded, and visible together with everything that holds it.
bool onScreen(const ui::Control& control) {
    if (!control.peer()) return false;
    for (const ui::Control* c = &control; c; c = c->parent()) {
        if (!c->visible()) return false;
    }
    return true;
}

bool canTakeFocus(const ui::Control& control) { return onScreen(control) && control.acceptsInput(); }

ui::Control* firstTabStop(ui::Window& window) {
    const std::vector<ui::Control*> stops = focusableInTabOrder(window);
    return stops.empty() ? nullptr : stops.front();
}

// Tab and Shift+Tab move the focus between the controls of the window
// instead of being typed; false when the window has none.
bool moveFocusByTab(HeadlessPlatform::Impl& impl, ui::Window& window, const ui::Control* from, bool backwards) {
    const std::vector<ui::Control*> stops = focusableInTabOrder(window);
    if (stops.empty()) return false;
    const auto at = std::find(stops.begin(), stops.end(), from);
    const std::ptrdiff_t current = at == stops.end() ? -1 : at - stops.begin();
    impl.focusOn(*stops[ui::nextTabStop(current, stops.size(), backwards)]);
    return true;
}

// A mouse position in pixels inside the control, in the units of its
// events: pixels for picture boxes, twips for everything else.
double unitsOf(const ui::Control& control, int pixels, double twipsPerPixel) {
    return control.kind() == ui::ControlKind::PictureBox ? pixels : pixels * twipsPerPixel;
}

void appendUtf8(std::string& text, std::uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The next code point of UTF-8 text; a byte that starts no valid sequence
// counts as U+FFFD on its own.
std::uint32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + length > text.size()) {
        ++at;
        return 0xFFFD;
    }
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return 0xFFFD;
        }
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    at += static_cast<std::size_t>(length);
    return code;
}

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// What a character does to the text of an edit control with its caret at
// byte `caret`; moves the caret on.
void typeInto(ui::TextBox& box, std::size_t& caret, int character) {
    std::string text = box.text();
    caret = std::min(caret, text.size());
    if (character == kKeyBackspace) {
        if (caret == 0) return;
        std::size_t start = caret - 1;
        if (box.multiLine && caret >= 2 && text.compare(caret - 2, 2, "\r\n") == 0) {
            start = caret - 2;  // a line break is one character to the user
        } else {
            while (start > 0 && isContinuationByte(text[start])) --start;
        }
        text.erase(start, caret - start);
        caret = start;
    } else if (character == kKeyEnter) {
        if (!box.multiLine) return;
        text.insert(caret, "\r\n");
        caret += 2;
    } else if (character < 0x20 || character == 0x7F) {
        return;
    } else {
        std::string typed;
        appendUtf8(typed, static_cast<std::uint32_t>(character));
        text.insert(caret, typed);
        caret += typed.size();
    }
    box.userSetText(std::move(text));
}

}  // namespace

// --- activation and focus ---

namespace {

// Activates `window` and puts the focus back where it was in it, or on its
// first text box, or on the window itself.
void activate(HeadlessPlatform::Impl& impl, ui::Window& window) {
    std::erase(impl.activations, &window);
    impl.activations.push_back(&window);
    impl.active = &window;
    ui::Control* target = nullptr;
    const auto last = impl.lastFocus.find(&window);
    if (last != impl.lastFocus.end() && canTakeFocus(*last->second)) target = last->second;
    if (!target) target = firstTabStop(window);
    impl.focus = target ? target : &window;
}

void activateLatest(HeadlessPlatform::Impl& impl) {
    for (auto it = impl.activations.rbegin(); it != impl.activations.rend(); ++it) {
        if ((*it)->enabled()) {
            activate(impl, **it);
            return;
        }
    }
    impl.active = nullptr;
    impl.focus = nullptr;
}

}  // namespace

void HeadlessPlatform::Impl::windowShown(ui::Window& window) {
    // A window living in another program's window never takes the activation.
    if (window.host != 0) return;
    if (window.enabled()) {
        activate(*this, window);
    } else {
        // A disabled window is shown but not activated: it goes behind the active one.
        std::erase(activations, &window);
        activations.insert(std::find(activations.begin(), activations.end(), active), &window);
    }
}

void HeadlessPlatform::Impl::windowHidden(ui::Window& window) {
    std::erase(activations, &window);
    if (active == &window) activateLatest(*this);
}

void HeadlessPlatform::Impl::windowGone(ui::Window& window) {
    lastFocus.erase(&window);
    windowHidden(window);
}

void HeadlessPlatform::Impl::controlGone(const ui::Control& control) {
    if (focus == &control) focus = nullptr;
    std::erase_if(lastFocus, [&](const auto& entry) { return entry.second == &control; });
}

void HeadlessPlatform::Impl::focusOn(ui::Control& control) {
    if (!canTakeFocus(control)) return;
    ui::Window& window = control.window();
    ui::Control* previous = focus;
    focus = &control;
    lastFocus[&window] = &control;
    std::erase(activations, &window);
    activations.push_back(&window);
    active = &window;
    if (previous && previous != &control) previous->raiseLostFocus();
}

std::vector<ui::Control*> focusableInTabOrder(ui::Window& window) {
    std::vector<ui::Control*> stops = ui::tabOrder(window);
    std::erase_if(stops, [](const ui::Control* control) { return !canTakeFocus(*control); });
    return stops;
}

const ui::Control* HeadlessPlatform::focusedControl() const { return impl_->focus; }

const ui::Window* HeadlessPlatform::activeWindow() const { return impl_->active; }

HeadlessPlatform::Point HeadlessPlatform::windowPosition(Handle hwnd) const {
    const Target* target = impl_->findByWindow(hwnd);
    return target ? Point{target->left, target->top} : Point{0, 0};
}

void HeadlessPlatform::blockTaskSwitchKeys(bool block) {
    record("BlockTaskSwitchKeys(" + boolText(block) + ")");
    taskSwitchKeysBlocked_ = block;
}

// --- input ---

namespace {

void pressWithSpace(ui::Control& control) {
    switch (control.kind()) {
        case ui::ControlKind::Button: static_cast<ui::Button&>(control).userClick(); break;
        case ui::ControlKind::CheckBox: static_cast<ui::CheckBox&>(control).userClick(); break;
        case ui::ControlKind::OptionButton: static_cast<ui::OptionButton&>(control).userClick(); break;
        default: break;
    }
}

}  // namespace

bool HeadlessPlatform::pressKey(int keyCode, int shift, int character) {
    return run([&] {
        ui::Control* target = impl_->focus;
        if (!target || !target->acceptsInput()) return;
        if (keyCode == kKeyTab && (shift & ~kShiftDown) == 0 &&
            moveFocusByTab(*impl_, target->window(), target, (shift & kShiftDown) != 0)) {
            return;
        }
        // The hook of a protected run keeps the task-switching keys from the
        // system; those that count as input still reach the program.
        if (taskSwitchKeysBlocked_ &&
            isTaskSwitchKey(static_cast<unsigned>(keyCode), (shift & kAltDown) != 0, (shift & kCtrlDown) != 0)) {
            record("TaskSwitchKeyBlocked(" + hexText(static_cast<std::uint32_t>(keyCode)) + ")");
            if (!blockedKeyCountsAsInput(static_cast<unsigned>(keyCode))) return;
        }
        if (target->window().raiseKeyPreview(keyCode, shift)) return;
        int code = keyCode;
        target->raiseKeyDown(code, shift);
        if (character == 0) return;
        // With Alt held the character is a system character: the window
        // takes it as an access key, and nothing is typed.
        if ((shift & kAltDown) != 0) {
            if (character <= 0x7F) ui::pressAccessKey(target->window(), static_cast<char>(character), impl_->focus);
            return;
        }
        // The character was posted to the control that had the key, even if
        // the key's handler moved the focus or disabled the control since.
        int keyAscii = character;
        target->raiseKeyPress(keyAscii);
        // The space bar presses a button, a check box or an option button,
        // as the system's button controls take it.
        if (keyAscii == ' ') pressWithSpace(*target);
        if (keyAscii != 0 && target->kind() == ui::ControlKind::TextBox && target->peer()) {
            typeInto(static_cast<ui::TextBox&>(*target), impl_->carets[target], keyAscii);
        }
    });
}

bool HeadlessPlatform::typeText(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::uint32_t code = nextCodePoint(text, at);
        const int character = static_cast<int>(code);
        bool running = true;
        if (code == '\r' || code == '\b') {
            running = pressKey(character, 0, character);
        } else if (code >= 'a' && code <= 'z') {
            running = pressKey(character - 'a' + 'A', 0, character);
        } else if (code >= 'A' && code <= 'Z') {
            running = pressKey(character, kShiftDown, character);
        } else if ((code >= '0' && code <= '9') || code == ' ') {
            running = pressKey(character, 0, character);
        } else {
            running = pressKey(kKeyPacket, 0, character);
        }
        if (!running) return false;
    }
    return !ended_;
}

bool HeadlessPlatform::pressMouse(ui::Control& control, int button, int x, int y, int shift) {
    return run([&] {
        if (!onScreen(control)) return;
        ui::Window& window = control.window();
        if (window.acceptsInput() && activeWindow() != &window) activate(*impl_, window);
        // Text boxes and picture boxes take the focus when clicked.
        if (control.kind() == ui::ControlKind::PictureBox || control.kind() == ui::ControlKind::TextBox) {
            impl_->focusOn(control);
        }
        control.raiseMouseDown(button, shift, unitsOf(control, x, screen_.twipsPerPixelX),
                               unitsOf(control, y, screen_.twipsPerPixelY));
    });
}

bool HeadlessPlatform::moveMouse(ui::Control& control, int x, int y) {
    return run([&] {
        if (!onScreen(control)) return;
        control.raiseMouseMove(0, 0, unitsOf(control, x, screen_.twipsPerPixelX),
                               unitsOf(control, y, screen_.twipsPerPixelY));
    });
}

void HeadlessPlatform::userTab(ui::Window& window, bool backwards) {
    moveFocusByTab(*impl_, window, impl_->focus, backwards);
}

bool HeadlessPlatform::requestClose(ui::Window& window) {
    return run([&] {
        if (window.loaded()) window.userClose();
    });
}

bool HeadlessPlatform::dropFiles(ui::Window& window, const std::vector<std::string>& paths) {
    return run([&] {
        // Only a window that took the style of one accepting files gets them.
        if (window.loaded() && window.acceptsDroppedFiles) window.raiseFilesDropped(paths);
    });
}

}  // namespace vistrel::platform::headless
