// Decodes JPEG bytes with libjpeg-turbo, reduced by 1/2, 1/4 or 1/8 where
// the shown size allows it, row by row: no buffer of the whole frame is
// ever made. The orientation comes from the header reader.
#pragma once

#include <cstdint>
#include <span>

#include "picture/picture_fitting.h"

namespace vistrel::platform::headless {

class JpegPictureDecoder final : public picture::PictureDecoder {
public:
    explicit JpegPictureDecoder(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::optional<picture::PictureFailure> decode(int denominator, picture::PictureRowSink& sink) override;
    // True after decode() when libjpeg cannot give 32-bit pixels for this
    // file (a CMYK photo): another decoder must try it.
    bool needsOtherDecoder() const { return needsOtherDecoder_; }

private:
    std::span<const std::uint8_t> bytes_;
    bool needsOtherDecoder_ = false;
};

}  // namespace vistrel::platform::headless
