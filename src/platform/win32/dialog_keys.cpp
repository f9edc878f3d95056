#include "platform/win32/dialog_keys.h"

#include "platform/win32/escaped_exception.h"
#include "platform/win32/focus_order.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/surface_peer.h"

namespace vistrel::platform::win32 {
namespace {

// The program's window that holds `hwnd`, or null.
ui::Window* programWindowOf(HWND hwnd) {
    auto* top = dynamic_cast<SurfacePeer*>(NativePeer::fromWindow(GetAncestor(hwnd, GA_ROOT)));
    if (!top || top->control().kind() != ui::ControlKind::Window) return nullptr;
    return &static_cast<ui::Window&>(top->control());
}

}  // namespace

bool handleDialogKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSCHAR) return false;
    ui::Window* window = programWindowOf(message.hwnd);
    if (!window) return false;
    if (message.message == WM_KEYDOWN) {
        const int shift = keyboardShiftState();
        const int keyCode = static_cast<int>(message.wParam);
        if (callGuarded([&] { return static_cast<LRESULT>(window->raiseKeyPreview(keyCode, shift)); }) != 0) {
            return true;
        }
        if (message.wParam != VK_TAB || (shift & ~1) != 0) return false;
        // A window without tab stops (the saver) takes Tab as any other key.
        return moveFocusByTab(*window, GetFocus(), (shift & 1) != 0);
    }
    const auto key = static_cast<wchar_t>(message.wParam);
    if (key > 0x7F) return false;
    const ui::Control* focused = ui::controlWithHandle(*window, reinterpret_cast<Handle>(GetFocus()));
    return callGuarded([&] {
        return static_cast<LRESULT>(ui::pressAccessKey(*window, static_cast<char>(key), focused));
    }) != 0;
}

}  // namespace vistrel::platform::win32
