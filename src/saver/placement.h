// The arithmetic of where the image and its caption stand, how a floating
// image moves, and how often the image changes.
#pragma once

#include <cstdint>
#include <string_view>

namespace vistrel::saver {

// A floating image moves this far per movement tick on each axis, in twips
// (one pixel at 96 dots per inch).
inline constexpr std::int16_t kFloatStep = 15;
// The caption is widened by this much, in twips: 100 on each side of the text.
inline constexpr int kCaptionMargin = 200;
// While an image change runs, the change timer is held off this long.
inline constexpr int kChangeGuardMs = 60000;
// The pause before each new image is shown, while events are processed.
inline constexpr int kImagePauseMs = 300;

// The left (or top) edge, in twips, that centres `size` in `container`:
// half the difference, truncated towards zero. Larger items get a negative
// position and are cut equally on both sides.
int centredPosition(int containerTwips, int sizeTwips);

// The movement timer's interval for the `picSpeed` setting: 150 ms at
// speed 0 down to 25 ms at speed 5. Any other value keeps `current`.
int movementIntervalFor(std::string_view picSpeed, int current);

// The move per tick along one axis for a draw r in [0, 1): the integer
// part of 2r picks -15 (1) or +15 (0).
std::int16_t floatStepFor(float r);

// The change timer's interval for the `timeInterval` setting, in
// milliseconds: seconds x 1000, rounded (halves to even). 0 (never change)
// for 0, a negative number or a text that is not a number; intervals
// longer than the timer can count (about 24.8 days) are cut to its maximum.
std::int32_t changeIntervalMs(std::string_view timeInterval);

// One tick of the float movement: the bounce tests come before the move, so
// an image passes an edge by less than one step before it turns back.
struct FloatState {
    int left, top, width, height;  // the image, in twips
    std::int16_t stepX, stepY;
};
FloatState floatTick(FloatState state, int screenWidth, int screenHeight, int captionHeight);
// The same within a monitor's rectangle: the caption band lies at its top.
struct FloatBounds {
    int left, top, width, height;  // twips
};
FloatState floatTick(FloatState state, const FloatBounds& bounds, int captionHeight);

}  // namespace vistrel::saver
