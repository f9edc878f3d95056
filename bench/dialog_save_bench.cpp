// How long the settings dialog takes to open on, and to save (OK), image
// lists of 1,000, 10,000 and 32,767 entries, against one reading of the
// same file back. The file lives on the headless backend's in-memory disk,
// so the figures are the program's own work, not the disk's. The picture
// of the first entry is a small BMP, so opening measures the lists. Each
// figure is the best of nine runs: the machine is shared.
//
//   build/linux-release/bench/dialog_save_bench
#include <algorithm>
#include <chrono>
#include <optional>
#include <cstdio>
#include <string>

#include "dialog/settings_dialog.h"
#include "platform/headless/headless_platform.h"
#include "settings/settings_file.h"

#include "bench_settings.h"

namespace {

using vistrel::platform::headless::HeadlessPlatform;
using Clock = std::chrono::steady_clock;
using vistrel::bench::settingsWithImages;

// A 2 x 2 pixel 24-bit BMP.
std::string tinyBmp() {
    std::string bmp = "BM";
    auto le32 = [&bmp](unsigned v) {
        for (int i = 0; i < 4; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    le32(54 + 16);
    le32(0);
    le32(54);
    le32(40);
    le32(2);
    le32(2);
    bmp += std::string("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i) le32(0);
    bmp += std::string(16, '\x40');
    return bmp;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double readMs, openMs, okMs;
};

// One run on a fresh in-memory disk; nothing when the dialog did not do its work.
std::optional<Figures> measure(int count, const std::string& text) {
    HeadlessPlatform platform;
    const std::string path = vistrel::settings::SettingsFilePath(platform);
    platform.putFile(path, text);
    platform.putFile("C:\\Users\\someone\\Pictures\\Holidays\\2026\\photo_0.bmp", tinyBmp());
    Figures figures{};

    // Reading the file back: one read and parse, every key at hand.
    auto start = Clock::now();
    vistrel::settings::SettingsSnapshot snapshot(platform, path);
    figures.readMs = msSince(start);
    if (snapshot.ReadSetting("caption", std::to_string(count - 1)).empty()) return std::nullopt;

    std::unique_ptr<vistrel::dialog::SettingsDialog> dialog;
    start = Clock::now();
    platform.run([&] { dialog = vistrel::dialog::OpenSettingsDialog(platform); });
    figures.openMs = msSince(start);
    if (!dialog || dialog->control<vistrel::ui::ListBox>("List1").listCount() != count) return std::nullopt;

    start = Clock::now();
    platform.run([&] { dialog->control<vistrel::ui::Button>("Ok").userClick(); });
    figures.okMs = msSince(start);
    if (dialog->form2.loaded() || platform.fileReplaceCount() != 1) return std::nullopt;
    return figures;
}

}  // namespace

int main() {
    std::printf("%8s %12s %10s %10s %10s %12s\n", "images", "file bytes", "read ms", "open ms", "OK ms", "OK / read");
    for (int count : {1000, 10000, 32767}) {
        const std::string text = settingsWithImages(count, "bmp");
        Figures best{1e9, 1e9, 1e9};
        for (int run = 0; run < 9; ++run) {
            const std::optional<Figures> figures = measure(count, text);
            if (!figures) {
                std::fprintf(stderr, "the dialog did not open on or save %d images\n", count);
                return 1;
            }
            best = {std::min(best.readMs, figures->readMs), std::min(best.openMs, figures->openMs),
                    std::min(best.okMs, figures->okMs)};
        }
        std::printf("%8d %12zu %10.1f %10.1f %10.1f %12.2f\n", count, text.size(), best.readMs, best.openMs,
                    best.okMs, best.okMs / best.readMs);
        std::fflush(stdout);
    }
    return 0;
}
