// A private-profile document ("[section]" lines and "key=value" lines) held
// in memory, read from and written back to the bytes of a settings file.
//
// Every line that is not changed is written back exactly as it was read:
// comments, blank lines, lines without "=", keys and sections this program
// does not know. Lines end in CR, LF or CR LF on reading and are written
// with CR LF.
//
// Reading:
// - A line whose first non-blank character is "[" opens a section; its name
//   runs to the first "]" (or the end of the line). Any other line with an
//   "=" is an entry: the key before the first "=", the value after it.
//   Lines before the first section belong to none and are never read.
// - Section and key names are trimmed of blanks (space, tab) and match
//   without regard to ASCII letter case.
// - A value is read whole, however long. Blanks around it are dropped, then
//   one pair of matching quotes (' or ") enclosing it.
// - When a section or a key appears twice, the first one is read and
//   written; the later ones are kept but never seen.
//
// Writing:
// - A plain value is written bare. A value that would not read back as
//   written (blanks at either end, or enclosed in matching quotes itself) is
//   written inside one more pair of double quotes, so it reads back exactly.
//   Windows' own profile reader strips the same quotes and blanks, so the
//   file stays readable by it.
// - A value cannot span lines: each line break in it (CR, LF or CR LF) is
//   written as a single space.
// - Values are UTF-8; bytes that are not valid UTF-8 are written as U+FFFD
//   so the file stays valid UTF-8 (see profile_encoding.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "settings/profile_encoding.h"

namespace vistrel::settings {

class ProfileDocument {
public:
    ProfileDocument() = default;

    // `text` is taken as UTF-8 and split into lines; nothing is rejected.
    static ProfileDocument parse(std::string text);
    // The bytes of a settings file, decoded as decodeSettingsText does.
    static ProfileDocument fromFileBytes(std::string_view bytes, const AnsiToUtf8& ansiToUtf8);

    // Found through an index of the sections and keys, so that a reader or
    // writer going through a long image list key by key stays linear.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;

    // Every value get() can see, keyed by foldedName(section, key), made in
    // one pass: get() walks the document, so a reader that asks for every
    // key of a long image list takes the whole map instead.
    std::unordered_map<std::string, std::string> visibleValues() const;
    static std::string foldedName(std::string_view section, std::string_view key);

    // Replaces the value of the key in place (the key keeps its spelling),
    // or adds the key after the last entry of the section, or adds the
    // section at the end, after a blank line unless the document is empty
    // or already ends in one. False, with nothing changed, when a name could
    // not be read back: empty, holding a line break, a section name holding
    // "]", a key holding "=" or starting with "[", or not valid UTF-8.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    // Removes every section of that name: its header and all lines up to the
    // next section header.
    void removeSection(std::string_view section);

    std::string serialize() const;

    // Room for about this many bytes of changed and added lines, so that a
    // long run of set() does not copy the document's text as it grows.
    void reserveForChanges(std::size_t bytes) { text_.reserve(text_.size() + bytes); }

    bool empty() const { return lines_.empty(); }
    std::size_t lineCount() const { return lines_.size(); }
    std::string_view line(std::size_t index) const;

private:
    // A line is a piece of `text_`; changed and added lines are appended to
    // `text_`, so a large file costs one string plus two numbers a line.
    struct LineSpan {
        std::size_t offset;
        std::size_t length;
    };
    // Where get() and set() find things: the first section of each name,
    // where it ends, the line after its last entry (where a new key goes)
    // and, once a key of it is asked for, the first entry of each key in it.
    // Built on first use in one pass; a change that adds lines at the very
    // end keeps it up to date, and so does removing a section; a line added
    // in the middle drops it.
    struct SectionPlace {
        std::size_t header;
        std::size_t end;  // the next section's header, or lineCount()
        std::size_t insertAt;
        std::optional<std::unordered_map<std::string, std::size_t>> entries;  // by folded key
    };
    struct Index {
        std::unordered_map<std::string, SectionPlace> sections;  // by folded section name
    };
    Index& index() const;
    std::unordered_map<std::string, std::size_t>& entriesOf(SectionPlace& place) const;
    LineSpan store(std::string_view line);
    // A "key=value" line, built in place.
    LineSpan storeEntry(std::string_view key, std::string_view value);

    std::string text_;
    std::vector<LineSpan> lines_;
    mutable std::optional<Index> index_;
};

}  // namespace vistrel::settings
