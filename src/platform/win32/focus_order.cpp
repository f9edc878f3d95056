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
    std::size_t next = 0;
    if (at == stops.end()) {
        next = backwards ? stops.size() - 1 : 0;
    } else {
        const std::size_t index = static_cast<std::size_t>(at - stops.begin());
        next = backwards ? (index + stops.size() - 1) % stops.size() : (index + 1) % stops.size();
    }
    SetFocus(stops[next]);
    return true;
}

}  // namespace vistrel::platform::win32
