// Small picture files for the bulk-add benchmarks: the bytes the header
// check reads of a BMP, a PNG and a camera JPEG, native and under Wine alike.
#pragma once

#include <string>

namespace vistrel::bench {

inline void le32(std::string& out, unsigned v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void be32(std::string& out, unsigned v) {
    for (int i = 3; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A 2 x 2 pixel 24-bit BMP.
inline std::string tinyBmp() {
    std::string bmp = "BM";
    le32(bmp, 54 + 16);
    le32(bmp, 0);
    le32(bmp, 54);
    le32(bmp, 40);
    le32(bmp, 2);
    le32(bmp, 2);
    bmp += std::string("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i) le32(bmp, 0);
    bmp += std::string(16, '\x40');
    return bmp;
}

// The start of a 4000 x 3000 PNG: what the header check reads of it.
inline std::string pngHead() {
    std::string png = "\x89PNG\r\n\x1a\n";
    be32(png, 13);
    png += "IHDR";
    be32(png, 4000);
    be32(png, 3000);
    png += std::string("\x08\x02\x00\x00\x00", 5);
    be32(png, 0);  // CRC, not checked by the header reader
    png += std::string(64, '\0');
    return png;
}

// The start of a 6000 x 4000 baseline JPEG with a 2 KB metadata segment
// before its frame header, as camera files have.
inline std::string jpegHead() {
    std::string jpeg = "\xFF\xD8\xFF\xE1";
    const int app = 2048;
    jpeg += static_cast<char>((app + 2) >> 8);
    jpeg += static_cast<char>((app + 2) & 0xFF);
    jpeg += std::string(app, 'x');
    jpeg += std::string("\xFF\xC0\x00\x11\x08", 5);
    jpeg += std::string("\x0F\xA0\x17\x70", 4);  // 4000 rows, 6000 columns
    jpeg += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
    jpeg += std::string("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00", 14);
    jpeg += std::string(256, '\x55');
    jpeg += "\xFF\xD9";
    return jpeg;
}

}  // namespace vistrel::bench
