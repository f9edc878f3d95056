#include "saver/transition_painter.h"

#include <algorithm>

#include "platform/platform.h"

namespace vistrel::saver {
namespace {

// Milliseconds after the start at which step `k` (from 1) of `count` is due.
std::int64_t dueTime(std::size_t k, std::size_t count) {
    return static_cast<std::int64_t>((k * static_cast<std::uint64_t>(kTransitionDurationMs) + count - 1) / count);
}

// How many steps are due `elapsed` milliseconds after the start.
std::size_t stepsDue(std::int64_t elapsed, std::size_t count) {
    if (elapsed >= kTransitionDurationMs) return count;
    if (elapsed <= 0) return 0;
    return static_cast<std::size_t>(static_cast<std::uint64_t>(elapsed) * count / kTransitionDurationMs);
}

}  // namespace

bool runPaced(platform::Platform& platform, std::size_t count, bool skipFailures, const DrawSteps& draw) {
    const std::int64_t start = platform.monotonicMs();
    std::size_t drawn = 0;
    while (drawn < count) {
        const std::int64_t frameStart = platform.monotonicMs();
        const std::size_t due = std::max(stepsDue(frameStart - start, count), drawn);
        const bool drawsNow = due > drawn;
        if (drawsNow) {
            if (!draw(drawn, due) && !skipFailures) return false;
            drawn = due;
        }
        if (drawn == count) break;
        const std::int64_t now = platform.monotonicMs();
        const std::int64_t nextStep = start + dueTime(drawn + 1, count);
        const std::int64_t nextFrame = drawsNow ? frameStart + kTransitionFrameMs : now;
        const std::int64_t wakeUp = std::max(nextStep, nextFrame);
        if (wakeUp > now) platform.pauseWithoutEvents(static_cast<int>(wakeUp - now));
    }
    return true;
}

bool paintTransition(platform::Platform& platform, const std::vector<StepRect>& steps, const PixelRect& visible,
                     bool skipFailures, const DrawPiece& draw) {
    UncoveredArea area(visible);
    std::vector<PixelRect> pieces;
    return runPaced(platform, steps.size(), skipFailures, [&](std::size_t done, std::size_t due) {
        pieces.clear();
        for (std::size_t k = done; k < due; ++k) area.cover(pixelsOf(steps[k]), pieces);
        mergeTouching(pieces);
        for (const PixelRect& piece : pieces) {
            if (!draw(piece) && !skipFailures) return false;
        }
        return true;
    });
}

}  // namespace vistrel::saver
