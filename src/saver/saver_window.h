// The full-screen saver window: its controls as designed, its load step
// (which reads the settings, prepares the caption and the background and
// arms the timer that starts the slideshow), and the slideshow itself: the
// image sequence and its timers, the transitions, the caption and the float
// movement.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "common/random_source.h"
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
    std::string fitLarge;  // "0": pictures at their own size, also when larger than the screen
    std::string newFontName;
    std::string newFontSize;
    std::string newFontBold;
    std::string newFontItalic;
    std::string newFontUnderline;
    std::string newFontFontStrikethru;
    std::string newFontForeColor;

    // The slideshow's state.
    std::int16_t imageIndex = -1;  // the image that the next change shows
    std::int16_t stepX = 0;        // a floating image's move per tick, twips
    std::int16_t stepY = 0;
    RandomSource random;

    // The routines of the slideshow, each raised by a timer or called by one.
    void Timer3_Timer();  // the first image, half a second after the load
    void Timer2_Timer();  // every image change
    void Timer1_Timer();  // every movement tick of a floating image
    void AdvanceIndex();
    // Shows the image at imageIndex through its transition; false when the
    // image could not be shown.
    bool ShowNextImage();
    // ShowNextImage, and what follows when the image cannot be shown: the
    // end of the run with a message, or on a protected run the next image of
    // the list that can be shown (the background alone when none can).
    void ShowImage();

    // On a protected run an image that cannot be shown is passed over, and
    // its path handed here once, for the owner's message board.
    std::function<void(const std::string& path)> onImageSkipped;
    // False when a drawing step failed (codes 0 to 5).
    bool RunTransition();
    void PlaceCaption();
    void PickDirections();

private:
    void Form_Load();
    void DetectPlatform();
    void readImageList(settings::SettingsReader& settings);
    void applyCaptionFont();
    void prepareBackground();

    bool centred() const { return picRandom == "cent"; }
    // What the next picture is loaded for: the space it may take on the
    // screen (a larger picture is shrunk to fit it) and the background its
    // transparent parts show.
    platform::PictureRequest pictureRequest();
    void reseedFromClock();
    // Pauses while processing events, so input and movement go on.
    void pauseProcessingEvents(int milliseconds);
    // An image that cannot be shown ends the run with a message...
    [[noreturn]] void ImageFailed();
    // ...unless the run is protected: a thief must not get past the password
    // by taking the pictures away (a network share that goes offline).
    void ImageNotShown();
    std::string currentPath() const;
    // Runs a change; any failure in it takes the image-failure path.
    template <typename Change>
    void guardedChange(Change change);

    platform::Platform& platform_;
    RunValues& runValues_;
    std::set<std::string> reportedFailures_;
    settings::SettingsReader* settingsOverride_;
};

}  // namespace vistrel::saver
