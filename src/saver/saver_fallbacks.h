// What the saver assumes for a value it cannot use as it is (a hand-edited
// colour that is not a number...): the first-start value of the key (see
// settings/option_table.h, which also fills in a missing or empty key).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/controls.h"

namespace vistrel::saver {

inline constexpr ui::Color kFallbackBackColor = ui::kBlack;
inline constexpr ui::Color kFallbackCaptionColor = ui::kWhite;
inline constexpr const char* kFallbackFontName = "Arial";
inline constexpr double kFallbackFontSize = 20;
inline constexpr double kMaxFontSize = 2048;
// Image indices are 16-bit: at most 32767 images are read.
inline constexpr int kMaxImageCount = 32767;

// A colour text: its value as a whole number when that is an RGB colour
// (0 to 16777215), else the fallback.
ui::Color colorOrFallback(std::string_view text, ui::Color fallback);
// The number of images a [total] text names: one more than its leading
// number less one, rounded (halves to even); 0 for a text without a number
// or a negative one, and at most kMaxImageCount.
int imageCountOf(std::string_view total);
// A font size in points: the number, or the fallback when the text is not
// a positive number; larger sizes are cut to kMaxFontSize.
double fontSizeOrFallback(std::string_view text);
// A font style flag: "True"/"False" or a number; anything else is off.
bool fontFlagOf(std::string_view text);

// What shows round the picture (the setting backEffect): 0 the colour, 2 a
// blurred copy of the picture, any other number the desktop as it was.
enum class BackgroundKind { Color, Desktop, BlurredFill };
BackgroundKind backgroundKindOf(std::string_view backEffect);

}  // namespace vistrel::saver
