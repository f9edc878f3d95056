// Shared set-up for tests that run the program on the headless backend.
#pragma once

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"

namespace vistrel::testing {

inline constexpr const char* kSettingsPath = "C:\\Program Files\\Vistrel\\vistrel.ini";

// Joins lines with CRLF, each line ended, as the settings file holds them.
inline std::string crlfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

// A complete settings file as the settings dialog writes it, with the
// values a test cares about replaced.
struct SampleSettings {
    std::string total = "2";
    std::vector<std::string> images = {"C:\\Pictures\\a.jpg", "C:\\Pictures\\b.gif"};
    std::vector<std::string> captions = {"First", "Second"};
    std::string randomPick = "0";
    std::string newBackColor = "255";
    std::string backEffect = "0";
    std::string picSpeed = "3";
    std::string timeInterval = "5";
    std::string picRandom = "cent";
    std::string effectMode = "0";
    std::string randomEffect = "0";
    std::string saverPassword = "";
    std::string saverEnabled = "0";
    std::string fontName = "Times New Roman";
    std::string fontSize = "14";
    std::string fontBold = "True";
    std::string fontItalic = "False";
    std::string fontUnderline = "True";
    std::string fontStrikethru = "False";
    std::string fontForeColor = "65535";

    std::string text() const {
        std::vector<std::string> lines = {"[images]"};
        for (std::size_t i = 0; i < images.size(); ++i) lines.push_back(std::to_string(i) + "=" + images[i]);
        lines.insert(lines.end(), {"[total]", "total=" + total, "[caption]"});
        for (std::size_t i = 0; i < captions.size(); ++i) lines.push_back(std::to_string(i) + "=" + captions[i]);
        lines.insert(lines.end(), {"[image]", "randomPick=" + randomPick, "picSpeed=" + picSpeed,
                                   "timeInterval=" + timeInterval, "picRandom=" + picRandom, "picChange=ch",
                                   "effectMode=" + effectMode, "randomEffect=" + randomEffect, "[background]",
                                   "newBackColor=" + newBackColor, "backEffect=" + backEffect, "[password]",
                                   "saverPassword=" + saverPassword, "saverEnabled=" + saverEnabled, "[font]",
                                   "newFontName=" + fontName, "newFontSize=" + fontSize, "newFontBold=" + fontBold,
                                   "newFontItalic=" + fontItalic, "newFontUnderline=" + fontUnderline,
                                   "newFontFontStrikethru=" + fontStrikethru, "newFontForeColor=" + fontForeColor});
        return crlfLines(lines);
    }
};

}  // namespace vistrel::testing
