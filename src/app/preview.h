// The picture that the screen-saver control panel shows in its little
// preview window.
#pragma once

#include "platform/platform.h"

namespace vistrel::app {

inline constexpr int kPreviewBlockWidth = 160;
inline constexpr int kPreviewBlockHeight = 120;
inline constexpr int kPreviewYieldCount = 200;

// Copies the stored preview picture as a 160 x 120 block into the top-left
// corner of the window named on the command line, then ends the program.
[[noreturn]] void ShowPreview(platform::Platform& platform);

}  // namespace vistrel::app
