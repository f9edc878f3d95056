#include "platform/monitors.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vistrel::platform {

PixelBounds virtualScreenOf(const std::vector<Monitor>& monitors) {
    if (monitors.empty()) return {};
    int left = monitors.front().bounds.left;
    int top = monitors.front().bounds.top;
    int right = monitors.front().bounds.right();
    int bottom = monitors.front().bounds.bottom();
    for (const Monitor& monitor : monitors) {
        left = std::min(left, monitor.bounds.left);
        top = std::min(top, monitor.bounds.top);
        right = std::max(right, monitor.bounds.right());
        bottom = std::max(bottom, monitor.bounds.bottom());
    }
    return {left, top, right - left, bottom - top};
}

PixelPoint nearestPointOnMonitors(const std::vector<Monitor>& monitors, int x, int y) {
    PixelPoint nearest{x, y};
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (const Monitor& monitor : monitors) {
        const PixelBounds& b = monitor.bounds;
        if (b.width <= 0 || b.height <= 0) continue;
        const int px = std::clamp(x, b.left, b.right() - 1);
        const int py = std::clamp(y, b.top, b.bottom() - 1);
        const std::int64_t dx = px - x;
        const std::int64_t dy = py - y;
        const std::int64_t distance = dx * dx + dy * dy;
        if (distance < best) {
            best = distance;
            nearest = {px, py};
        }
    }
    return nearest;
}

}  // namespace vistrel::platform
