// Conversions of settings texts to numbers, as the program applies them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vistrel {

// The leading decimal number of a text: leading blanks skipped, then an
// optional sign, digits, a fraction and an exponent, read up to the first
// character that cannot continue the number. A text without one is 0.
double numericValue(std::string_view text);

// The whole text read as a number (blanks around it allowed); nothing when
// the text is empty, holds anything else, or is not finite.
std::optional<double> parseNumber(std::string_view text);

// Nearest integer, an exact half going to the even neighbour.
double roundHalfEven(double value);

// Conversions that fail (nothing) for a text that is not a number or whose
// rounded value does not fit the type.
std::optional<std::int16_t> toInt16(double value);
std::optional<std::int32_t> toInt32(double value);
std::optional<std::int32_t> toInt32(std::string_view text);

// "True"/"False" in any letter case, or a number (non-zero is true).
std::optional<bool> toBoolean(std::string_view text);

}  // namespace vistrel
