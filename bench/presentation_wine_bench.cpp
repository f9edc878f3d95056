// The composed stage of the Windows program under Wine (or on Windows), at
// the size of the screen: the frames a one-second crossfade shows, over the
// colour and over the blurred fill, and then pan and zoom drawn by a timer
// every 30 ms as the saver draws it, for the given number of seconds.
// bench/presentation_wine.py runs it at 1920 x 1080 and 3840 x 2160 and
// measures the processor time around the pan.
//
//   wine build/win64/presentation_wine_bench.exe [pan seconds]
#include "platform/win32/win32_platform.h"

#include <objbase.h>

#include <cstdio>
#include <cwchar>

#include "stage_bench.h"

namespace {

using vistrel::bench::StageBench;
using vistrel::saver::BackgroundKind;

// Lets the window come up and paint before anything is measured.
void settle(vistrel::platform::Platform& platform, int milliseconds) {
    const std::int64_t until = platform.monotonicMs() + milliseconds;
    while (platform.monotonicMs() < until) platform.doEvents();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int panSeconds = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 10;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vistrel::platform::win32::Win32Platform platform;

    for (const BackgroundKind kind : {BackgroundKind::Color, BackgroundKind::BlurredFill}) {
        StageBench bench(platform, kind);
        bench.show(bench.fittedPhoto(1));
        settle(platform, 1000);
        for (int round = 0; round < 3; ++round) {
            const std::int64_t start = platform.monotonicMs();
            const std::size_t frames = bench.crossfade(bench.fittedPhoto(2 + round));
            std::printf("%d x %d, crossfade over the %s: %zu frames in %lld ms\n", bench.width, bench.height,
                        kind == BackgroundKind::Color ? "colour" : "blurred fill", frames,
                        static_cast<long long>(platform.monotonicMs() - start));
            std::fflush(stdout);
            settle(platform, 300);
        }
    }

    StageBench bench(platform, BackgroundKind::Color);
    bench.startPan(3);
    settle(platform, 1000);
    vistrel::ui::Timer frame("PanFrame", bench.form), stop("Stop", bench.form);
    bench.form.loadLateControl(frame);
    bench.form.loadLateControl(stop);
    int frames = 0;
    const std::int64_t start = platform.monotonicMs();
    std::int64_t first = 0, last = 0;
    frame.onTimer = [&] {
        const std::int64_t now = platform.monotonicMs();
        bench.panFrame(now - start);
        if (frames++ == 0) first = now;
        last = now;
    };
    stop.onTimer = [&] {
        std::printf("pan ends\n");
        std::fflush(stdout);
        // Whoever measures reads the processor time now, while the process lives.
        Sleep(1000);
        bench.form.unload();
    };
    frame.setInterval(vistrel::saver::kPanFrameMs);
    frame.setTimerEnabled(true);
    stop.setInterval(panSeconds * 1000);
    stop.setTimerEnabled(true);
    std::printf("pan begins\n");
    std::fflush(stdout);
    platform.runEventLoop();
    // From the first frame to the last: the pace the timer keeps.
    const double seconds = static_cast<double>(last - first) / 1000;
    std::printf("%d x %d, pan and zoom: %d frames in %.1f s, %.1f a second\n", bench.width, bench.height, frames,
                seconds, (frames - 1) / seconds);
    return 0;
}
