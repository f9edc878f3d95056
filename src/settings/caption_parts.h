// The parts of the caption that a picture without one of its own is given:
// the [image] key autoCaption, a comma-separated list of the words "date",
// "folder" and "file" (missing or empty: none).
#pragma once

#include <string>
#include <string_view>

namespace vistrel::settings {

enum class CaptionPart { Date, Folder, File };

struct CaptionParts {
    bool date = false;
    bool folder = false;
    bool file = false;
    bool any() const { return date || folder || file; }
    bool has(CaptionPart part) const;
    bool operator==(const CaptionParts&) const = default;
};

// The words of the list, blanks around them allowed, in any letter case;
// words it does not know are passed over.
CaptionParts captionPartsOf(std::string_view text);

// `text` with `part` listed or not. Unchanged when it says so already;
// otherwise the known words in the order date, folder, file, then the
// other words of `text` as they stood (a hand-edited word stays).
std::string withCaptionPart(std::string_view text, CaptionPart part, bool listed);

}  // namespace vistrel::settings
