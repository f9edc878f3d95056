#include "picture/picture_structure.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace vistrel::picture {
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
        // memchr: a photo's scan is megabytes long, and 0xFF is rare in it.
        const void* prefix = std::memchr(bytes.data() + pos, kMarkerPrefix, bytes.size() - 1 - pos);
        if (!prefix) break;
        pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(prefix) - bytes.data());
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

// Reads `count` bytes at `offset` into `out`; false when the file is shorter.
bool readAt(const ByteSource& file, std::uint64_t offset, std::uint8_t* out, std::size_t count) {
    return file.read(offset, {out, count}) == count;
}

std::uint32_t be16(const std::uint8_t* b) { return std::uint32_t{b[0]} << 8 | b[1]; }
std::uint32_t be32(const std::uint8_t* b) { return be16(b) << 16 | be16(b + 2); }

PictureHeader known(PictureFormat format, std::int64_t width, std::int64_t height) {
    PictureHeader header{format, width > 0 && height > 0, width, height};
    if (!header.sizeKnown) header.width = header.height = 0;
    return header;
}

struct TiffTags {
    bool read = false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int orientation = 0;
    CalendarDate dateTaken;
};

// A TIFF structure that starts at `base` (a TIFF file, or the EXIF block of
// a JPEG) and ends at `end`: every offset it holds is relative to `base`,
// and nothing at or past `end` is read, whatever an offset claims.
class TiffReader {
public:
    TiffReader(const ByteSource& file, std::uint64_t base, std::uint64_t end) : file_(file), base_(base), end_(end) {}

    // Reads the byte order mark and the first directory's offset; false
    // when the structure does not start with them.
    bool readHeader() {
        std::array<std::uint8_t, 8> b{};
        if (!read(0, b.data(), b.size())) return false;
        little_ = b[0] == 'I';
        firstDirectory_ = u32(&b[4]);
        return little_ ? b[1] == 'I' : (b[0] == 'M' && b[1] == 'M');
    }
    std::uint32_t firstDirectory() const { return firstDirectory_; }

    struct Entry {
        std::uint32_t tag = 0;
        std::uint32_t type = 0;
        std::uint32_t count = 0;
        std::array<std::uint8_t, 4> value{};  // the value itself, or its offset
    };
    static constexpr std::uint32_t kAscii = 2, kShort = 3, kLong = 4, kIfd = 13;

    // The entries of the directory at `offset` that lie wholly before the
    // end; none when the offset leads nowhere.
    std::vector<Entry> directory(std::uint64_t offset) const {
        std::array<std::uint8_t, 2> countBytes{};
        if (!read(offset, countBytes.data(), countBytes.size())) return {};
        const std::uint64_t first = offset + 2;
        const std::uint64_t room = end_ - std::min(end_, base_ + first);
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(u16(countBytes.data()), room / 12));
        if (count == 0) return {};
        std::vector<std::uint8_t> bytes(count * 12);
        if (!read(first, bytes.data(), bytes.size())) return {};
        std::vector<Entry> entries(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* b = &bytes[i * 12];
            entries[i] = {u16(b), u16(b + 2), u32(b + 4), {b[8], b[9], b[10], b[11]}};
        }
        return entries;
    }

    std::uint32_t shortValue(const Entry& entry) const { return u16(entry.value.data()); }
    std::uint32_t longValue(const Entry& entry) const { return u32(entry.value.data()); }
    // A SHORT or LONG number (sizes are given either way); 0 for any other type.
    std::int64_t number(const Entry& entry) const {
        return entry.type == kShort ? shortValue(entry) : entry.type == kLong ? longValue(entry) : 0;
    }
    // The day an ASCII date entry names, wherever its text lies.
    CalendarDate date(const Entry& entry) const {
        constexpr std::uint32_t kDateLength = 10;  // "YYYY:MM:DD"; the time is not needed
        if (entry.type != kAscii || entry.count < kDateLength) return {};
        std::array<std::uint8_t, kDateLength> text{};
        // Texts over four bytes lie elsewhere, at the offset the entry holds.
        if (!read(longValue(entry), text.data(), text.size())) return {};
        return exifDate(text);
    }
    // The offset of the directory an IFD pointer entry leads to (0: none).
    std::uint32_t pointer(const Entry& entry) const {
        return entry.type == kLong || entry.type == kIfd ? longValue(entry) : 0;
    }

private:
    std::uint32_t u16(const std::uint8_t* p) const { return little_ ? (p[0] | std::uint32_t{p[1]} << 8) : be16(p); }
    std::uint32_t u32(const std::uint8_t* p) const {
        return little_ ? (u16(p) | u16(p + 2) << 16) : (u16(p) << 16 | u16(p + 2));
    }
    bool read(std::uint64_t offset, std::uint8_t* out, std::size_t count) const {
        const std::uint64_t at = base_ + offset;  // offsets are 32-bit: no overflow
        return at <= end_ && count <= end_ - at && readAt(file_, at, out, count);
    }

    const ByteSource& file_;
    std::uint64_t base_;
    std::uint64_t end_;
    bool little_ = true;
    std::uint32_t firstDirectory_ = 0;
};

// The tags of the first directory of a TIFF structure, and the date of its
// EXIF sub-directory. Later directories (thumbnails) are not read.
TiffTags tiffTags(const ByteSource& file, std::uint64_t base, std::uint64_t end) {
    TiffTags tags;
    TiffReader tiff(file, base, end);
    if (!tiff.readHeader()) return tags;
    const std::vector<TiffReader::Entry> first = tiff.directory(tiff.firstDirectory());
    if (first.empty()) return tags;
    tags.read = true;
    constexpr std::uint32_t kWidth = 256, kHeight = 257, kOrientation = 274, kDateTime = 306, kExifIfd = 34665;
    constexpr std::uint32_t kDateTimeOriginal = 36867;
    CalendarDate changed;  // DateTime: when the file was last changed, often the same day
    std::uint32_t exifDirectory = 0;
    for (const TiffReader::Entry& entry : first) {
        if (entry.tag == kWidth) tags.width = tiff.number(entry);
        if (entry.tag == kHeight) tags.height = tiff.number(entry);
        if (entry.tag == kOrientation && entry.type == TiffReader::kShort) tags.orientation = static_cast<int>(tiff.shortValue(entry));
        if (entry.tag == kDateTime) changed = tiff.date(entry);
        if (entry.tag == kExifIfd) exifDirectory = tiff.pointer(entry);
    }
    if (exifDirectory != 0) {
        for (const TiffReader::Entry& entry : tiff.directory(exifDirectory)) {
            if (entry.tag == kDateTimeOriginal) tags.dateTaken = tiff.date(entry);
        }
    }
    if (!tags.dateTaken.known()) tags.dateTaken = changed;
    return tags;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Start-of-frame markers of every JPEG coding process (not DHT, JPG, DAC).
bool isStartOfFrame(std::uint8_t code) {
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// Baseline and extended sequential frames, Huffman or arithmetic coded.
bool isSequentialFrame(std::uint8_t code) { return code == 0xC0 || code == 0xC1 || code == 0xC9; }

PictureHeader jpegHeader(const ByteSource& file) {
    PictureHeader header{PictureFormat::Jpeg};
    std::uint64_t pos = 2;
    const std::uint64_t size = file.size();
    std::array<std::uint8_t, 9> b{};
    int frameComponents = 0;  // known once the frame header is read
    bool sequentialFrame = false;
    bool exifRead = false;
    while (pos + 4 <= size) {
        if (!readAt(file, pos, b.data(), 2)) return header;
        if (b[0] != kMarkerPrefix) {
            ++pos;
            continue;
        }
        if (b[1] == kMarkerPrefix) {
            ++pos;
            continue;
        }
        if (b[1] == 0x01 || isRestartMarker(b[1]) || b[1] == 0xD8) {
            pos += 2;
            continue;
        }
        if (b[1] == kEndOfImage) return header;
        const std::uint8_t code = b[1];
        if (code == kStartOfScan) {
            // Only the first scan after the frame header tells the pass count.
            if (frameComponents > 0 && readAt(file, pos + 4, b.data(), 1)) {
                header.jpegSinglePass = sequentialFrame && b[0] == frameComponents;
            }
            return header;
        }
        if (isStartOfFrame(code) && frameComponents == 0) {
            if (!readAt(file, pos, b.data(), 9)) return header;
            // A height of 0 is given later, by a DNL marker after the scan.
            const PictureHeader metadata = header;
            header = known(PictureFormat::Jpeg, be16(&b[7]), be16(&b[5]));
            header.orientation = metadata.orientation;
            header.dateTaken = metadata.dateTaken;
            if (!header.sizeKnown || !readAt(file, pos + 9, b.data(), 1)) return header;
            frameComponents = std::max<int>(b[0], 1);
            sequentialFrame = isSequentialFrame(code);
        }
        if (!readAt(file, pos + 2, b.data(), 2)) return header;
        const std::uint32_t length = be16(b.data());
        if (length < 2) return header;
        constexpr std::uint8_t kApp1 = 0xE1;
        std::array<std::uint8_t, 6> exif{};
        // The first EXIF block counts; its offsets stay within its segment.
        if (code == kApp1 && !exifRead && length > 16 && readAt(file, pos + 4, exif.data(), 6) &&
            std::memcmp(exif.data(), "Exif\0\0", 6) == 0) {
            exifRead = true;
            const TiffTags tags = tiffTags(file, pos + 10, pos + 2 + length);
            header.orientation = tags.orientation;
            header.dateTaken = tags.dateTaken;
        }
        pos += 2 + length;
    }
    return header;
}

PictureHeader pngHeader(const ByteSource& file) {
    std::array<std::uint8_t, 24> b{};
    if (!readAt(file, 0, b.data(), b.size()) || std::memcmp(&b[12], "IHDR", 4) != 0) return {PictureFormat::Png};
    return known(PictureFormat::Png, be32(&b[16]), be32(&b[20]));
}

PictureHeader gifHeader(const ByteSource& file) {
    std::array<std::uint8_t, 10> b{};
    if (!readAt(file, 0, b.data(), b.size())) return {PictureFormat::Gif};
    return known(PictureFormat::Gif, le16(b, 6), le16(b, 8));
}

PictureHeader bmpHeader(const ByteSource& file) {
    std::array<std::uint8_t, 26> b{};
    if (!readAt(file, 0, b.data(), b.size())) return {PictureFormat::Bmp};
    // From the 12-byte OS/2 block to the 124-byte fifth version.
    const std::uint32_t infoSize = le32(b, 14);
    if (infoSize < 12 || infoSize > 124) return {.format = PictureFormat::Bmp, .impossible = true};
    PictureHeader header = infoSize == 12
                               ? known(PictureFormat::Bmp, le16(b, 18), le16(b, 20))
                               : known(PictureFormat::Bmp, std::llabs(static_cast<std::int32_t>(le32(b, 18))),
                                       std::llabs(static_cast<std::int32_t>(le32(b, 22))));
    // Pixels said to start past the end of the file: gdk-pixbuf's decoder
    // makes room for everything up to that offset (2 GB for a 342-byte file)
    // before it finds there is nothing there.
    if (le32(b, 10) > file.size()) header.impossible = true;
    return header;
}

PictureHeader tiffHeader(const ByteSource& file) {
    const TiffTags tags = tiffTags(file, 0, file.size());
    PictureHeader header = known(PictureFormat::Tiff, tags.width, tags.height);
    header.orientation = tags.orientation;
    header.dateTaken = tags.dateTaken;
    return header;
}

}  // namespace

std::size_t MemoryByteSource::read(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = std::min<std::uint64_t>(out.size(), bytes_.size() - offset);
    if (count == 0) return 0;
    std::memcpy(out.data(), bytes_.data() + offset, count);
    return count;
}

CalendarDate exifDate(std::span<const std::uint8_t> text) {
    if (text.size() < 10) return {};
    auto digits = [&text](std::size_t from, std::size_t count) {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const std::uint8_t separator = text[4];
    if (std::string_view(":-/.").find(static_cast<char>(separator)) == std::string_view::npos || text[7] != separator) {
        return {};
    }
    const CalendarDate date{digits(0, 4), digits(5, 2), digits(8, 2)};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month)) {
        return {};
    }
    return date;
}

PictureFormat pictureFormatOf(std::span<const std::uint8_t> bytes) {
    auto startsWith = [&](std::string_view magic) {
        return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
    };
    if (startsWith("GIF87a") || startsWith("GIF89a")) return PictureFormat::Gif;
    if (startsWith("\xFF\xD8\xFF")) return PictureFormat::Jpeg;
    if (startsWith("BM")) return PictureFormat::Bmp;
    if (startsWith("\x89PNG\r\n\x1A\n")) return PictureFormat::Png;
    if (startsWith(std::string_view("II*\0", 4)) || startsWith(std::string_view("MM\0*", 4))) return PictureFormat::Tiff;
    return PictureFormat::Unknown;
}

PictureHeader readPictureHeader(const ByteSource& file) {
    std::array<std::uint8_t, 8> signature{};
    const std::size_t got = file.read(0, signature);
    switch (pictureFormatOf({signature.data(), got})) {
        case PictureFormat::Jpeg: return jpegHeader(file);
        case PictureFormat::Png: return pngHeader(file);
        case PictureFormat::Gif: return gifHeader(file);
        case PictureFormat::Bmp: return bmpHeader(file);
        case PictureFormat::Tiff: return tiffHeader(file);
        case PictureFormat::Unknown: break;
    }
    return {};
}

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

}  // namespace vistrel::picture
