// How values appear in the call log: one line per call, so text values are
// escaped, numbers carry no trailing zeros and flags show in hex.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vistrel::platform::headless {

std::string numberText(double value);  // 12, 8.25, -3
std::string boolText(bool value);      // True, False
std::string hexText(std::uint32_t value);  // 0x50
// Control characters become \r, \n, \t or \xNN, so a value stays on its line.
std::string escapedText(std::string_view text);

}  // namespace vistrel::platform::headless
