#include "saver/crossfade.h"

#include "picture/pixel_blend.h"
#include "saver/transition_painter.h"

namespace vistrel::saver {

int crossfadeWeight(std::size_t done) {
    return static_cast<int>(done * picture::kBlendWhole / kCrossfadeSteps);
}

bool runCrossfade(platform::Platform& platform, ComposedStage& stage, const StageLook& to, std::size_t* frames) {
    return runPaced(platform, kCrossfadeSteps, false, [&](std::size_t /*done*/, std::size_t due) {
        if (frames) ++*frames;
        return stage.fadeFrame(to, crossfadeWeight(due));
    });
}

}  // namespace vistrel::saver
