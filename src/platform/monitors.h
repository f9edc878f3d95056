// The monitors of the machine and the virtual screen round them.
//
// Rectangles are in pixels of the system's screen coordinates: the primary
// monitor's top-left corner is (0, 0), and a monitor left of or above it
// has negative coordinates.
#pragma once

#include <vector>

namespace vistrel::platform {

struct PixelBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const PixelBounds&) const = default;
};

struct Monitor {
    PixelBounds bounds;
    int dotsPerInch = 96;
};

// The smallest rectangle that holds every monitor; empty for no monitor.
PixelBounds virtualScreenOf(const std::vector<Monitor>& monitors);

// The point of the monitors nearest to (x, y), as the system keeps the
// pointer on them; (x, y) itself when there are none.
struct PixelPoint {
    int x = 0;
    int y = 0;
};
PixelPoint nearestPointOnMonitors(const std::vector<Monitor>& monitors, int x, int y);

}  // namespace vistrel::platform
