// Tool tips: one tool-tip control for each top-level window of the program,
// owned by it (so it goes with it), holding a tip for each control that has
// one.
#pragma once

#include <windows.h>

#include <string>

namespace vistrel::platform::win32 {

class Win32Platform;

// A tip for the whole of `control`'s window.
void addToolTip(Win32Platform& platform, HWND control, const std::wstring& text);
// A tip for an area of `control`'s window, told apart from its others by `id`.
void addToolTipArea(Win32Platform& platform, HWND control, UINT_PTR id, const RECT& area, const std::wstring& text);
void setToolTipAreaText(HWND control, UINT_PTR id, const std::wstring& text);

}  // namespace vistrel::platform::win32
