// The caption a picture is shown with: its own, or one made of the parts
// that autoCaption lists (the day it was taken, the name of its folder, its
// file name), in that order, joined by " · ".
#pragma once

#include <string>
#include <string_view>

#include "settings/caption_parts.h"

namespace vistrel::saver {

inline constexpr std::string_view kCaptionPartSeparator = " \xC2\xB7 ";  // " · " in UTF-8
// A line of text that a caption's band is measured by before the caption
// itself is known (one line is as high as another).
inline constexpr const char* kOneLineSample = "Ag";

struct CaptionSources {
    std::string_view ownCaption{};  // the picture's own; "" for none
    // The caption of the list entry a picture comes from when the entry
    // stands for many (a folder); "" for none, or for an entry of one picture.
    std::string_view entryCaption{};
    std::string_view path{};        // the picture file's full path
    std::string_view dateText{};    // the day it was taken, written out; "" when unknown
};

// A caption of its own always wins, then the entry's; without either, the
// listed parts that the picture has ("" when it has none of them).
std::string composeCaption(const CaptionSources& sources, settings::CaptionParts parts);

// The name of the folder that holds the file at `path` ("" at a drive's
// root), and the file's name without its extension. Both "\" and "/"
// separate folders.
std::string_view folderNameOf(std::string_view path);
std::string_view fileTitleOf(std::string_view path);

}  // namespace vistrel::saver
