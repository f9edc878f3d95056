// Where each monitor lies on the saver window, which covers them all.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace vistrel::saver {

// A monitor's rectangle in twips of the saver window's interior, and its
// size in pixels.
struct TwipsArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int widthPixels = 0;
    int heightPixels = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const TwipsArea&) const = default;
};

// Each monitor's rectangle on the saver window, the primary first. The
// window's interior starts at the virtual screen's top-left corner, so a
// primary with a monitor left of it lies right of the window's left edge.
// Twips per pixel are the primary's. With one monitor: the whole window.
std::vector<TwipsArea> monitorAreas(platform::Platform& platform);

}  // namespace vistrel::saver
