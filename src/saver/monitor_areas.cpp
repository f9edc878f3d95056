#include "saver/monitor_areas.h"
#include "platform/units.h"

#include <cmath>

namespace vistrel::saver {
namespace {

int twips(int pixels, double twipsPerPixel) { return platform::pixelsToTwips(pixels, twipsPerPixel); }

}  // namespace

std::vector<TwipsArea> monitorAreas(platform::Platform& platform) {
    const platform::ScreenMetrics screen = platform.screen();
    const platform::PixelBounds all = platform.virtualScreen();
    std::vector<TwipsArea> areas;
    for (const platform::Monitor& monitor : platform.monitors()) {
        const platform::PixelBounds& b = monitor.bounds;
        areas.push_back({twips(b.left - all.left, screen.twipsPerPixelX), twips(b.top - all.top, screen.twipsPerPixelY),
                         twips(b.width, screen.twipsPerPixelX), twips(b.height, screen.twipsPerPixelY), b.width, b.height});
    }
    if (areas.empty()) areas.push_back({0, 0, screen.widthTwips(), screen.heightTwips(), screen.widthPixels, screen.heightPixels});
    return areas;
}

}  // namespace vistrel::saver
