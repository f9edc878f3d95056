#include "saver/placement.h"

#include <cmath>

#include "common/numbers.h"
#include "platform/controls.h"

namespace vistrel::saver {

int centredPosition(int containerTwips, int sizeTwips) { return (containerTwips - sizeTwips) / 2; }

int movementIntervalFor(std::string_view picSpeed, int current) {
    static constexpr int kIntervalBySpeed[] = {150, 125, 100, 75, 50, 25};
    const double speed = numericValue(picSpeed);
    for (int i = 0; i < 6; ++i) {
        if (speed == i) return kIntervalBySpeed[i];
    }
    return current;
}

std::int16_t floatStepFor(float r) {
    return static_cast<int>(std::floor(2.0 * r)) == 1 ? static_cast<std::int16_t>(-kFloatStep) : kFloatStep;
}

std::int32_t changeIntervalMs(std::string_view timeInterval) {
    const double milliseconds = roundHalfEven(numericValue(timeInterval) * 1000);
    if (!(milliseconds > 0)) return 0;
    if (milliseconds >= ui::kMaxTimerInterval) return ui::kMaxTimerInterval;
    return static_cast<std::int32_t>(milliseconds);
}

FloatState floatTick(FloatState state, int screenWidth, int screenHeight, int captionHeight) {
    return floatTick(state, FloatBounds{0, 0, screenWidth, screenHeight}, captionHeight);
}

FloatState floatTick(FloatState state, const FloatBounds& bounds, int captionHeight) {
    const int right = bounds.left + bounds.width;
    const int bottom = bounds.top + bounds.height;
    if (state.left < bounds.left || state.left > right || state.left + state.width > right) {
        state.stepX = static_cast<std::int16_t>(-state.stepX);
    }
    if (state.top < bounds.top + captionHeight || state.top > bottom || state.top + state.height > bottom) {
        state.stepY = static_cast<std::int16_t>(-state.stepY);
    }
    state.left += state.stepX;
    state.top += state.stepY;
    return state;
}

}  // namespace vistrel::saver
