#include "settings/profile_document.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace vistrel::settings {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineBreaks = "\r\n";

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isQuote(char c) { return c == '"' || c == '\''; }

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Both names already trimmed.
bool namesMatch(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

enum class LineKind { Other, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;     // trimmed section or key name
    std::string_view rawValue;  // an entry's text after the first "="
};

ParsedLine parseLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first != std::string_view::npos && line[first] == '[') {
        const std::size_t close = line.find(']', first + 1);
        const std::size_t nameLength = close == std::string_view::npos ? std::string_view::npos : close - first - 1;
        return {LineKind::Section, trimBlanks(line.substr(first + 1, nameLength)), {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    return {LineKind::Entry, trimBlanks(line.substr(0, equals)), line.substr(equals + 1)};
}

std::string readValue(std::string_view rawValue) {
    std::string_view value = trimBlanks(rawValue);
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

bool survivesReadingBare(std::string_view value) {
    if (value.empty()) return true;
    if (isBlank(value.front()) || isBlank(value.back())) return false;
    return !(value.size() >= 2 && isQuote(value.front()) && value.back() == value.front());
}

std::string valueAsWritten(std::string_view value) {
    // Most values are plain text written as they are: one copy, no more.
    if (value.find_first_of(kLineBreaks) == std::string_view::npos && survivesReadingBare(value) &&
        isValidUtf8(value)) {
        return std::string(value);
    }
    std::string flat;
    flat.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n') {
            flat += ' ';
            if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
        } else {
            flat += value[i];
        }
    }
    flat = toValidUtf8(flat);
    if (survivesReadingBare(flat)) return flat;
    return '"' + flat + '"';
}

bool isStorableName(std::string_view name) {
    return !name.empty() && name.find_first_of(kLineBreaks) == std::string_view::npos &&
           isValidUtf8(name);
}

bool isStorableSectionName(std::string_view name) {
    return isStorableName(name) && name.find(']') == std::string_view::npos;
}

bool isStorableKeyName(std::string_view name) {
    return isStorableName(name) && name.find('=') == std::string_view::npos && name.front() != '[';
}

std::string foldedSectionName(std::string_view section) {
    std::string folded;
    folded.reserve(section.size());
    for (char c : trimBlanks(section)) folded += asciiLower(c);
    return folded;
}

}  // namespace

ProfileDocument ProfileDocument::parse(std::string text) {
    ProfileDocument document;
    document.text_ = std::move(text);
    const std::string& all = document.text_;
    // One allocation, even for a file of nothing but line breaks.
    document.lines_.reserve(static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n')) +
                            static_cast<std::size_t>(std::count(all.begin(), all.end(), '\r')) + 1);
    std::size_t pos = 0;
    while (pos < all.size()) {
        const std::size_t lineBreak = all.find_first_of(kLineBreaks, pos);
        if (lineBreak == std::string::npos) {
            document.lines_.push_back({pos, all.size() - pos});
            break;
        }
        document.lines_.push_back({pos, lineBreak - pos});
        const bool crlf = all[lineBreak] == '\r' && lineBreak + 1 < all.size() && all[lineBreak + 1] == '\n';
        pos = lineBreak + (crlf ? 2 : 1);
    }
    return document;
}

ProfileDocument ProfileDocument::fromFileBytes(std::string_view bytes, const AnsiToUtf8& ansiToUtf8) {
    return parse(decodeSettingsText(bytes, ansiToUtf8));
}

std::string_view ProfileDocument::line(std::size_t index) const {
    const LineSpan& span = lines_.at(index);
    return std::string_view(text_).substr(span.offset, span.length);
}

ProfileDocument::Index& ProfileDocument::index() const {
    if (index_) return *index_;
    Index built;
    SectionPlace* current = nullptr;  // the section being read, when it is the first of its name
    SectionPlace* previous = nullptr;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine parsed = parseLine(line(i));
        if (parsed.kind == LineKind::Section) {
            if (previous) previous->end = i;
            const auto [place, first] =
                built.sections.try_emplace(foldedSectionName(parsed.name), SectionPlace{i, lines_.size(), i + 1, {}});
            current = first ? &place->second : nullptr;
            previous = current;
        } else if (parsed.kind == LineKind::Entry && current) {
            current->insertAt = i + 1;  // after the last entry of any key
        }
    }
    index_ = std::move(built);
    return *index_;
}

std::unordered_map<std::string, std::size_t>& ProfileDocument::entriesOf(SectionPlace& place) const {
    if (place.entries) return *place.entries;
    auto& entries = place.entries.emplace();
    for (std::size_t i = place.header + 1; i < place.end; ++i) {
        const ParsedLine parsed = parseLine(line(i));
        // The first entry of a key wins.
        if (parsed.kind == LineKind::Entry) entries.try_emplace(foldedSectionName(parsed.name), i);
    }
    return entries;
}

std::optional<std::string> ProfileDocument::get(std::string_view section, std::string_view key) const {
    // No name read from the file holds a line break, so such a name matches nothing.
    if (section.find_first_of(kLineBreaks) != std::string_view::npos ||
        key.find_first_of(kLineBreaks) != std::string_view::npos) {
        return std::nullopt;
    }
    Index& places = index();
    const auto place = places.sections.find(foldedSectionName(section));
    if (place == places.sections.end()) return std::nullopt;
    const auto& entries = entriesOf(place->second);
    const auto entry = entries.find(foldedSectionName(key));
    if (entry == entries.end()) return std::nullopt;
    return readValue(parseLine(line(entry->second)).rawValue);
}

std::string ProfileDocument::foldedName(std::string_view section, std::string_view key) {
    std::string folded;
    for (char c : trimBlanks(section)) folded += asciiLower(c);
    folded += '\n';  // no name holds a line break
    for (char c : trimBlanks(key)) folded += asciiLower(c);
    return folded;
}

std::unordered_map<std::string, std::string> ProfileDocument::visibleValues() const {
    std::unordered_map<std::string, std::string> values;
    std::unordered_set<std::string> sectionsSeen;
    bool visibleSection = false;  // the first section of its name
    std::string_view section;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine parsed = parseLine(line(i));
        if (parsed.kind == LineKind::Section) {
            section = parsed.name;
            visibleSection = sectionsSeen.insert(foldedName(section, "")).second;
        } else if (parsed.kind == LineKind::Entry && visibleSection) {
            // The first entry of a key wins, as in get().
            values.try_emplace(foldedName(section, parsed.name), readValue(parsed.rawValue));
        }
    }
    return values;
}

ProfileDocument::LineSpan ProfileDocument::storeEntry(std::string_view key, std::string_view value) {
    const LineSpan span{text_.size(), key.size() + 1 + value.size()};
    text_.append(key).append(1, '=').append(value);
    return span;
}

ProfileDocument::LineSpan ProfileDocument::store(std::string_view newLine) {
    // `newLine` never points into text_: callers build it in a string of its own.
    const LineSpan span{text_.size(), newLine.size()};
    text_.append(newLine);
    return span;
}

bool ProfileDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view sectionName = trimBlanks(section);
    const std::string_view keyName = trimBlanks(key);
    if (!isStorableSectionName(sectionName) || !isStorableKeyName(keyName)) return false;
    const std::string written = valueAsWritten(value);
    const std::string foldedKey = foldedSectionName(keyName);
    // Built before any line is added, so that it describes the lines as they are.
    Index& places = index();

    const auto sectionPlace = places.sections.find(foldedSectionName(sectionName));
    if (sectionPlace == places.sections.end()) {
        const std::size_t oldEnd = lines_.size();
        if (!lines_.empty() && !trimBlanks(line(lines_.size() - 1)).empty()) {
            lines_.push_back(store(""));
        }
        // Appended piece by piece: GCC 12 at -O3 warns falsely on "literal" + string.
        std::string header("[");
        header.append(sectionName).append("]");
        const std::size_t headerAt = lines_.size();
        lines_.push_back(store(header));
        lines_.push_back(storeEntry(keyName, written));
        // The section that was last now ends at the new header.
        for (auto& place : places.sections) {
            if (place.second.end == oldEnd) place.second.end = headerAt;
        }
        SectionPlace added{headerAt, lines_.size(), lines_.size(), std::unordered_map<std::string, std::size_t>{}};
        added.entries->emplace(foldedKey, lines_.size() - 1);
        places.sections.emplace(foldedSectionName(sectionName), std::move(added));
        return true;
    }

    SectionPlace& place = sectionPlace->second;
    auto& entries = entriesOf(place);
    if (const auto entry = entries.find(foldedKey); entry != entries.end()) {
        // Keep the key as it was spelled, with its blanks, and replace only the value.
        const std::string_view old = line(entry->second);
        std::string replaced(old.substr(0, old.find('=') + 1));
        replaced += written;
        lines_[entry->second] = store(replaced);
        return true;
    }

    const LineSpan added = storeEntry(keyName, written);
    if (place.insertAt == lines_.size()) {
        // The last lines of the file: nothing moves, the index stays right.
        lines_.push_back(added);
        entries.emplace(foldedKey, lines_.size() - 1);
        place.insertAt = place.end = lines_.size();
        return true;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(place.insertAt), added);
    index_.reset();  // every line after the new one has moved
    return true;
}

void ProfileDocument::removeSection(std::string_view section) {
    const std::string_view name = trimBlanks(section);
    std::vector<LineSpan> kept;
    kept.reserve(lines_.size());
    // For each old line, how many lines before it go: the index follows the
    // lines that stay without being built again.
    std::vector<std::size_t> removedBefore(lines_.size() + 1, 0);
    bool inRemovedSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine parsed = parseLine(line(i));
        if (parsed.kind == LineKind::Section) inRemovedSection = namesMatch(parsed.name, name);
        if (!inRemovedSection) kept.push_back(lines_[i]);
        removedBefore[i + 1] = removedBefore[i] + (inRemovedSection ? 1 : 0);
    }
    if (kept.size() == lines_.size()) return;
    const auto removed = [&removedBefore](std::size_t at) { return removedBefore[at + 1] != removedBefore[at]; };
    if (index_) {
        // Every section of that name goes, so no later one takes its place.
        std::erase_if(index_->sections, [&](const auto& place) { return removed(place.second.header); });
        for (auto& [name, place] : index_->sections) {
            place.header -= removedBefore[place.header];
            place.end -= removedBefore[place.end];
            place.insertAt -= removedBefore[place.insertAt];
            if (!place.entries) continue;
            for (auto& entry : *place.entries) entry.second -= removedBefore[entry.second];
        }
    }
    lines_ = std::move(kept);
}

std::string ProfileDocument::serialize() const {
    std::size_t total = 0;
    for (const LineSpan& span : lines_) total += span.length + 2;
    std::string bytes;
    bytes.reserve(total);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        bytes += line(i);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace vistrel::settings
