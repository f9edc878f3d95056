#include "platform/win32/focus_order.h"

#include <algorithm>

namespace vistrel::platform::win32 {
namespace {

void collect(ui::Control& control, std::vector<const ui::Control*>& found) {
    for (ui::Control* child : control.children()) {
        if (child->kind() == ui::ControlKind::TextBox) found.push_back(child);
        collect(*child, found);
    }
}

}  // namespace

std::vector<HWND> tabStops(ui::Window& window) {
    std::vector<const ui::Control*> boxes;
    collect(window, boxes);
    std::stable_sort(boxes.begin(), boxes.end(),
                     [](const ui::Control* a, const ui::Control* b) { return a->tabIndex() < b->tabIndex(); });
    std::vector<HWND> stops;
    for (const ui::Control* box : boxes) {
        const auto hwnd = reinterpret_cast<HWND>(box->hwnd());
        if (hwnd && box->acceptsInput() && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) stops.push_back(hwnd);
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
