// Feeds arbitrary bytes to the settings file reader and writer and aborts
// when a promise of ProfileDocument breaks.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "settings/profile_document.h"
#include "settings/profile_encoding.h"

namespace {

using vistrel::settings::ProfileDocument;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "settings_fuzz: broken: %s\n", what);
        std::abort();
    }
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string utf8;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

// Mostly names the program uses, sometimes arbitrary text (which set may refuse).
std::string pickName(FuzzedDataProvider& input) {
    static constexpr const char* kNames[] = {"images", "caption", "total", "image", "font",
                                             "Font", " font ", "0", "1", "newFontName"};
    if (input.ConsumeBool()) return kNames[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
    return input.ConsumeRandomLengthString(16);
}

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

void checkStable(const ProfileDocument& document) {
    const std::string bytes = document.serialize();
    require(ProfileDocument::parse(bytes).serialize() == bytes, "parse(serialize()) is stable");
}

// The one-pass map of a load step answers as get() does, key by key.
void checkVisibleValues(const ProfileDocument& document) {
    for (const auto& [folded, value] : document.visibleValues()) {
        const std::size_t split = folded.find('\n');
        const auto read = document.get(std::string_view(folded).substr(0, split), std::string_view(folded).substr(split + 1));
        require(read == value, "visibleValues agrees with get");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string fileBytes = input.ConsumeRandomLengthString(4096);

    const std::string text = vistrel::settings::decodeSettingsText(fileBytes, latin1ToUtf8);
    require(vistrel::settings::isValidUtf8(text), "decoded text is UTF-8");
    const std::string_view withoutMark =
        std::string_view(fileBytes).starts_with("\xEF\xBB\xBF") ? std::string_view(fileBytes).substr(3) : fileBytes;
    if (vistrel::settings::isValidUtf8(withoutMark)) require(text == withoutMark, "UTF-8 is taken unchanged");

    auto document = ProfileDocument::parse(fileBytes);
    checkStable(document);
    checkVisibleValues(document);
    const std::size_t originalLines = document.lineCount();

    while (input.remaining_bytes() > 0) {
        const std::string section = pickName(input);
        const std::string key = pickName(input);
        if (input.ConsumeBool()) {
            document.removeSection(section);
            require(!document.get(section, key).has_value(), "a removed section reads as missing");
        } else {
            const std::string value = input.ConsumeRandomLengthString(64);
            const std::size_t linesBefore = document.lineCount();
            const bool wasPresent = document.get(section, key).has_value();
            const ProfileDocument before = document;
            if (!document.set(section, key, value)) {
                require(document.lineCount() == linesBefore, "a refused set changes nothing");
                continue;
            }
            const std::optional<std::string> stored = document.get(section, key);
            require(stored.has_value(), "a set key is present");
            require(!hasLineBreak(*stored), "a value never holds a line break");
            require(vistrel::settings::isValidUtf8(*stored), "a set value is UTF-8");
            if (!hasLineBreak(value) && vistrel::settings::isValidUtf8(value)) {
                require(*stored == value, "a set value reads back exactly");
            }
            require(ProfileDocument::parse(document.serialize()).get(section, key) == stored,
                    "a set value survives a save");
            const std::size_t added = document.lineCount() - linesBefore;
            require(wasPresent ? added == 0 : (added == 1 || added == 2 || added == 3),
                    "set changes a line, or adds a key or a section");
            if (wasPresent) {
                std::size_t changedLines = 0;
                for (std::size_t i = 0; i < linesBefore; ++i) changedLines += before.line(i) != document.line(i);
                require(changedLines <= 1, "replacing a value leaves every other line as it was");
            }
        }
        checkStable(document);
    }
    checkVisibleValues(document);
    require(document.lineCount() <= originalLines + 3 * size, "lines grow only by what was set");
    return 0;
}
