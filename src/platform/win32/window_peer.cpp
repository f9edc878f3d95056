#include "platform/win32/window_peer.h"

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/focus_order.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {

WindowPeer::WindowPeer(Win32Platform& platform, ui::Window& window) : SurfacePeer(platform, window), form_(window) {
    switch (form_.borderStyle) {
        case ui::BorderStyle::None:
            style_ = WS_POPUP;
            break;
        case ui::BorderStyle::FixedSingle:
            style_ = WS_CAPTION | (form_.controlBox ? WS_SYSMENU : 0);
            if (form_.controlBox && form_.minButton) style_ |= WS_MINIMIZEBOX;
            if (form_.controlBox && form_.maxButton) style_ |= WS_MAXIMIZEBOX;
            break;
        case ui::BorderStyle::Sizable:
            style_ = WS_CAPTION | WS_THICKFRAME |
                     (form_.controlBox ? WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX : 0);
            break;
    }
    // Child windows (picture boxes, text boxes) paint themselves.
    style_ |= WS_CLIPCHILDREN;
    extendedStyle_ = form_.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    if (hosted()) {
        // A child window of another program's window, in its client area.
        style_ = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        extendedStyle_ = 0;
    }
    // Files dropped anywhere on the window, its controls included, come to it.
    if (form_.acceptsDroppedFiles) extendedStyle_ |= WS_EX_ACCEPTFILES;

    SIZE size = designedSize();
    if (maximized() && (size.cx <= 0 || size.cy <= 0)) {
        // Without a designed size, the virtual screen is the size to restore
        // to. (A window made empty is never shown under Wine, maximized or
        // not.)
        const PixelBounds all = platform.virtualScreen();
        size = SIZE{all.width, all.height};
    }
    const std::wstring caption = toWide(form_.caption);
    // An owner that is no window (any more) would make the creation fail.
    HWND owner = reinterpret_cast<HWND>(form_.owner);
    if (owner && !IsWindow(owner)) owner = nullptr;
    if (hosted()) owner = reinterpret_cast<HWND>(form_.host);
    HWND hwnd = CreateWindowExW(extendedStyle_, kWindowClass, caption.c_str(), style_,
                                twipsToPixels(form_.left(), platform.twipsPerPixelX()),
                                twipsToPixels(form_.top(), platform.twipsPerPixelY()), size.cx, size.cy, owner,
                                nullptr, platform.instance(), nullptr);
    attach(hwnd);
    if (hwnd) platform.windowLoaded();

    RECT client{};
    GetClientRect(hwnd, &client);
    int width = client.right;
    int height = client.bottom;
    if (maximized()) {
        // Drawing may start before the window is shown maximized (a copy
        // of the screen taken by the load step), so the image has the
        // virtual screen's size from the start.
        const PixelBounds all = platform.virtualScreen();
        width = std::max<int>(width, all.width);
        height = std::max<int>(height, all.height);
    }
    createImage(width, height, toColorRef(form_.backColor()));

    if (!form_.enabled()) EnableWindow(hwnd, FALSE);
    if (form_.visible()) applyVisible();
}

WindowPeer::~WindowPeer() {
    const bool counted = window() != nullptr;
    destroyWindow();
    if (counted) platform().windowUnloaded();
}

void WindowPeer::sync(ui::Property property) {
    switch (property) {
        case ui::Property::Visible:
            applyVisible();
            break;
        case ui::Property::Enabled:
            EnableWindow(window(), form_.enabled());
            break;
        case ui::Property::Bounds:
            applyBounds();
            break;
        case ui::Property::BackColor:
            // A new background colour clears the persistent image.
            image()->fill(toColorRef(form_.backColor()));
            InvalidateRect(window(), nullptr, FALSE);
            break;
        case ui::Property::Text: {
            const std::wstring caption = toWide(form_.caption);
            SetWindowTextW(window(), caption.c_str());
            break;
        }
        default:
            break;
    }
}

Handle WindowPeer::hdc() { return form_.persistentImage ? reinterpret_cast<Handle>(image()->dc()) : 0; }

picture::PixelCanvas WindowPeer::canvas() {
    BackingImage* backing = image();
    if (!form_.persistentImage || !backing || !backing->bits()) return {};
    // What GDI still holds back (the copy of the desktop) lands first.
    GdiFlush();
    return {backing->bits(), backing->width(), backing->height(), backing->width()};
}

bool WindowPeer::showCanvas(int x, int y, int width, int height) {
    if (!window()) return false;
    imageChanged(RECT{x, y, x + width, y + height});
    return true;
}

void WindowPeer::setFocus() { SetFocus(window()); }

ui::TextSize WindowPeer::frameSize() {
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style_, FALSE, extendedStyle_);
    return {pixelsToTwips(frame.right - frame.left, platform().twipsPerPixelX()),
            pixelsToTwips(frame.bottom - frame.top, platform().twipsPerPixelY())};
}

double WindowPeer::unitsX(int pixels) const { return static_cast<double>(pixels) * platform().twipsPerPixelX(); }

double WindowPeer::unitsY(int pixels) const { return static_cast<double>(pixels) * platform().twipsPerPixelY(); }

SIZE WindowPeer::designedSize() const {
    const double tx = platform().twipsPerPixelX();
    const double ty = platform().twipsPerPixelY();
    RECT frame{0, 0, twipsToPixels(form_.interiorWidth, tx), twipsToPixels(form_.interiorHeight, ty)};
    AdjustWindowRectEx(&frame, style_, FALSE, extendedStyle_);
    SIZE size;
    size.cx = form_.interiorWidth > 0 ? frame.right - frame.left : twipsToPixels(form_.width(), tx);
    size.cy = form_.interiorHeight > 0 ? frame.bottom - frame.top : twipsToPixels(form_.height(), ty);
    return size;
}

void WindowPeer::applyBounds() {
    // A maximized window keeps the screen; the model's size is its size
    // when restored.
    if (IsZoomed(window())) return;
    const SIZE size = designedSize();
    SetWindowPos(window(), nullptr, twipsToPixels(form_.left(), platform().twipsPerPixelX()),
                 twipsToPixels(form_.top(), platform().twipsPerPixelY()), size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowPeer::applyVisible() {
    if (!form_.visible()) {
        ShowWindow(window(), SW_HIDE);
        return;
    }
    if (hosted()) {
        // Shown in the host without taking the activation from it.
        ShowWindow(window(), SW_SHOWNA);
        return;
    }
    if (!shownBefore_) {
        shownBefore_ = true;
        if (form_.centerOnScreen) centerOnScreen();
        ShowWindow(window(), maximized() ? SW_SHOWMAXIMIZED : SW_SHOW);
        return;
    }
    ShowWindow(window(), SW_SHOW);
}

void WindowPeer::centerOnScreen() {
    RECT frame{};
    GetWindowRect(window(), &frame);
    const ScreenMetrics screen = platform().screen();
    const int x = (screen.widthPixels - (frame.right - frame.left)) / 2;
    const int y = (screen.heightPixels - (frame.bottom - frame.top)) / 2;
    SetWindowPos(window(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowPeer::growImageToClient() {
    RECT client{};
    GetClientRect(window(), &client);
    BackingImage* backing = image();
    if (!backing || (client.right <= backing->width() && client.bottom <= backing->height())) return;
    // Growing only: what was drawn stays, also when the window shrinks and
    // grows again.
    backing->resize(std::max<int>(client.right, backing->width()), std::max<int>(client.bottom, backing->height()),
                    toColorRef(form_.backColor()), nullptr);
}

void WindowPeer::restoreFocus() {
    HWND target = nullptr;
    if (lastFocus_ && IsChild(window(), lastFocus_) && IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
        target = lastFocus_;
    }
    if (!target) {
        const std::vector<HWND> stops = tabStops(form_);
        if (!stops.empty()) target = stops.front();
    }
    SetFocus(target ? target : window());
}

LRESULT WindowPeer::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(window(), focus)) lastFocus_ = focus;
            } else if (!HIWORD(wParam)) {
                restoreFocus();
            }
            return 0;
        case WM_MOUSEACTIVATE:
            // A click on a window hosted in another program's window leaves
            // the activation where it is.
            if (hosted()) return MA_NOACTIVATE;
            return SurfacePeer::handleMessage(message, wParam, lParam);
        case WM_CLOSE:
            // The model decides; unloading the window deletes this peer, so
            // nothing of it is touched afterwards.
            form_.userClose();
            return 0;
        case WM_GETMINMAXINFO:
            if (borderless()) {
                // A borderless maximized window covers every monitor, the
                // taskbar included.
                auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
                const PixelBounds all = platform().virtualScreen();
                limits->ptMaxPosition = POINT{all.left, all.top};
                limits->ptMaxSize = POINT{all.width, all.height};
                limits->ptMaxTrackSize = POINT{std::max<LONG>(limits->ptMaxTrackSize.x, all.width),
                                               std::max<LONG>(limits->ptMaxTrackSize.y, all.height)};
            }
            return 0;
        case WM_SIZE:
            growImageToClient();
            return 0;
        case WM_DROPFILES:
            filesDropped(reinterpret_cast<HDROP>(wParam));
            return 0;
        default:
            return SurfacePeer::handleMessage(message, wParam, lParam);
    }
}

void WindowPeer::filesDropped(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty()) paths.push_back(fromWide(path));
    }
    // Released before the handler runs: it may take a while, and the
    // file manager waits for nothing from it.
    DragFinish(drop);
    form_.raiseFilesDropped(paths);
}

}  // namespace vistrel::platform::win32
