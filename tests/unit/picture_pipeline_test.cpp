// The way from a picture file to the picture shown: the header reader, the
// orientation, the reduction filter and the formats of today's photos.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "picture_files.h"
#include "platform/headless/jpeg_decoder.h"
#include "platform/headless/picture_decoder.h"
#include "picture/picture_fitting.h"
#include "picture/picture_structure.h"

namespace vistrel::platform {
namespace {

using headless::decodePictureBytes;
using testing::saved;
using testing::withOrientation;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

picture::Picture picture(const picture::PictureResult& result) {
    if (const auto* failure = std::get_if<picture::PictureFailure>(&result)) {
        ADD_FAILURE() << "not decoded: " << failure->detail;
        return {};
    }
    return std::get<picture::Picture>(result);
}

std::uint8_t red(std::uint32_t pixel) { return pixel >> 16 & 0xFF; }
std::uint8_t blue(std::uint32_t pixel) { return pixel & 0xFF; }

TEST(PictureHeader, GivesFormatAndDeclaredSizeBeforeAnyDecoding) {
    const auto white = [](int, int) { return 0xFFFFFFFFu; };
    struct Case {
        std::string bytes;
        picture::PictureFormat format;
        int width, height;
    } cases[] = {
        {saved(7, 5, true, "png", white), picture::PictureFormat::Png, 7, 5},
        {saved(9, 4, false, "tiff", white), picture::PictureFormat::Tiff, 9, 4},
        {saved(17, 3, false, "jpeg", white), picture::PictureFormat::Jpeg, 17, 3},
        // The size stands after a large metadata block.
        {withOrientation(saved(17, 3, false, "jpeg", white), 6), picture::PictureFormat::Jpeg, 17, 3},
        {std::string("GIF89a\x10\x00\x08\x00", 10), picture::PictureFormat::Gif, 16, 8},
    };
    for (const Case& c : cases) {
        const picture::PictureHeader header = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(c.bytes)));
        EXPECT_EQ(header.format, c.format);
        EXPECT_TRUE(header.sizeKnown);
        EXPECT_EQ(header.width, c.width);
        EXPECT_EQ(header.height, c.height);
        // Cut inside the header: the size is not known, and nothing breaks.
        const picture::PictureHeader cut = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(c.bytes.substr(0, 9))));
        EXPECT_FALSE(cut.sizeKnown);
    }
    const std::string tagged = withOrientation(saved(17, 3, false, "jpeg", white), 8);
    EXPECT_EQ(picture::readPictureHeader(picture::MemoryByteSource(bytesOf(tagged))).orientation, 8);
}

TEST(PictureOrientation, EachOfTheEightTagsTurnsAnAsymmetricPictureUpright) {
    // Stored 3 x 2: a b c / d e f.
    picture::Picture stored{3, 2, {'a', 'b', 'c', 'd', 'e', 'f'}};
    struct Case {
        int tag;
        int width, height;
        std::string pixels;
    } cases[] = {
        {1, 3, 2, "abcdef"}, {2, 3, 2, "cbafed"}, {3, 3, 2, "fedcba"}, {4, 3, 2, "defabc"},
        {5, 2, 3, "adbecf"}, {6, 2, 3, "daebfc"}, {7, 2, 3, "fcebda"}, {8, 2, 3, "cfbead"},
        {0, 3, 2, "abcdef"}, {9, 3, 2, "abcdef"},  // damaged tags: as stored
    };
    for (const Case& c : cases) {
        const picture::Picture upright = picture::orientPicture(stored, c.tag);
        EXPECT_EQ(upright.width, c.width) << c.tag;
        EXPECT_EQ(upright.height, c.height) << c.tag;
        EXPECT_EQ(std::string(upright.pixels.begin(), upright.pixels.end()), c.pixels) << c.tag;
    }
}

TEST(PictureOrientation, ATaggedJpegIsDecodedUprightAndFitted) {
    // Left half red, right half blue, stored 64 x 32.
    const std::string jpeg = saved(64, 32, false, "jpeg", [](int x, int) { return x < 32 ? 0xFF0000FFu : 0x0000FFFFu; });
    const picture::Picture asStored = picture(decodePictureBytes(bytesOf(jpeg)));
    EXPECT_EQ(asStored.width, 64);
    // Tag 6: turned a quarter clockwise, the left half comes on top.
    const picture::Picture turned = picture(decodePictureBytes(bytesOf(withOrientation(jpeg, 6))));
    ASSERT_EQ(turned.width, 32);
    ASSERT_EQ(turned.height, 64);
    EXPECT_GT(red(turned.at(16, 8)), 200);
    EXPECT_GT(blue(turned.at(16, 56)), 200);
    // Fitted into 16 x 16 after turning: 8 x 16.
    const picture::Picture small = picture(decodePictureBytes(bytesOf(withOrientation(jpeg, 6)), {16, 16, 0}));
    EXPECT_EQ(small.width, 8);
    EXPECT_EQ(small.height, 16);
    EXPECT_EQ(small.naturalWidth, 32);
    EXPECT_EQ(small.naturalHeight, 64);
}

TEST(PictureReduction, AOnePixelCheckerboardComesOutFlatGrey) {
    const std::string png = saved(400, 300, false, "png", [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFFFu : 0x000000FFu; });
    for (picture::PixelSize space : {picture::PixelSize{100, 75}, picture::PixelSize{150, 112}, picture::PixelSize{301, 226}}) {
        const picture::Picture reduced = picture(decodePictureBytes(bytesOf(png), {space.width, space.height, 0}));
        ASSERT_EQ((picture::PixelSize{reduced.width, reduced.height}), picture::fitWithin({400, 300}, space));
        int lowest = 255, highest = 0;
        for (int y = 2; y < reduced.height - 2; ++y) {
            for (int x = 2; x < reduced.width - 2; ++x) {
                lowest = std::min<int>(lowest, red(reduced.at(x, y)));
                highest = std::max<int>(highest, red(reduced.at(x, y)));
            }
        }
        EXPECT_GE(lowest, 120) << space.width;
        EXPECT_LE(highest, 136) << space.width;
    }
}

TEST(PictureFormats, TransparentPngPartsShowTheBackgroundAndTiffDecodes) {
    // Opaque red, fully transparent, and half transparent blue columns.
    const std::string png = saved(3, 1, true, "png", [](int x, int) {
        return x == 0 ? 0xFF0000FFu : x == 1 ? 0x00000000u : 0x0000FF80u;
    });
    const std::uint32_t green = 0x00C800;  // RGB, red in the low byte
    const picture::Picture shown = picture(decodePictureBytes(bytesOf(png), {0, 0, green}));
    EXPECT_EQ(shown.at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(shown.at(1, 0), 0xFF00C800u);
    EXPECT_NEAR(blue(shown.at(2, 0)), 128, 2);
    EXPECT_NEAR(shown.at(2, 0) >> 8 & 0xFF, 100, 2);

    const std::string tiff = saved(5, 4, false, "tiff", [](int x, int) { return x < 2 ? 0xFF0000FFu : 0x0000FFFFu; });
    const picture::Picture fromTiff = picture(decodePictureBytes(bytesOf(tiff)));
    EXPECT_EQ(fromTiff.width, 5);
    EXPECT_EQ(fromTiff.at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(fromTiff.at(4, 3), 0xFF0000FFu);
}

TEST(PictureLimits, AHundredMegapixelJpegIsShownFittedAndRefusedAtItsOwnSize) {
    const std::string jpeg = saved(20000, 5000, false, "jpeg", [](int x, int) { return x < 10000 ? 0xFF0000FFu : 0x0000FFFFu; });
    const picture::Picture fitted = picture(decodePictureBytes(bytesOf(jpeg), {1024, 768, 0}));
    EXPECT_EQ(fitted.width, 1024);
    EXPECT_EQ(fitted.height, 256);
    EXPECT_GT(red(fitted.at(100, 128)), 200);
    EXPECT_GT(blue(fitted.at(900, 128)), 200);
    const picture::PictureResult own = decodePictureBytes(bytesOf(jpeg));
    ASSERT_TRUE(std::holds_alternative<picture::PictureFailure>(own));
    EXPECT_EQ(std::get<picture::PictureFailure>(own).error, picture::PictureError::TooLarge);
}

TEST(PictureLimits, FilesDeclaringHugeSizesAreRefusedBeforeDecoding) {
    // A PNG header that declares 25200 x 33300 pixels, and a JPEG frame
    // header of 64250 x 64250 with a few bytes of data.
    std::string png = saved(2, 2, false, "png", [](int, int) { return 0xFFFFFFFFu; });
    png.replace(16, 8, std::string("\x00\x00\x62\x70\x00\x00\x82\x14", 8));
    const picture::PictureResult bigPng = decodePictureBytes(bytesOf(png), {1024, 768, 0});
    ASSERT_TRUE(std::holds_alternative<picture::PictureFailure>(bigPng));
    EXPECT_EQ(std::get<picture::PictureFailure>(bigPng).error, picture::PictureError::TooLarge);

    const std::string jpeg = std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\xFA\xFA\xFA\xFA\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 21) +
                             std::string("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00", 14) + std::string(1400, '\x55');
    EXPECT_TRUE(std::holds_alternative<picture::PictureFailure>(decodePictureBytes(bytesOf(jpeg), {1024, 768, 0})));
    const picture::PictureResult own = decodePictureBytes(bytesOf(jpeg));
    ASSERT_TRUE(std::holds_alternative<picture::PictureFailure>(own));
    EXPECT_EQ(std::get<picture::PictureFailure>(own).error, picture::PictureError::TooLarge);

    // A BMP whose info block claims to be 4 GB long: a decoder would make
    // room for it. The header is refused as damaged, whatever the size.
    const std::string bmp = std::string("BM\x49\x49\x2A\0\x08\0\0\0\x0A\0\0\x01", 14) +
                            std::string("\x42\xFF\xB2\xFC\0\0\0\0\0\x08\xFF\xFF\x02\x01\x01\0", 16);
    const picture::PictureHeader bmpHeader = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(bmp)));
    EXPECT_EQ(bmpHeader.format, picture::PictureFormat::Bmp);
    EXPECT_TRUE(bmpHeader.impossible);
    const picture::PictureResult damaged = decodePictureBytes(bytesOf(bmp), {1024, 768, 0});
    ASSERT_TRUE(std::holds_alternative<picture::PictureFailure>(damaged));
    EXPECT_EQ(std::get<picture::PictureFailure>(damaged).error, picture::PictureError::Undecodable);

    // A small BMP whose pixels are said to start 2 GB in: the same. Its
    // pixels starting right after the headers, it is shown.
    std::string shifted = saved(8, 8, false, "bmp", [](int, int) { return 0x2040C0FFu; });
    const picture::PictureResult whole = decodePictureBytes(bytesOf(shifted), {1024, 768, 0});
    ASSERT_TRUE(std::holds_alternative<picture::Picture>(whole));
    shifted.replace(10, 4, std::string("\x36\x00\x00\x80", 4));
    EXPECT_TRUE(picture::readPictureHeader(picture::MemoryByteSource(bytesOf(shifted))).impossible);
    const picture::PictureResult pastTheEnd = decodePictureBytes(bytesOf(shifted), {1024, 768, 0});
    ASSERT_TRUE(std::holds_alternative<picture::PictureFailure>(pastTheEnd));
    EXPECT_EQ(std::get<picture::PictureFailure>(pastTheEnd).error, picture::PictureError::Undecodable);
}

// A progressive JPEG is buffered whole as coefficients by every decoder,
// 2 bytes a sample, however small it is decoded. It keeps the plain limits,
// where a sequential one may go up to the format's own.
TEST(PictureLimits, JpegsBufferedWholeKeepThePlainLimits) {
    const auto grey = [](int, int) { return 0x808080FFu; };
    std::string sequential = saved(64, 48, false, "jpeg", grey);
    const picture::PictureHeader plain = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(sequential)));
    EXPECT_TRUE(plain.jpegSinglePass);

    // The same file marked progressive, and made to declare 40000 x 30000.
    const std::size_t frame = sequential.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    std::string progressive = sequential;
    progressive[frame + 1] = '\xC2';
    progressive.replace(frame + 5, 4, std::string("\x75\x30\x9C\x40", 4));
    const picture::PictureHeader marked = picture::readPictureHeader(picture::MemoryByteSource(bytesOf(progressive)));
    EXPECT_EQ(marked.width, 40000);
    EXPECT_EQ(marked.height, 30000);
    EXPECT_FALSE(marked.jpegSinglePass);
    const picture::PictureResult refused = decodePictureBytes(bytesOf(progressive), {1024, 768, 0});
    ASSERT_TRUE(std::holds_alternative<picture::PictureFailure>(refused));
    EXPECT_EQ(std::get<picture::PictureFailure>(refused).error, picture::PictureError::TooLarge);

    // Should a header ever pass such a file as sequential, the decoder
    // itself still refuses to buffer it.
    picture::PictureHeader forged = marked;
    forged.jpegSinglePass = true;
    headless::JpegPictureDecoder decoder(bytesOf(progressive));
    const picture::PictureResult stopped = picture::loadFittedPicture(forged, decoder, {1024, 768, 0}, {.reducedJpegDecode = true});
    ASSERT_TRUE(std::holds_alternative<picture::PictureFailure>(stopped));
    EXPECT_EQ(std::get<picture::PictureFailure>(stopped).error, picture::PictureError::TooLarge);

    // A scan whose data runs out long before its rows, closed by an end
    // marker: damaged, and refused as soon as the data runs out rather than
    // after filling 2.4 gigapixels of rows with grey.
    std::string early = sequential.substr(0, sequential.find("\xFF\xDA") + 20) + "\xFF\xD9";
    early.replace(frame + 5, 4, std::string("\x94\x07\xFD\x0C", 4));  // 64780 x 37895
    const picture::PictureResult cut = decodePictureBytes(bytesOf(early), {1024, 768, 0});
    ASSERT_TRUE(std::holds_alternative<picture::PictureFailure>(cut));
    EXPECT_EQ(std::get<picture::PictureFailure>(cut).error, picture::PictureError::Undecodable);

    // Cut before its first scan, a sequential file is not known to be one pass.
    const std::size_t scan = sequential.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    EXPECT_FALSE(picture::readPictureHeader(picture::MemoryByteSource(bytesOf(sequential.substr(0, scan)))).jpegSinglePass);
}

}  // namespace
}  // namespace vistrel::platform
