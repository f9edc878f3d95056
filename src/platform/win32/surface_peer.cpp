#include "platform/win32/surface_peer.h"

#include <windowsx.h>

#include "platform/win32/escaped_exception.h"
#include "platform/win32/focus_order.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/label_peer.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {

const wchar_t* const SurfacePeer::kWindowClass = L"Vistrel.Window";
const wchar_t* const SurfacePeer::kPictureBoxClass = L"Vistrel.PictureBox";

void SurfacePeer::registerWindowClasses(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &SurfacePeer::windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    windowClass.hIcon = nullptr;
    windowClass.lpszClassName = kPictureBoxClass;
    RegisterClassExW(&windowClass);
}

SurfacePeer::SurfacePeer(Win32Platform& platform, ui::Control& control) : platform_(platform), control_(control) {}

SurfacePeer::~SurfacePeer() {
    if (image_) platform_.removeSurface(image_->dc());
}

void SurfacePeer::createImage(int width, int height, COLORREF color) {
    image_ = std::make_unique<BackingImage>(width, height, color);
    platform_.addSurface(image_->dc(), *this);
}

void SurfacePeer::invalidate(const RECT& area) {
    if (window() && area.right > area.left && area.bottom > area.top) InvalidateRect(window(), &area, FALSE);
}

void SurfacePeer::invalidate(const ui::TwipsRect& area) {
    // The same conversion as the label's own bounds, so that exactly the
    // pixels it covers are drawn anew.
    const double tx = platform_.twipsPerPixelX();
    const double ty = platform_.twipsPerPixelY();
    const int left = twipsToPixels(area.left, tx);
    const int top = twipsToPixels(area.top, ty);
    invalidate(RECT{left, top, left + twipsToPixels(area.width, tx), top + twipsToPixels(area.height, ty)});
}

void SurfacePeer::imageChanged(const RECT& area) {
    invalidate(area);
    if (window()) UpdateWindow(window());
}

LRESULT CALLBACK SurfacePeer::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* peer = static_cast<SurfacePeer*>(NativePeer::fromWindow(window));
    if (!peer) return DefWindowProcW(window, message, wParam, lParam);
    return callGuarded([&] { return peer->handleMessage(message, wParam, lParam); });
}

LRESULT SurfacePeer::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything from the backing image
        case WM_LBUTTONDOWN:
            return mouseDown(ui::kMouseLeft, wParam, lParam);
        case WM_RBUTTONDOWN:
            return mouseDown(ui::kMouseRight, wParam, lParam);
        case WM_MBUTTONDOWN:
            return mouseDown(ui::kMouseMiddle, wParam, lParam);
        case WM_XBUTTONDOWN:
            // The side buttons (back and forward) are buttons like any other.
            mouseDown(HIWORD(wParam) == XBUTTON2 ? ui::kMouseSideForward : ui::kMouseSideBack, LOWORD(wParam),
                      lParam);
            return TRUE;  // as the system asks of a window that handled it
        case WM_MOUSEMOVE:
            return mouseMove(wParam, lParam);
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return keyDown(message, wParam, lParam);
        case WM_CHAR:
            return character(wParam);
        case WM_COMMAND:
            // Notifications of our child controls go to their own peers.
            if (NativePeer* child = NativePeer::fromWindow(reinterpret_cast<HWND>(lParam))) {
                child->onCommand(HIWORD(wParam));
            }
            return 0;
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSCROLLBAR: {
            LRESULT result = 0;
            NativePeer* child = NativePeer::fromWindow(reinterpret_cast<HWND>(lParam));
            if (child && child->reflect(message, wParam, lParam, result)) return result;
            return DefWindowProcW(window(), message, wParam, lParam);
        }
        case WM_NOTIFY: {
            LRESULT result = 0;
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            NativePeer* child = header ? NativePeer::fromWindow(header->hwndFrom) : nullptr;
            if (child && child->reflect(message, wParam, lParam, result)) return result;
            return DefWindowProcW(window(), message, wParam, lParam);
        }
        default:
            return DefWindowProcW(window(), message, wParam, lParam);
    }
}

void SurfacePeer::paint() {
    PAINTSTRUCT paintInfo;
    HDC screen = BeginPaint(window(), &paintInfo);
    const RECT area = paintInfo.rcPaint;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width > 0 && height > 0) {
        // Labels, and faces of several layers, are composed off screen, so
        // that nothing flickers while it is drawn.
        const bool compose = hasVisibleLabels() || !faceIsOneCopy();
        HDC scratch = compose ? CreateCompatibleDC(screen) : nullptr;
        HBITMAP bitmap = scratch ? CreateCompatibleBitmap(screen, width, height) : nullptr;
        if (bitmap) {
            HGDIOBJ original = SelectObject(scratch, bitmap);
            SetViewportOrgEx(scratch, -area.left, -area.top, nullptr);
            drawFace(scratch, area);
            drawLabels(scratch);
            SetViewportOrgEx(scratch, 0, 0, nullptr);
            BitBlt(screen, area.left, area.top, width, height, scratch, 0, 0, SRCCOPY);
            SelectObject(scratch, original);
            DeleteObject(bitmap);
        } else {
            drawFace(screen, area);
            drawLabels(screen);
        }
        if (scratch) DeleteDC(scratch);
    }
    EndPaint(window(), &paintInfo);
}

void SurfacePeer::drawFace(HDC dc, const RECT& area) const {
    if (!image_) return;
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, image_->dc(), area.left, area.top,
           SRCCOPY);
}

namespace {

// A label this surface draws: the program draws its own labels itself.
bool drawnLabel(const ui::Control& child) {
    return child.kind() == ui::ControlKind::Label && child.visible() && child.peer() && !child.drawnByProgram;
}

}  // namespace

bool SurfacePeer::hasVisibleLabels() const {
    for (const ui::Control* child : control_.children()) {
        if (drawnLabel(*child)) return true;
    }
    return false;
}

void SurfacePeer::drawLabels(HDC dc) const {
    // In the order of the children: a later label lies over an earlier one.
    for (const ui::Control* child : control_.children()) {
        if (drawnLabel(*child)) static_cast<const LabelPeer*>(child->peer())->draw(dc);
    }
}

ui::Label* SurfacePeer::labelAt(int x, int y) const {
    const auto& children = control_.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        ui::Control* child = *it;
        if (!drawnLabel(*child)) continue;
        const RECT area = static_cast<const LabelPeer*>(child->peer())->bounds();
        if (x >= area.left && x < area.right && y >= area.top && y < area.bottom) return static_cast<ui::Label*>(child);
    }
    return nullptr;
}

LRESULT SurfacePeer::mouseDown(int button, WPARAM keyFlags, LPARAM position) {
    if (takesFocusOnClick() && GetFocus() != window()) SetFocus(window());
    const int x = GET_X_LPARAM(position);
    const int y = GET_Y_LPARAM(position);
    const int shift = mouseShiftState(keyFlags);
    // A click on a label belongs to the label, not to the surface under it.
    if (ui::Label* label = labelAt(x, y)) {
        const RECT area = static_cast<const LabelPeer*>(label->peer())->bounds();
        label->raiseMouseDown(button, shift, (x - area.left) * platform_.twipsPerPixelX(),
                              (y - area.top) * platform_.twipsPerPixelY());
        return 0;
    }
    control_.raiseMouseDown(button, shift, unitsX(x), unitsY(y));
    return 0;
}

LRESULT SurfacePeer::mouseMove(WPARAM keyFlags, LPARAM position) {
    const int x = GET_X_LPARAM(position);
    const int y = GET_Y_LPARAM(position);
    const int buttons = mouseButtons(keyFlags);
    const int shift = mouseShiftState(keyFlags);
    if (ui::Label* label = labelAt(x, y)) {
        const RECT area = static_cast<const LabelPeer*>(label->peer())->bounds();
        label->raiseMouseMove(buttons, shift, (x - area.left) * platform_.twipsPerPixelX(),
                              (y - area.top) * platform_.twipsPerPixelY());
        return 0;
    }
    control_.raiseMouseMove(buttons, shift, unitsX(x), unitsY(y));
    return 0;
}

LRESULT SurfacePeer::keyDown(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND self = window();
    const int shift = keyboardShiftState();
    if (message == WM_KEYDOWN && wParam == VK_TAB && (shift & ~1) == 0 &&
        moveFocusByTab(control_.window(), self, (shift & 1) != 0)) {
        return 0;
    }
    int keyCode = static_cast<int>(wParam);
    const auto alive = lifetime();
    control_.raiseKeyDown(keyCode, shift);
    if (alive.expired()) return 0;
    // Alt combinations keep their system meaning (Alt+F4, Alt+Space).
    if (message == WM_SYSKEYDOWN) return DefWindowProcW(self, message, wParam, lParam);
    return 0;
}

LRESULT SurfacePeer::character(WPARAM wParam) {
    // Tab that moved the focus on its key-down is not typed here.
    if (wParam == '\t' && GetFocus() != window()) return 0;
    int keyAscii = static_cast<int>(wParam);
    control_.raiseKeyPress(keyAscii);
    return 0;
}

}  // namespace vistrel::platform::win32
