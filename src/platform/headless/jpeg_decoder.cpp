#include "platform/headless/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <new>
#include <string>

#include <jpeglib.h>

namespace vistrel::platform::headless {
namespace {

// libjpeg reports fatal errors through a callback that must not return; it
// jumps back to the decoding function, which holds only plain C data and
// pointers, so no destructor is skipped.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onFatalError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }

void onWarning(j_common_ptr, int) {}  // a truncated file is caught by the caller's structure check

enum class Outcome { Decoded, TooLarge, Failed };

Outcome decodeInto(const std::uint8_t* data, std::size_t size, Picture* picture, int* width, int* height) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onFatalError;
    errors.base.emit_message = onWarning;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return Outcome::Failed;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    *width = static_cast<int>(info.image_width);
    *height = static_cast<int>(info.image_height);
    if (!pictureSizeAllowed(*width, *height)) {
        jpeg_destroy_decompress(&info);
        return Outcome::TooLarge;
    }
    // B, G, R, A bytes: 0xAARRGGBB words on a little-endian machine, alpha 0xFF.
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    if (info.output_components != 4) {
        jpeg_destroy_decompress(&info);
        return Outcome::Failed;
    }
    const auto rowLength = static_cast<std::size_t>(info.output_width);
    try {
        picture->pixels.resize(rowLength * info.output_height);
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&info);
        return Outcome::Failed;
    }
    picture->width = static_cast<int>(info.output_width);
    picture->height = static_cast<int>(info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(&picture->pixels[info.output_scanline * rowLength]);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return Outcome::Decoded;
}

}  // namespace

std::optional<PictureResult> decodeJpegDirect(std::span<const std::uint8_t> bytes) {
    Picture picture;
    int width = 0, height = 0;
    switch (decodeInto(bytes.data(), bytes.size(), &picture, &width, &height)) {
        case Outcome::Decoded:
            return PictureResult(std::move(picture));
        case Outcome::TooLarge:
            return PictureResult(PictureFailure{PictureError::TooLarge, "declares " + std::to_string(width) + " x " +
                                                                            std::to_string(height) + " pixels"});
        case Outcome::Failed:
            break;
    }
    return std::nullopt;
}

}  // namespace vistrel::platform::headless
