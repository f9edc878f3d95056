#include "picture/picture_fitting.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace vistrel::picture {
namespace {

PictureFailure tooLarge(std::int64_t width, std::int64_t height) {
    return {PictureError::TooLarge, "declares " + std::to_string(width) + " x " + std::to_string(height) + " pixels"};
}

std::int64_t dividedUp(std::int64_t value, int denominator) { return (value + denominator - 1) / denominator; }

PixelSize turned(PixelSize size) { return {size.height, size.width}; }

// The reduction at which the decoder still delivers at least the fitted
// size. The header gives the orientation of the formats it reads; of any
// other the decoder tells it only with the pixels, so the reduction must
// do for either way up.
int denominatorFor(const PictureHeader& header, const PictureRequest& request) {
    if (!request.fits() || !header.sizeKnown) return 1;
    const PixelSize stored{static_cast<int>(header.width), static_cast<int>(header.height)};
    const PixelSize asStored = requestedSize(stored, request);
    const PixelSize asTurned = turned(requestedSize(turned(stored), request));
    PixelSize need{std::max(asStored.width, asTurned.width), std::max(asStored.height, asTurned.height)};
    if (metadataReadHere(header.format)) need = orientationSwapsSides(header.orientation) ? asTurned : asStored;
    const std::int64_t needWidth = need.width;
    const std::int64_t needHeight = need.height;
    for (int denominator : {8, 4, 2}) {
        if (dividedUp(header.width, denominator) >= needWidth && dividedUp(header.height, denominator) >= needHeight) {
            return denominator;
        }
    }
    return 1;
}

bool reducedJpeg(const PictureHeader& header, const PictureRequest& request, DecodeCapabilities capabilities) {
    return header.format == PictureFormat::Jpeg && capabilities.reducedJpegDecode && request.fits();
}

// The header's orientation for the formats it reads; the decoder's own only
// for the others (WebP, HEIC through the system's decoders).
int orientationOf(const PictureHeader& header, PictureDecoder& decoder) {
    return validOrientation(metadataReadHere(header.format) ? header.orientation : decoder.orientation());
}

// Hands the decoded rows to a reducer made once the decoded size is known.
class FittingSink final : public PictureRowSink {
public:
    FittingSink(const PictureHeader& header, PictureDecoder& decoder, const PictureRequest& request,
                std::int64_t allowedPixels)
        : header_(header), decoder_(decoder), request_(request), allowedPixels_(allowedPixels) {}

    bool begin(PixelSize decoded) override {
        if (!pictureSizeAllowed(decoded.width, decoded.height) ||
            std::int64_t{decoded.width} * decoded.height > allowedPixels_) {
            refused_ = decoded;
            return false;
        }
        orientation_ = orientationOf(header_, decoder_);
        const bool turns = orientationSwapsSides(orientation_);
        PixelSize target = decoded;
        if (request_.fits()) {
            const PixelSize upright = turns ? turned(decoded) : decoded;
            const PixelSize fitted = requestedSize(upright, request_);
            target = turns ? turned(fitted) : fitted;
        }
        reducer_.emplace(decoded, target, request_.background);
        return true;
    }

    void row(const std::uint32_t* pixels) override {
        if (reducer_) reducer_->row(pixels);
    }

    std::optional<PixelSize> refused_;
    std::optional<PictureReducer> reducer_;
    int orientation_ = 1;

private:
    const PictureHeader& header_;
    PictureDecoder& decoder_;
    const PictureRequest& request_;
    std::int64_t allowedPixels_;
};

// Values are sums of non-negative weights times bytes; rounded half up.
std::uint8_t toByte(float value) { return static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f)); }

}  // namespace

PixelSize fitWithin(PixelSize picture, PixelSize space) {
    if (picture.width <= space.width && picture.height <= space.height) return picture;
    if (space.width <= 0 || space.height <= 0) return {1, 1};
    const std::int64_t w = picture.width, h = picture.height;
    // Limited by the width when the picture is relatively wider than the space.
    if (w * space.height >= h * space.width) {
        const std::int64_t height = std::clamp<std::int64_t>((h * space.width + w / 2) / w, 1, space.height);
        return {space.width, static_cast<int>(height)};
    }
    const std::int64_t width = std::clamp<std::int64_t>((w * space.height + h / 2) / h, 1, space.width);
    return {static_cast<int>(width), space.height};
}

double fillScale(PixelSize picture, PixelSize space) {
    if (picture.width <= 0 || picture.height <= 0) return 1;
    const double across = static_cast<double>(space.width) / picture.width;
    const double down = static_cast<double>(space.height) / picture.height;
    const double covering = std::max(across, down);
    const double fitting = std::min(across, down);
    return std::min(covering, fitting / (1 - kMaxFillCut));
}

PixelSize requestedSize(PixelSize picture, const PictureRequest& request) {
    const PixelSize space{request.maxWidth, request.maxHeight};
    if (request.fillZoom <= 0) return fitWithin(picture, space);
    const double scale = std::min(1.0, fillScale(picture, space) * request.fillZoom);
    if (scale >= 1.0) return picture;
    return {std::max(1, static_cast<int>(std::lround(picture.width * scale))),
            std::max(1, static_cast<int>(std::lround(picture.height * scale)))};
}

int validOrientation(int tag) { return tag >= 1 && tag <= 8 ? tag : 1; }

bool orientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

Picture orientPicture(const Picture& stored, int orientation) {
    orientation = validOrientation(orientation);
    if (orientation == 1) return stored;
    const int w = stored.width, h = stored.height;
    Picture out;
    const bool turns = orientationSwapsSides(orientation);
    out.width = turns ? h : w;
    out.height = turns ? w : h;
    out.naturalWidth = stored.naturalWidth;
    out.naturalHeight = stored.naturalHeight;
    out.pixels.resize(stored.pixels.size());
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            int sx = x, sy = y;
            switch (orientation) {
                case 2: sx = w - 1 - x; break;                     // mirrored left to right
                case 3: sx = w - 1 - x; sy = h - 1 - y; break;     // upside down
                case 4: sy = h - 1 - y; break;                     // mirrored top to bottom
                case 5: sx = y; sy = x; break;                     // mirrored along the main diagonal
                case 6: sx = y; sy = h - 1 - x; break;             // to be turned a quarter clockwise
                case 7: sx = w - 1 - y; sy = h - 1 - x; break;     // mirrored along the other diagonal
                case 8: sx = w - 1 - y; sy = x; break;             // to be turned a quarter anticlockwise
                default: break;
            }
            out.pixels[static_cast<std::size_t>(y) * out.width + x] = stored.at(sx, sy);
        }
    }
    return out;
}

std::optional<PictureFailure> refuseByHeader(const PictureHeader& header, const PictureRequest& request,
                                             DecodeCapabilities capabilities) {
    if (header.impossible) return PictureFailure{PictureError::Undecodable, "a damaged header"};
    if (!header.sizeKnown) return std::nullopt;
    if (reducedJpeg(header, request, capabilities) && header.jpegSinglePass) {
        // Decoded reduced and never whole: the reduced size is what memory holds.
        // (Any other JPEG is buffered whole as coefficients, so it keeps the
        // plain limits.)
        const int denominator = denominatorFor(header, request);
        if (header.width > kMaxJpegSide || header.height > kMaxJpegSide ||
            !pictureSizeAllowed(dividedUp(header.width, denominator), dividedUp(header.height, denominator))) {
            return tooLarge(header.width, header.height);
        }
        return std::nullopt;
    }
    if (!pictureSizeAllowed(header.width, header.height)) return tooLarge(header.width, header.height);
    return std::nullopt;
}

PictureResult loadFittedPicture(const PictureHeader& header, PictureDecoder& decoder, const PictureRequest& request,
                                DecodeCapabilities capabilities) {
    if (auto refused = refuseByHeader(header, request, capabilities)) return *refused;
    const int denominator = reducedJpeg(header, request, capabilities) ? denominatorFor(header, request) : 1;
    FittingSink sink(header, decoder, request, kMaxPicturePixels);
    std::optional<PictureFailure> failed = decoder.decode(denominator, sink);
    if (sink.refused_) return tooLarge(sink.refused_->width, sink.refused_->height);
    if (failed) return *failed;
    if (!sink.reducer_) return PictureFailure{PictureError::Undecodable, "no picture in the file"};

    Picture stored = sink.reducer_->take();
    const int fullWidth = header.sizeKnown ? static_cast<int>(header.width) : stored.width * denominator;
    const int fullHeight = header.sizeKnown ? static_cast<int>(header.height) : stored.height * denominator;
    if (fullWidth != stored.width || fullHeight != stored.height) {
        const bool turns = orientationSwapsSides(sink.orientation_);
        stored.naturalWidth = turns ? fullHeight : fullWidth;
        stored.naturalHeight = turns ? fullWidth : fullHeight;
    }
    Picture shown = orientPicture(stored, sink.orientation_);
    shown.dateTaken = header.dateTaken;
    return shown;
}

// --- PictureReducer ---

std::vector<PictureReducer::Taps> PictureReducer::tapsFor(int sourceLength, int targetLength) {
    std::vector<Taps> taps(static_cast<std::size_t>(targetLength));
    const double scale = static_cast<double>(sourceLength) / targetLength;
    // At least two source pixels each way: a narrower triangle lets the
    // finest patterns through as moiré when the reduction is slight.
    const double radius = scale <= 1.0 ? 1.0 : std::max(scale, 2.0);
    for (int j = 0; j < targetLength; ++j) {
        const double centre = (j + 0.5) * scale;
        const int first = std::max(0, static_cast<int>(std::ceil(centre - radius - 0.5)));
        const int last = std::min(sourceLength - 1, static_cast<int>(std::floor(centre + radius - 0.5)));
        Taps& tap = taps[static_cast<std::size_t>(j)];
        double sum = 0;
        for (int i = first; i <= last; ++i) {
            const double weight = 1.0 - std::abs(i + 0.5 - centre) / radius;
            if (weight <= 0 && tap.weights.empty()) continue;  // starts at the first that counts
            if (tap.weights.empty()) tap.first = i;
            tap.weights.push_back(static_cast<float>(std::max(weight, 0.0)));
            sum += std::max(weight, 0.0);
        }
        if (tap.weights.empty()) {  // cannot happen for a reduction; keep the nearest pixel
            tap.first = std::clamp(static_cast<int>(centre), 0, sourceLength - 1);
            tap.weights.push_back(1.0f);
            sum = 1;
        }
        for (float& weight : tap.weights) weight = static_cast<float>(weight / sum);
    }
    return taps;
}

PictureReducer::PictureReducer(PixelSize source, PixelSize target, std::uint32_t background)
    : source_(source), target_(target), background_(background) {
    const std::uint32_t backPixel =
        0xFF000000u | (background & 0xFF) << 16 | (background & 0xFF00) | (background >> 16 & 0xFF);
    picture_.width = target.width;
    picture_.height = target.height;
    picture_.pixels.assign(static_cast<std::size_t>(target.width) * target.height, backPixel);
    if (source_ == target_) return;
    columns_ = tapsFor(source.width, target.width);
    rows_ = tapsFor(source.height, target.height);
    open_.resize(static_cast<std::size_t>(target.height));
    reducedRow_.resize(static_cast<std::size_t>(target.width) * 3);
    compositedRow_.resize(static_cast<std::size_t>(source.width) * 3);
}

void PictureReducer::row(const std::uint32_t* pixels) {
    if (nextSourceRow_ >= source_.height) return;
    const int sourceRow = nextSourceRow_++;
    const float back[3] = {static_cast<float>(background_ >> 16 & 0xFF), static_cast<float>(background_ >> 8 & 0xFF),
                           static_cast<float>(background_ & 0xFF)};  // blue, green, red
    auto channel = [&](std::uint32_t pixel, int c) {  // c: 0 blue, 1 green, 2 red
        const float value = static_cast<float>(pixel >> (8 * c) & 0xFF);
        const std::uint32_t alpha = pixel >> 24;
        if (alpha == 0xFF) return value;
        const float share = static_cast<float>(alpha) / 255.0f;
        return value * share + back[c] * (1.0f - share);
    };
    if (source_ == target_) {
        std::uint32_t* out = &picture_.pixels[static_cast<std::size_t>(sourceRow) * target_.width];
        for (int x = 0; x < source_.width; ++x) {
            const std::uint32_t pixel = pixels[x];
            out[x] = (pixel >> 24) == 0xFF ? pixel
                                           : 0xFF000000u | std::uint32_t{toByte(channel(pixel, 2))} << 16 |
                                                 std::uint32_t{toByte(channel(pixel, 1))} << 8 |
                                                 toByte(channel(pixel, 0));
        }
        return;
    }
    // Each source pixel over the background once, then the columns' taps.
    for (int x = 0; x < source_.width; ++x) {
        const std::uint32_t pixel = pixels[x];
        float* to = &compositedRow_[static_cast<std::size_t>(x) * 3];
        if (pixel >> 24 == 0xFF) {  // most pictures have no transparency at all
            to[0] = static_cast<float>(pixel & 0xFF);
            to[1] = static_cast<float>(pixel >> 8 & 0xFF);
            to[2] = static_cast<float>(pixel >> 16 & 0xFF);
        } else {
            for (int c = 0; c < 3; ++c) to[c] = channel(pixel, c);
        }
    }
    for (int x = 0; x < target_.width; ++x) {
        const Taps& tap = columns_[static_cast<std::size_t>(x)];
        float sum[3] = {0, 0, 0};
        const float* from = &compositedRow_[static_cast<std::size_t>(tap.first) * 3];
        for (std::size_t k = 0; k < tap.weights.size(); ++k, from += 3) {
            const float weight = tap.weights[k];
            sum[0] += weight * from[0];
            sum[1] += weight * from[1];
            sum[2] += weight * from[2];
        }
        std::copy(sum, sum + 3, &reducedRow_[static_cast<std::size_t>(x) * 3]);
    }
    for (int j = firstOpenRow_; j < target_.height && rows_[static_cast<std::size_t>(j)].first <= sourceRow; ++j) {
        const Taps& tap = rows_[static_cast<std::size_t>(j)];
        const auto k = static_cast<std::size_t>(sourceRow - tap.first);
        if (k >= tap.weights.size()) continue;
        std::vector<float>& gathered = open_[static_cast<std::size_t>(j)];
        if (gathered.empty()) gathered.assign(reducedRow_.size(), 0.0f);
        const float weight = tap.weights[k];
        for (std::size_t i = 0; i < gathered.size(); ++i) gathered[i] += weight * reducedRow_[i];
    }
    while (firstOpenRow_ < target_.height) {
        const Taps& tap = rows_[static_cast<std::size_t>(firstOpenRow_)];
        if (tap.first + static_cast<int>(tap.weights.size()) - 1 > sourceRow) break;
        emit(firstOpenRow_++);
    }
}

void PictureReducer::emit(int targetRow) {
    std::vector<float>& gathered = open_[static_cast<std::size_t>(targetRow)];
    if (gathered.empty()) return;
    std::uint32_t* out = &picture_.pixels[static_cast<std::size_t>(targetRow) * target_.width];
    for (int x = 0; x < target_.width; ++x) {
        const float* c = &gathered[static_cast<std::size_t>(x) * 3];
        out[x] = 0xFF000000u | std::uint32_t{toByte(c[2])} << 16 | std::uint32_t{toByte(c[1])} << 8 | toByte(c[0]);
    }
    std::vector<float>().swap(gathered);
}

Picture PictureReducer::take() { return std::move(picture_); }

}  // namespace vistrel::picture
