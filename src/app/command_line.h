// What the command line asks for. The screen-saver machinery passes "/s",
// "/c" or "/p <window>"; only the first two characters choose the mode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vistrel::app {

enum class Mode { Configure, Saver, Preview, Nothing };

// The first two characters of the command text, lower-cased.
std::string modeKey(std::string_view commandText);
// "/c", "/s" and "/p" by their mode key. An empty command text (blanks
// only, too) configures: Windows' own "Configure" command on the program
// file passes no switch at all.
Mode modeOf(std::string_view commandText);

// The window that opened the settings dialog: "/c:<handle>" (the screen-
// saver settings page passes its window so). 0 for none, for a number that
// does not fit 32 bits, and for a plain "/c".
platform::Handle configureOwner(std::string_view commandText);

// The preview window's handle: the text after the first three characters,
// read as a leading number and rounded to a 32-bit integer (halves to
// even). Nothing when the command text has no room for one (shorter than
// three characters) or the number does not fit 32 bits; then nothing is
// drawn. "/p x" gives 0, the whole screen, as the system's own API does.
std::optional<platform::Handle> previewHandle(std::string_view commandText);

}  // namespace vistrel::app
