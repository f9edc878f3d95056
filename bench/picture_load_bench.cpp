// How long the headless backend's picture loader takes for each file given,
// fitted to a 1920 x 1080 screen and at its own size, and the process's
// peak memory after each. The fitted loads run first, since the peak only
// ever grows. Times are the process's CPU time, best of three, so that
// other work on the machine sways them less.
//
//   build/linux-release/bench/picture_load_bench photo.jpg [more files]
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>

#include "platform/headless/headless_platform.h"

namespace {

using vistrel::picture::PictureRequest;

struct Measured {
    double bestMs = 1e300;
    std::string outcome;
    double peakMb = 0;
};

double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

Measured measure(vistrel::platform::headless::HeadlessPlatform& platform, const PictureRequest& request) {
    Measured measured;
    for (int run = 0; run < 3; ++run) {
        const double start = cpuMs();
        const auto result = platform.loadPicture("C:\\bench\\picture", request);
        const double ms = cpuMs() - start;
        if (ms < measured.bestMs) measured.bestMs = ms;
        const auto* picture = std::get_if<vistrel::picture::Picture>(&result);
        measured.outcome = picture ? std::to_string(picture->width) + "x" + std::to_string(picture->height) : "refused";
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    measured.peakMb = usage.ru_maxrss / 1024.0;
    return measured;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s picture [picture...]\n", argv[0]);
        return 2;
    }
    std::printf("%-32s %10s | %-10s %9s %8s | %-10s %9s %8s\n", "file", "bytes", "fitted", "cpu ms", "peak MB", "own size",
                "cpu ms", "peak MB");
    for (int i = 1; i < argc; ++i) {
        vistrel::platform::headless::HeadlessPlatform platform;
        if (!platform.putFileFromDisk("C:\\bench\\picture", argv[i])) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        const Measured fitted = measure(platform, {.maxWidth = 1920, .maxHeight = 1080});
        const Measured full = measure(platform, {});
        std::printf("%-32s %10zu | %-10s %9.1f %8.1f | %-10s %9.1f %8.1f\n", argv[i],
                    platform.file("C:\\bench\\picture")->size(), fitted.outcome.c_str(), fitted.bestMs, fitted.peakMb,
                    full.outcome.c_str(), full.bestMs, full.peakMb);
    }
    return 0;
}
