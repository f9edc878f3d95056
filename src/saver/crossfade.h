// The crossfade (transition 8): the old picture, with its background,
// blends into the new one over one second, paced like the other
// transitions: step k of kCrossfadeSteps is shown no earlier than k / n of
// the second, and a frame that comes late shows the latest step due.
#pragma once

#include <cstddef>

#include "saver/composed_stage.h"

namespace vistrel::platform {
class Platform;
}

namespace vistrel::saver {

inline constexpr int kCrossfadeSteps = 64;

// How far the fade is after `done` of its steps, in 256ths.
int crossfadeWeight(std::size_t done);

// Fades the held stage into `to`; false when a frame could not be shown.
// `frames`, when given, counts the frames drawn.
bool runCrossfade(platform::Platform& platform, ComposedStage& stage, const StageLook& to,
                  std::size_t* frames = nullptr);

}  // namespace vistrel::saver
