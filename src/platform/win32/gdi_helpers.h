// Small conversions between the control model and GDI.
#pragma once

#include <windows.h>

#include <cmath>

#include "platform/units.h"
#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

// twipsToPixels and pixelsToTwips are the portable ones (platform/units.h).

// Model colours are COLORREFs (red in the low byte). A value with the top bit
// set names a system colour by its index, as the runtime's colour values do.
inline COLORREF toColorRef(ui::Color color) {
    if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFFu));
    return color & 0x00FFFFFFu;
}

// A font of the model at the screen's resolution; the caller deletes it.
HFONT createFont(const ui::Font& font, int dotsPerInchY);

// 1 Shift, 2 Ctrl, 4 Alt: the shift argument of the model's input events.
int keyboardShiftState();
// The same from a mouse message's key flags (Alt is not among them).
int mouseShiftState(WPARAM keyFlags);
// 1 left, 2 right, 4 middle: the buttons held during a mouse message.
int mouseButtons(WPARAM keyFlags);

}  // namespace vistrel::platform::win32
