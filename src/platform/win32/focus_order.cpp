#include "platform/win32/focus_order.h"

#include <algorithm>

namespace vistrel::platform::win32 {
std::vector<HWND> tabStops(ui::Window& window) {
    std::vector<HWND> stops;
    for (const ui::Control* control : ui::tabOrder(window)) {
        const auto hwnd = reinterpret_cast<HWND>(control->hwnd());
        if (hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) stops.push_back(hwnd);
    }
    return stops;
}

bool moveFocusByTab(ui::Window& window, HWND from, bool backwards) {
    const std::vector<HWND> stops = tabStops(window);
    if (stops.empty()) return false;
    const auto at = std::find(stops.begin(), stops.end(), from);
    const std::ptrdiff_t current = at == stops.end() ? -1 : at - stops.begin();
    SetFocus(stops[ui::nextTabStop(current, stops.size(), backwards)]);
    return true;
}

}  // namespace vistrel::platform::win32
