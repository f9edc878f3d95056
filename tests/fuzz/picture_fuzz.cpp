// The headless picture loader under libFuzzer: the header reader with its
// EXIF directories (orientation, the day a photo was taken), the reduced
// JPEG decode and the reduction filter, with whatever bytes come, fitted to
// a small screen and at their own size. What the reader gives is checked
// too: a day it names is one of the calendar, and the loaded picture
// carries that day.
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "picture/picture_structure.h"
#include "platform/headless/picture_decoder.h"

namespace {

bool isCalendarDay(const vistrel::picture::CalendarDate& date) {
    if (!date.known()) return date == vistrel::picture::CalendarDate{};
    const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= days[date.month - 1];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const vistrel::picture::PictureHeader header =
        vistrel::picture::readPictureHeader(vistrel::picture::MemoryByteSource(bytes));
    if (!isCalendarDay(header.dateTaken) || header.orientation < 0 || header.orientation > 0xFFFF) __builtin_trap();
    for (const vistrel::picture::PictureRequest& request :
         {vistrel::picture::PictureRequest{64, 48, 0x336699}, vistrel::picture::PictureRequest{}}) {
        const vistrel::picture::PictureResult result = vistrel::platform::headless::decodePictureBytes(bytes, request);
        if (const auto* picture = std::get_if<vistrel::picture::Picture>(&result)) {
            if (picture->dateTaken != header.dateTaken) __builtin_trap();
        }
    }
    return 0;
}
