// Every option key of the settings file, each once: its section, the value
// it has on a first start (and for a missing or empty key), whether the
// saver reads it, and how the settings dialog brings a hand-edited value
// to one its controls can show.
//
// The saver's load step, the preview, and the dialog's load and save all go
// by this table; a new option is one more row (and its control). The image
// list ([total], [images], [caption]) is not an option and is read apart.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

namespace vistrel::settings {

// In the order the saver reads them and the dialog writes them.
enum class Option : std::size_t {
    randomPick,
    newBackColor,
    backEffect,
    picSpeed,
    timeInterval,
    picRandom,
    picChange,
    effectMode,
    randomEffect,
    fitLarge,
    allMonitors,
    autoCaption,
    saverPassword,
    saverEnabled,
    newFontName,
    newFontSize,
    newFontBold,
    newFontItalic,
    newFontUnderline,
    newFontFontStrikethru,
    newFontForeColor,
};
inline constexpr std::size_t kOptionCount = static_cast<std::size_t>(Option::newFontForeColor) + 1;

// How the dialog turns the text of the file into the text of the value it
// shows, which is also the one it saves. The numeric value of a text is its
// leading number (0 for none); "rounded" sends halves to the even neighbour.
enum class DialogShows {
    AsRead,      // the text itself: texts, exact words ("cent", "ch"), and keys the dialog keeps as they are
    Flag,        // "1" when the numeric value is exactly 1, else "0"
    Whole,       // the numeric value rounded and kept within [low, high]
    Background,  // "0" for a numeric value of 0 (the colour), "2" for exactly 2 (the blurred picture), "1" for any other (the desktop), not rounded
    Colour,      // the value rounded when it is an RGB colour (0 to 16777215), else the first-start colour
    FontSize,    // a positive size in points ("12", "10.5"), else the first-start size
    FontFlag,    // "True" or "False": the word in any letter case, or a number (0 is false)
};

struct OptionSpec {
    Option option;
    std::string_view section;
    std::string_view key;
    // A first start's value; a missing or empty key reads as this wherever
    // it is read (the password alone is empty on a first start).
    std::string_view firstStart;
    // False for the one key only the dialog reads (picChange: the saver
    // goes by the seconds alone).
    bool saverReads;
    DialogShows dialog;
    int low = 0;  // of a Whole value
    int high = 0;
};

namespace option_rows {
using enum Option;
using D = DialogShows;
// One row per option, in the order of Option.
inline constexpr std::array<OptionSpec, kOptionCount> kOptions{{
    {randomPick, "image", "randomPick", "0", true, D::Flag},
    {newBackColor, "background", "newBackColor", "0", true, D::Colour},  // black
    {backEffect, "background", "backEffect", "0", true, D::Background},
    {picSpeed, "image", "picSpeed", "3", true, D::Whole, 0, 5},
    {timeInterval, "image", "timeInterval", "2", true, D::Whole, 0, 60},  // seconds
    {picRandom, "image", "picRandom", "cent", true, D::AsRead},
    {picChange, "image", "picChange", "ch", false, D::AsRead},
    {effectMode, "image", "effectMode", "0", true, D::Whole, 0, 8},
    {randomEffect, "image", "randomEffect", "0", true, D::Flag},
    {fitLarge, "image", "fitLarge", "1", true, D::AsRead},
    {allMonitors, "image", "allMonitors", "0", true, D::AsRead},
    {autoCaption, "image", "autoCaption", "", true, D::AsRead},
    {saverPassword, "password", "saverPassword", "", true, D::AsRead},
    {saverEnabled, "password", "saverEnabled", "0", true, D::Flag},
    {newFontName, "font", "newFontName", "Arial", true, D::AsRead},
    {newFontSize, "font", "newFontSize", "20", true, D::FontSize},
    {newFontBold, "font", "newFontBold", "False", true, D::FontFlag},
    {newFontItalic, "font", "newFontItalic", "False", true, D::FontFlag},
    {newFontUnderline, "font", "newFontUnderline", "False", true, D::FontFlag},
    {newFontFontStrikethru, "font", "newFontFontStrikethru", "False", true, D::FontFlag},
    {newFontForeColor, "font", "newFontForeColor", "16777215", true, D::Colour},  // white
}};
}  // namespace option_rows

constexpr std::span<const OptionSpec> optionTable() { return option_rows::kOptions; }
constexpr const OptionSpec& specOf(Option option) { return option_rows::kOptions[static_cast<std::size_t>(option)]; }

// One text per option, by option.
class OptionValues {
public:
    std::string& operator[](Option option) { return values_[static_cast<std::size_t>(option)]; }
    const std::string& operator[](Option option) const { return values_[static_cast<std::size_t>(option)]; }

private:
    std::array<std::string, kOptionCount> values_;
};

// The option's text in the file, or its first-start value when the key is
// missing or empty.
std::string readOption(SettingsReader& reader, const OptionSpec& spec);
// Every option the saver reads, in the table's order, as readOption gives
// them; the others stay empty. The saver and the preview read this way.
OptionValues readSaverOptions(SettingsReader& reader);

}  // namespace vistrel::settings
