// The eight transitions as plain sequences of steps.
//
// A transition brings the new image onto the display surface through a
// sequence of growing rectangles; each step copies the part of the new image
// under its rectangle to the same place on the surface. This file knows only
// the rectangles, in order, with their exact counts and fractional offsets;
// drawing them is transition_painter's work.
#pragma once

#include <string_view>
#include <vector>

namespace vistrel::saver {

// The transition codes, in the order of the settings dialog's list.
enum TransitionCode : int {
    kStandard = 0,
    kLeftWipe = 1,
    kRightWipe = 2,
    kRightAndLeftWipe = 3,
    kUpAndDownWipe = 4,
    kCenterWipe = 5,
    kHorizontalBlinds = 6,
    kVerticalBlinds = 7,
    // Not a sequence of rectangles: the whole screen blends from the old
    // picture to the new one (saver/crossfade.h).
    kCrossfade = 8,
};

// A step's rectangle in pixels of the image. Offsets may be fractional (the
// centred column and band of codes 3 and 4 start at half pixels).
struct StepRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const StepRect&) const = default;
};

// The blinds open every 20-pixel band together.
inline constexpr int kBlindPitch = 20;

// The steps of `code` for a new image of width x height pixels. Code 0
// ("Standard") has none: it replaces the whole image in one action; nor has
// the crossfade. Codes outside 0 to 8 have none and draw nothing.
std::vector<StepRect> transitionSteps(int code, int width, int height);

// Failed drawing steps are skipped by the blinds; for the other codes a
// failed step fails the image change.
inline bool skipsFailedSteps(int code) { return code == kHorizontalBlinds || code == kVerticalBlinds; }

// The code that the text of the `effectMode` setting names: its numeric
// value when that equals one of 0 to 8, else -1 (nothing is drawn).
int transitionCodeOf(std::string_view effectMode);

// The code of a random transition for a draw r in [0, 1): 1 to 8, each
// equally likely; "Standard" is never chosen at random.
int randomTransitionCode(float r);

}  // namespace vistrel::saver
