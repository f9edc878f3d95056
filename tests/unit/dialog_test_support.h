// Shared set-up for the settings dialog's tests: pictures as file bytes and
// a dialog opened on the headless backend.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialog/settings_dialog.h"
#include "platform/headless/headless_platform.h"
#include "test_support.h"

namespace vistrel::testing {

// A 24-bit BMP file of one colour (RGB, red in the low byte).
inline std::string bmpFile(int width, int height, std::uint32_t rgb) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
    std::string out = "BM";
    auto le32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto le16 = [&out](std::uint32_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>((v >> 8) & 0xFF);
    };
    le32(54 + rowBytes * static_cast<std::uint32_t>(height));
    le32(0);
    le32(54);
    le32(40);
    le32(static_cast<std::uint32_t>(width));
    le32(static_cast<std::uint32_t>(height));
    le16(1);
    le16(24);
    for (int i = 0; i < 6; ++i) le32(0);
    for (int row = 0; row < height; ++row) {
        std::uint32_t written = 0;
        for (int x = 0; x < width; ++x, written += 3) {
            out += static_cast<char>((rgb >> 16) & 0xFF);
            out += static_cast<char>((rgb >> 8) & 0xFF);
            out += static_cast<char>(rgb & 0xFF);
        }
        for (; written < rowBytes; ++written) out += '\0';
    }
    return out;
}

inline constexpr std::uint32_t kRedRgb = 0x0000FF;
inline constexpr std::uint32_t kBlueRgb = 0xFF0000;

// The sample settings' two pictures exist, as small BMPs.
inline void putSamplePictures(platform::headless::HeadlessPlatform& platform) {
    platform.putFile("C:\\Pictures\\a.jpg", bmpFile(40, 30, kRedRgb));
    platform.putFile("C:\\Pictures\\b.gif", bmpFile(20, 10, kBlueRgb));
}

// The pending text of every option, in the order of the settings table.
inline std::vector<std::string> pendingTexts(const dialog::PendingSettings& pending) {
    std::vector<std::string> texts;
    for (const settings::OptionSpec& spec : settings::optionTable()) texts.push_back(pending[spec.option]);
    return texts;
}

class DialogTest : public ::testing::Test {
protected:
    DialogTest() { platform.setScreen({1024, 768, 15, 15}); }

    // Opens the dialog as "/c" does, on this settings file (none: a first start).
    // The events that follow at once (the first thumbnail) are processed.
    void open(const std::optional<std::string>& settingsText) {
        if (settingsText) platform.putFile(kSettingsPath, *settingsText);
        ASSERT_TRUE(platform.run([&] { dialog = dialog::OpenSettingsDialog(platform); }));
        ASSERT_TRUE(settle());
    }
    void openSample(const SampleSettings& settings = {}) {
        putSamplePictures(platform);
        open(settings.text());
    }

    template <typename T>
    T& c(std::string_view name) {
        return dialog->control<T>(name);
    }
    // Runs a user's action; false when the program ended on the way.
    bool act(const std::function<void()>& action) { return platform.run(action); }
    // Processes the events due now: a thumbnail decoded meanwhile arrives.
    bool settle() { return platform.advance(0); }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : platform.messageBoxes()) texts.push_back(box.text);
        return texts;
    }
    std::string settingsOnDisk() const { return platform.file(kSettingsPath).value_or("<none>"); }

    platform::headless::HeadlessPlatform platform;
    std::unique_ptr<dialog::SettingsDialog> dialog;
};

}  // namespace vistrel::testing
