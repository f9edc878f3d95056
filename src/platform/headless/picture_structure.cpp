#include "platform/headless/picture_structure.h"

#include <cstdlib>

namespace vistrel::platform::headless {
namespace {

constexpr std::uint8_t kMarkerPrefix = 0xFF;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;

bool isRestartMarker(std::uint8_t code) { return code >= 0xD0 && code <= 0xD7; }

// Inside scan data a 0xFF byte is either stuffed (followed by 0x00), a
// restart marker or fill before the marker that ends the scan. Returns the
// offset of that marker, or the size when the data runs out first.
std::size_t endOfScan(std::span<const std::uint8_t> bytes, std::size_t pos) {
    for (; pos + 1 < bytes.size(); ++pos) {
        if (bytes[pos] != kMarkerPrefix) continue;
        const std::uint8_t next = bytes[pos + 1];
        if (next != 0x00 && next != kMarkerPrefix && !isRestartMarker(next)) return pos;
    }
    return bytes.size();
}

std::uint32_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (std::uint32_t{b[at + 1]} << 8);
}

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    return le16(b, at) | (le16(b, at + 2) << 16);
}

}  // namespace

bool jpegReachesEnd(std::span<const std::uint8_t> bytes) {
    std::size_t pos = 2;  // after the start-of-image marker
    while (pos + 1 < bytes.size()) {
        if (bytes[pos] != kMarkerPrefix) {
            ++pos;  // stray bytes between segments; libjpeg skips them too
            continue;
        }
        const std::uint8_t code = bytes[pos + 1];
        if (code == kMarkerPrefix) {
            ++pos;  // fill byte before a marker
            continue;
        }
        if (code == kEndOfImage) return true;
        if (code == 0x01 || isRestartMarker(code)) {
            pos += 2;
            continue;
        }
        if (pos + 3 >= bytes.size()) return false;
        const std::size_t segmentEnd = pos + 2 + (std::size_t{bytes[pos + 2]} << 8 | bytes[pos + 3]);
        if (segmentEnd > bytes.size()) return false;
        pos = code == kStartOfScan ? endOfScan(bytes, segmentEnd) : segmentEnd;
    }
    return false;
}

bool bmpHoldsAllRows(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kFileHeader = 14;
    constexpr std::uint32_t kCoreHeader = 12;  // the old OS/2 layout
    constexpr std::uint32_t kUncompressed = 0;
    constexpr std::uint32_t kBitFields = 3;
    if (bytes.size() < kFileHeader + kCoreHeader) return false;
    const std::uint64_t pixelOffset = le32(bytes, 10);
    const std::uint32_t headerSize = le32(bytes, kFileHeader);
    std::uint64_t width = 0, height = 0, bitsPerPixel = 0;
    if (headerSize == kCoreHeader) {
        width = le16(bytes, 18);
        height = le16(bytes, 20);
        bitsPerPixel = le16(bytes, 24);
    } else {
        if (bytes.size() < kFileHeader + 20) return false;
        const auto compression = le32(bytes, 30);
        if (compression != kUncompressed && compression != kBitFields) return true;
        width = static_cast<std::uint64_t>(std::llabs(static_cast<std::int32_t>(le32(bytes, 18))));
        height = static_cast<std::uint64_t>(std::llabs(static_cast<std::int32_t>(le32(bytes, 22))));
        bitsPerPixel = le16(bytes, 28);
    }
    const std::uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return pixelOffset + rowBytes * height <= bytes.size();
}

}  // namespace vistrel::platform::headless
