// Shared set-up for tests that run the program on the headless backend.
#pragma once

#include <cstdint>
#include <functional>
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
    std::string fitLarge;  // written only when set
    std::string allMonitors;  // written only when set
    std::string autoCaption;  // written only when set

    std::string text() const {
        std::vector<std::string> lines = {"[images]"};
        for (std::size_t i = 0; i < images.size(); ++i) lines.push_back(std::to_string(i) + "=" + images[i]);
        lines.insert(lines.end(), {"[total]", "total=" + total, "[caption]"});
        for (std::size_t i = 0; i < captions.size(); ++i) lines.push_back(std::to_string(i) + "=" + captions[i]);
        lines.insert(lines.end(), {"[image]", "randomPick=" + randomPick, "picSpeed=" + picSpeed,
                                   "timeInterval=" + timeInterval, "picRandom=" + picRandom, "picChange=ch",
                                   "effectMode=" + effectMode, "randomEffect=" + randomEffect});
        if (!fitLarge.empty()) lines.push_back("fitLarge=" + fitLarge);
        if (!allMonitors.empty()) lines.push_back("allMonitors=" + allMonitors);
        if (!autoCaption.empty()) lines.push_back("autoCaption=" + autoCaption);
        lines.insert(lines.end(), {"[background]",
                                   "newBackColor=" + newBackColor, "backEffect=" + backEffect, "[password]",
                                   "saverPassword=" + saverPassword, "saverEnabled=" + saverEnabled, "[font]",
                                   "newFontName=" + fontName, "newFontSize=" + fontSize, "newFontBold=" + fontBold,
                                   "newFontItalic=" + fontItalic, "newFontUnderline=" + fontUnderline,
                                   "newFontFontStrikethru=" + fontStrikethru, "newFontForeColor=" + fontForeColor});
        return crlfLines(lines);
    }
};

// The bytes of a 24-bit BMP file; `color` gives each pixel as an RGB colour
// with red in the low byte, as the settings hold colours.
inline std::string bmpFile(int width, int height, const std::function<std::uint32_t(int x, int y)>& color) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(rowBytes) * height;
    std::string bytes;
    auto put16 = [&](unsigned v) {
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    bytes += "BM";
    put32(54 + imageBytes);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<std::uint32_t>(width));
    put32(static_cast<std::uint32_t>(height));  // bottom row first
    put16(1);
    put16(24);
    put32(0);
    put32(imageBytes);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = color(x, y);
            bytes += static_cast<char>((rgb >> 16) & 0xFF);  // blue
            bytes += static_cast<char>((rgb >> 8) & 0xFF);
            bytes += static_cast<char>(rgb & 0xFF);
        }
        bytes.append(static_cast<std::size_t>(rowBytes - width * 3), '\0');
    }
    return bytes;
}

inline std::string solidBmp(int width, int height, std::uint32_t rgb) {
    return bmpFile(width, height, [rgb](int, int) { return rgb; });
}

}  // namespace vistrel::testing
