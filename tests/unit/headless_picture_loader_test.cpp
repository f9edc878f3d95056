// The picture loader of the headless backend: GIF, JPEG and BMP bytes made
// in the test, damaged files, and files that declare absurd sizes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"

#if defined(__SANITIZE_ADDRESS__)
#define VISTREL_WATCHES_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VISTREL_WATCHES_ALLOCATIONS 1
#endif
#endif
#ifdef VISTREL_WATCHES_ALLOCATIONS
#include <sanitizer/allocator_interface.h>
#endif

namespace vistrel::platform::headless {
namespace {

using Bytes = std::vector<std::uint8_t>;

void putLe16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putLe32(Bytes& out, std::uint32_t value) {
    putLe16(out, value & 0xFFFF);
    putLe16(out, value >> 16);
}

struct Rgb {
    std::uint8_t r, g, b;
};

std::uint32_t opaque(Rgb c) { return 0xFF000000u | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; }

// A 24-bit BMP; rows are stored bottom-up unless `topDown`.
Bytes bmpBytes(int width, int height, const std::vector<Rgb>& pixels, bool topDown = false) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
    const std::uint32_t pixelOffset = 14 + 40;
    Bytes out = {'B', 'M'};
    putLe32(out, pixelOffset + rowBytes * static_cast<std::uint32_t>(height));
    putLe32(out, 0);
    putLe32(out, pixelOffset);
    putLe32(out, 40);
    putLe32(out, static_cast<std::uint32_t>(width));
    putLe32(out, static_cast<std::uint32_t>(topDown ? -height : height));
    putLe16(out, 1);
    putLe16(out, 24);
    for (int i = 0; i < 6; ++i) putLe32(out, 0);  // no compression, sizes and palette left to the reader
    for (int row = 0; row < height && !pixels.empty(); ++row) {
        const int y = topDown ? row : height - 1 - row;
        std::uint32_t written = 0;
        for (int x = 0; x < width; ++x, written += 3) {
            const Rgb c = pixels[static_cast<std::size_t>(y) * width + x];
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        for (; written < rowBytes; ++written) out.push_back(0);
    }
    return out;
}

// Packs LZW codes of a fixed width, least significant bit first.
class BitWriter {
public:
    void put(unsigned code, int width) {
        for (int i = 0; i < width; ++i) {
            if (bitCount_ % 8 == 0) bytes_.push_back(0);
            if (code & (1u << i)) bytes_.back() |= static_cast<std::uint8_t>(1u << (bitCount_ % 8));
            ++bitCount_;
        }
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
    int bitCount_ = 0;
};

// One GIF frame's image data without compression: a clear code before each
// pixel keeps the code table, and so the code width, from ever growing.
Bytes gifImageData(const std::vector<std::uint8_t>& indices) {
    constexpr int kMinCodeSize = 2;  // palettes of up to four colours
    constexpr unsigned kClear = 1u << kMinCodeSize, kEnd = kClear + 1;
    constexpr int kCodeWidth = kMinCodeSize + 1;
    BitWriter bits;
    for (std::uint8_t index : indices) {
        bits.put(kClear, kCodeWidth);
        bits.put(index, kCodeWidth);
    }
    bits.put(kEnd, kCodeWidth);
    Bytes out = {kMinCodeSize};
    const Bytes& data = bits.bytes();
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, data.size() - at);
        out.push_back(static_cast<std::uint8_t>(length));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + length));
    }
    out.push_back(0);
    return out;
}

struct GifFrame {
    std::vector<std::uint8_t> indices;
    std::optional<std::uint8_t> transparentIndex;
};

// A GIF with a four-colour global palette; several frames make an animation.
Bytes gifBytes(unsigned width, unsigned height, const std::vector<Rgb>& palette, const std::vector<GifFrame>& frames,
               unsigned frameWidth = 0, unsigned frameHeight = 0) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    putLe16(out, width);
    putLe16(out, height);
    out.insert(out.end(), {0x81, 0, 0});  // global palette of 2^(1+1) = 4 entries
    for (std::size_t i = 0; i < 4; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{0, 0, 0};
        out.insert(out.end(), {c.r, c.g, c.b});
    }
    for (const GifFrame& frame : frames) {
        // Graphic control: 10 ms delay, transparency when given.
        out.insert(out.end(), {0x21, 0xF9, 4, static_cast<std::uint8_t>(frame.transparentIndex ? 1 : 0), 1, 0,
                               frame.transparentIndex.value_or(0), 0});
        out.push_back(0x2C);
        putLe16(out, 0);
        putLe16(out, 0);
        putLe16(out, frameWidth ? frameWidth : width);
        putLe16(out, frameHeight ? frameHeight : height);
        out.push_back(0);
        const Bytes data = gifImageData(frame.indices);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);
    return out;
}

// An 8 x 8 JPEG of one colour, rgb(200, 40, 40), as an image editor saved it.
const Bytes kSolidJpeg = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01, 0x01, 0x02,
    0x01, 0x01, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02, 0x02, 0x05, 0x04,
    0x04, 0x03, 0x04, 0x06, 0x05, 0x06, 0x06, 0x06, 0x05, 0x06, 0x06, 0x06, 0x07, 0x09, 0x08, 0x06,
    0x07, 0x09, 0x07, 0x06, 0x06, 0x08, 0x0B, 0x08, 0x09, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x06, 0x08,
    0x0B, 0x0C, 0x0B, 0x0A, 0x0C, 0x09, 0x0A, 0x0A, 0x0A, 0xFF, 0xDB, 0x00, 0x43, 0x01, 0x02, 0x02,
    0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03, 0x05, 0x0A, 0x07, 0x06, 0x07, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0xFF, 0xC0,
    0x00, 0x11, 0x08, 0x00, 0x08, 0x00, 0x08, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xFF, 0xC4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xC4, 0x00,
    0x15, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x07, 0x09, 0xFF, 0xC4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01,
    0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0x2F, 0x84, 0xD5, 0x01, 0xFF, 0xD9,
};

// The JPEG with its frame header claiming another size.
Bytes jpegDeclaring(unsigned width, unsigned height) {
    Bytes out = kSolidJpeg;
    for (std::size_t i = 0; i + 8 < out.size(); ++i) {
        if (out[i] == 0xFF && out[i + 1] == 0xC0) {
            out[i + 5] = static_cast<std::uint8_t>(height >> 8);
            out[i + 6] = static_cast<std::uint8_t>(height & 0xFF);
            out[i + 7] = static_cast<std::uint8_t>(width >> 8);
            out[i + 8] = static_cast<std::uint8_t>(width & 0xFF);
            break;
        }
    }
    return out;
}

Bytes cut(Bytes bytes, std::size_t keep) {
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

// The largest single block the process allocates while it is alive.
class LargestAllocation {
public:
    LargestAllocation() {
#ifdef VISTREL_WATCHES_ALLOCATIONS
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(onAllocate, onFree) != 0;
        watching_ = installed;
#endif
        largest().store(0);
    }
    bool watching() const { return watching_; }
    std::size_t bytes() const { return largest().load(); }

private:
    static std::atomic<std::size_t>& largest() {
        static std::atomic<std::size_t> value{0};
        return value;
    }
    static void onAllocate(const volatile void*, std::size_t size) {
        auto& value = largest();
        std::size_t seen = value.load();
        while (size > seen && !value.compare_exchange_weak(seen, size)) {
        }
    }
    static void onFree(const volatile void*) {}
    bool watching_ = false;
};

class HeadlessPictureLoaderTest : public ::testing::Test {
protected:
    picture::PictureResult decode(const Bytes& bytes) { return platform.decodePicture(bytes); }

    static picture::Picture picture(const picture::PictureResult& result) {
        const auto* decoded = std::get_if<picture::Picture>(&result);
        if (!decoded) {
            ADD_FAILURE() << "not decoded: " << std::get<picture::PictureFailure>(result).detail;
            return {};
        }
        return *decoded;
    }

    static std::optional<picture::PictureError> error(const picture::PictureResult& result) {
        const auto* failure = std::get_if<picture::PictureFailure>(&result);
        return failure ? std::optional(failure->error) : std::nullopt;
    }

    HeadlessPlatform platform;
};

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

TEST_F(HeadlessPictureLoaderTest, BmpRowsComeOutTopRowFirstInEitherStorageOrder) {
    const std::vector<Rgb> pixels = {kRed, kGreen, kBlue, kWhite, kRed, kGreen};  // 3 x 2, top row first
    for (bool topDown : {false, true}) {
        const picture::Picture decoded = picture(decode(bmpBytes(3, 2, pixels, topDown)));
        ASSERT_EQ(decoded.width, 3);
        ASSERT_EQ(decoded.height, 2);
        EXPECT_THAT(decoded.pixels, ::testing::ElementsAre(opaque(kRed), opaque(kGreen), opaque(kBlue), opaque(kWhite),
                                                           opaque(kRed), opaque(kGreen)))
            << (topDown ? "top-down" : "bottom-up");
    }
}

TEST_F(HeadlessPictureLoaderTest, GifPaletteColoursAndTransparencyAsBlack) {
    const std::vector<Rgb> palette = {kRed, kGreen, kBlue, kWhite};
    const picture::Picture plain = picture(decode(gifBytes(2, 2, palette, {{{0, 1, 2, 3}, std::nullopt}})));
    EXPECT_THAT(plain.pixels, ::testing::ElementsAre(opaque(kRed), opaque(kGreen), opaque(kBlue), opaque(kWhite)));

    const picture::Picture holed = picture(decode(gifBytes(2, 2, palette, {{{0, 3, 3, 2}, std::uint8_t{3}}})));
    EXPECT_THAT(holed.pixels, ::testing::ElementsAre(opaque(kRed), 0xFF000000u, 0xFF000000u, opaque(kBlue)));
}

TEST_F(HeadlessPictureLoaderTest, AnAnimatedGifGivesItsFirstFrame) {
    const Bytes animation = gifBytes(2, 1, {kRed, kGreen, kBlue}, {{{0, 0}, std::nullopt}, {{2, 1}, std::nullopt}});
    const picture::Picture first = picture(decode(animation));
    EXPECT_THAT(first.pixels, ::testing::ElementsAre(opaque(kRed), opaque(kRed)));
}

TEST_F(HeadlessPictureLoaderTest, JpegDecodesNearItsColour) {
    const picture::Picture decoded = picture(decode(kSolidJpeg));
    ASSERT_EQ(decoded.width, 8);
    ASSERT_EQ(decoded.height, 8);
    for (std::uint32_t pixel : decoded.pixels) {
        EXPECT_EQ(pixel >> 24, 0xFFu);
        EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), 200, 4);
        EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), 40, 4);
        EXPECT_NEAR(static_cast<int>(pixel & 0xFF), 40, 4);
    }
}

TEST_F(HeadlessPictureLoaderTest, PhoneFormatsComeFromGdkPixbufsLoaders) {
    // gdk-pixbuf's formats, with the WebP and HEIF modules the setup installs.
    const std::vector<std::string> extensions = platform.pictureFileExtensions();
    for (const char* extension : {".jpg", ".png", ".webp", ".heic", ".heif", ".avif"}) {
        EXPECT_NE(std::find(extensions.begin(), extensions.end(), extension), extensions.end()) << extension;
    }
    EXPECT_EQ(std::find(extensions.begin(), extensions.end(), ".svg"), extensions.end());
    // A 6 x 4 lossless WebP of one colour: a format the header reader does
    // not know goes to the module that recognises its bytes.
    const std::string webp("RIFF\x1e\x00\x00\x00WEBPVP8L\x11\x00\x00\x00\x2f\x05\xc0\x00\x00\x07\x50\xb3\xce"
                           "\x34\xb3\xff\x81\x88\xe8\x7f\x00\x00", 38);
    const picture::Picture decoded = picture(decode(Bytes(webp.begin(), webp.end())));
    ASSERT_EQ(decoded.width, 6);
    ASSERT_EQ(decoded.height, 4);
    EXPECT_EQ(decoded.pixels[0], 0xFF336699u);
}

TEST_F(HeadlessPictureLoaderTest, DamagedOrForeignBytesAreUndecodable) {
    const Bytes gif = gifBytes(2, 2, {kRed, kGreen}, {{{0, 1, 1, 0}, std::nullopt}});
    const Bytes bmp = bmpBytes(4, 4, std::vector<Rgb>(16, kBlue));
    Bytes garbage;
    for (int i = 0; i < 600; ++i) garbage.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"empty", {}},
        {"garbage", garbage},
        {"PNG is not offered", png},
        {"GIF cut in its image data", cut(gif, gif.size() - 6)},
        {"GIF cut in its header", cut(gif, 10)},
        {"JPEG cut in its scan", cut(kSolidJpeg, kSolidJpeg.size() - 10)},
        {"JPEG cut in its headers", cut(kSolidJpeg, 100)},
        {"JPEG without its end marker", cut(kSolidJpeg, kSolidJpeg.size() - 2)},
        {"BMP missing rows", cut(bmp, bmp.size() - 20)},
        {"BMP header only", cut(bmp, 20)},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_EQ(error(decode(bytes)), picture::PictureError::Undecodable) << name;
    }
}

TEST_F(HeadlessPictureLoaderTest, HugeDeclaredSizesFailBeforeAnyPixelMemory) {
    Bytes bmpHeader = bmpBytes(65500, 65500, {});
    bmpHeader.resize(bmpHeader.size() + 300, 0x55);  // a few hundred bytes of "pixels"
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"GIF screen", gifBytes(65500, 65500, {kRed}, {{{0}, std::nullopt}}, 1, 1)},
        {"BMP", bmpHeader},
        {"JPEG", jpegDeclaring(65500, 65500)},
        {"GIF one side over the limit", gifBytes(picture::kMaxPictureSide + 1, 1, {kRed}, {{{0}, std::nullopt}}, 1, 1)},
        {"JPEG over the pixel count", jpegDeclaring(30000, 30000)},
    };
    for (const auto& [name, bytes] : cases) {
        ASSERT_LT(bytes.size(), 1000u) << name;
        LargestAllocation largest;
        EXPECT_EQ(error(decode(bytes)), picture::PictureError::TooLarge) << name;
        if (largest.watching()) {
            EXPECT_LT(largest.bytes(), 1u << 20) << name;
        }
    }
}

TEST_F(HeadlessPictureLoaderTest, AFrameLargerThanItsGifFailsCleanly) {
    LargestAllocation largest;
    const auto result = decode(gifBytes(4, 4, {kRed}, {{{0}, std::nullopt}}, 65500, 65500));
    EXPECT_TRUE(std::holds_alternative<picture::PictureFailure>(result));
    if (largest.watching()) {
        EXPECT_LT(largest.bytes(), 1u << 20);
    }
}

TEST_F(HeadlessPictureLoaderTest, LoadPictureReadsTheInMemoryFiles) {
    const Bytes bmp = bmpBytes(1, 1, {kGreen});
    platform.putFile("C:\\Pictures\\Green.DIB", std::string(bmp.begin(), bmp.end()));

    const picture::Picture loaded = picture(platform.loadPicture("c:/pictures/green.dib"));
    EXPECT_THAT(loaded.pixels, ::testing::ElementsAre(opaque(kGreen)));
    EXPECT_EQ(error(platform.loadPicture("C:\\Pictures\\gone.jpg")), picture::PictureError::NotFound);
    platform.setFileLocked("C:\\Pictures\\Green.DIB", true);
    EXPECT_EQ(error(platform.loadPicture("C:\\Pictures\\Green.DIB")), picture::PictureError::Unreadable);
    EXPECT_THAT(platform.callsStartingWith({"LoadPicture"}),
                ::testing::ElementsAre("LoadPicture(c:/pictures/green.dib)", "LoadPicture(C:\\Pictures\\gone.jpg)",
                                       "LoadPicture(C:\\Pictures\\Green.DIB)"));
}

}  // namespace
}  // namespace vistrel::platform::headless
