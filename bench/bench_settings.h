// A settings file as the dialog writes it, with an image list of any length,
// for the benchmarks.
#pragma once

#include <string>

namespace vistrel::bench {

// `count` images named photo_<i>.<extension>, each with a caption.
inline std::string settingsWithImages(int count, const std::string& extension = "jpg") {
    std::string text = "[images]\r\n";
    for (int i = 0; i < count; ++i) {
        text += std::to_string(i) + "=C:\\Users\\someone\\Pictures\\Holidays\\2026\\photo_" + std::to_string(i) + "." + extension + "\r\n";
    }
    text += "\r\n[total]\r\ntotal=" + std::to_string(count) + "\r\n\r\n[caption]\r\n";
    for (int i = 0; i < count; ++i) text += std::to_string(i) + "=A day at the seaside, picture " + std::to_string(i) + "\r\n";
    text += "\r\n[image]\r\nrandomPick=0\r\npicSpeed=3\r\ntimeInterval=6\r\npicRandom=cent\r\npicChange=ch\r\n"
            "effectMode=0\r\nrandomEffect=1\r\n\r\n[background]\r\nnewBackColor=0\r\nbackEffect=0\r\n\r\n"
            "[password]\r\nsaverPassword=\r\nsaverEnabled=0\r\n\r\n[font]\r\nnewFontName=Arial\r\nnewFontSize=20\r\n"
            "newFontBold=True\r\nnewFontItalic=False\r\nnewFontUnderline=False\r\nnewFontFontStrikethru=False\r\n"
            "newFontForeColor=16777215\r\n";
    return text;
}

}  // namespace vistrel::bench
