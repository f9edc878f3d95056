// Pan and zoom (picRandom=pan): the picture fills its space and travels
// slowly between two framings while it is shown, zooming in or out by at
// least a tenth. Where it stands is worked out from the time since it came,
// never stepped tick by tick, so a late tick shows the right place.
#pragma once

#include <cstdint>

#include "common/random_source.h"
#include "picture/framed_sampling.h"
#include "picture/picture_fitting.h"

namespace vistrel::saver {

// The value of picRandom that asks for pan and zoom. (Builds that know only
// "cent" take any other value, and so this one, as floating.)
inline constexpr const char* kPanAndZoom = "pan";

// Zooms run from 100 % (the picture just fills its space) to about 115 %,
// and the two framings of a journey differ by at least kPanMinZoomChange.
inline constexpr double kPanMaxZoom = 1.155;
inline constexpr double kPanMinZoomChange = 0.10;
// With "Never" the picture travels back and forth, this long each way.
inline constexpr std::int64_t kPanLegMs = 15000;
// How often the picture is drawn where it now stands: about 33 frames a
// second, smooth to the eye at the slow pace of the travel.
inline constexpr int kPanFrameMs = 30;

// One framing: how close (1 = just filling the space) and where, as the
// share of the room the picture has at that zoom to move in on each axis
// (0 its left or top edge on the space's, 0.5 the middle, 1 the other end).
struct PanFraming {
    double zoom = 1;
    double across = 0.5;
    double down = 0.5;
    bool operator==(const PanFraming&) const = default;
};

class PanJourney {
public:
    PanJourney() = default;
    // A picture of `picture` pixels shown in a space of `space` pixels, from
    // `from` to `to` over `durationMs`; a duration of 0 travels back and
    // forth for ever, kPanLegMs each way.
    PanJourney(picture::PixelSize picture, picture::PixelSize space, PanFraming from, PanFraming to,
               std::int64_t durationMs);
    // Two random framings for the picture: one close to 100 %, the other a
    // tenth or more closer, which comes first drawn at random too.
    static PanJourney random(picture::PixelSize picture, picture::PixelSize space, std::int64_t durationMs,
                             RandomSource& random);

    bool empty() const { return picture_.width <= 0 || picture_.height <= 0; }
    const PanFraming& from() const { return from_; }
    const PanFraming& to() const { return to_; }
    // The framing `elapsedMs` after the picture came, eased so that the
    // travel starts and ends gently.
    PanFraming framingAt(std::int64_t elapsedMs) const;
    // Where that puts the picture on its space.
    picture::Framing placementAt(std::int64_t elapsedMs) const;

private:
    picture::PixelSize picture_;
    picture::PixelSize space_;
    PanFraming from_;
    PanFraming to_;
    std::int64_t durationMs_ = 0;
};

}  // namespace vistrel::saver
