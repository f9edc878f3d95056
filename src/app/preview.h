// The preview in the screen-saver settings ("/p <handle>").
#pragma once

#include <memory>

#include "app/live_preview.h"
#include "platform/platform.h"

namespace vistrel::app {

inline constexpr int kPreviewYieldCount = 200;

// Starts the preview in the window named on the command line and returns
// it, alive until that window goes. With an empty list it first copies the
// stored picture as a 160 x 120 block into the host's top-left corner, as
// early versions did once. A handle that names no window (or one that goes
// while the preview starts) ends the program at once; without a handle, or
// with handle 0 (the whole screen), the block is copied once and the
// program ends.
std::unique_ptr<LivePreview> ShowPreview(platform::Platform& platform);

}  // namespace vistrel::app
