// How long the saver window's load step takes for image lists of growing
// length, with the settings file on the headless backend's in-memory disk
// (so the figures are the program's own work, not the disk's).
//
//   build/linux-release/bench/saver_load_bench
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/headless/headless_platform.h"
#include "saver/saver_window.h"
#include "settings/settings_file.h"

#include "bench_settings.h"

namespace {

using vistrel::bench::settingsWithImages;
using vistrel::platform::headless::HeadlessPlatform;

}  // namespace

int main() {
    std::printf("%8s %12s %14s\n", "images", "file bytes", "load step ms");
    for (int count : {10, 100, 1000, 5000, 20000, 32767}) {
        HeadlessPlatform platform;
        const std::string text = settingsWithImages(count);
        platform.putFile(vistrel::settings::SettingsFilePath(platform), text);
        vistrel::saver::RunValues values;
        vistrel::saver::SaverWindow window(platform, values);

        const auto start = std::chrono::steady_clock::now();
        platform.run([&] { window.form1.load(); });
        const auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);

        if (window.lastIndex != count - 1) {
            std::fprintf(stderr, "read %d images instead of %d\n", window.lastIndex + 1, count);
            return 1;
        }
        std::printf("%8d %12zu %14.1f\n", count, text.size(), elapsed.count());
        std::fflush(stdout);
    }
    return 0;
}
