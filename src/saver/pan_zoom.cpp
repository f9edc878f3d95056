#include "saver/pan_zoom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vistrel::saver {
namespace {

// The closer framing of a journey lies this much further in than the
// other, at least: the two always differ by a tenth or more.
constexpr double kStartZoomSpread = 0.03;
constexpr double kExtraZoomSpread = 0.02;

double between(double from, double to, double share) { return from + (to - from) * share; }

// Where the picture's near edge stands on one axis of the space, in space
// pixels: within the room when the picture is larger, else centred.
double edgeOffset(double shown, int space, double share) {
    const double room = shown - space;
    return room >= 0 ? -share * room : -room / 2;
}

}  // namespace

PanJourney::PanJourney(picture::PixelSize picture, picture::PixelSize space, PanFraming from, PanFraming to,
                       std::int64_t durationMs)
    : picture_(picture), space_(space), from_(from), to_(to), durationMs_(std::max<std::int64_t>(durationMs, 0)) {}

PanJourney PanJourney::random(picture::PixelSize picture, picture::PixelSize space, std::int64_t durationMs,
                              RandomSource& random) {
    const double near = 1 + kStartZoomSpread * random.next();
    const double far = std::min(kPanMaxZoom, near * (1 + kPanMinZoomChange + kExtraZoomSpread * random.next()));
    PanFraming wide{near, random.next(), random.next()};
    PanFraming close{far, random.next(), random.next()};
    if (random.next() < 0.5f) return {picture, space, wide, close, durationMs};
    return {picture, space, close, wide, durationMs};
}

PanFraming PanJourney::framingAt(std::int64_t elapsedMs) const {
    double progress = 0;
    if (durationMs_ > 0) {
        progress = std::clamp(static_cast<double>(elapsedMs) / static_cast<double>(durationMs_), 0.0, 1.0);
    } else {
        // There and back again, for as long as the picture stays.
        const std::int64_t phase = std::max<std::int64_t>(elapsedMs, 0) % (2 * kPanLegMs);
        progress = static_cast<double>(phase <= kPanLegMs ? phase : 2 * kPanLegMs - phase) / kPanLegMs;
    }
    const double eased = (1 - std::cos(std::numbers::pi * progress)) / 2;
    return {between(from_.zoom, to_.zoom, eased), between(from_.across, to_.across, eased),
            between(from_.down, to_.down, eased)};
}

picture::Framing PanJourney::placementAt(std::int64_t elapsedMs) const {
    if (empty()) return {};
    const PanFraming framing = framingAt(elapsedMs);
    // Space pixels per picture pixel.
    const double scale = picture::fillScale(picture_, space_) * framing.zoom;
    const double left = edgeOffset(picture_.width * scale, space_.width, framing.across);
    const double top = edgeOffset(picture_.height * scale, space_.height, framing.down);
    return {-left / scale, -top / scale, 1 / scale, 1 / scale};
}

}  // namespace vistrel::saver
