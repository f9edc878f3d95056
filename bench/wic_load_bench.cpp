// The Windows program's picture loader (WIC) on each file given, fitted to
// a 1920 x 1080 screen and at its own size: CPU time, best of three, and the
// process's peak working set after each. The fitted loads run first, since
// the peak only ever grows. Run it under Wine or on Windows:
//
//   wine build/win64/wic_load_bench.exe photo.jpg [more files]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <variant>

#include "platform/win32/wic_picture_loader.h"

namespace {

using vistrel::picture::Picture;
using vistrel::picture::PictureRequest;
using vistrel::picture::PictureResult;

double cpuMs() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto ms = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

double peakMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize / (1024.0 * 1024.0);
}

struct Measured {
    double bestMs = 1e300;
    std::string outcome;
    double peakMb = 0;
};

Measured measure(vistrel::platform::win32::WicPictureLoader& loader, const std::wstring& path,
                 const PictureRequest& request) {
    Measured measured;
    for (int run = 0; run < 3; ++run) {
        const double start = cpuMs();
        const PictureResult result = loader.load(path, request);
        const double ms = cpuMs() - start;
        if (ms < measured.bestMs) measured.bestMs = ms;
        const auto* picture = std::get_if<Picture>(&result);
        measured.outcome = picture ? std::to_string(picture->width) + "x" + std::to_string(picture->height) : "refused";
    }
    measured.peakMb = peakMb();
    return measured;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: wic_load_bench picture [picture...]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::printf("%-32s | %-10s %9s %8s | %-10s %9s %8s\n", "file", "fitted", "cpu ms", "peak MB", "own size",
                "cpu ms", "peak MB");
    for (int i = 1; i < argc; ++i) {
        vistrel::platform::win32::WicPictureLoader loader;
        const Measured fitted = measure(loader, argv[i], {.maxWidth = 1920, .maxHeight = 1080});
        const Measured full = measure(loader, argv[i], {});
        std::printf("%-32ls | %-10s %9.1f %8.1f | %-10s %9.1f %8.1f\n", argv[i], fitted.outcome.c_str(), fitted.bestMs,
                    fitted.peakMb, full.outcome.c_str(), full.bestMs, full.peakMb);
    }
    CoUninitialize();
    return 0;
}
