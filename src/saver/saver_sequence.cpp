// The image sequence: the first image half a second after the load, then a
// change every `timeInterval` seconds, in list order or at random.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <memory>
#include <variant>

#include "common/numbers.h"
#include "saver/placement.h"
#include "saver/saver_fallbacks.h"
#include "saver/saver_window.h"

namespace vistrel::saver {
namespace {

// The index of the first entry from `start` on (wrapping round the list of
// entries 0 to lastIndex) that names a file; -1 when none does.
int firstNamedImage(const std::vector<std::string>& paths, int lastIndex, int start) {
    const int count = lastIndex + 1;
    for (int i = 0; i < count; ++i) {
        const int index = (start + i) % count;
        if (!paths[static_cast<std::size_t>(index)].empty()) return index;
    }
    return -1;
}

}  // namespace

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
    guardedChange([this] {
        imageIndex = -1;
        AdvanceIndex();
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
    });
}

void SaverWindow::Timer2_Timer() {
    guardedChange([this] {
        // Every new image starts floating in fresh directions.
        if (!centred()) PickDirections();
        if (imageIndex > lastIndex) imageIndex = 0;
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
    });
}

void SaverWindow::startFurtherMonitors() {
    const int count = lastIndex + 1;
    int offset = 0;
    for (auto& further : furtherMonitors) {
        Stage& stage = further->stage;
        ++offset;
        // In list order each monitor starts that many pictures on; at
        // random, at a picture no other monitor shows.
        if (numericValue(randomPick) == 1) {
            stage.imageIndex = -1;
            AdvanceIndex(stage);
        } else {
            stage.imageIndex = static_cast<std::int16_t>(count > 0 ? offset % count : 0);
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
        if (stage.imageIndex > lastIndex) stage.imageIndex = 0;
        ShowImage(stage);
        PlaceCaption(stage);
        AdvanceIndex(stage);
        changing_ = nullptr;
    }
}

void SaverWindow::avoidPicturesShownElsewhere(Stage& stage) {
    const int count = lastIndex + 1;
    const auto all = stages();
    if (furtherMonitors.empty() || count < static_cast<int>(all.size())) return;
    const auto shownElsewhere = [&](int index) {
        for (const Stage* other : all) {
            if (other != &stage && other->shownIndex == index) return true;
        }
        return false;
    };
    for (int tried = 0; tried < count; ++tried) {
        const int index = (stage.imageIndex + tried) % count;
        if (!shownElsewhere(index) && !imagePaths[static_cast<std::size_t>(index)].empty()) {
            stage.imageIndex = static_cast<std::int16_t>(index);
            return;
        }
    }
}

void SaverWindow::AdvanceIndex(Stage& stage) {
    reseedFromClock();
    if (numericValue(randomPick) == 1) {
        const double r = random.next();
        stage.imageIndex = static_cast<std::int16_t>(std::floor((lastIndex + 1) * r));
        return;
    }
    stage.imageIndex = static_cast<std::int16_t>(stage.imageIndex + 1);
}

bool SaverWindow::ShowNextImage(Stage& stage) {
    // Entries without a path (only a hand-edited file holds them) are passed
    // over; with none that names a file the background stays as it is.
    const int named = firstNamedImage(imagePaths, lastIndex, std::max<int>(stage.imageIndex, 0));
    if (named < 0) return true;
    stage.imageIndex = static_cast<std::int16_t>(named);
    if (numericValue(randomPick) == 1) avoidPicturesShownElsewhere(stage);

    stage.label1.setVisible(false);
    stage.picture1.cls();
    stage.picture2.cls();
    auto loaded = platform_.loadPicture(imagePaths[static_cast<std::size_t>(stage.imageIndex)], pictureRequest(stage));
    auto* picture = std::get_if<picture::Picture>(&loaded);
    if (!picture) return false;
    stage.picture2.setPicture(std::make_shared<const picture::Picture>(std::move(*picture)));
    return bringIn(stage);
}

void SaverWindow::ShowImage(Stage& stage) {
    const int count = lastIndex + 1;
    for (int tried = 0; tried < count; ++tried) {
        if (ShowNextImage(stage)) return;
        ImageNotShown(stage);
        stage.imageIndex = static_cast<std::int16_t>((stage.imageIndex + 1) % count);
    }
    // Not one image of the list can be shown: only the background stays.
    if (count > 0) stage.picture1.setVisible(false);
}

picture::PictureRequest SaverWindow::pictureRequest(Stage& stage) {
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
    const auto index = static_cast<std::size_t>(stage.imageIndex);
    const std::string caption = index < imageCaptions.size() ? imageCaptions[index] : std::string();
    const int bandTwips = caption.empty() ? 0 : stage.label1.measure(caption).height;
    const int band = static_cast<int>(std::ceil(bandTwips / screen.twipsPerPixelY));
    request.maxWidth = std::max(1, widthPixels);
    request.maxHeight = std::max(1, heightPixels - 2 * band);
    return request;
}

void SaverWindow::ImageNotShown(Stage& stage) {
    if (!runValues_.protectionOn()) ImageFailed(stage);
    // Each image once a run, however often it comes round.
    const std::string path = currentPath(stage);
    if (reportedFailures_.insert(path).second && onImageSkipped) onImageSkipped(path);
}

std::string SaverWindow::currentPath(const Stage& stage) const {
    const auto index = static_cast<std::size_t>(std::max<int>(stage.imageIndex, 0));
    return index < imagePaths.size() ? imagePaths[index] : std::string();
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
