// The full-screen saver window: its controls as designed, its load step
// (which reads the settings, prepares the caption and the background and
// arms the timer that starts the slideshow), and the slideshow itself: the
// image sequence and its timers, the transitions, the caption and the float
// movement.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/random_source.h"
#include "library/picture_library.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "saver/composed_stage.h"
#include "saver/monitor_areas.h"
#include "saver/pan_zoom.h"
#include "saver/next_picture.h"
#include "saver/run_values.h"
#include "saver/saver_input.h"
#include "settings/settings_file.h"

namespace vistrel::saver {

inline constexpr int kFirstImageDelayMs = 500;
inline constexpr int kMovementIntervalMs = 100;
// A protected run notes this many pictures that could not be shown on the
// message board, one line each, then one line with the count of the rest.
inline constexpr std::uint32_t kBoardNotesOfFailures = 20;

// A picture of the run's library by its number; -1 for none.
using PictureIndex = std::int32_t;

// One monitor's slideshow: the display surface, loader and caption it
// shows on, where it stands in the list, and the monitor's place on the
// window. The primary monitor's is made of the window's designed controls.
struct Stage {
    ui::PictureBox& picture1;
    ui::PictureBox& picture2;
    ui::Label& label1;
    // The picture the next change shows: in random order dealt ahead from
    // the deck, in list order found at the change (-1 until then).
    PictureIndex& imageIndex;
    std::int16_t& stepX;
    std::int16_t& stepY;
    TwipsArea area;
    // In list order, where the next change looks for its picture.
    library::ListPlace listPlace{};
    PictureIndex shownIndex = -1;  // the picture on the monitor now
    // What the monitor shows, composed (made by the load step).
    std::unique_ptr<ComposedStage> composed{};
    // Pan and zoom: the travel of the picture shown, from when it came, and
    // that of the picture a change brings in.
    PanJourney journey{};
    std::int64_t shownAtMs = 0;
    PanJourney comingJourney{};
    // The picture of the next change, decoded while this one is shown.
    NextPicture next{};
};

// A monitor beyond the primary with a slideshow of its own (allMonitors=1).
struct FurtherMonitor {
    FurtherMonitor(ui::Window& form, int number, const TwipsArea& area);
    ui::PictureBox picture1;
    ui::PictureBox picture2;
    ui::Label label1;
    PictureIndex imageIndex = -1;
    std::int16_t stepX = 0;
    std::int16_t stepY = 0;
    Stage stage;
};

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
    ui::Timer panTimer;       // pan and zoom: the picture drawn where it now stands
    SaverInput input;         // keys, mouse buttons and moves that end the saver

    // Settings as read, held as text and converted where they are applied.
    // An entry of the list is a picture's path, or a folder's ending in "\".
    std::vector<std::string> imagePaths;     // indices 0 to n; entry n stays empty
    std::vector<std::string> imageCaptions;  // same indices; a folder's caption is each of its pictures'
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
    std::string allMonitors;  // "1": every further monitor has a slideshow of its own
    std::string autoCaption;  // the parts of the caption of a picture without one: "date,folder,file"
    std::string newFontName;
    std::string newFontSize;
    std::string newFontBold;
    std::string newFontItalic;
    std::string newFontUnderline;
    std::string newFontFontStrikethru;
    std::string newFontForeColor;

    // The slideshow's state.
    PictureIndex imageIndex = -1;  // the picture that the next change shows
    std::int16_t stepX = 0;        // a floating image's move per tick, twips
    std::int16_t stepY = 0;
    RandomSource random;
    // Filled by the load step: the primary monitor's slideshow, and those of
    // the further monitors when allMonitors is 1 (none otherwise).
    Stage& primaryStage() { return primary_; }
    std::vector<std::unique_ptr<FurtherMonitor>> furtherMonitors;
    // Every picture of the run: the file entries, and what the walks of
    // the folder entries have found so far.
    const library::PictureLibrary& pictureLibrary() const { return *library_; }

    // The routines of the slideshow, each raised by a timer or called by one.
    void Timer3_Timer();  // the first image, half a second after the load
    void Timer2_Timer();  // every image change
    void Timer1_Timer();  // every movement tick of a floating image
    void PanTimer_Timer();  // every frame of pan and zoom
    // Each routine below acts on the primary monitor's slideshow, or on the
    // stage it is given.
    void AdvanceIndex() { AdvanceIndex(primary_); }
    void AdvanceIndex(Stage& stage);
    // Shows the image at imageIndex through its transition; false when the
    // image could not be shown.
    bool ShowNextImage() { return ShowNextImage(primary_); }
    bool ShowNextImage(Stage& stage);
    // ShowNextImage, and what follows when the image cannot be shown: the
    // end of the run with a message, or on a protected run the next image of
    // the list that can be shown (the background alone when none can).
    void ShowImage() { ShowImage(primary_); }
    void ShowImage(Stage& stage);

    // On a protected run an image that cannot be shown is passed over, and
    // its path handed here once, for the owner's message board; past
    // kBoardNotesOfFailures pictures, only their count, each time it grows.
    std::function<void(const std::string& path)> onImageSkipped;
    std::function<void(std::uint32_t more)> onMoreImagesSkipped;
    // False when a drawing step failed (codes 0 to 5, and the crossfade).
    bool RunTransition() { return RunTransition(primary_); }
    bool RunTransition(Stage& stage);
    void PlaceCaption() { PlaceCaption(primary_); }
    void PlaceCaption(Stage& stage);
    void PickDirections() { PickDirections(primary_); }
    void PickDirections(Stage& stage);

private:
    void Form_Load();
    void DetectPlatform();
    void readImageList(settings::SettingsReader& settings);
    void applyCaptionFont();
    void prepareBackground();
    // With allMonitors=1, a slideshow for each monitor beyond the primary.
    void prepareFurtherMonitors();
    // The further monitors' changes, after the primary's of the same tick.
    void startFurtherMonitors();
    void changeFurtherMonitors();
    // The first picture of a stage's sequence: the list's first, or a card
    // of the deck.
    void startSequence(Stage& stage);
    // Settles the picture the stage's change shows now; false while no
    // picture has been found.
    bool choosePicture(Stage& stage);
    // New pictures from the walks; the first one found starts a show that
    // waited for it.
    void picturesFound();
    std::string captionOf(PictureIndex picture) const;

    // Centred and panned pictures stand in the middle of their monitor;
    // any other movement floats.
    bool centred() const { return picRandom == "cent" || panning(); }
    bool panning() const { return picRandom == kPanAndZoom; }
    // Gives each slideshow its composed stage (after the background).
    void prepareStages();
    // What ShowNextImage does once the picture is loaded: places it, pauses,
    // brings it in through its transition and shows it whole.
    bool bringIn(Stage& stage);
    // The transition of this change: the setting's, or a random one.
    int chooseTransition();
    // Where the loaded picture stands: centred at its own size, or filling
    // its space for pan and zoom.
    void placeLoadedPicture(Stage& stage);
    // How the picture being brought in shows on its place.
    picture::Framing comingFraming(const Stage& stage) const;
    // What a picture of the stage is loaded for: the space it may take on
    // the screen (a larger picture is shrunk to fit it) and the background
    // its transparent parts show.
    picture::PictureRequest pictureRequest(const Stage& stage, PictureIndex picture);
    // Once every monitor's change is done, the picture each monitor's next
    // change shows starts decoding (saver_look_ahead.cpp).
    void prepareNextPictures();
    PictureIndex upcomingPicture(const Stage& stage) const;
    void reseedFromClock();
    // Pauses while processing events, so input and movement go on.
    void pauseProcessingEvents(int milliseconds);
    // An image that cannot be shown ends the run with a message...
    [[noreturn]] void ImageFailed(const Stage& stage);
    // ...unless the run is protected: a thief must not get past the password
    // by taking the pictures away (a network share that goes offline).
    void ImageNotShown(Stage& stage);
    std::string currentPath(const Stage& stage) const;
    // The caption of the picture a stage shows: its own, or the one
    // autoCaption makes of its day, folder and file name.
    std::string captionFor(const Stage& stage);
    // Whether a picture may get a caption without having one of its own.
    bool captionsWriteThemselves() const;
    bool fromFolder(const Stage& stage) const;
    // Runs a change; any failure in it takes the image-failure path.
    template <typename Change>
    void guardedChange(Change change);
    std::vector<Stage*> stages();

    platform::Platform& platform_;
    RunValues& runValues_;
    std::unique_ptr<library::PictureLibrary> library_;
    // The start found no picture yet: the first one found starts the show.
    bool waitingForFirstPicture_ = false;
    std::vector<bool> reportedFailures_;  // by picture
    std::uint32_t failuresReported_ = 0;
    Stage primary_;
    Stage* changing_ = nullptr;  // the stage whose change runs now
    settings::SettingsReader* settingsOverride_;
};

}  // namespace vistrel::saver
