// The image sequence: the first image half a second after the load, then a
// change every `timeInterval` seconds, in list order or at random.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <memory>
#include <variant>

#include "common/numbers.h"
#include "saver/auto_caption.h"
#include "saver/placement.h"
#include "saver/saver_fallbacks.h"
#include "saver/saver_window.h"

namespace vistrel::saver {

template <typename Change>
void SaverWindow::guardedChange(Change change) {
    try {
        change();
    } catch (const std::exception&) {
        // Out of memory for a huge picture, or anything else that breaks a
        // change, counts as an image that cannot be shown. A protected run
        // goes on: the next change comes as usual.
        Stage& failed = changing_ ? *changing_ : primary_;
        changing_ = nullptr;
        ImageNotShown(failed);
        failed.label1.setVisible(false);
        failed.picture1.setVisible(false);
        timer3.setTimerEnabled(false);
        timer2.setTimerEnabled(true);
        timer2.setInterval(changeIntervalMs(timeInterval));
        if (!centred()) timer1.setTimerEnabled(true);
    }
}

std::vector<Stage*> SaverWindow::stages() {
    std::vector<Stage*> all{&primary_};
    for (auto& further : furtherMonitors) all.push_back(&further->stage);
    return all;
}

void SaverWindow::Timer3_Timer() {
    // Nothing found yet while folders are still read: the show starts with
    // the first picture the walks find.
    if (library_->empty() && library_->reading()) {
        waitingForFirstPicture_ = true;
        timer3.setTimerEnabled(false);
        return;
    }
    guardedChange([this] {
        startSequence(primary_);
        if (centred()) {
            if (changeIntervalMs(timeInterval) == 0) {
                ShowImage();
                PlaceCaption();
                startFurtherMonitors();
                timer3.setTimerEnabled(false);
                return;
            }
            ShowImage();
            PlaceCaption();
            AdvanceIndex();
            startFurtherMonitors();
            timer2.setTimerEnabled(true);
            timer2.setInterval(changeIntervalMs(timeInterval));
            timer3.setTimerEnabled(false);
            prepareNextPictures();
            return;
        }
        reseedFromClock();
        timer1.setInterval(movementIntervalFor(picSpeed, timer1.interval()));
        ShowImage();
        PlaceCaption();
        AdvanceIndex();
        startFurtherMonitors();
        timer1.setTimerEnabled(true);
        // With an interval of 0 the image never changes but keeps floating.
        timer2.setTimerEnabled(true);
        timer2.setInterval(changeIntervalMs(timeInterval));
        PickDirections();
        timer3.setTimerEnabled(false);
        prepareNextPictures();
    });
}

void SaverWindow::Timer2_Timer() {
    guardedChange([this] {
        // Every new image starts floating in fresh directions.
        if (!centred()) PickDirections();
        // The change processes events during its pause: the timer must not
        // tick again meanwhile.
        timer2.setInterval(kChangeGuardMs);
        ShowImage();
        PlaceCaption();
        AdvanceIndex();
        changeFurtherMonitors();
        // Counted anew from here: the next change comes one whole interval
        // after this one has finished.
        timer2.setInterval(changeIntervalMs(timeInterval));
        prepareNextPictures();
    });
}

void SaverWindow::picturesFound() {
    if (!waitingForFirstPicture_ || (library_->empty() && library_->reading())) return;
    waitingForFirstPicture_ = false;
    Timer3_Timer();
}

void SaverWindow::startSequence(Stage& stage) {
    stage.imageIndex = -1;
    stage.listPlace = {};
    if (numericValue(randomPick) == 1) AdvanceIndex(stage);
}

void SaverWindow::startFurtherMonitors() {
    std::uint32_t offset = 0;
    for (auto& further : furtherMonitors) {
        Stage& stage = further->stage;
        ++offset;
        // In list order each monitor starts that many pictures on; at
        // random, with the next card of the deck the monitors share.
        startSequence(stage);
        if (numericValue(randomPick) != 1) {
            stage.listPlace = library_->stepsOn(library_->atOrAfter({}).value_or(library::ListPlace{}), offset);
        }
        changing_ = &stage;
        ShowImage(stage);
        PlaceCaption(stage);
        if (!(centred() && changeIntervalMs(timeInterval) == 0)) AdvanceIndex(stage);
        if (!centred()) PickDirections(stage);
        changing_ = nullptr;
    }
}

void SaverWindow::changeFurtherMonitors() {
    for (auto& further : furtherMonitors) {
        Stage& stage = further->stage;
        changing_ = &stage;
        if (!centred()) PickDirections(stage);
        ShowImage(stage);
        PlaceCaption(stage);
        AdvanceIndex(stage);
        changing_ = nullptr;
    }
}

void SaverWindow::AdvanceIndex(Stage& stage) {
    reseedFromClock();
    if (numericValue(randomPick) == 1) {
        // The next card, dealt now: every picture once before any again.
        const library::PictureId dealt = library_->deck().deal(random);
        stage.imageIndex = dealt == library::kNoPicture ? -1 : static_cast<PictureIndex>(dealt);
        return;
    }
    // The next place in the list; which picture stands there is settled at
    // the change, with whatever the walks have found by then.
    if (stage.imageIndex >= 0) stage.listPlace.position += 1;
    stage.imageIndex = -1;
}

bool SaverWindow::choosePicture(Stage& stage) {
    if (numericValue(randomPick) == 1) {
        if (stage.imageIndex < 0) AdvanceIndex(stage);
        return stage.imageIndex >= 0;
    }
    const std::optional<library::ListPlace> place = library_->atOrAfter(stage.listPlace);
    if (!place) return false;
    stage.listPlace = *place;
    stage.imageIndex = static_cast<PictureIndex>(library_->pictureAt(*place));
    return true;
}

bool SaverWindow::ShowNextImage(Stage& stage) {
    // Decoded while the previous picture was shown. One that is late is
    // waited for here, with the previous picture and its caption still up.
    auto loaded = stage.next.take(platform_, currentPath(stage), pictureRequest(stage, stage.imageIndex));
    stage.label1.setVisible(false);
    stage.picture1.cls();
    stage.picture2.cls();
    auto* picture = std::get_if<picture::Picture>(&loaded);
    if (!picture) return false;
    stage.picture2.setPicture(std::make_shared<const picture::Picture>(std::move(*picture)));
    return bringIn(stage);
}

void SaverWindow::ShowImage(Stage& stage) {
    // Entries without a path (only a hand-edited file holds them), empty
    // and missing folders give no picture; with none found the background
    // stays as it is.
    const std::uint32_t tries = std::min(library_->size(), library::kMaxPicturesTriedPerChange);
    for (std::uint32_t tried = 0; tried < tries; ++tried) {
        if (!choosePicture(stage)) return;
        if (ShowNextImage(stage)) return;
        ImageNotShown(stage);
        AdvanceIndex(stage);
    }
    // Not one picture could be shown: only the background stays.
    if (tries > 0) stage.picture1.setVisible(false);
}

picture::PictureRequest SaverWindow::pictureRequest(const Stage& stage, PictureIndex picture) {
    picture::PictureRequest request;
    request.background = colorOrFallback(newBackColor, kFallbackBackColor);
    if (!fitLarge.empty() && numericValue(fitLarge) == 0) return request;
    // Fitted into its own monitor.
    const platform::ScreenMetrics screen = platform_.screen();
    const int widthPixels = stage.area.widthPixels;
    const int heightPixels = stage.area.heightPixels;
    if (!centred()) {
        // Room to travel and bounce.
        request.maxWidth = std::max(1, widthPixels * 2 / 3);
        request.maxHeight = std::max(1, heightPixels * 2 / 3);
        return request;
    }
    // Pan and zoom fills the space a centred picture fits into, so it is
    // loaded large enough for its closest framing.
    if (panning()) request.fillZoom = kPanMaxZoom;
    // The caption's band stays free at the top, and as much at the bottom so
    // that the picture stays centred: a caption is never behind its picture.
    // With captions that write themselves every picture keeps the band, so
    // that the fit does not wait for what the decode tells of the picture.
    const std::string caption = captionOf(picture);
    const bool band = !caption.empty() || captionsWriteThemselves();
    const int bandTwips = band ? stage.label1.measure(caption.empty() ? kOneLineSample : caption).height : 0;
    const int bandPixels = static_cast<int>(std::ceil(bandTwips / screen.twipsPerPixelY));
    request.maxWidth = std::max(1, widthPixels);
    request.maxHeight = std::max(1, heightPixels - 2 * bandPixels);
    return request;
}

void SaverWindow::ImageNotShown(Stage& stage) {
    // A picture the list names ends an unprotected run with a message; one
    // found in a folder is passed over in silence: the folder may hold
    // anything, and the user did not name that file.
    const bool protectedRun = runValues_.protectionOn();
    if (!fromFolder(stage) && !protectedRun) ImageFailed(stage);
    if (!protectedRun || stage.imageIndex < 0) return;
    // Each picture once a run, however often it comes round.
    const auto picture = static_cast<std::size_t>(stage.imageIndex);
    if (reportedFailures_.size() <= picture) reportedFailures_.resize(library_->size());
    if (reportedFailures_[picture]) return;
    reportedFailures_[picture] = true;
    ++failuresReported_;
    if (failuresReported_ <= kBoardNotesOfFailures) {
        if (onImageSkipped) onImageSkipped(currentPath(stage));
    } else if (onMoreImagesSkipped) {
        onMoreImagesSkipped(failuresReported_ - kBoardNotesOfFailures);
    }
}

std::string SaverWindow::currentPath(const Stage& stage) const {
    return stage.imageIndex >= 0 ? library_->pathOf(static_cast<library::PictureId>(stage.imageIndex)) : std::string();
}

bool SaverWindow::fromFolder(const Stage& stage) const {
    return stage.imageIndex >= 0 && library_->foundInFolder(static_cast<library::PictureId>(stage.imageIndex));
}

std::string SaverWindow::captionOf(PictureIndex picture) const {
    if (picture < 0 || static_cast<std::uint32_t>(picture) >= library_->size()) return {};
    return imageCaptions[library_->entryOf(static_cast<library::PictureId>(picture))];
}

void SaverWindow::reseedFromClock() { random.reseed(platform_.timeOfDaySeconds()); }

void SaverWindow::pauseProcessingEvents(int milliseconds) {
    const std::int64_t start = platform_.monotonicMs();
    while (platform_.monotonicMs() - start < milliseconds) platform_.doEvents();
}

void SaverWindow::ImageFailed(const Stage& stage) {
    // A protected run passes failing images over (ImageNotShown), so the flag
    // is normally off here already; switching it off again costs nothing.
    if (runValues_.usesScreenSaverRunningFlag()) {
        std::uint32_t scratch = 0;
        platform_.systemParametersInfo(platform::SPI_SETSCREENSAVERRUNNING, 0, &scratch, 0);
    }
    const std::string path = currentPath(stage);
    form1.unload();
    platform_.messageBox(path + "\r\ndoes not exist! Vistrel Screen Saver will\r\n"
                                "not function unless a different image is reloaded.",
                         "", platform::MessageBoxButtons::Ok);
    platform_.endProgram();
    std::abort();  // ending the program never returns, whichever backend ends it
}

}  // namespace vistrel::saver
