// Window-system and graphics calls on the in-memory windows and surfaces.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/headless/call_text.h"
#include "platform/headless/headless_impl.h"
#include "platform/headless/surface_ops.h"

namespace vistrel::platform::headless {
namespace {

constexpr unsigned kHideWindowFlag = 0x0080;  // SWP_HIDEWINDOW

std::string ropText(std::uint32_t rop) { return rop == SRCCOPY ? "SRCCOPY" : hexText(rop); }

}  // namespace

Surface& HeadlessPlatform::desktop() { return impl_->desktop->surface; }

Handle HeadlessPlatform::createHostWindow(const std::string& name, int width, int height, std::uint32_t pixel) {
    Target& host = impl_->addTarget(name, width, height, pixel, nullptr);
    host.shown = true;
    return host.hwnd;
}

Surface* HeadlessPlatform::surfaceOfWindow(Handle hwnd) {
    Target* target = impl_->findByWindow(hwnd);
    return target ? &target->pixels() : nullptr;
}

Surface* HeadlessPlatform::surfaceOf(const ui::Control& control) {
    Target* target = impl_->findByControl(control);
    return target ? &target->pixels() : nullptr;
}

bool HeadlessPlatform::isTopmost(Handle hwnd) const {
    const Target* target = impl_->findByWindow(hwnd);
    return target && target->topmost;
}

bool HeadlessPlatform::isShown(Handle hwnd) const {
    const Target* target = impl_->findByWindow(hwnd);
    return target && target->shown;
}

void HeadlessPlatform::setWindowPos(Handle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                                    unsigned flags) {
    std::string after;
    if (insertAfter == HWND_TOPMOST) {
        after = "HWND_TOPMOST";
    } else if (insertAfter == HWND_NOTOPMOST) {
        after = "HWND_NOTOPMOST";
    } else if (insertAfter < 0) {
        after = std::to_string(insertAfter);
    } else {
        after = impl_->handleName(static_cast<Handle>(insertAfter));
    }
    record("SetWindowPos(" + impl_->handleName(window) + ", " + after + ", " + std::to_string(x) + ", " +
           std::to_string(y) + ", " + std::to_string(cx) + ", " + std::to_string(cy) + ", " + hexText(flags) + ")");
    Target* target = impl_->findByWindow(window);
    if (!target) return;
    if (insertAfter == HWND_TOPMOST) target->topmost = true;
    if (insertAfter == HWND_NOTOPMOST) target->topmost = false;
    if (flags & SWP_SHOWWINDOW) target->shown = true;
    if (flags & kHideWindowFlag) target->shown = false;
}

void HeadlessPlatform::setCursorPos(int x, int y) {
    record("SetCursorPos(" + std::to_string(x) + ", " + std::to_string(y) + ")");
    // The system keeps the pointer on a monitor: the nearest point of one.
    const PixelPoint kept = nearestPointOnMonitors(monitors_, x, y);
    cursor_.x = kept.x;
    cursor_.y = kept.y;
}

Handle HeadlessPlatform::getDesktopWindow() {
    record("GetDesktopWindow() -> " + impl_->desktop->name);
    return impl_->desktop->hwnd;
}

Handle HeadlessPlatform::getDC(Handle window) {
    // No window asks for the whole screen, which is the desktop's surface.
    const Target* target = window == 0 ? impl_->desktop : impl_->findByWindow(window);
    const Handle dc = target ? target->hdc : 0;
    record("GetDC(" + impl_->handleName(window) + ") -> " + impl_->handleName(dc));
    return dc;
}

int HeadlessPlatform::releaseDC(Handle window, Handle dc) {
    record("ReleaseDC(" + impl_->handleName(window) + ", " + impl_->handleName(dc) + ")");
    return impl_->findByDc(dc) ? 1 : 0;
}

bool HeadlessPlatform::bitBlt(Handle destDC, int x, int y, int width, int height, Handle srcDC, int srcX,
                              int srcY, std::uint32_t rop) {
    record("BitBlt(" + impl_->handleName(destDC) + ", " + std::to_string(x) + ", " + std::to_string(y) + ", " +
           std::to_string(width) + ", " + std::to_string(height) + ", " + impl_->handleName(srcDC) + ", " +
           std::to_string(srcX) + ", " + std::to_string(srcY) + ", " + ropText(rop) + ")");
    if (rop != SRCCOPY) return false;
    Target* dest = impl_->findByDc(destDC);
    Target* src = impl_->findByDc(srcDC);
    if (!dest || !src) return false;
    copyPixels(dest->pixels(), x - dest->originX, y - dest->originY, width, height, src->pixels(),
               srcX - src->originX, srcY - src->originY);
    return true;
}

bool HeadlessPlatform::systemParametersInfo(unsigned action, unsigned param, std::uint32_t* value,
                                            unsigned winIni) {
    record("SystemParametersInfoA(" + std::to_string(action) + ", " + std::to_string(param) + ", " +
           (value ? std::to_string(*value) : std::string("NULL")) + ", " + std::to_string(winIni) + ")");
    if (action != SPI_SETSCREENSAVERRUNNING) return false;
    // Like the real call, the pointed-to value receives the previous state.
    const std::int32_t previous = screenSaverRunning_;
    screenSaverRunning_ = param != 0 ? 1 : 0;
    if (value) *value = static_cast<std::uint32_t>(previous);
    return true;
}

bool HeadlessPlatform::getVersionEx(OsVersionInfo& info) {
    const bool readable = versionReadable_ && info.size == OSVERSIONINFOA_SIZE;
    record("GetVersionExA(" + std::to_string(info.size) + ") -> " +
           (readable ? std::to_string(platformId_) : std::string("failed")));
    if (!readable) return false;
    const bool nt = platformId_ == VER_PLATFORM_WIN32_NT;
    // Windows XP or Windows 98 Second Edition, for code that looks further.
    info.majorVersion = nt ? 5 : 4;
    info.minorVersion = nt ? 1 : 10;
    info.buildNumber = nt ? 2600 : 2222;
    info.platformId = platformId_;
    return true;
}

}  // namespace vistrel::platform::headless

namespace vistrel::platform::headless {

Surface HeadlessPlatform::screenshot() {
    Surface screen = impl_->desktop->surface;
    std::vector<Target*> windows;
    for (auto& target : impl_->targets) {
        if (target->shown && target->control && target->control->kind() == ui::ControlKind::Window &&
            static_cast<const ui::Window*>(target->control)->host == 0) {
            windows.push_back(target.get());
        }
    }
    std::stable_partition(windows.begin(), windows.end(), [](const Target* t) { return !t->topmost; });

    for (Target* target : windows) {
        const auto& window = static_cast<const ui::Window&>(*target->control);
        const Surface image = impl_->composeWindow(*target, screen_);
        // A maximized window covers the virtual screen from its corner.
        const bool atOrigin = window.windowState == ui::WindowState::Maximized;
        const int x = atOrigin ? 0 : twipsToPixels(window.left(), screen_.twipsPerPixelX) - impl_->desktop->originX;
        const int y = atOrigin ? 0 : twipsToPixels(window.top(), screen_.twipsPerPixelY) - impl_->desktop->originY;
        copyPixels(screen, x, y, image.width, image.height, image, 0, 0);
    }
    return screen;
}

std::vector<Target*> HeadlessPlatform::hostedWindows(Handle host) {
    std::vector<Target*> hosted;
    for (auto& target : impl_->targets) {
        if (target->shown && target->control && target->control->kind() == ui::ControlKind::Window &&
            host != 0 && static_cast<const ui::Window*>(target->control)->host == host) {
            hosted.push_back(target.get());
        }
    }
    return hosted;
}

void HeadlessPlatform::repaintHostWindow(Handle host, std::uint32_t pixel) {
    Target* target = impl_->findByWindow(host);
    if (!target) return;
    target->surface.fill(pixel);
    for (Target* child : hostedWindows(host)) record("WM_PAINT(" + child->name + ")");
}

void HeadlessPlatform::destroyHostWindow(Handle host) {
    for (Target* child : hostedWindows(host)) {
        child->shown = false;
        destroyedWindows_.insert(child->hwnd);
    }
    if (Target* target = impl_->findByWindow(host)) impl_->removeTarget(*target);
    destroyedWindows_.insert(host);
}

Surface HeadlessPlatform::hostView(Handle host) {
    Target* target = impl_->findByWindow(host);
    if (!target) return {};
    Surface view = target->surface;
    for (Target* child : hostedWindows(host)) {
        const auto& window = static_cast<const ui::Window&>(*child->control);
        const Surface image = impl_->composeWindow(*child, screen_);
        copyPixels(view, twipsToPixels(window.left(), screen_.twipsPerPixelX),
                   twipsToPixels(window.top(), screen_.twipsPerPixelY),
                   image.width, image.height, image, 0, 0);
    }
    return view;
}

bool HeadlessPlatform::isWindow(Handle window) {
    return window != 0 && !destroyedWindows_.contains(window) && impl_->findByWindow(window) != nullptr;
}

bool HeadlessPlatform::getClientRect(Handle window, PixelBounds& client) {
    if (!isWindow(window)) return false;
    const Surface& surface = impl_->findByWindow(window)->surface;
    client = PixelBounds{0, 0, surface.width, surface.height};
    return true;
}

}  // namespace vistrel::platform::headless
