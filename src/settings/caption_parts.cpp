#include "settings/caption_parts.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace vistrel::settings {
namespace {

struct PartWord {
    CaptionPart part;
    std::string_view word;
};
constexpr std::array<PartWord, 3> kWords{{{CaptionPart::Date, "date"}, {CaptionPart::Folder, "folder"},
                                          {CaptionPart::File, "file"}}};

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::optional<CaptionPart> partNamed(std::string_view word) {
    for (const PartWord& known : kWords) {
        if (sameWord(word, known.word)) return known.part;
    }
    return std::nullopt;
}

// The words of the list, each trimmed; empty ones left out.
std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view word = trimmed(text.substr(0, comma));
        if (!word.empty()) words.push_back(word);
        if (comma == std::string_view::npos) return words;
        text.remove_prefix(comma + 1);
    }
}

void set(CaptionParts& parts, CaptionPart part, bool on) {
    switch (part) {
        case CaptionPart::Date: parts.date = on; break;
        case CaptionPart::Folder: parts.folder = on; break;
        case CaptionPart::File: parts.file = on; break;
    }
}

}  // namespace

bool CaptionParts::has(CaptionPart part) const {
    switch (part) {
        case CaptionPart::Date: return date;
        case CaptionPart::Folder: return folder;
        case CaptionPart::File: return file;
    }
    return false;
}

CaptionParts captionPartsOf(std::string_view text) {
    CaptionParts parts;
    for (std::string_view word : wordsOf(text)) {
        if (const auto part = partNamed(word)) set(parts, *part, true);
    }
    return parts;
}

std::string withCaptionPart(std::string_view text, CaptionPart part, bool listed) {
    CaptionParts parts = captionPartsOf(text);
    if (parts.has(part) == listed) return std::string(text);
    set(parts, part, listed);
    std::string list;
    auto append = [&list](std::string_view word) {
        if (!list.empty()) list += ',';
        list += word;
    };
    for (const PartWord& known : kWords) {
        if (parts.has(known.part)) append(known.word);
    }
    for (std::string_view word : wordsOf(text)) {
        if (!partNamed(word)) append(word);
    }
    return list;
}

}  // namespace vistrel::settings
