// The full-screen saver window: its controls as designed and its load step,
// which reads the settings, prepares the caption and the background and
// arms the timer that starts the slideshow.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/platform.h"
#include "saver/run_values.h"
#include "saver/saver_input.h"
#include "settings/settings_file.h"

namespace vistrel::saver {

inline constexpr int kFirstImageDelayMs = 500;
inline constexpr int kMovementIntervalMs = 100;

class SaverWindow {
public:
    // `settingsOverride` replaces the settings file (tests watch the reads
    // through it); by default the load step opens the file beside the program.
    SaverWindow(platform::Platform& platform, RunValues& runValues,
                settings::SettingsReader* settingsOverride = nullptr);

    ui::Window form1;
    ui::PictureBox picture1;  // the visible image surface
    ui::PictureBox picture2;  // hidden loader and off-screen surface
    ui::Label label1;         // the caption
    ui::Timer timer1;         // float movement
    ui::Timer timer2;         // image change
    ui::Timer timer3;         // start of the slideshow
    SaverInput input;         // keys, mouse buttons and moves that end the saver

    // Settings as read, held as text and converted where they are applied.
    std::vector<std::string> imagePaths;     // indices 0 to n; entry n stays empty
    std::vector<std::string> imageCaptions;  // same indices
    std::int16_t lastIndex = -1;
    std::string total;
    std::string randomPick;
    std::string newBackColor;
    std::string backEffect;
    std::string picSpeed;
    std::string timeInterval;
    std::string picRandom;
    std::string effectMode;
    std::string randomEffect;
    std::string newFontName;
    std::string newFontSize;
    std::string newFontBold;
    std::string newFontItalic;
    std::string newFontUnderline;
    std::string newFontFontStrikethru;
    std::string newFontForeColor;

private:
    void Form_Load();
    void DetectPlatform();
    void readImageList(settings::SettingsReader& settings);
    void applyCaptionFont();
    void prepareBackground();

    platform::Platform& platform_;
    RunValues& runValues_;
    settings::SettingsReader* settingsOverride_;
};

}  // namespace vistrel::saver
