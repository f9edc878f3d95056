// What a picture file says about itself before any decoder sees it: its
// format, the size it declares, whether it holds all of its data, and the
// metadata the program uses (orientation, the day it was taken).
//
// Both backends read the declared size here first, so that a small file
// that claims a huge picture is refused before a decoder allocates for it
// (some decoders decode the whole frame as soon as the file is opened).
// They take the metadata from here too, so that a photo is turned and
// dated alike on every backend, whichever decoder draws its pixels.
#pragma once

#include <cstdint>
#include <span>

#include "picture/picture.h"

namespace vistrel::picture {

enum class PictureFormat { Unknown, Gif, Jpeg, Bmp, Png, Tiff };

// Random access to a file's bytes, so that the header reader reads only the
// few bytes it needs and can skip over large metadata blocks without
// reading them.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Copies up to out.size() bytes from `offset`; returns how many it copied.
    virtual std::size_t read(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t read(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    std::span<const std::uint8_t> bytes_;
};

struct PictureHeader {
    PictureFormat format = PictureFormat::Unknown;
    // False when the header could not be read far enough (a damaged file, a
    // JPEG whose height is given only after the scan): the decoder's own
    // checks then apply.
    bool sizeKnown = false;
    std::int64_t width = 0;  // as stored, before any orientation
    std::int64_t height = 0;
    // The EXIF orientation tag of a JPEG or TIFF file (0 when it has none).
    // For every format read here it is the one that counts; a decoder's
    // own is asked only for formats this reader does not know.
    int orientation = 0;
    // A JPEG coded sequentially whose first scan holds every component: a
    // decoder gives its rows in one pass, holding a few rows at a time. Any
    // other JPEG (progressive, lossless, hierarchical, or components sent
    // scan by scan) is buffered whole, as coefficients, by every decoder,
    // however small the size it is decoded to.
    bool jpegSinglePass = false;
    // The header describes no picture a decoder could give, in a way some
    // decoders answer by allocating what it claims (a BMP whose info block
    // claims to be gigabytes long). Such a file reaches no decoder.
    bool impossible = false;
    // EXIF DateTimeOriginal, else DateTime (of the first directory), when
    // one of them names a real day.
    CalendarDate dateTaken{};
};

// Whether this reader reads the format's metadata itself (every format
// but Unknown: those without EXIF simply have none).
inline bool metadataReadHere(PictureFormat format) { return format != PictureFormat::Unknown; }

// The day an EXIF date text ("2024:07:14 09:30:00") names: its first ten
// characters, digits with ':' (or '-', '/', '.') between the parts.
// Unknown for blanks, zeros or a day the calendar does not have.
CalendarDate exifDate(std::span<const std::uint8_t> text);

// The format from the file's signature.
PictureFormat pictureFormatOf(std::span<const std::uint8_t> firstBytes);
PictureHeader readPictureHeader(const ByteSource& file);

// Walks the marker segments and the entropy-coded scans up to the end of
// image marker; false when the file stops before it.
bool jpegReachesEnd(std::span<const std::uint8_t> bytes);

// For uncompressed bitmaps: the file holds every row that the header
// declares. Run-length coded bitmaps are left to the decoder.
bool bmpHoldsAllRows(std::span<const std::uint8_t> bytes);

}  // namespace vistrel::picture
