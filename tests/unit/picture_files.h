// Picture files made in the tests: PNG, JPEG and TIFF bytes saved by
// gdk-pixbuf, and a JPEG given an EXIF orientation tag.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

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

// An EXIF block holding only the orientation tag, as an APP1 segment put
// right after the JPEG's start marker.
inline std::string withOrientation(const std::string& jpeg, int orientation) {
    std::string tiff = std::string("II*\0\x08\0\0\0", 8) + std::string("\x01\0", 2) +  // one entry
                       std::string("\x12\x01\x03\0\x01\0\0\0", 8) + static_cast<char>(orientation) +
                       std::string("\0\0\0", 3) + std::string(4, '\0');
    const std::string body = std::string("Exif\0\0", 6) + tiff;
    const std::size_t length = body.size() + 2;
    const std::string segment = std::string("\xFF\xE1") + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + body;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

}  // namespace vistrel::testing
