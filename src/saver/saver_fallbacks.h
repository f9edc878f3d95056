// What the saver assumes when the settings file is missing or a value it
// converts is empty or not a number. The settings dialog always writes
// every key; these keep a first start, or a hand-edited file, from failing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/controls.h"

namespace vistrel::saver {

// A key that is missing or empty (a first start, a hand-edited file) reads
// as these; the settings dialog opens with the same values.
inline constexpr const char* kFallbackPicRandom = "cent";  // centred
inline constexpr const char* kFallbackPicSpeed = "3";
inline constexpr const char* kFallbackTimeInterval = "2";  // seconds

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
// `text`, or `fallback` when it is empty (the key is missing).
std::string orWhenMissing(std::string text, const char* fallback);

}  // namespace vistrel::saver
