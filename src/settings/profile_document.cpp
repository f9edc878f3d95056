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

std::optional<ProfileDocument::SectionRange> ProfileDocument::findSection(std::string_view name) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine parsed = parseLine(line(i));
        if (parsed.kind != LineKind::Section || !namesMatch(parsed.name, name)) continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && parseLine(line(end)).kind != LineKind::Section) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::findEntry(const SectionRange& range, std::string_view key) const {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const ParsedLine parsed = parseLine(line(i));
        if (parsed.kind == LineKind::Entry && namesMatch(parsed.name, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> ProfileDocument::get(std::string_view section, std::string_view key) const {
    const auto range = findSection(trimBlanks(section));
    if (!range) return std::nullopt;
    const auto entry = findEntry(*range, trimBlanks(key));
    if (!entry) return std::nullopt;
    return readValue(parseLine(line(*entry)).rawValue);
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

    const auto range = findSection(sectionName);
    if (!range) {
        if (!lines_.empty() && !trimBlanks(line(lines_.size() - 1)).empty()) {
            lines_.push_back(store(""));
        }
        // Appended piece by piece: GCC 12 at -O3 warns falsely on "literal" + string.
        std::string header("[");
        header.append(sectionName).append("]");
        lines_.push_back(store(header));
        lines_.push_back(store(std::string(keyName) + "=" + written));
        return true;
    }

    if (const auto entry = findEntry(*range, keyName)) {
        // Keep the key as it was spelled, with its blanks, and replace only the value.
        const std::string_view old = line(*entry);
        std::string replaced(old.substr(0, old.find('=') + 1));
        replaced += written;
        lines_[*entry] = store(replaced);
        return true;
    }

    std::size_t insertAt = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (parseLine(line(i)).kind == LineKind::Entry) insertAt = i + 1;
    }
    const LineSpan added = store(std::string(keyName) + "=" + written);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), added);
    return true;
}

void ProfileDocument::removeSection(std::string_view section) {
    const std::string_view name = trimBlanks(section);
    std::vector<LineSpan> kept;
    kept.reserve(lines_.size());
    bool inRemovedSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine parsed = parseLine(line(i));
        if (parsed.kind == LineKind::Section) inRemovedSection = namesMatch(parsed.name, name);
        if (!inRemovedSection) kept.push_back(lines_[i]);
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
