// The preview that lives in the screen-saver settings ("/p <handle>"): a
// child window over the host's client area that shows the stored preview
// picture, or with a list of pictures a miniature of the slideshow, repaints
// itself whenever the host does, and ends the program once the host is gone.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/random_source.h"
#include "library/picture_library.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "saver/composed_stage.h"
#include "saver/pan_zoom.h"
#include "saver/uncovered_area.h"

namespace vistrel::app {

inline constexpr int kPreviewBlockWidth = 160;
inline constexpr int kPreviewBlockHeight = 120;
// How often the preview looks whether its host is still there: it ends
// well within a second of the host's going.
inline constexpr int kHostWatchMs = 250;
// The miniature shows the slideshow within seconds: never longer than this
// between its pictures.
inline constexpr int kMaxPreviewIntervalMs = 3000;
// How often a transition is drawn on.
inline constexpr int kPreviewFrameMs = 16;

// The hidden window that holds the stored picture; it is never shown.
struct PuzzleForm {
    explicit PuzzleForm(platform::Platform& platform);
    ui::Window form;
    ui::PictureBox picture1;
};

// What the miniature shows, as the saver reads it.
struct PreviewSettings {
    std::vector<std::string> imagePaths;  // the entries that name a file or a folder
    std::string randomPick;
    std::string timeInterval;
    std::string newBackColor;
    std::string backEffect;
    std::string picRandom;
    std::string effectMode;
    std::string randomEffect;
};
PreviewSettings readPreviewSettings(platform::Platform& platform);

// The pieces of a transition for a picture of width x height pixels shown
// at `scale` of the screen's size: the steps the saver would draw for the
// picture at full size, each shrunk by `scale` and rounded outward to whole
// pixels, with repeats of the same piece dropped.
std::vector<saver::PixelRect> scaledTransitionPieces(int code, int width, int height, double scale);

class LivePreview {
public:
    LivePreview(platform::Platform& platform, platform::Handle host, const platform::PixelBounds& client,
                std::unique_ptr<PuzzleForm> puzzle, PreviewSettings settings);
    LivePreview(const LivePreview&) = delete;
    LivePreview& operator=(const LivePreview&) = delete;

    // False when the host went away while the window was made.
    bool started() const { return started_; }

    ui::Window form;             // the child window in the host
    ui::PictureBox miniature;    // the picture of the miniature slideshow
    ui::PictureBox loader;       // hidden: the picture coming in, whose blurred copy fills round it
    ui::Timer hostWatch;         // ends the program when the host is gone
    ui::Timer changeTimer;       // the next picture of the miniature
    ui::Timer frameTimer;        // the transition in progress
    ui::Timer panTimer;          // pan and zoom: the picture drawn where it now stands

    // The picture the miniature shows or brings in now (-1 before the first).
    int imageIndex() const { return shownIndex_; }
    const library::PictureLibrary& pictureLibrary() const { return library_; }
    // Every change's work on this thread, in milliseconds of its clock:
    // the longest a single event of the miniature took.
    std::int64_t longestEventMs() const { return longestEventMs_; }

private:
    void showStoredPicture();
    void HostWatch_Timer();
    // The miniature (preview_slideshow.cpp).
    void startSlideshow();
    void ChangeTimer_Timer();
    void FrameTimer_Timer();
    // Settles the next picture; false while none has been found.
    bool advanceIndex();
    void PanTimer_Timer();
    bool panning() const { return settings_.picRandom == saver::kPanAndZoom; }
    void requestPicture();
    void pictureReady();
    void picturesFound();
    void pictureArrived(picture::PictureResult result);
    void placeMiniature(int widthPixels, int heightPixels);
    void beginTransition();
    void drawDuePieces();
    void drawDueFade();
    void finishChange();
    template <typename Work>
    void timed(Work work);

    platform::Platform& platform_;
    platform::Handle host_;
    platform::PixelBounds client_;
    std::unique_ptr<PuzzleForm> puzzle_;
    PreviewSettings settings_;
    bool started_ = false;

    RandomSource random_;
    library::PictureLibrary library_;
    library::ListPlace listPlace_{};
    bool waitingForPicture_ = false;
    int index_ = -1;       // the picture last asked for
    int shownIndex_ = -1;  // the picture shown or brought in
    int failuresInARow_ = 0;
    std::unique_ptr<platform::PictureJob> job_;
    // The next picture (index_) is decoded while the one before it is shown:
    // it waits here until its change is due, or is shown as it comes once it
    // is. Nothing else is asked for meanwhile, so index_ stays its own.
    std::optional<picture::PictureResult> ahead_;
    bool changeDue_ = true;
    std::unique_ptr<saver::ComposedStage> stage_;  // the miniature on its background
    std::shared_ptr<const picture::Picture> incoming_;
    picture::Framing incomingFraming_;
    saver::PanJourney journey_;  // of the picture shown, or of the one coming in
    std::int64_t shownAtMs_ = 0;
    std::vector<saver::PixelRect> pieces_;
    std::size_t piecesDrawn_ = 0;
    std::unique_ptr<saver::StageLook> fadeTarget_;  // a crossfade in progress
    std::int64_t transitionStartMs_ = 0;
    std::int64_t longestEventMs_ = 0;
};

}  // namespace vistrel::app
