#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "settings/profile_encoding.h"

namespace vistrel::settings {
namespace {

// Windows-1252 for the few characters the tests use; counts its calls.
struct FakeAnsiConverter {
    int calls = 0;
    AnsiToUtf8 function() {
        return [this](std::string_view bytes) {
            ++calls;
            std::string utf8;
            for (const char c : bytes) {
                const auto byte = static_cast<unsigned char>(c);
                if (byte == 0x80) {
                    utf8 += "\xE2\x82\xAC";  // euro sign
                } else if (byte >= 0xA0) {
                    utf8 += static_cast<char>(0xC0 | (byte >> 6));
                    utf8 += static_cast<char>(0x80 | (byte & 0x3F));
                } else {
                    utf8 += c;
                }
            }
            return utf8;
        };
    }
};

TEST(SettingsEncoding, StrictUtf8) {
    EXPECT_TRUE(isValidUtf8("plain ASCII"));
    EXPECT_TRUE(isValidUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF"));
    EXPECT_FALSE(isValidUtf8("Caf\xE9"));                 // ANSI é
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));                // overlong NUL
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));            // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));            // surrogate half
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));        // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));                // cut short
    EXPECT_FALSE(isValidUtf8("\x80"));                    // stray continuation
}

TEST(SettingsEncoding, BadBytesBecomeReplacementCharacters) {
    EXPECT_EQ(toValidUtf8("a\xE9" "b\xE2\x82"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(toValidUtf8("\xE2\x82\xAC ok"), "\xE2\x82\xAC ok");
}

TEST(SettingsEncoding, Utf8FileIsTakenAsItIsWithoutItsByteOrderMark) {
    FakeAnsiConverter ansi;
    EXPECT_EQ(decodeSettingsText("0=Caf\xC3\xA9", ansi.function()), "0=Caf\xC3\xA9");
    EXPECT_EQ(decodeSettingsText("\xEF\xBB\xBF[font]", ansi.function()), "[font]");
    EXPECT_EQ(ansi.calls, 0);
}

TEST(SettingsEncoding, OlderAnsiFileIsConvertedWhole) {
    FakeAnsiConverter ansi;
    EXPECT_EQ(decodeSettingsText("0=Caf\xE9 \x80", ansi.function()), "0=Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(ansi.calls, 1);
}

TEST(SettingsEncoding, ConverterOutputIsMadeValid) {
    const AnsiToUtf8 careless = [](std::string_view bytes) { return std::string(bytes); };
    EXPECT_EQ(decodeSettingsText("x\xE9", careless), "x\xEF\xBF\xBD");
}

}  // namespace
}  // namespace vistrel::settings
