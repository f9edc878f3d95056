#include "platform/win32/gdi_helpers.h"

#include <string>

#include "platform/win32/wide_text.h"

namespace vistrel::platform::win32 {

HFONT createFont(const ui::Font& font, int dotsPerInchY) {
    // A negative height asks for the character height, which is what a
    // point size measures.
    const int height = -static_cast<int>(std::lround(font.sizePoints * dotsPerInchY / 72.0));
    std::wstring face = toWide(font.name);
    // Longer names are refused outright; no installed face is that long.
    if (face.size() >= LF_FACESIZE) face.resize(LF_FACESIZE - 1);
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline,
                       font.strikethrough, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

int keyboardShiftState() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
    if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

int mouseShiftState(WPARAM keyFlags) {
    int shift = 0;
    if (keyFlags & MK_SHIFT) shift |= 1;
    if (keyFlags & MK_CONTROL) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

int mouseButtons(WPARAM keyFlags) {
    int buttons = 0;
    if (keyFlags & MK_LBUTTON) buttons |= 1;
    if (keyFlags & MK_RBUTTON) buttons |= 2;
    if (keyFlags & MK_MBUTTON) buttons |= 4;
    return buttons;
}

}  // namespace vistrel::platform::win32
