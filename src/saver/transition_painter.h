// Draws the steps of a transition on screen, paced so that a transition
// lasts about kTransitionDurationMs whatever the size of the image.
//
// Step k (counted from 1) of n is drawn no earlier than k x (duration / n)
// after the start. The steps due at the same moment are drawn together, at
// most once per frame; when drawing falls behind, the late steps are drawn
// together at the next frame rather than stretching the transition. Between
// frames the painter waits without processing events: no input and no timer
// tick runs in the middle of a transition.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "saver/transition_steps.h"
#include "saver/uncovered_area.h"

namespace vistrel::platform {
class Platform;
}

namespace vistrel::saver {

inline constexpr int kTransitionDurationMs = 1000;
// About the refresh rate of a screen: drawing more often shows nothing more.
inline constexpr int kTransitionFrameMs = 16;

// Draws the steps [done, due) of a paced sequence together, as one frame;
// false on failure.
using DrawSteps = std::function<bool(std::size_t done, std::size_t due)>;

// Runs `count` steps over kTransitionDurationMs with the pacing above:
// each frame draws the steps due by then. Returns false as soon as a frame
// fails, unless `skipFailures`, which goes on regardless.
bool runPaced(platform::Platform& platform, std::size_t count, bool skipFailures, const DrawSteps& draw);

// Copies the new image under `piece` to the display surface; false on failure.
using DrawPiece = std::function<bool(const PixelRect& piece)>;

// Draws `steps` (rectangles in pixels of the image) clipped to `visible`, the
// part of the display surface that is on the screen. Returns false as soon as
// a drawing fails, unless `skipFailures`, which draws on regardless.
bool paintTransition(platform::Platform& platform, const std::vector<StepRect>& steps, const PixelRect& visible,
                     bool skipFailures, const DrawPiece& draw);

}  // namespace vistrel::saver
