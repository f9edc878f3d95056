#include "common/numbers.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace vistrel {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number that starts at text[0] (sign, digits, fraction,
// exponent), or 0 when no digit is there.
std::size_t numberLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

double toDouble(std::string_view number) {
    const std::string copy(number);  // strtod needs a terminated string
    return std::strtod(copy.c_str(), nullptr);
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

double numericValue(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    const std::size_t length = numberLength(text);
    if (length == 0) return 0;
    const double value = toDouble(text.substr(0, length));
    return std::isfinite(value) ? value : 0;
}

std::optional<double> parseNumber(std::string_view text) {
    text = trimBlanks(text);
    const std::size_t length = numberLength(text);
    if (length == 0 || length != text.size()) return std::nullopt;
    const double value = toDouble(text);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

double roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5) return floor + 1;
    if (fraction < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<std::int16_t> toInt16(double value) {
    const double rounded = roundHalfEven(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int32_t> toInt32(double value) {
    const double rounded = roundHalfEven(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int32_t> toInt32(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number) return std::nullopt;
    return toInt32(*number);
}

std::optional<bool> toBoolean(std::string_view text) {
    text = trimBlanks(text);
    auto equalsIgnoringCase = [&](std::string_view word) {
        if (text.size() != word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
        }
        return true;
    };
    if (equalsIgnoringCase("true")) return true;
    if (equalsIgnoringCase("false")) return false;
    if (const auto number = parseNumber(text)) return *number != 0;
    return std::nullopt;
}

}  // namespace vistrel
