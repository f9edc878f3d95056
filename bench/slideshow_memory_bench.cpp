// Peak memory while the slideshow shows a sequence of large photos, against
// the size of one decoded photo.
//
//   build/linux-release/bench/slideshow_memory_bench photo.jpg [more photos]
//
// The photos go onto the headless backend's in-memory disk first; the
// figure is the peak resident memory of the process during the run less
// what it held before the saver window loaded (the program, the photos'
// file bytes). Each photo is shown once, through a left wipe, on a
// 1920 x 1080 screen; then the first is shown again. The goal is at most
// 2.5 x one decoded photo + 20 MB.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <variant>

#include "platform/headless/headless_platform.h"
#include "saver/run_values.h"
#include "saver/saver_window.h"

namespace {

double residentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

double peakMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s photo [photo...]\n", argv[0]);
        return 2;
    }
    using vistrel::platform::headless::HeadlessPlatform;
    HeadlessPlatform platform;
    platform.setScreen({1920, 1080, 15, 15});
    std::string images, captions;
    for (int i = 1; i < argc; ++i) {
        const std::string path = "C:\\Photos\\photo" + std::to_string(i) + ".jpg";
        if (!platform.putFileFromDisk(path, argv[i])) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        images += std::to_string(i - 1) + "=" + path + "\r\n";
        captions += std::to_string(i - 1) + "=Photo " + std::to_string(i) + "\r\n";
    }
    platform.putFile("C:\\Program Files\\Vistrel\\vistrel.ini",
                     "[images]\r\n" + images + "[total]\r\ntotal=" + std::to_string(argc - 1) + "\r\n[caption]\r\n" +
                         captions +
                         "[image]\r\nrandomPick=0\r\npicSpeed=3\r\ntimeInterval=1\r\npicRandom=cent\r\n"
                         "effectMode=1\r\nrandomEffect=0\r\n[background]\r\nnewBackColor=0\r\nbackEffect=0\r\n"
                         "[password]\r\nsaverPassword=\r\nsaverEnabled=0\r\n[font]\r\nnewFontName=Arial\r\n"
                         "newFontSize=20\r\nnewFontForeColor=16777215\r\n");

    const double before = residentMb();
    const double peakBefore = peakMb();
    vistrel::saver::RunValues values;
    vistrel::saver::SaverWindow saver(platform, values);
    platform.run([&] { saver.form1.show(); });
    // Each change: 1 s of interval, 0.3 s of pause, 1 s of transition.
    platform.advance(static_cast<std::int64_t>(argc) * 2400);
    const auto shown = platform.callsStartingWith({"LoadPicture("}).size();
    const auto& last = saver.picture1.picture();
    const long long largestPixels = last ? static_cast<long long>(last->width) * last->height : 0;

    const double decodedMb = largestPixels * 4.0 / (1024 * 1024);
    const double used = peakMb() - before;
    std::printf("photos shown:              %zu (%d photos in the list)\n", shown, argc - 1);
    std::printf("one decoded photo:         %.1f MB (%lld pixels, the last shown)\n", decodedMb, largestPixels);
    std::printf("resident before the run:   %.1f MB (peak so far %.1f MB)\n", before, peakBefore);
    std::printf("peak during the run:       %.1f MB above that\n", used);
    std::printf("goal (2.5 x photo + 20):   %.1f MB\n", 2.5 * decodedMb + 20);
    std::printf("ratio to one photo:        %.2f\n", used / decodedMb);
    return 0;
}
