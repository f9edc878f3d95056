#include "platform/headless/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <exception>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

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

// A truncated file is caught before decoding. A scan whose data runs out
// early is damaged: libjpeg would go on filling every row that is missing
// with grey, which for a small file declaring billions of pixels takes
// seconds. Other warnings (stray bytes before a marker, which some cameras
// write) leave the picture whole.
void onWarning(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_HIT_MARKER) onFatalError(info);
}

enum class Outcome { Decoded, Refused, OtherColourSpace, BufferedTooLarge, Failed };

// `row` is a buffer the caller owns, grown here before the first row.
Outcome decodeRows(std::span<const std::uint8_t> bytes, int denominator, picture::PictureRowSink& sink,
                   std::vector<std::uint32_t>& row) {
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
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    // A file that needs several passes is buffered whole as coefficients
    // (2 bytes a sample) before its first row comes out, whatever the scale.
    if (jpeg_has_multiple_scans(&info) && !picture::pictureSizeAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return Outcome::BufferedTooLarge;
    }
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&info);
        return Outcome::OtherColourSpace;
    }
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned>(denominator);
    // A picture decoded reduced is reduced further by the filter, which
    // smooths the colour planes anyway: the plain upsampling is enough.
    if (denominator > 1) info.do_fancy_upsampling = FALSE;
    // B, G, R, A bytes: 0xAARRGGBB words on a little-endian machine, alpha 0xFF.
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_calc_output_dimensions(&info);
    bool accepted = false;
    try {
        accepted = sink.begin({static_cast<int>(info.output_width), static_cast<int>(info.output_height)});
        if (accepted) row.resize(info.output_width);
    } catch (const std::exception&) {
        accepted = false;
    }
    if (!accepted) {
        jpeg_destroy_decompress(&info);
        return Outcome::Refused;
    }
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW samples = reinterpret_cast<JSAMPROW>(row.data());
        jpeg_read_scanlines(&info, &samples, 1);
        try {
            sink.row(row.data());
        } catch (const std::exception&) {  // out of memory for a reduced row
            jpeg_destroy_decompress(&info);
            return Outcome::Failed;
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return Outcome::Decoded;
}

}  // namespace

std::optional<picture::PictureFailure> JpegPictureDecoder::decode(int denominator, picture::PictureRowSink& sink) {
    // Checked first: libjpeg would fill a short file's missing part with grey.
    if (!picture::jpegReachesEnd(bytes_)) return picture::PictureFailure{picture::PictureError::Undecodable, "the file is truncated"};
    std::vector<std::uint32_t> row;
    switch (decodeRows(bytes_, denominator, sink, row)) {
        case Outcome::Decoded:
        case Outcome::Refused:  // the sink knows why
            return std::nullopt;
        case Outcome::OtherColourSpace:
            needsOtherDecoder_ = true;
            return picture::PictureFailure{picture::PictureError::Undecodable, "a colour space libjpeg cannot give as RGB"};
        case Outcome::BufferedTooLarge:
            return picture::PictureFailure{picture::PictureError::TooLarge, "a progressive or multi-scan JPEG too large to buffer"};
        case Outcome::Failed:
            break;
    }
    return picture::PictureFailure{picture::PictureError::Undecodable, "damaged JPEG data"};
}

}  // namespace vistrel::platform::headless
