// Pixels written and drawing time of each transition, for whole rectangles
// (every step copies its whole rectangle, as the transitions are defined)
// against what the program draws (only what each step newly uncovers, clipped
// to the screen), for images of several sizes centred on a 1920 x 1080 screen.
//
//   build/linux-release/bench/transition_bench
//
// Pixel copies are counted exactly. Times are of the copies into a pixel
// buffer in memory (the headless backend's drawing); the program's figure
// includes working out the uncovered parts. Whole rectangles are timed as
// copied to the screen, clipped to it (unclipped, they would also write the
// parts of the picture box that lie off the screen).
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/headless/surface_ops.h"
#include "saver/transition_steps.h"
#include "saver/uncovered_area.h"

namespace {

using namespace vistrel::saver;
using vistrel::picture::Picture;
using vistrel::platform::headless::Surface;
using vistrel::platform::headless::copyFromPicture;
using Clock = std::chrono::steady_clock;

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    long long unclipped = 0;  // whole rectangles, all of each
    long long wholeOnScreen = 0;
    double wholeMs = 0;
    long long drawn = 0;
    double drawnMs = 0;
};

Figures measure(int code, const Picture& picture, Surface& target) {
    const int width = picture.width, height = picture.height;
    const int left = (kScreenWidth - width) / 2, top = (kScreenHeight - height) / 2;
    const PixelRect visible = PixelRect{0, 0, width, height}.intersect(
        {-left, -top, kScreenWidth - left, kScreenHeight - top});
    const PixelRect image{0, 0, width, height};
    const auto steps = transitionSteps(code, width, height);

    Figures figures;
    for (const StepRect& step : steps) {
        figures.unclipped += pixelsOf(step).intersect(image).area();
        figures.wholeOnScreen += pixelsOf(step).intersect(visible).area();
    }
    const auto wholeStart = Clock::now();
    for (const StepRect& step : steps) {
        const PixelRect r = pixelsOf(step).intersect(visible);
        if (!r.empty()) copyFromPicture(target, r.left + left, r.top + top, r.width(), r.height(), picture, r.left, r.top);
    }
    figures.wholeMs = msSince(wholeStart);

    const auto start = Clock::now();
    UncoveredArea area(visible);
    std::vector<PixelRect> pieces;
    for (const StepRect& step : steps) {
        pieces.clear();
        area.cover(pixelsOf(step), pieces);
        for (const PixelRect& r : pieces) {
            copyFromPicture(target, r.left + left, r.top + top, r.width(), r.height(), picture, r.left, r.top);
            figures.drawn += r.area();
        }
    }
    figures.drawnMs = msSince(start);
    return figures;
}

std::string millions(long long pixels) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f M", pixels / 1e6);
    return text;
}

}  // namespace

int main() {
    const char* names[] = {"Left wipe", "Right wipe", "Right & Left wipe", "Up & down wipe", "Center wipe",
                           "Horizontal blinds", "Vertical blinds"};
    Surface screen(kScreenWidth, kScreenHeight);
    std::printf("Screen %d x %d. Pixel copies in millions; times in ms.\n\n", kScreenWidth, kScreenHeight);
    std::printf("%-12s %-18s %12s %14s %12s %12s %10s %8s\n", "image", "transition", "whole rects",
                "whole, clipped", "whole ms", "this build", "build ms", "steps");
    for (const auto& [width, height] : {std::pair{640, 480}, std::pair{1920, 1080}, std::pair{4000, 3000}}) {
        Picture picture;
        picture.width = width;
        picture.height = height;
        picture.pixels.assign(static_cast<std::size_t>(width) * height, 0xFF336699u);
        const std::string size = std::to_string(width) + " x " + std::to_string(height);
        for (int code = kLeftWipe; code <= kVerticalBlinds; ++code) {
            const Figures f = measure(code, picture, screen);
            std::printf("%-12s %-18s %12s %14s %12.1f %12s %10.2f %8zu\n", size.c_str(), names[code - 1],
                        millions(f.unclipped).c_str(), millions(f.wholeOnScreen).c_str(), f.wholeMs,
                        millions(f.drawn).c_str(), f.drawnMs, transitionSteps(code, width, height).size());
        }
    }
    return 0;
}
