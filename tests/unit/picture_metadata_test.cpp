// The metadata the header reader gives: the day a photo was taken (EXIF
// DateTimeOriginal, else DateTime) and its orientation, from a JPEG's EXIF
// block or a TIFF's own directories, in both byte orders, and nothing but
// "unknown" from blocks that are missing, damaged or point outside the file.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "picture/picture_structure.h"
#include "picture_files.h"
#include "platform/headless/headless_platform.h"

namespace vistrel::testing {
namespace {

using picture::CalendarDate;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

picture::PictureHeader headerOf(const std::string& bytes) {
    return picture::readPictureHeader(picture::MemoryByteSource(bytesOf(bytes)));
}

std::string smallJpeg() {
    return saved(16, 8, false, "jpeg", [](int, int) { return 0x808080FFu; });
}

constexpr CalendarDate kBastilleDay{2024, 7, 14};

TEST(ExifDate, ReadsTheDayOfTheTextAndRefusesDaysTheCalendarLacks) {
    struct Case {
        const char* text;
        CalendarDate date;
    } cases[] = {
        {"2024:07:14 09:30:00", kBastilleDay},
        {"2024-07-14T09:30:00", kBastilleDay},
        {"2024/07/14", kBastilleDay},
        {"2024:02:29 00:00:00", {2024, 2, 29}},  // a leap year
        {"2000:02:29 00:00:00", {2000, 2, 29}},  // divisible by 400
        {"1900:02:29 00:00:00", {}},             // divisible by 100 only
        {"2023:02:29 00:00:00", {}},
        {"2024:04:31 00:00:00", {}},
        {"2024:13:01 00:00:00", {}},
        {"2024:00:10 00:00:00", {}},
        {"2024:07:00 00:00:00", {}},
        {"0000:00:00 00:00:00", {}},  // what cameras write when they do not know
        {"    :  :     :  :  ", {}},
        {"2024:07-14 09:30:00", {}},  // two different separators
        {"2024 07 14", {}},
        {"2024:07:1", {}},  // too short
        {"", {}},
    };
    for (const Case& c : cases) {
        const std::string text = c.text;
        EXPECT_EQ(picture::exifDate(bytesOf(text)), c.date) << '"' << text << '"';
    }
}

TEST(ExifDate, TakenFromJpegAndTiffInBothByteOrders) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        ExifMetadata exif{.bigEndian = bigEndian, .orientation = 6, .dateTime = "2025:01:02 10:00:00",
                          .dateTimeOriginal = "2024:07:14 09:30:00"};
        const picture::PictureHeader jpeg = headerOf(withApp1(smallJpeg(), exif.app1()));
        EXPECT_EQ(jpeg.format, picture::PictureFormat::Jpeg);
        EXPECT_EQ(jpeg.dateTaken, kBastilleDay);  // DateTimeOriginal before DateTime
        EXPECT_EQ(jpeg.orientation, 6);
        EXPECT_EQ(jpeg.width, 16);  // the size still comes after the block

        exif.width = 300;
        exif.height = 200;
        const picture::PictureHeader tiff = headerOf(exif.tiff());
        EXPECT_EQ(tiff.format, picture::PictureFormat::Tiff);
        EXPECT_EQ(tiff.dateTaken, kBastilleDay);
        EXPECT_EQ(tiff.orientation, 6);
        EXPECT_EQ(tiff.width, 300);
        EXPECT_EQ(tiff.height, 200);
    }
}

TEST(ExifDate, DateTimeStandsInWhenTheOriginalIsMissingOrNoDay) {
    for (const char* original : {"", "0000:00:00 00:00:00", "2024:02:30 12:00:00"}) {
        const ExifMetadata exif{.dateTime = "2024:07:14 18:00:00", .dateTimeOriginal = original};
        EXPECT_EQ(headerOf(withApp1(smallJpeg(), exif.app1())).dateTaken, kBastilleDay) << '"' << original << '"';
    }
}

TEST(ExifDate, MissingDamagedOrOutsideMeansUnknownAndTheRestStillCounts) {
    const ExifMetadata sound{.orientation = 8, .dateTimeOriginal = "2024:07:14 09:30:00"};
    const std::string soundTiff = sound.tiff();
    std::string textAsShort = sound.app1();
    // The sub-directory's one entry: its type from ASCII (2) to SHORT (3).
    const std::size_t subEntry = 6 + soundTiff.size() - 20 - 4 - 12;
    ASSERT_EQ(textAsShort[subEntry + 2], '\x02');
    textAsShort[subEntry + 2] = '\x03';
    std::string textPastTheEnd = sound.app1();
    textPastTheEnd[subEntry + 8] = '\x7F';  // the text's offset
    std::string cutInTheSubDirectory = sound.app1();
    cutInTheSubDirectory.resize(6 + 8 + 30 + 2);  // the header, the first directory, the sub-directory's count

    struct Case {
        const char* what;
        std::string app1;
        int orientation;
    } cases[] = {
        {"no EXIF block", "", 0},
        {"no date at all", ExifMetadata{.orientation = 8}.app1(), 8},
        {"sub-directory pointer outside the file", ExifMetadata{.orientation = 8, .dateTimeOriginal = "2024:07:14 09:30:00",
                                                               .subDirectoryPointer = 0xFFFFFFF0u}.app1(), 8},
        // Past the block's end, into the rest of the JPEG: its end is the limit.
        {"sub-directory pointer past the block", ExifMetadata{.orientation = 8, .dateTimeOriginal = "2024:07:14 09:30:00",
                                                             .subDirectoryPointer = 200}.app1(), 8},
        {"sub-directory pointer onto the first directory", ExifMetadata{.orientation = 8, .dateTimeOriginal = "2024:07:14 09:30:00",
                                                                      .subDirectoryPointer = 8}.app1(), 8},
        {"date text not ASCII", textAsShort, 8},
        {"date text past the block", textPastTheEnd, 8},
        {"block cut inside the sub-directory", cutInTheSubDirectory, 8},
    };
    for (const Case& c : cases) {
        const picture::PictureHeader header = headerOf(c.app1.empty() ? smallJpeg() : withApp1(smallJpeg(), c.app1));
        EXPECT_FALSE(header.dateTaken.known()) << c.what;
        EXPECT_EQ(header.orientation, c.orientation) << c.what;
        EXPECT_EQ(header.width, 16) << c.what;
    }
}

TEST(ExifDate, ThePictureLoadedByThePlatformCarriesItsDay) {
    platform::headless::HeadlessPlatform platform;
    const ExifMetadata exif{.bigEndian = true, .dateTimeOriginal = "2024:07:14 09:30:00"};
    platform.putFile("C:\\Photos\\dated.jpg", withApp1(smallJpeg(), exif.app1()));
    platform.putFile("C:\\Photos\\undated.jpg", smallJpeg());
    for (const picture::PictureRequest& request : {picture::PictureRequest{}, picture::PictureRequest{8, 8, 0}}) {
        const picture::PictureResult dated = platform.loadPicture("C:\\Photos\\dated.jpg", request);
        ASSERT_TRUE(std::holds_alternative<picture::Picture>(dated));
        EXPECT_EQ(std::get<picture::Picture>(dated).dateTaken, kBastilleDay);
        const picture::PictureResult undated = platform.loadPicture("C:\\Photos\\undated.jpg", request);
        ASSERT_TRUE(std::holds_alternative<picture::Picture>(undated));
        EXPECT_FALSE(std::get<picture::Picture>(undated).dateTaken.known());
    }
}

}  // namespace
}  // namespace vistrel::testing
