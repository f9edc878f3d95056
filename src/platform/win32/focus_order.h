// Keyboard focus among the controls of a window, in tab order.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/win32/portable_interface.h"

#include "platform/dialog_controls.h"

namespace vistrel::platform::win32 {

// The controls of `window` that can take the focus now (shown and
// enabled), ordered by tab index (ui::tabOrder).
std::vector<HWND> tabStops(ui::Window& window);

// Tab and Shift+Tab: moves the focus to the next or previous tab stop after
// `from`. False when the window has no tab stop to move to.
bool moveFocusByTab(ui::Window& window, HWND from, bool backwards);

}  // namespace vistrel::platform::win32
