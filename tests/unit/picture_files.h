// Picture files made in the tests: PNG, JPEG and TIFF bytes saved by
// gdk-pixbuf, and the EXIF metadata a camera gives a photo.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vistrel::testing {

// A picture saved by gdk-pixbuf in `format` ("png", "jpeg", "tiff").
inline std::string saved(int width, int height, bool alpha, const char* format,
                  const std::function<std::uint32_t(int, int)>& rgba) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, alpha, 8, width, height);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    guchar* rows = gdk_pixbuf_get_pixels(pixbuf);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            guchar* p = rows + y * gdk_pixbuf_get_rowstride(pixbuf) + x * channels;
            const std::uint32_t c = rgba(x, y);  // 0xRRGGBBAA
            p[0] = c >> 24;
            p[1] = c >> 16 & 0xFF;
            p[2] = c >> 8 & 0xFF;
            if (alpha) p[3] = c & 0xFF;
        }
    }
    gchar* buffer = nullptr;
    gsize size = 0;
    EXPECT_TRUE(gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, format, nullptr, nullptr));
    std::string bytes(buffer, size);
    g_free(buffer);
    g_object_unref(pixbuf);
    return bytes;
}

// `body` as an APP1 segment put right after the JPEG's start marker.
inline std::string withApp1(const std::string& jpeg, const std::string& body) {
    const std::size_t length = body.size() + 2;
    const std::string segment = std::string("\xFF\xE1") + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + body;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

// An EXIF block holding only the orientation tag, as an APP1 segment put
// right after the JPEG's start marker.
inline std::string withOrientation(const std::string& jpeg, int orientation) {
    std::string tiff = std::string("II*\0\x08\0\0\0", 8) + std::string("\x01\0", 2) +  // one entry
                       std::string("\x12\x01\x03\0\x01\0\0\0", 8) + static_cast<char>(orientation) +
                       std::string("\0\0\0", 3) + std::string(4, '\0');
    return withApp1(jpeg, std::string("Exif\0\0", 6) + tiff);
}

// Metadata in the TIFF layout, as cameras write it into a JPEG's EXIF block
// and as a TIFF file holds it: a first directory with the sizes, the
// orientation, DateTime and a pointer to the EXIF sub-directory, which
// holds DateTimeOriginal. Empty texts and zeros leave their tags out.
struct ExifMetadata {
    bool bigEndian = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int orientation = 0;
    std::string dateTime;
    std::string dateTimeOriginal;  // without it, no sub-directory
    // Where the pointer to the sub-directory leads, when not to it.
    std::optional<std::uint32_t> subDirectoryPointer;

    std::string tiff() const {
        auto u16 = [this](unsigned v) {
            return bigEndian ? std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}
                             : std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
        };
        auto u32 = [&](std::uint32_t v) { return bigEndian ? u16(v >> 16) + u16(v & 0xFFFF) : u16(v & 0xFFFF) + u16(v >> 16); };
        struct Entry {
            unsigned tag, type;
            std::uint32_t count;
            std::string value;  // four bytes, or the text stored after the directories
            bool text;
        };
        constexpr unsigned kAscii = 2, kShort = 3, kLong = 4;
        std::vector<Entry> first, sub;
        if (width) first.push_back({256, kLong, 1, u32(width), false});
        if (height) first.push_back({257, kLong, 1, u32(height), false});
        if (orientation) first.push_back({274, kShort, 1, u16(static_cast<unsigned>(orientation)) + u16(0), false});
        if (!dateTime.empty()) first.push_back({306, kAscii, static_cast<std::uint32_t>(dateTime.size() + 1), dateTime + '\0', true});
        if (!dateTimeOriginal.empty()) {
            first.push_back({34665, kLong, 1, "", false});  // its value is known once the layout is
            sub.push_back({36867, kAscii, static_cast<std::uint32_t>(dateTimeOriginal.size() + 1), dateTimeOriginal + '\0', true});
        }
        const std::uint32_t firstAt = 8;
        const std::uint32_t subAt = firstAt + 6 + 12 * static_cast<std::uint32_t>(first.size());
        std::uint32_t textAt = subAt + (sub.empty() ? 0 : 6 + 12 * static_cast<std::uint32_t>(sub.size()));
        std::string texts;
        auto directory = [&](std::vector<Entry>& entries) {
            std::string out = u16(static_cast<unsigned>(entries.size()));
            for (Entry& entry : entries) {
                std::string value = entry.value;
                if (entry.tag == 34665) value = u32(subDirectoryPointer.value_or(subAt));
                if (entry.text) {
                    value = u32(textAt + static_cast<std::uint32_t>(texts.size()));
                    texts += entry.value;
                }
                out += u16(entry.tag) + u16(entry.type) + u32(entry.count) + value;
            }
            return out + u32(0);  // no next directory
        };
        std::string tiff = bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4);
        tiff += u32(firstAt) + directory(first);
        if (!sub.empty()) tiff += directory(sub);
        return tiff + texts;
    }
    // The body of a JPEG's EXIF APP1 segment.
    std::string app1() const { return std::string("Exif\0\0", 6) + tiff(); }
};

}  // namespace vistrel::testing
