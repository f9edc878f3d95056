// The system's file-open, folder, colour and font dialogs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

// Each returns nothing when the user cancels. `owner` is disabled while the
// dialog is up (null: none).
std::optional<std::vector<std::string>> showFileOpenDialog(HWND owner, const FileOpenRequest& request);
// The system's folder chooser (the file dialog picking folders).
std::optional<std::string> showFolderDialog(HWND owner, const std::string& title);
// `customColors` keeps the 16 custom colours between calls.
std::optional<std::uint32_t> showColorDialog(HWND owner, std::uint32_t start, COLORREF (&customColors)[16]);
std::optional<FontChoice> showFontDialog(HWND owner, const FontRequest& request, int dotsPerInchY);

}  // namespace vistrel::platform::win32
