// From a picture file to the picture shown: fitted to the space it has,
// upright, with transparent parts over the background colour.
//
// The backends decode (the decoders differ); what to decode, at which
// reduction, how to finish the reduction and how to turn the result upright
// is decided here, once for both.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "picture/picture.h"
#include "picture/picture_structure.h"

namespace vistrel::picture {

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The largest size with the picture's proportions that fits into `space`;
// the picture's own size when it fits already. Never larger than the
// picture, never smaller than 1 x 1.
PixelSize fitWithin(PixelSize picture, PixelSize space);

// Pan and zoom: a picture fills its space when scaled by fillScale: as
// little as covers the space, but never so much that more than a sixth of
// a side is cut away (a picture of very different proportions then leaves
// some of the space to the background).
inline constexpr double kMaxFillCut = 1.0 / 6;
double fillScale(PixelSize picture, PixelSize space);

// The size a load makes of a picture: fitted within the request's space,
// or, for a request with a fill zoom, large enough to fill the space at
// that zoom. Never larger than the picture, never smaller than 1 x 1.
PixelSize requestedSize(PixelSize picture, const PictureRequest& request);

// The orientation tag of a photo (1 to 8); anything else means "as stored".
int validOrientation(int tag);
// Orientations 5 to 8 turn the picture by a quarter: width and height swap.
bool orientationSwapsSides(int orientation);
// The picture turned and mirrored upright by its orientation tag.
Picture orientPicture(const Picture& stored, int orientation);

// The sides of a JPEG that its format allows.
inline constexpr int kMaxJpegSide = 65500;

struct DecodeCapabilities {
    // The JPEG decoder can decode at 1/2, 1/4 and 1/8 of the size without a
    // buffer of the whole frame, also when the file is opened.
    bool reducedJpegDecode = false;
};

// Gets the decoded rows, top to bottom, as 0xAARRGGBB words.
class PictureRowSink {
public:
    virtual ~PictureRowSink() = default;
    // The size actually decoded; false refuses it, and the decoder stops.
    virtual bool begin(PixelSize decoded) = 0;
    virtual void row(const std::uint32_t* pixels) = 0;
};

// A backend's decoder for one file.
class PictureDecoder {
public:
    virtual ~PictureDecoder() = default;
    // The first frame, reduced by `denominator` (1, 2, 4 or 8; decoders
    // that cannot reduce ignore it), handed to `sink` row by row. Nothing
    // on success.
    virtual std::optional<PictureFailure> decode(int denominator, PictureRowSink& sink) = 0;
    // The orientation tag of the file's metadata, 1 when it has none. Asked
    // only for formats whose metadata the header reader does not read, and
    // after decode() has started, so a decoder may read it with the pixels.
    virtual int orientation() { return 1; }
};

// The whole load: the declared size checked against the limits before the
// decoder runs, a reduced decode where it helps, the reduction finished by
// a filter that averages (a fine pattern comes out as its mean colour),
// then the picture turned upright and given the day it was taken.
// `header` is what readPictureHeader said of the file.
PictureResult loadFittedPicture(const PictureHeader& header, PictureDecoder& decoder, const PictureRequest& request,
                                DecodeCapabilities capabilities);

// The checks of loadFittedPicture that come before any decoding: nothing
// when the declared size may go on to the decoder.
std::optional<PictureFailure> refuseByHeader(const PictureHeader& header, const PictureRequest& request,
                                             DecodeCapabilities capabilities);

// Reduces a stream of rows to `target` with a triangle filter as wide as
// two reduced pixels (and never narrower than four source pixels),
// compositing each pixel over `background` (RGB, red
// in the low byte) by its alpha. Holds only the few rows it is working on.
class PictureReducer final : public PictureRowSink {
public:
    PictureReducer(PixelSize source, PixelSize target, std::uint32_t background);
    bool begin(PixelSize decoded) override { return decoded == source_; }
    void row(const std::uint32_t* pixels) override;
    // The reduced picture; rows the source did not deliver stay background.
    Picture take();

private:
    struct Taps {
        int first = 0;
        std::vector<float> weights;
    };
    static std::vector<Taps> tapsFor(int sourceLength, int targetLength);
    void emit(int targetRow);

    PixelSize source_;
    PixelSize target_;
    std::uint32_t background_;
    std::vector<Taps> columns_;
    std::vector<Taps> rows_;
    std::vector<std::vector<float>> open_;  // per target row, while it gathers
    std::vector<float> reducedRow_;
    std::vector<float> compositedRow_;
    int nextSourceRow_ = 0;
    int firstOpenRow_ = 0;
    Picture picture_;
};

}  // namespace vistrel::picture
