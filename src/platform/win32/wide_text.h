// The program's UTF-8 text as the wide strings of the Windows API and back.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/utf16.h"

namespace vistrel::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the Windows API uses 16-bit wide characters");

inline std::wstring toWide(std::string_view text) {
    const std::u16string units = utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

inline std::string fromWide(std::wstring_view text) {
    return utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace vistrel::platform::win32
