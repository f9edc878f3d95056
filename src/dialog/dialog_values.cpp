#include "dialog/dialog_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/numbers.h"
#include "saver/saver_fallbacks.h"

namespace vistrel::dialog {

int wholeInRange(std::string_view text, int low, int high, int fallback) {
    if (text.empty()) return fallback;
    const double value = roundHalfEven(numericValue(text));
    if (std::isnan(value)) return low;
    return static_cast<int>(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
}

bool flagIsOn(std::string_view text) { return numericValue(text) == 1; }

// Made from a character: GCC 12 warns falsely on assigning a short literal.
std::string flagText(bool on) { return std::string(1, on ? '1' : '0'); }

// The background list holds the kinds in their order: colour, desktop,
// blurred picture.
int backgroundChoice(std::string_view text) { return static_cast<int>(saver::backgroundKindOf(text)); }

ui::Color colorValue(std::string_view text, ui::Color fallback) { return saver::colorOrFallback(text, fallback); }

double fontSizeValue(std::string_view text) { return saver::fontSizeOrFallback(text); }

std::string fontSizeText(double points) {
    if (points == std::floor(points) && std::abs(points) < 1e9) return std::to_string(static_cast<long long>(points));
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(points));
    return std::string(buffer, result.ptr);
}

std::string fontFlagText(bool on) { return on ? "True" : "False"; }

bool fontFlagValue(std::string_view text) { return saver::fontFlagOf(text); }

std::string shownByDialog(const settings::OptionSpec& spec, std::string_view read) {
    using D = settings::DialogShows;
    switch (spec.dialog) {
        case D::AsRead: return std::string(read);
        case D::Flag: return flagText(flagIsOn(read));
        case D::Whole: return std::to_string(wholeInRange(read, spec.low, spec.high, spec.low));
        case D::Background: return std::to_string(backgroundChoice(read));
        case D::Colour: {
            const ui::Color firstStart = colorValue(spec.firstStart, ui::kBlack);
            return std::to_string(colorValue(read, firstStart));
        }
        case D::FontSize: return fontSizeText(fontSizeValue(read));
        case D::FontFlag: return fontFlagText(fontFlagValue(read));
    }
    return std::string(read);
}

bool secondsTyped(std::string_view text, int& seconds) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value > kMaxIntervalSeconds) return false;
    seconds = value;
    return true;
}

ThumbnailSize thumbnailSize(int width, int height) {
    if (width < kPreviewWidthTwips && height < kPreviewHeightTwips) return {width, height, false};
    while (width >= kPreviewWidthTwips || height >= kPreviewHeightTwips) {
        width = static_cast<int>(roundHalfEven(width * 0.9));
        height = static_cast<int>(roundHalfEven(height * 0.9));
    }
    return {width, height, true};
}

}  // namespace vistrel::dialog
