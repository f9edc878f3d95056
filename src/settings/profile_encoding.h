// Text encoding of the settings file.
//
// In memory every value is UTF-8. The program writes the file in UTF-8
// without a byte-order mark, so a file of plain ASCII settings stays plain
// ASCII. Files from older versions of the program, or edited by hand on an
// older system, are in the Windows ANSI code page; those are recognised by
// not being valid UTF-8 and are converted on reading.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vistrel::settings {

// Converts text in the system's ANSI code page to UTF-8.
using AnsiToUtf8 = std::function<std::string(std::string_view)>;

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// Replaces every byte that does not start a valid UTF-8 sequence with
// U+FFFD, so the result can be written into a UTF-8 file.
std::string toValidUtf8(std::string_view text);

// The file's bytes as UTF-8 text. A leading UTF-8 byte-order mark is
// dropped. Valid UTF-8 is taken as it is; anything else is taken as ANSI
// text and converted whole with `ansiToUtf8`, whose result is made valid
// UTF-8 in case the converter lets bad bytes through.
std::string decodeSettingsText(std::string_view bytes, const AnsiToUtf8& ansiToUtf8);

}  // namespace vistrel::settings
