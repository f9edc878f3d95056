#include "saver/saver_fallbacks.h"

#include <algorithm>

#include "common/numbers.h"

namespace vistrel::saver {

ui::Color colorOrFallback(std::string_view text, ui::Color fallback) {
    const auto value = toInt32(text);
    if (!value || *value < 0 || *value > 0xFFFFFF) return fallback;
    return static_cast<ui::Color>(*value);
}

int imageCountOf(std::string_view total) {
    // The count drives a loop to (count - 1) in 16 bits, so it is limited
    // before it is converted.
    // The last index read is (count - 1) rounded as a whole, so "2.5" reads
    // images 0 to 2.
    const double count = std::clamp(numericValue(total), 0.0, static_cast<double>(kMaxImageCount));
    return std::max(static_cast<int>(roundHalfEven(count - 1)) + 1, 0);
}

double fontSizeOrFallback(std::string_view text) {
    const auto size = parseNumber(text);
    if (!size || *size <= 0) return kFallbackFontSize;
    return std::min(*size, kMaxFontSize);
}

bool fontFlagOf(std::string_view text) { return toBoolean(text).value_or(false); }

BackgroundKind backgroundKindOf(std::string_view backEffect) {
    const double value = numericValue(backEffect);
    if (value == 0) return BackgroundKind::Color;
    if (value == 2) return BackgroundKind::BlurredFill;
    return BackgroundKind::Desktop;
}

}  // namespace vistrel::saver
