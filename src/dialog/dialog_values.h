// How the dialog reads each setting of the file into a value its controls
// can show. A missing or empty key (as on a first start) takes its
// first-start value; a value outside a control's range takes the nearest
// one the control has. The pending setting is then the text of the value
// shown, so the dialog saves what it shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/controls.h"
#include "saver/saver_fallbacks.h"
#include "settings/option_table.h"

namespace vistrel::dialog {

// The ranges of the slider, the spin control and the transition list.
inline constexpr int kMaxFloatSpeed = settings::specOf(settings::Option::picSpeed).high;
inline constexpr int kMaxIntervalSeconds = settings::specOf(settings::Option::timeInterval).high;
inline constexpr int kTransitionCount = settings::specOf(settings::Option::effectMode).high + 1;

// The text of the value the dialog shows for the text `read` from the file
// (a missing key already its first-start value), by the option's rule.
std::string shownByDialog(const settings::OptionSpec& spec, std::string_view read);

// The leading number, rounded (halves to even) and kept within [low, high];
// `fallback` for an empty text.
int wholeInRange(std::string_view text, int low, int high, int fallback);
// A check-box flag: checked when the numeric value is 1 ("1", "1.0").
bool flagIsOn(std::string_view text);
std::string flagText(bool on);  // "1" / "0"
// backEffect: 0 is the solid colour, 2 the blurred picture; any other
// number the desktop, as the saver reads it.
int backgroundChoice(std::string_view text);
// A colour, or the fallback when the text is not an RGB colour.
ui::Color colorValue(std::string_view text, ui::Color fallback);
// A caption font size in points; the saver's fallback when not a positive number.
double fontSizeValue(std::string_view text);
// The font-size encoding: a whole size without a fraction ("12"), any
// other as the shortest single-precision text ("10.5").
std::string fontSizeText(double points);
std::string fontFlagText(bool on);  // "True" / "False"
bool fontFlagValue(std::string_view text);

// The seconds box accepts a whole number from 0 to 60 written in digits
// (blanks around it allowed); nothing otherwise.
bool secondsTyped(std::string_view text, int& seconds);

// The size a thumbnail of a loader of w x h twips is drawn at in the
// preview box: as it is while it fits, else reduced by 0.9 steps (each
// side rounded, halves to even) until it fits.
struct ThumbnailSize {
    int width;
    int height;
    bool reduced;
};
inline constexpr int kPreviewWidthTwips = 3375;
inline constexpr int kPreviewHeightTwips = 1815;
ThumbnailSize thumbnailSize(int width, int height);

}  // namespace vistrel::dialog
