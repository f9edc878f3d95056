#include "settings/profile_encoding.h"

#include <cstddef>

namespace vistrel::settings {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool isContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence at `pos`, or 0 when there is none.
std::size_t validSequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return 1;

    std::size_t length = 0;
    // The range of the second byte excludes overlong forms, surrogates and
    // code points above U+10FFFF.
    unsigned char secondMin = 0x80, secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondMin = 0xA0;
        if (lead == 0xED) secondMax = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondMin = 0x90;
        if (lead == 0xF4) secondMax = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;

    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if (second < secondMin || second > secondMax) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuationByte(static_cast<unsigned char>(text[pos + i]))) return 0;
    }
    return length;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = validSequenceLength(text, pos);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::string toValidUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = validSequenceLength(text, pos);
        if (length == 0) {
            result += kReplacementCharacter;
            ++pos;
        } else {
            result.append(text.substr(pos, length));
            pos += length;
        }
    }
    return result;
}

std::string decodeSettingsText(std::string_view bytes, const AnsiToUtf8& ansiToUtf8) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    if (isValidUtf8(bytes)) return std::string(bytes);
    return toValidUtf8(ansiToUtf8(bytes));
}

}  // namespace vistrel::settings
