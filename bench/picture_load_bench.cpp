// How long the headless backend's picture loader takes for each file given,
// and the process's peak memory afterwards.
//
//   build/linux-release/bench/picture_load_bench photo.jpg [more files]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>

#include "platform/headless/headless_platform.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s picture [picture...]\n", argv[0]);
        return 2;
    }
    std::printf("%-40s %12s %10s %12s %14s\n", "file", "file bytes", "pixels", "decode ms", "peak RSS MB");
    for (int i = 1; i < argc; ++i) {
        vistrel::platform::headless::HeadlessPlatform platform;
        if (!platform.putFileFromDisk("C:\\bench\\picture", argv[i])) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        double best = 1e300;
        std::string outcome;
        for (int run = 0; run < 3; ++run) {
            const auto start = std::chrono::steady_clock::now();
            const auto result = platform.loadPicture("C:\\bench\\picture");
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (ms < best) best = ms;
            if (const auto* picture = std::get_if<vistrel::platform::Picture>(&result)) {
                outcome = std::to_string(picture->width) + "x" + std::to_string(picture->height);
            } else {
                outcome = "refused";
            }
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%-40s %12zu %10s %12.1f %14.1f\n", argv[i], platform.file("C:\\bench\\picture")->size(),
                    outcome.c_str(), best, usage.ru_maxrss / 1024.0);
    }
    return 0;
}
