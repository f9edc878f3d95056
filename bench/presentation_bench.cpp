// The composed stage's drawing on this machine, without a window system:
// what one frame of a crossfade and of pan and zoom costs at 1920 x 1080 and
// 3840 x 2160, over the colour and over the blurred fill, and so how many
// frames the one-second crossfade can show (its pacing allows one every
// 16 ms, at most 64) and how
// much of a core pan and zoom takes at about 33 frames a second. All
// figures come from one run, so they compare.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "picture/pixel_blend.h"
#include "platform/headless/headless_platform.h"
#include "stage_bench.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

// Milliseconds per frame of a crossfade, over `rounds` frames.
double fadeFrameMs(vistrel::bench::StageBench& bench, int rounds) {
    bench.show(bench.fittedPhoto(1));
    bench.stage->hold();
    const auto coming = bench.fittedPhoto(2);
    bench.loader.setPicture(coming);
    const auto look = bench.stage->lookWith(coming, {});
    const auto start = Clock::now();
    for (int i = 1; i <= rounds; ++i) bench.stage->fadeFrame(look, i * vistrel::picture::kBlendWhole / (rounds + 1));
    const double ms = msSince(start) / rounds;
    bench.stage->letGo();
    return ms;
}

double panFrameMs(vistrel::bench::StageBench& bench, int rounds) {
    bench.startPan(3);
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) bench.panFrame(i * vistrel::saver::kPanFrameMs);
    return msSince(start) / rounds;
}

}  // namespace

int main() {
    using vistrel::saver::BackgroundKind;
    std::printf("%-12s %-12s %14s %16s %14s %16s\n", "screen", "background", "crossfade ms", "frames in its 1 s",
                "pan frame ms", "pan core at 33/s");
    for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
        for (const BackgroundKind kind : {BackgroundKind::Color, BackgroundKind::BlurredFill}) {
            vistrel::platform::headless::HeadlessPlatform platform;
            platform.setScreen({width, height, 15, 15});
            vistrel::bench::StageBench bench(platform, kind);
            const double fade = fadeFrameMs(bench, 20);
            const double pan = panFrameMs(bench, 60);
            // A frame no sooner than 16 ms after the last, at most one per step.
            const double frameMs = std::max(fade, static_cast<double>(vistrel::saver::kTransitionFrameMs));
            const int frames = std::min(vistrel::saver::kCrossfadeSteps, static_cast<int>(1000 / frameMs));
            std::printf("%4d x %-5d  %-12s %14.1f %16d %14.1f %15.0f%%\n", width, height,
                        kind == BackgroundKind::Color ? "colour" : "blurred fill", fade, frames, pan,
                        100 * pan * 1000 / vistrel::saver::kPanFrameMs / 1000);
        }
    }
    return 0;
}
