// A whole saver run on the headless backend, started as the system starts
// it ("/s"), with pictures in place that the slideshow can show.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/main.h"
#include "test_support.h"

namespace vistrel::testing {

// An uncompressed 24-bit BMP file of one colour (0xRRGGBB).
inline std::string solidBitmap(int width, int height, std::uint32_t rgb) {
    // Settings colours hold red in the low byte.
    return solidBmp(width, height, ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

// Puts two small pictures where the settings name them, so that a slideshow
// running meanwhile has something to show.
inline void installPictures(platform::headless::HeadlessPlatform& platform, SampleSettings& settings) {
    settings.images = {"C:\\Pictures\\a.bmp", "C:\\Pictures\\b.bmp"};
    platform.putFile(settings.images[0], solidBitmap(40, 30, 0x336699));
    platform.putFile(settings.images[1], solidBitmap(30, 40, 0x996633));
}

// Settings of a protected run with the password "Secret".
inline SampleSettings protectedSettings() {
    SampleSettings settings;
    settings.saverPassword = "Secret";
    settings.saverEnabled = "1";
    return settings;
}

class SaverRun {
public:
    explicit SaverRun(platform::ScreenMetrics screen = {1024, 768, 15, 15}) { platform.setScreen(screen); }

    // Runs Main with "/s"; false when the program ended.
    bool start(SampleSettings settings) {
        installPictures(platform, settings);
        platform.putFile(kSettingsPath, settings.text());
        platform.setCommandLine("/s");
        return platform.run([&] { program = app::Main(platform); });
    }

    saver::SaverWindow& saver() { return *program->saverWindow(); }
    password::PasswordForm& prompt() { return *program->passwordForm(); }
    bool promptShown() { return prompt().form.loaded() && platform.isShown(prompt().form.hwnd()); }

    platform::headless::HeadlessPlatform platform;
    std::unique_ptr<app::Program> program;
};

}  // namespace vistrel::testing
