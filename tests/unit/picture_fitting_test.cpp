// Fitting, orientation and limits of the picture loader, with pictures made
// in the test: JPEG bytes written by libjpeg (with an EXIF orientation tag
// where a case needs one), PNG and TIFF bytes saved by gdk-pixbuf, BMPs
// written by hand. Also the slideshow as it shows fitted pictures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstdlib>
#include <functional>
#include <map>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <jpeglib.h>

#include "picture_files.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/picture_decoder.h"
#include "picture/picture_fitting.h"
#include "picture/pixel_rows.h"
#include "picture/picture_structure.h"
#include "saver/saver_window.h"
#include "test_support.h"

namespace vistrel::platform {
namespace {

using headless::decodePictureBytes;
using headless::HeadlessPlatform;
using vistrel::testing::bmpFile;
using vistrel::testing::saved;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

picture::Picture pictureOf(const picture::PictureResult& result) {
    if (const auto* failure = std::get_if<picture::PictureFailure>(&result)) {
        ADD_FAILURE() << "not decoded: " << failure->detail;
        return {};
    }
    return std::get<picture::Picture>(result);
}

std::optional<picture::PictureError> errorOf(const picture::PictureResult& result) {
    if (const auto* failure = std::get_if<picture::PictureFailure>(&result)) return failure->error;
    return std::nullopt;
}

int redOf(std::uint32_t pixel) { return pixel >> 16 & 0xFF; }
int greenOf(std::uint32_t pixel) { return pixel >> 8 & 0xFF; }
int blueOf(std::uint32_t pixel) { return pixel & 0xFF; }

// Named colours of the test pictures, and a loose match for lossy files.
enum class Hue { Red, Green, Blue };
const char* nameOf(Hue hue) { return hue == Hue::Red ? "red" : hue == Hue::Green ? "green" : "blue"; }

::testing::AssertionResult looksLike(std::uint32_t pixel, Hue hue, int strong = 180, int weak = 80) {
    const int r = redOf(pixel), g = greenOf(pixel), b = blueOf(pixel);
    const int main = hue == Hue::Red ? r : hue == Hue::Green ? g : b;
    const int other1 = hue == Hue::Red ? g : r;
    const int other2 = hue == Hue::Blue ? g : b;
    if (main >= strong && other1 <= weak && other2 <= weak) return ::testing::AssertionSuccess();
    char text[64];
    std::snprintf(text, sizeof text, "rgb(%d, %d, %d)", r, g, b);
    return ::testing::AssertionFailure() << text << " is not " << nameOf(hue);
}

void putRgb(std::uint8_t* at, Hue hue) {
    at[0] = hue == Hue::Red ? 255 : 0;
    at[1] = hue == Hue::Green ? 255 : 0;
    at[2] = hue == Hue::Blue ? 255 : 0;
}

// --- JPEG bytes written by libjpeg ---

struct JpegOptions {
    int quality = 90;
    bool progressive = false;
    std::string app1;  // the body of an APP1 segment, written after the JFIF header
};

// `row(y, rgb)` fills one row of RGB bytes; rows are made one at a time, so
// a huge picture costs no memory.
std::string jpegBytes(int width, int height, const std::function<void(int, std::uint8_t*)>& row,
                      const JpegOptions& options = {}) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    if (!options.app1.empty()) {
        jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(options.app1.data()),
                          static_cast<unsigned>(options.app1.size()));
    }
    std::vector<std::uint8_t> line(static_cast<std::size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        row(static_cast<int>(info.next_scanline), line.data());
        JSAMPROW rows[1] = {line.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

// The body of an EXIF APP1 segment whose first directory holds one entry
// for the orientation tag (0x0112).
std::string exifOrientation(int value, bool bigEndian = false, int type = 3 /* SHORT */) {
    auto u16 = [bigEndian](unsigned v) {
        return bigEndian ? std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}
                         : std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    };
    auto u32 = [&](std::uint32_t v) { return bigEndian ? u16(v >> 16) + u16(v & 0xFFFF) : u16(v & 0xFFFF) + u16(v >> 16); };
    std::string tiff = bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4);
    tiff += u32(8) + u16(1);                 // the directory right after the header, one entry
    tiff += u16(0x0112) + u16(static_cast<unsigned>(type)) + u32(1);
    tiff += type == 3 ? u16(static_cast<unsigned>(value)) + u16(0) : u32(static_cast<std::uint32_t>(value));
    tiff += u32(0);                          // no next directory
    return std::string("Exif\0\0", 6) + tiff;
}

// Stored 32 x 16: the left half red above green, the right half blue.
void quadrantRow(int width, int height, int y, std::uint8_t* rgb) {
    for (int x = 0; x < width; ++x) putRgb(rgb + 3 * x, x >= width / 2 ? Hue::Blue : y < height / 2 ? Hue::Red : Hue::Green);
}

// ============================================================== fitWithin

TEST(FitWithin, SizesAtAndJustOverTheSpaceAndFarOverEitherWay) {
    struct Case {
        picture::PixelSize picture, space, fitted;
    } cases[] = {
        {{100, 75}, {100, 75}, {100, 75}},      // exactly the space
        {{101, 75}, {100, 75}, {100, 74}},      // a pixel too wide: limited by the width
        {{100, 76}, {100, 75}, {99, 75}},       // a pixel too tall: limited by the height
        {{101, 76}, {100, 75}, {100, 75}},      // a pixel over both ways, the same proportions nearly
        {{99, 75}, {100, 75}, {99, 75}},        // fits already
        {{40, 20}, {1024, 768}, {40, 20}},      // never enlarged
        {{4000, 1000}, {1024, 768}, {1024, 256}},  // wide
        {{1000, 4000}, {1024, 768}, {192, 768}},   // tall
        {{3000, 4000}, {1024, 768}, {576, 768}},
        {{20000, 5000}, {1024, 768}, {1024, 256}},
        {{30000, 1}, {100, 100}, {100, 1}},     // never thinner than a pixel
        {{1, 30000}, {100, 100}, {1, 100}},
        {{65500, 65500}, {1920, 1080}, {1080, 1080}},
    };
    for (const Case& c : cases) {
        const picture::PixelSize fitted = picture::fitWithin(c.picture, c.space);
        EXPECT_EQ(fitted.width, c.fitted.width) << c.picture.width << " x " << c.picture.height << " in "
                                                << c.space.width << " x " << c.space.height;
        EXPECT_EQ(fitted.height, c.fitted.height) << c.picture.width << " x " << c.picture.height << " in "
                                                  << c.space.width << " x " << c.space.height;
    }
}

TEST(FitWithin, KeepsProportionsAndTouchesTheSpaceForEverySizeOver) {
    for (picture::PixelSize space : {picture::PixelSize{200, 150}, picture::PixelSize{150, 112}, picture::PixelSize{64, 48}, picture::PixelSize{133, 100}}) {
        for (int w = 1; w <= 420; w += 7) {
            for (int h = 1; h <= 420; h += 11) {
                const picture::PixelSize fitted = picture::fitWithin({w, h}, space);
                const bool fits = w <= space.width && h <= space.height;
                if (fits) {
                    ASSERT_EQ(fitted, (picture::PixelSize{w, h}));
                    continue;
                }
                ASSERT_LE(fitted.width, space.width) << w << " x " << h;
                ASSERT_LE(fitted.height, space.height) << w << " x " << h;
                ASSERT_GE(fitted.width, 1);
                ASSERT_GE(fitted.height, 1);
                ASSERT_TRUE(fitted.width == space.width || fitted.height == space.height) << w << " x " << h;
                // The side that was worked out is the rounded proportion of the other.
                if (fitted.width == space.width) {
                    ASSERT_NEAR(fitted.height, std::max(1.0, static_cast<double>(h) * space.width / w), 0.5 + 1e-9)
                        << w << " x " << h;
                } else {
                    ASSERT_NEAR(fitted.width, std::max(1.0, static_cast<double>(w) * space.height / h), 0.5 + 1e-9)
                        << w << " x " << h;
                }
            }
        }
    }
}

// ============================================================ orientation

// The stored picture: 3 x 2, pixels 1 2 3 / 4 5 6.
TEST(OrientPicture, EveryTagOnAThreeByTwoPicture) {
    picture::Picture stored{3, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006}};
    stored.naturalWidth = 300;
    stored.naturalHeight = 200;
    struct Case {
        int tag;
        int width, height;
        std::vector<int> pixels;  // the low byte of each upright pixel, row by row
    } cases[] = {
        {1, 3, 2, {1, 2, 3, 4, 5, 6}},
        {2, 3, 2, {3, 2, 1, 6, 5, 4}},  // mirrored left to right
        {3, 3, 2, {6, 5, 4, 3, 2, 1}},  // half a turn
        {4, 3, 2, {4, 5, 6, 1, 2, 3}},  // mirrored top to bottom
        {5, 2, 3, {1, 4, 2, 5, 3, 6}},  // the rows become the columns
        {6, 2, 3, {4, 1, 5, 2, 6, 3}},  // a quarter turn clockwise
        {7, 2, 3, {6, 3, 5, 2, 4, 1}},
        {8, 2, 3, {3, 6, 2, 5, 1, 4}},  // a quarter turn anticlockwise
        {0, 3, 2, {1, 2, 3, 4, 5, 6}},  // no tag, or nonsense: as stored
        {9, 3, 2, {1, 2, 3, 4, 5, 6}},
        {-6, 3, 2, {1, 2, 3, 4, 5, 6}},
        {0x106, 3, 2, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        const picture::Picture upright = picture::orientPicture(stored, c.tag);
        ASSERT_EQ(upright.width, c.width) << "tag " << c.tag;
        ASSERT_EQ(upright.height, c.height) << "tag " << c.tag;
        std::vector<int> low;
        for (std::uint32_t pixel : upright.pixels) low.push_back(static_cast<int>(pixel & 0xFF));
        EXPECT_EQ(low, c.pixels) << "tag " << c.tag;
        // The natural size is already the upright one; turning leaves it.
        EXPECT_EQ(upright.naturalWidth, 300) << "tag " << c.tag;
        EXPECT_EQ(upright.naturalHeight, 200) << "tag " << c.tag;
    }
}

// Where the stored quadrants go: each row gives the upright picture's
// top-left, top-right, bottom-left and bottom-right quarter.
struct TurnCase {
    int tag;
    bool swaps;
    Hue topLeft, topRight, bottomLeft, bottomRight;
};
constexpr TurnCase kTurns[] = {
    {1, false, Hue::Red, Hue::Blue, Hue::Green, Hue::Blue},
    {2, false, Hue::Blue, Hue::Red, Hue::Blue, Hue::Green},
    {3, false, Hue::Blue, Hue::Green, Hue::Blue, Hue::Red},
    {4, false, Hue::Green, Hue::Blue, Hue::Red, Hue::Blue},
    {5, true, Hue::Red, Hue::Green, Hue::Blue, Hue::Blue},
    {6, true, Hue::Green, Hue::Red, Hue::Blue, Hue::Blue},
    {7, true, Hue::Blue, Hue::Blue, Hue::Green, Hue::Red},
    {8, true, Hue::Blue, Hue::Blue, Hue::Red, Hue::Green},
};

void expectQuadrants(const picture::Picture& p, const TurnCase& c, int strong, int weak) {
    const int qx = p.width / 4, qy = p.height / 4;
    EXPECT_TRUE(looksLike(p.at(qx, qy), c.topLeft, strong, weak)) << "tag " << c.tag << " top left";
    EXPECT_TRUE(looksLike(p.at(3 * qx, qy), c.topRight, strong, weak)) << "tag " << c.tag << " top right";
    EXPECT_TRUE(looksLike(p.at(qx, 3 * qy), c.bottomLeft, strong, weak)) << "tag " << c.tag << " bottom left";
    EXPECT_TRUE(looksLike(p.at(3 * qx, 3 * qy), c.bottomRight, strong, weak)) << "tag " << c.tag << " bottom right";
}

TEST(OrientedJpeg, EachTagOfTheExifBlockTurnsTheDecodedPhotoUpright) {
    for (const TurnCase& c : kTurns) {
        for (bool bigEndian : {false, true}) {
            const std::string jpeg = jpegBytes(32, 16, [](int y, std::uint8_t* rgb) { quadrantRow(32, 16, y, rgb); },
                                               {.quality = 95, .app1 = exifOrientation(c.tag, bigEndian)});
            SCOPED_TRACE(bigEndian ? "big-endian EXIF" : "little-endian EXIF");
            EXPECT_EQ(picture::readPictureHeader(picture::MemoryByteSource(bytesOf(jpeg))).orientation, c.tag);

            const picture::Picture upright = pictureOf(decodePictureBytes(bytesOf(jpeg)));
            ASSERT_EQ(upright.width, c.swaps ? 16 : 32) << "tag " << c.tag;
            ASSERT_EQ(upright.height, c.swaps ? 32 : 16) << "tag " << c.tag;
            expectQuadrants(upright, c, 180, 80);

            // Fitted into 16 x 16: reduced, then turned; the quadrants stay put.
            const picture::Picture fitted = pictureOf(decodePictureBytes(bytesOf(jpeg), {16, 16, 0}));
            ASSERT_EQ(fitted.width, c.swaps ? 8 : 16) << "tag " << c.tag;
            ASSERT_EQ(fitted.height, c.swaps ? 16 : 8) << "tag " << c.tag;
            EXPECT_EQ(fitted.naturalWidth, upright.width) << "tag " << c.tag;
            EXPECT_EQ(fitted.naturalHeight, upright.height) << "tag " << c.tag;
            expectQuadrants(fitted, c, 150, 110);
        }
    }
}

TEST(OrientedJpeg, ThroughThePlatformsLoaderWithAFitRequest) {
    HeadlessPlatform platform;
    const std::string jpeg = jpegBytes(32, 16, [](int y, std::uint8_t* rgb) { quadrantRow(32, 16, y, rgb); },
                                       {.quality = 95, .app1 = exifOrientation(8)});
    platform.putFile("C:\\Photos\\turned.jpg", jpeg);
    const picture::Picture shown = pictureOf(platform.loadPicture("C:\\Photos\\turned.jpg", picture::PictureRequest{64, 64, 0}));
    ASSERT_EQ(shown.width, 16);
    ASSERT_EQ(shown.height, 32);
    expectQuadrants(shown, kTurns[7], 180, 80);
    const picture::Picture decoded = pictureOf(platform.decodePicture(bytesOf(jpeg)));
    EXPECT_EQ(decoded.width, 16);
    EXPECT_EQ(decoded.height, 32);
}

TEST(OrientedJpeg, AMissingOrDamagedTagMeansAsStored) {
    const TurnCase& asStored = kTurns[0];
    std::string truncatedExif = exifOrientation(6);
    truncatedExif.resize(truncatedExif.size() - 12);  // the directory's entry cut off
    std::string wrongDirectory = exifOrientation(6);
    wrongDirectory[10] = '\x40';                       // the directory offset points past the block
    struct Case {
        const char* what;
        std::string app1;
    } cases[] = {
        {"no EXIF block", ""},
        {"tag 0", exifOrientation(0)},
        {"tag 9", exifOrientation(9)},
        {"tag 65535", exifOrientation(65535)},
        {"tag 6 as a LONG", exifOrientation(6, false, 4)},
        {"tag 6 as a BYTE", exifOrientation(6, false, 1)},
        {"not EXIF", std::string("Exig\0\0", 6) + exifOrientation(6).substr(6)},
        {"entry cut off", truncatedExif},
        {"directory past the end", wrongDirectory},
        {"no byte order", std::string("Exif\0\0XX*\0", 10) + exifOrientation(6).substr(10)},
    };
    for (const Case& c : cases) {
        const std::string jpeg = jpegBytes(32, 16, [](int y, std::uint8_t* rgb) { quadrantRow(32, 16, y, rgb); },
                                           {.quality = 95, .app1 = c.app1});
        const picture::Picture shown = pictureOf(decodePictureBytes(bytesOf(jpeg)));
        ASSERT_EQ(shown.width, 32) << c.what;
        ASSERT_EQ(shown.height, 16) << c.what;
        SCOPED_TRACE(c.what);
        expectQuadrants(shown, asStored, 180, 80);
        const int headerTag = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(jpeg))).orientation;
        EXPECT_FALSE(headerTag >= 2 && headerTag <= 8) << c.what << ": header reads tag " << headerTag;
    }
}

// ===================================================== alpha and formats

TEST(PictureAlpha, TransparentPartsShowTheBackgroundAtOwnSizeAndReduced) {
    // 40 x 40: left half fully transparent (its colour white, never to be
    // seen), right half opaque red above half-transparent blue.
    const std::string png = saved(40, 40, true, "png", [](int x, int y) -> std::uint32_t {
        if (x < 20) return 0xFFFFFF00u;
        return y < 20 ? 0xFF0000FFu : 0x0000FF80u;
    });
    // Orange as the settings hold it: red in the low byte.
    const std::uint32_t orange = 0x0080FF;
    for (picture::PictureRequest request : {picture::PictureRequest{0, 0, orange}, picture::PictureRequest{10, 10, orange},
                                   picture::PictureRequest{25, 30, orange}}) {
        const picture::Picture shown = pictureOf(decodePictureBytes(bytesOf(png), request));
        const int w = shown.width, h = shown.height;
        ASSERT_EQ(w, request.fits() ? std::min(request.maxWidth, request.maxHeight) : 40);
        ASSERT_EQ(h, w);
        SCOPED_TRACE("fitted to " + std::to_string(w));
        const std::uint32_t left = shown.at(w / 8, h / 2);
        EXPECT_NEAR(redOf(left), 255, 2);
        EXPECT_NEAR(greenOf(left), 128, 2);
        EXPECT_NEAR(blueOf(left), 0, 2);
        EXPECT_EQ(left >> 24, 0xFFu);
        const std::uint32_t top = shown.at(w * 7 / 8, h / 8);
        EXPECT_EQ(top, 0xFFFF0000u);
        const std::uint32_t half = shown.at(w * 7 / 8, h * 7 / 8);  // blue at 128/255 over orange
        EXPECT_NEAR(redOf(half), 127, 3);
        EXPECT_NEAR(greenOf(half), 64, 3);
        EXPECT_NEAR(blueOf(half), 128, 3);
        EXPECT_EQ(half >> 24, 0xFFu);
    }
}

TEST(PictureAlpha, GreenBackgroundBehindEachAlphaLevel) {
    const std::uint32_t green = 0x00FF00;
    const int alphas[] = {0, 64, 128, 192, 255};
    const std::string png = saved(5, 1, true, "png", [&](int x, int) { return 0xFF000000u | alphas[x]; });  // red
    const picture::Picture shown = pictureOf(decodePictureBytes(bytesOf(png), {0, 0, green}));
    ASSERT_EQ(shown.width, 5);
    for (int x = 0; x < 5; ++x) {
        EXPECT_NEAR(redOf(shown.at(x, 0)), alphas[x], 1) << "alpha " << alphas[x];
        EXPECT_NEAR(greenOf(shown.at(x, 0)), 255 - alphas[x], 1) << "alpha " << alphas[x];
        EXPECT_EQ(blueOf(shown.at(x, 0)), 0) << "alpha " << alphas[x];
    }
}

TEST(PictureFormats, TiffDecodesItsSizeAndColoursAndIsFitted) {
    // 12 x 8: red left third, green middle, blue right third.
    const auto thirds = [](int x, int) { return x < 4 ? 0xFF0000FFu : x < 8 ? 0x00FF00FFu : 0x0000FFFFu; };
    for (bool alpha : {false, true}) {
        const std::string tiff = saved(12, 8, alpha, "tiff", thirds);
        const picture::PictureHeader header = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(tiff)));
        EXPECT_EQ(header.format, picture::PictureFormat::Tiff);
        EXPECT_EQ(header.width, 12);
        EXPECT_EQ(header.height, 8);
        const picture::Picture own = pictureOf(decodePictureBytes(bytesOf(tiff)));
        ASSERT_EQ(own.width, 12);
        ASSERT_EQ(own.height, 8);
        for (int y = 0; y < 8; ++y) {
            EXPECT_EQ(own.at(0, y), 0xFFFF0000u);
            EXPECT_EQ(own.at(5, y), 0xFF00FF00u);
            EXPECT_EQ(own.at(11, y), 0xFF0000FFu);
        }
        HeadlessPlatform platform;
        platform.putFile("C:\\Scans\\page.tif", tiff);
        const picture::Picture fitted = pictureOf(platform.loadPicture("C:\\Scans\\page.tif", picture::PictureRequest{6, 6, 0}));
        EXPECT_EQ(fitted.width, 6);
        EXPECT_EQ(fitted.height, 4);
        EXPECT_TRUE(looksLike(fitted.at(0, 2), Hue::Red));
        EXPECT_TRUE(looksLike(fitted.at(5, 2), Hue::Blue));
    }
}

// ========================================================== checkerboard

TEST(CheckerboardReduction, AOnePixelCheckerboardInEachFormatComesOutFlatGrey) {
    constexpr int kWidth = 400, kHeight = 300;
    const auto white = [](int x, int y) { return (x + y) % 2 == 0; };
    struct File {
        const char* format;
        std::string bytes;
    } files[] = {
        {"bmp", bmpFile(kWidth, kHeight, [&](int x, int y) { return white(x, y) ? 0xFFFFFFu : 0u; })},
        {"png", saved(kWidth, kHeight, false, "png", [&](int x, int y) { return white(x, y) ? 0xFFFFFFFFu : 0x000000FFu; })},
        {"jpeg", jpegBytes(kWidth, kHeight, [&](int y, std::uint8_t* rgb) {
             for (int x = 0; x < kWidth; ++x) rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] = white(x, y) ? 255 : 0;
         }, {.quality = 95})},
    };
    for (const File& file : files) {
        for (picture::PixelSize space : {picture::PixelSize{100, 75}, picture::PixelSize{150, 112}, picture::PixelSize{200, 150}, picture::PixelSize{399, 299},
                                picture::PixelSize{333, 250}, picture::PixelSize{97, 61}}) {
            SCOPED_TRACE(std::string(file.format) + " into " + std::to_string(space.width) + " x " +
                         std::to_string(space.height));
            const picture::Picture reduced = pictureOf(decodePictureBytes(bytesOf(file.bytes), {space.width, space.height, 0}));
            ASSERT_EQ((picture::PixelSize{reduced.width, reduced.height}), picture::fitWithin({kWidth, kHeight}, space));
            int lowest = 255, highest = 0;
            for (int y = 1; y < reduced.height - 1; ++y) {
                for (int x = 1; x < reduced.width - 1; ++x) {
                    const std::uint32_t p = reduced.at(x, y);
                    for (int channel : {redOf(p), greenOf(p), blueOf(p)}) {
                        lowest = std::min(lowest, channel);
                        highest = std::max(highest, channel);
                    }
                }
            }
            EXPECT_GE(lowest, 122);
            EXPECT_LE(highest, 134);
        }
    }
}

// ================================================================ limits

TEST(PictureLimits, AHundredMegapixelPhotoIsShownFittedAndRefusedAtItsOwnSize) {
    // 20000 x 5000, the left half red, the right half blue.
    const auto halves = [](int, std::uint8_t* rgb) {
        for (int x = 0; x < 20000; ++x) putRgb(rgb + 3 * x, x < 10000 ? Hue::Red : Hue::Blue);
    };
    const std::string jpeg = jpegBytes(20000, 5000, halves, {.quality = 20});
    ASSERT_LT(jpeg.size(), 4u << 20);

    HeadlessPlatform platform;
    platform.putFile("C:\\Photos\\panorama.jpg", jpeg);
    const picture::Picture fitted = pictureOf(platform.loadPicture("C:\\Photos\\panorama.jpg", picture::PictureRequest{1024, 768, 0}));
    EXPECT_EQ(fitted.width, 1024);
    EXPECT_EQ(fitted.height, 256);
    EXPECT_EQ(fitted.naturalWidth, 20000);
    EXPECT_EQ(fitted.naturalHeight, 5000);
    EXPECT_TRUE(looksLike(fitted.at(100, 128), Hue::Red));
    EXPECT_TRUE(looksLike(fitted.at(1000, 128), Hue::Blue));
    EXPECT_EQ(errorOf(platform.loadPicture("C:\\Photos\\panorama.jpg", picture::PictureRequest{})), picture::PictureError::TooLarge);
    EXPECT_EQ(errorOf(decodePictureBytes(bytesOf(jpeg))), picture::PictureError::TooLarge);
}

TEST(PictureLimits, AHundredMegapixelPhotoStoredOnItsSideIsTurnedAndFitted) {
    // Stored 5000 x 20000 with tag 6: upright it is 20000 x 5000, the
    // stored top (red) on the right.
    const auto halves = [](int y, std::uint8_t* rgb) {
        for (int x = 0; x < 5000; ++x) putRgb(rgb + 3 * x, y < 10000 ? Hue::Red : Hue::Blue);
    };
    const std::string jpeg = jpegBytes(5000, 20000, halves, {.quality = 20, .app1 = exifOrientation(6)});
    const picture::Picture fitted = pictureOf(decodePictureBytes(bytesOf(jpeg), {1024, 768, 0}));
    EXPECT_EQ(fitted.width, 1024);
    EXPECT_EQ(fitted.height, 256);
    EXPECT_EQ(fitted.naturalWidth, 20000);
    EXPECT_EQ(fitted.naturalHeight, 5000);
    EXPECT_TRUE(looksLike(fitted.at(1000, 128), Hue::Red));
    EXPECT_TRUE(looksLike(fitted.at(20, 128), Hue::Blue));
}

// A real JPEG header whose frame claims 64250 x 64250, cut to ~1.4 KB.
std::string hugeClaimingJpeg() {
    std::string jpeg = jpegBytes(256, 256, [](int y, std::uint8_t* rgb) {
        for (int x = 0; x < 256 * 3; ++x) rgb[x] = static_cast<std::uint8_t>((x * 131 + y * 71) ^ (x * y));
    }, {.quality = 90});
    const std::size_t sof = jpeg.find("\xFF\xC0");
    EXPECT_NE(sof, std::string::npos);
    jpeg.replace(sof + 5, 4, std::string("\xFA\xFA\xFA\xFA", 4));
    jpeg.resize(1400);
    return jpeg;
}

TEST(PictureLimits, SmallFilesClaimingHugeSizesAreRefusedQuickly) {
    const std::string jpeg = hugeClaimingJpeg();
    const picture::PictureHeader header = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(jpeg)));
    ASSERT_TRUE(header.sizeKnown);
    EXPECT_EQ(header.width, 64250);
    EXPECT_EQ(header.height, 64250);

    std::string png = saved(2, 2, false, "png", [](int, int) { return 0xFFFFFFFFu; });
    png.replace(16, 8, std::string("\x00\x00\x62\x70\x00\x00\x82\x14", 8));  // 25200 x 33300
    EXPECT_EQ(picture::readPictureHeader(picture::MemoryByteSource(bytesOf(png))).width, 25200);

    for (picture::PictureRequest request : {picture::PictureRequest{}, picture::PictureRequest{1024, 768, 0}, picture::PictureRequest{64, 48, 0}}) {
        SCOPED_TRACE("request " + std::to_string(request.maxWidth) + " x " + std::to_string(request.maxHeight));
        const auto started = std::chrono::steady_clock::now();
        const std::optional<picture::PictureError> jpegError = errorOf(decodePictureBytes(bytesOf(jpeg), request));
        ASSERT_TRUE(jpegError.has_value());
        EXPECT_TRUE(*jpegError == picture::PictureError::TooLarge || *jpegError == picture::PictureError::Undecodable);
        EXPECT_EQ(errorOf(decodePictureBytes(bytesOf(png), request)), picture::PictureError::TooLarge);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    }
}

// ---- loadFittedPicture with a decoder of the test's own

// Delivers a solid picture of `full` size, reduced by the denominator
// asked, and records what it was asked.
class ScriptedDecoder final : public picture::PictureDecoder {
public:
    ScriptedDecoder(picture::PixelSize full, int orientation = 1) : full_(full), orientation_(orientation) {}

    std::optional<picture::PictureFailure> decode(int denominator, picture::PictureRowSink& sink) override {
        denominators.push_back(denominator);
        const picture::PixelSize decoded{(full_.width + denominator - 1) / denominator,
                                (full_.height + denominator - 1) / denominator};
        if (!sink.begin(decoded)) return std::nullopt;
        std::vector<std::uint32_t> row(static_cast<std::size_t>(decoded.width), 0xFF123456u);
        for (int y = 0; y < decoded.height; ++y, ++rowsDelivered) sink.row(row.data());
        return std::nullopt;
    }
    int orientation() override { return orientation_; }

    std::vector<int> denominators;
    int rowsDelivered = 0;

private:
    picture::PixelSize full_;
    int orientation_;
};

// JPEGs here are sequential, decoded in one pass.
picture::PictureHeader headerOf(picture::PictureFormat format, std::int64_t width, std::int64_t height) {
    return {format, true, width, height, 0, format == picture::PictureFormat::Jpeg};
}

TEST(LoadFittedPicture, DecodesReducedOnlyAsFarAsTheFittedSizeAllowsEitherWayUp) {
    constexpr picture::DecodeCapabilities kReduces{.reducedJpegDecode = true};
    struct Case {
        picture::PictureFormat format;
        picture::PixelSize stored;
        picture::PictureRequest request;
        picture::DecodeCapabilities capabilities;
        int denominator;
    } cases[] = {
        {picture::PictureFormat::Jpeg, {1600, 1200}, {200, 150, 0}, kReduces, 8},   // an eighth is just enough
        {picture::PictureFormat::Jpeg, {1600, 1200}, {201, 151, 0}, kReduces, 4},   // an eighth is a pixel short
        {picture::PictureFormat::Jpeg, {4000, 3000}, {1024, 768, 0}, kReduces, 2},
        {picture::PictureFormat::Jpeg, {20000, 5000}, {1024, 768, 0}, kReduces, 8},
        // Stored upright: 576 x 768 allows a quarter (750 x 1000), as the
        // header tells no turn.
        {picture::PictureFormat::Jpeg, {3000, 4000}, {1024, 768, 0}, kReduces, 4},
        {picture::PictureFormat::Jpeg, {1500, 1000}, {1024, 768, 0}, kReduces, 1},
        {picture::PictureFormat::Jpeg, {1600, 1200}, {}, kReduces, 1},                  // own size wanted
        {picture::PictureFormat::Jpeg, {1600, 1200}, {200, 150, 0}, {}, 1},             // decoder cannot reduce
        {picture::PictureFormat::Png, {1600, 1200}, {200, 150, 0}, kReduces, 1},        // only JPEGs reduce
    };
    for (const Case& c : cases) {
        ScriptedDecoder decoder(c.stored);
        const picture::PictureResult result =
            picture::loadFittedPicture(headerOf(c.format, c.stored.width, c.stored.height), decoder, c.request, c.capabilities);
        SCOPED_TRACE(std::to_string(c.stored.width) + " x " + std::to_string(c.stored.height) + " into " +
                     std::to_string(c.request.maxWidth) + " x " + std::to_string(c.request.maxHeight));
        EXPECT_EQ(decoder.denominators, std::vector<int>{c.denominator});
        const picture::Picture shown = pictureOf(result);
        const picture::PixelSize expected =
            c.request.fits() ? picture::fitWithin(c.stored, {c.request.maxWidth, c.request.maxHeight}) : c.stored;
        EXPECT_EQ((picture::PixelSize{shown.width, shown.height}), expected);
        EXPECT_EQ(shown.at(shown.width / 2, shown.height / 2), 0xFF123456u);
    }
}

TEST(LoadFittedPicture, ATurnedPhotoIsFittedUprightAndKnowsItsUprightNaturalSize) {
    picture::PictureHeader header = headerOf(picture::PictureFormat::Jpeg, 4000, 3000);
    header.orientation = 6;
    header.dateTaken = {2024, 7, 14};
    ScriptedDecoder decoder({4000, 3000});
    const picture::Picture shown = pictureOf(picture::loadFittedPicture(header, decoder, {1024, 768, 0}, {true}));
    EXPECT_EQ(shown.width, 576);
    EXPECT_EQ(shown.height, 768);
    EXPECT_EQ(shown.naturalWidth, 3000);
    EXPECT_EQ(shown.naturalHeight, 4000);
    EXPECT_EQ(shown.dateTaken, (picture::CalendarDate{2024, 7, 14}));
    // The header tells the turn before decoding: a quarter (1000 x 750,
    // upright 750 x 1000) still holds the upright fit.
    EXPECT_EQ(decoder.denominators, std::vector<int>{4});
}

TEST(LoadFittedPicture, TheHeadersOrientationCountsAndADecodersOnlyForFormatsTheHeaderCannotRead) {
    struct Case {
        picture::PictureFormat format;
        int headerTag, decoderTag;
        bool turned;
    } cases[] = {
        {picture::PictureFormat::Jpeg, 6, 1, true},
        {picture::PictureFormat::Jpeg, 0, 6, false},  // a decoder that reads the tag otherwise is not asked
        {picture::PictureFormat::Tiff, 8, 1, true},
        {picture::PictureFormat::Png, 0, 6, false},
        {picture::PictureFormat::Unknown, 0, 6, true},  // WebP, HEIC: only the system's decoder knows
    };
    for (const Case& c : cases) {
        picture::PictureHeader header = headerOf(c.format, 40, 20);
        header.orientation = c.headerTag;
        ScriptedDecoder decoder({40, 20}, c.decoderTag);
        const picture::Picture shown = pictureOf(picture::loadFittedPicture(header, decoder, {}, {}));
        EXPECT_EQ(shown.width, c.turned ? 20 : 40) << static_cast<int>(c.format) << " tag " << c.headerTag;
    }
}

TEST(LoadFittedPicture, DeclaredSizesOverTheLimitsNeverReachTheDecoder) {
    constexpr picture::DecodeCapabilities kReduces{.reducedJpegDecode = true};
    struct Case {
        picture::PictureFormat format;
        std::int64_t width, height;
        picture::PictureRequest request;
        picture::DecodeCapabilities capabilities;
        bool refused;
    } cases[] = {
        {picture::PictureFormat::Png, 25200, 33300, {1024, 768, 0}, {}, true},
        {picture::PictureFormat::Png, 25200, 33300, {}, {}, true},
        {picture::PictureFormat::Png, 8192, 8192, {}, {}, false},                // exactly 64 megapixels
        {picture::PictureFormat::Png, 8193, 8192, {}, {}, true},
        {picture::PictureFormat::Bmp, 32767, 2, {}, {}, false},                  // the longest side
        {picture::PictureFormat::Bmp, 32768, 2, {}, {}, true},
        {picture::PictureFormat::Gif, 0, 0, {}, {}, false},                      // unknown: the decoder decides
        {picture::PictureFormat::Jpeg, 20000, 5000, {}, kReduces, true},          // at own size
        {picture::PictureFormat::Jpeg, 20000, 5000, {1024, 768, 0}, kReduces, false},
        {picture::PictureFormat::Jpeg, 20000, 5000, {1024, 768, 0}, {}, true},   // no reduced decode here
        {picture::PictureFormat::Jpeg, 65500, 65500, {}, kReduces, true},
        {picture::PictureFormat::Jpeg, 65500, 65500, {64, 48, 0}, kReduces, false},  // 8188 x 8188 after 1/8: allowed
        {picture::PictureFormat::Jpeg, 65501, 100, {64, 48, 0}, kReduces, true},    // beyond what JPEG allows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        picture::PictureHeader header = headerOf(c.format, c.width, c.height);
        header.sizeKnown = c.width > 0;
        const std::optional<picture::PictureFailure> early = picture::refuseByHeader(header, c.request, c.capabilities);
        EXPECT_EQ(early.has_value(), c.refused);
        if (early) EXPECT_EQ(early->error, picture::PictureError::TooLarge);
        if (!c.refused) continue;
        ScriptedDecoder decoder({static_cast<int>(std::min<std::int64_t>(c.width, 1 << 20)), 1});
        EXPECT_EQ(errorOf(picture::loadFittedPicture(header, decoder, c.request, c.capabilities)), picture::PictureError::TooLarge);
        EXPECT_TRUE(decoder.denominators.empty()) << "the decoder ran";
    }
}

TEST(LoadFittedPicture, ADecodedSizeOverTheLimitsStopsTheDecoderBeforeAnyRow) {
    // The header said nothing (a size given after the scan): the decoder's
    // size is checked when it begins.
    for (picture::PixelSize decoded : {picture::PixelSize{40000, 10}, picture::PixelSize{9000, 9000}}) {
        ScriptedDecoder decoder(decoded);
        picture::PictureHeader header{picture::PictureFormat::Jpeg};
        EXPECT_EQ(errorOf(picture::loadFittedPicture(header, decoder, {}, {})), picture::PictureError::TooLarge);
        EXPECT_EQ(decoder.rowsDelivered, 0);
    }
}

// ========================================================= header reader

std::string be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }
std::string be32(std::uint32_t v) { return be16(v >> 16) + be16(v & 0xFFFF); }

// A JPEG segment: marker, length, body.
std::string segment(std::uint8_t code, const std::string& body) {
    return std::string{'\xFF', static_cast<char>(code)} + be16(static_cast<unsigned>(body.size() + 2)) + body;
}

// A TIFF whose first directory holds width and height as `type` (3 SHORT, 4 LONG).
std::string tiffHeaderBytes(bool bigEndian, int type, std::uint32_t width, std::uint32_t height) {
    auto u16 = bigEndian ? be16 : le16;
    auto u32 = bigEndian ? be32 : le32;
    std::string tiff = bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4);
    tiff += u32(8) + u16(2);
    for (auto [tag, value] : {std::pair{256u, width}, std::pair{257u, height}}) {
        tiff += u16(tag) + u16(static_cast<unsigned>(type)) + u32(1);
        tiff += type == 3 ? u16(value) + u16(0) : u32(value);
    }
    return tiff + u32(0);
}

// Counts what the reader reads, to show that it skips what it need not.
class CountingSource final : public picture::ByteSource {
public:
    explicit CountingSource(const std::string& bytes) : memory_(bytesOf(bytes)) {}
    std::uint64_t size() const override { return memory_.size(); }
    std::size_t read(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        bytesRead += out.size();
        return memory_.read(offset, out);
    }
    mutable std::uint64_t bytesRead = 0;

private:
    picture::MemoryByteSource memory_;
};

TEST(PictureHeaderReader, FormatAndDeclaredSizeOfEachKindOfFile) {
    const std::string smallJpeg = jpegBytes(17, 3, [](int, std::uint8_t* rgb) { std::fill(rgb, rgb + 51, 200); });
    // Large metadata before the frame header: APP2 blocks (an ICC profile
    // would sit there) and a comment, some 200 KB in all.
    std::string bigMetadata;
    for (int i = 0; i < 3; ++i) bigMetadata += segment(0xE2, std::string(65000, static_cast<char>('A' + i)));
    bigMetadata += segment(0xFE, std::string(9000, '\xFF'));  // a comment of fill-like bytes
    const std::string jpegWithMetadata = smallJpeg.substr(0, 2) + bigMetadata + smallJpeg.substr(2);
    const std::string progressive =
        jpegBytes(40, 24, [](int, std::uint8_t* rgb) { std::fill(rgb, rgb + 120, 90); }, {.progressive = true});

    std::string coreBmp = "BM" + le32(26 + 4 * 3) + le32(0) + le32(26) + le32(12) + le16(300) + le16(7) + le16(1) +
                          le16(24) + std::string(4 * 3, '\0');
    const std::string topDownBmp = bmpFile(5, 9, [](int, int) { return 0u; }).replace(22, 4, le32(static_cast<std::uint32_t>(-9)));

    struct Case {
        const char* what;
        std::string bytes;
        picture::PictureFormat format;
        int width, height;
    } cases[] = {
        {"jpeg", smallJpeg, picture::PictureFormat::Jpeg, 17, 3},
        {"jpeg after 200 KB of metadata", jpegWithMetadata, picture::PictureFormat::Jpeg, 17, 3},
        {"progressive jpeg", progressive, picture::PictureFormat::Jpeg, 40, 24},
        {"png", saved(7, 300, true, "png", [](int, int) { return 0u; }), picture::PictureFormat::Png, 7, 300},
        {"gif87a", std::string("GIF87a", 6) + le16(640) + le16(480) + std::string("\xF0\0\0", 3), picture::PictureFormat::Gif, 640, 480},
        {"gif89a", std::string("GIF89a", 6) + le16(1) + le16(65535) + std::string("\0\0\0", 3), picture::PictureFormat::Gif, 1, 65535},
        {"bmp", bmpFile(300, 2, [](int, int) { return 0u; }), picture::PictureFormat::Bmp, 300, 2},
        {"top-down bmp", topDownBmp, picture::PictureFormat::Bmp, 5, 9},
        {"os/2 bmp", coreBmp, picture::PictureFormat::Bmp, 300, 7},
        {"tiff II, SHORT sizes", tiffHeaderBytes(false, 3, 640, 480), picture::PictureFormat::Tiff, 640, 480},
        {"tiff MM, SHORT sizes", tiffHeaderBytes(true, 3, 640, 480), picture::PictureFormat::Tiff, 640, 480},
        {"tiff II, LONG sizes", tiffHeaderBytes(false, 4, 70000, 3), picture::PictureFormat::Tiff, 70000, 3},
        {"tiff MM, LONG sizes", tiffHeaderBytes(true, 4, 3, 70000), picture::PictureFormat::Tiff, 3, 70000},
        {"tiff saved by gdk-pixbuf", saved(9, 4, false, "tiff", [](int, int) { return 0xFFu; }), picture::PictureFormat::Tiff, 9, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const picture::PictureHeader header = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(c.bytes)));
        EXPECT_EQ(header.format, c.format);
        EXPECT_TRUE(header.sizeKnown);
        EXPECT_EQ(header.width, c.width);
        EXPECT_EQ(header.height, c.height);
    }
    // The metadata blocks are skipped, not read.
    CountingSource counted(jpegWithMetadata);
    EXPECT_EQ(picture::readPictureHeader(counted).width, 17);
    EXPECT_LT(counted.bytesRead, 1000u);
}

TEST(PictureHeaderReader, HeadersCutShortGiveNoSize) {
    const std::string jpeg = jpegBytes(17, 3, [](int, std::uint8_t* rgb) { std::fill(rgb, rgb + 51, 200); });
    const std::size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t needed;  // every shorter prefix lacks the size
    } cases[] = {
        {"jpeg", jpeg, sof + 9},
        {"png", saved(7, 5, false, "png", [](int, int) { return 0u; }), 24},
        {"gif", std::string("GIF89a", 6) + le16(16) + le16(8), 10},
        {"bmp", bmpFile(6, 4, [](int, int) { return 0u; }), 26},
        {"tiff II", tiffHeaderBytes(false, 3, 640, 480), 8 + 2 + 24},
        {"tiff MM", tiffHeaderBytes(true, 4, 640, 480), 8 + 2 + 24},
    };
    for (const Case& c : cases) {
        for (std::size_t length = 0; length < c.needed; ++length) {
            const picture::PictureHeader header = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(c.bytes.substr(0, length))));
            EXPECT_FALSE(header.sizeKnown) << c.what << " cut to " << length << " bytes";
        }
        EXPECT_TRUE(picture::readPictureHeader(picture::MemoryByteSource(bytesOf(c.bytes.substr(0, c.needed)))).sizeKnown) << c.what;
    }
    // A frame whose height comes only after the scan.
    std::string noHeight = jpeg;
    noHeight.replace(sof + 5, 2, std::string("\0\0", 2));
    const picture::PictureHeader later = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(noHeight)));
    EXPECT_EQ(later.format, picture::PictureFormat::Jpeg);
    EXPECT_FALSE(later.sizeKnown);
    // A segment length running past the end, before any frame header.
    const std::string runaway = std::string("\xFF\xD8", 2) + "\xFF\xE1" + be16(60000) + "Exif";
    EXPECT_FALSE(picture::readPictureHeader(picture::MemoryByteSource(bytesOf(runaway))).sizeKnown);
}

}  // namespace
}  // namespace vistrel::platform

// ============================================================ in the saver

namespace vistrel::saver {
namespace {

using platform::headless::HeadlessPlatform;
using vistrel::testing::solidBmp;

// One saver run on a 200 x 150 screen of its own.
struct FittedRun {
    FittedRun() {
        platform.setScreen({200, 150, 15, 15});
        settings.newBackColor = "16711680";  // blue
        settings.timeInterval = "2";
        settings.effectMode = "0";
    }

    void useImages(const std::vector<std::pair<std::string, std::string>>& pathsAndCaptions) {
        settings.images.clear();
        settings.captions.clear();
        for (const auto& [path, caption] : pathsAndCaptions) {
            settings.images.push_back(path);
            settings.captions.push_back(caption);
        }
        settings.total = std::to_string(settings.images.size());
    }

    bool start() {
        platform.putFile(vistrel::testing::kSettingsPath, settings.text());
        saver = std::make_unique<SaverWindow>(platform, runValues);
        return platform.run([&] {
            saver->form1.load();
            saver->form1.show();
        });
    }

    std::vector<std::string> loads() const { return platform.callsStartingWith({"LoadPictureInBackground("}); }

    HeadlessPlatform platform;
    RunValues runValues;
    vistrel::testing::SampleSettings settings;
    std::unique_ptr<SaverWindow> saver;
};

TEST(FittedSaver, ASlowFirstPictureIsLoadedOnceAndEachCaptionStaysWithItsPicture) {
    // Pictures of different widths, so that the width tells which is shown.
    const std::map<int, std::string> captionByWidth = {{40, "first"}, {60, "second"}, {30, "third"}};
    for (std::int64_t cost : {800, 1900, 2600}) {
        SCOPED_TRACE("decoding the first picture takes " + std::to_string(cost) + " ms");
        FittedRun run;
        auto& platform = run.platform;
        platform.putFile("C:\\Pictures\\a.bmp", solidBmp(40, 30, 0x0000FF));
        platform.putFile("C:\\Pictures\\b.bmp", solidBmp(60, 20, 0x00FF00));
        platform.putFile("C:\\Pictures\\c.bmp", solidBmp(30, 50, 0x808080));
        run.useImages({{"C:\\Pictures\\a.bmp", "first"}, {"C:\\Pictures\\b.bmp", "second"}, {"C:\\Pictures\\c.bmp", "third"}});
        platform.setDecodeCost("C:\\Pictures\\a.bmp", cost);
        ASSERT_TRUE(run.start());
        SaverWindow* saver = run.saver.get();
        auto loads = [&] { return run.loads(); };

        std::int64_t firstShown = -1, secondShown = -1;
        for (int step = 0; step < 200 && secondShown < 0; ++step) {
            ASSERT_TRUE(platform.advance(20));
            if (saver->label1.visible() && !saver->label1.text().empty()) {
                const int width = saver->picture1.width() / 15;
                ASSERT_TRUE(captionByWidth.count(width)) << "a picture " << width << " pixels wide";
                ASSERT_EQ(saver->label1.text(), captionByWidth.at(width)) << "at " << platform.nowMs() << " ms";
                if (firstShown < 0 && width == 40) firstShown = platform.nowMs();
                if (width == 60) secondShown = platform.nowMs();
            }
        }
        ASSERT_GE(firstShown, 0) << "the first picture never came";
        ASSERT_GE(secondShown, 0) << "the second picture never came";
        // Each asked for once: the second decoded while the first was shown.
        EXPECT_THAT(loads(), ::testing::ElementsAre("LoadPictureInBackground(C:\\Pictures\\a.bmp)",
                                                    "LoadPictureInBackground(C:\\Pictures\\b.bmp)",
                                                    "LoadPictureInBackground(C:\\Pictures\\c.bmp)"));
        // One interval after the first change ends, and its own 0.3 s pause
        // (20 ms sampling either way).
        EXPECT_NEAR(static_cast<double>(secondShown - firstShown), 2000.0 + 300.0, 40.0);
        ASSERT_TRUE(platform.advance(1000));
        EXPECT_EQ(saver->label1.text(), "second");
        EXPECT_EQ(saver->picture1.width(), 60 * 15);
    }
}

TEST(FittedSaver, FittedSizesLeaveTheCaptionBandFreeAndFitLargeOffKeepsOwnSize) {
    struct Case {
        const char* what;
        int width, height;
        std::string caption, placement, fitLarge;
        int shownWidth, shownHeight;  // -1: fitted under the caption band
    } cases[] = {
        {"wide, centred, no caption", 600, 150, "", "cent", "", 200, 50},
        {"tall, centred, no caption", 150, 600, "", "cent", "", 38, 150},
        {"tall, centred, captioned", 150, 600, "Caption", "cent", "", -1, -1},
        {"square, centred, captioned", 400, 400, "Caption", "cent", "", -1, -1},
        {"floating, wide", 600, 150, "", "rand", "", 133, 33},
        {"floating, tall", 150, 600, "Caption", "rand", "", 25, 100},
        {"fitLarge off, centred", 300, 200, "Caption", "cent", "0", 300, 200},
        {"fitLarge off, floating", 300, 200, "", "rand", "0", 300, 200},
        {"fitLarge on", 300, 200, "", "cent", "1", 200, 133},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FittedRun run;
        auto& platform = run.platform;
        platform.putFile("C:\\Pictures\\big.bmp", solidBmp(c.width, c.height, 0x0000FF));
        run.useImages({{"C:\\Pictures\\big.bmp", c.caption}});
        run.settings.picRandom = c.placement;
        run.settings.fitLarge = c.fitLarge;
        ASSERT_TRUE(run.start());
        SaverWindow* saver = run.saver.get();
        ASSERT_TRUE(platform.advance(1000));
        const int width = saver->picture1.width() / 15;
        const int height = saver->picture1.height() / 15;
        if (c.shownWidth >= 0) {
            EXPECT_EQ(width, c.shownWidth);
            EXPECT_EQ(height, c.shownHeight);
            continue;
        }
        const int bandTwips = saver->label1.height();
        ASSERT_GT(bandTwips, 0);
        const int band = (bandTwips + 14) / 15;
        EXPECT_EQ(height, 150 - 2 * band);
        EXPECT_NEAR(width, static_cast<double>(c.width) * height / c.height, 0.5 + 1e-9);
        EXPECT_GE(saver->picture1.top(), bandTwips);
        EXPECT_LE(saver->picture1.top() + saver->picture1.height(), 150 * 15 - bandTwips);
    }
}

}  // namespace
}  // namespace vistrel::saver

namespace vistrel::platform {
namespace {

// The layouts a system decoder gives its reduced rows in.
TEST(PixelRows, EachLayoutWidensToOpaqueOrItsOwnAlpha) {
    const std::uint8_t gray[] = {0x00, 0x7F, 0xFF};
    const std::uint8_t bgr[] = {0x01, 0x02, 0x03, 0xFF, 0x00, 0x80, 0, 0, 0};
    const std::uint8_t bgrx[] = {0x01, 0x02, 0x03, 0x00, 0x10, 0x20, 0x30, 0x55, 0, 0, 0, 0};
    const std::uint8_t bgra[] = {0x01, 0x02, 0x03, 0x00, 0x10, 0x20, 0x30, 0x55, 0, 0, 0, 0};
    struct Case {
        picture::RowLayout layout;
        const std::uint8_t* row;
        int bytes;
        std::uint32_t expected[3];
    } cases[] = {
        {picture::RowLayout::Gray8, gray, 1, {0xFF000000u, 0xFF7F7F7Fu, 0xFFFFFFFFu}},
        {picture::RowLayout::Bgr24, bgr, 3, {0xFF030201u, 0xFF8000FFu, 0xFF000000u}},
        {picture::RowLayout::Bgrx32, bgrx, 4, {0xFF030201u, 0xFF302010u, 0xFF000000u}},
        {picture::RowLayout::Bgra32, bgra, 4, {0x00030201u, 0x55302010u, 0x00000000u}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(picture::bytesPerPixel(c.layout), c.bytes);
        std::uint32_t out[4] = {0, 0, 0, 0xDEADBEEFu};
        picture::widenRow(c.layout, c.row, 3, out);
        EXPECT_THAT(std::vector<std::uint32_t>(out, out + 3), ::testing::ElementsAreArray(c.expected));
        EXPECT_EQ(out[3], 0xDEADBEEFu);  // no more than the width is written
    }
}

}  // namespace
}  // namespace vistrel::platform
