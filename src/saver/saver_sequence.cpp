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
        ImageNotShown();
        label1.setVisible(false);
        picture1.setVisible(false);
        timer3.setTimerEnabled(false);
        timer2.setTimerEnabled(true);
        timer2.setInterval(changeIntervalMs(timeInterval));
        if (!centred()) timer1.setTimerEnabled(true);
    }
}

void SaverWindow::Timer3_Timer() {
    guardedChange([this] {
        imageIndex = -1;
        AdvanceIndex();
        if (centred()) {
            if (changeIntervalMs(timeInterval) == 0) {
                ShowImage();
                PlaceCaption();
                timer3.setTimerEnabled(false);
                return;
            }
            ShowImage();
            PlaceCaption();
            AdvanceIndex();
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
        // Counted anew from here: the next change comes one whole interval
        // after this one has finished.
        timer2.setInterval(changeIntervalMs(timeInterval));
    });
}

void SaverWindow::AdvanceIndex() {
    reseedFromClock();
    if (numericValue(randomPick) == 1) {
        const double r = random.next();
        imageIndex = static_cast<std::int16_t>(std::floor((lastIndex + 1) * r));
        return;
    }
    imageIndex = static_cast<std::int16_t>(imageIndex + 1);
}

bool SaverWindow::ShowNextImage() {
    // Entries without a path (only a hand-edited file holds them) are passed
    // over; with none that names a file the background stays as it is.
    const int named = firstNamedImage(imagePaths, lastIndex, std::max<int>(imageIndex, 0));
    if (named < 0) return true;
    imageIndex = static_cast<std::int16_t>(named);

    label1.setVisible(false);
    picture1.cls();
    picture2.cls();
    auto loaded = platform_.loadPicture(imagePaths[static_cast<std::size_t>(imageIndex)], pictureRequest());
    auto* picture = std::get_if<platform::Picture>(&loaded);
    if (!picture) return false;
    picture2.setPicture(std::make_shared<const platform::Picture>(std::move(*picture)));
    picture1.setVisible(false);

    // Shown at the size it was loaded at (its own, or fitted to the screen),
    // centred on the whole screen.
    const int width = picture2.width();
    const int height = picture2.height();
    picture1.move(picture1.left(), picture1.top(), width, height);
    picture1.move(centredPosition(form1.scaleWidth(), width), centredPosition(form1.scaleHeight(), height), width,
                  height);

    pauseProcessingEvents(kImagePauseMs);
    picture1.setVisible(true);  // the previous picture, in the new image's frame
    if (!RunTransition()) return false;
    picture1.setPicture(picture2.picture());
    return true;
}

void SaverWindow::ShowImage() {
    const int count = lastIndex + 1;
    for (int tried = 0; tried < count; ++tried) {
        if (ShowNextImage()) return;
        ImageNotShown();
        imageIndex = static_cast<std::int16_t>((imageIndex + 1) % count);
    }
    // Not one image of the list can be shown: only the background stays.
    if (count > 0) picture1.setVisible(false);
}

platform::PictureRequest SaverWindow::pictureRequest() {
    platform::PictureRequest request;
    request.background = colorOrFallback(newBackColor, kFallbackBackColor);
    if (!fitLarge.empty() && numericValue(fitLarge) == 0) return request;
    const platform::ScreenMetrics screen = platform_.screen();
    if (!centred()) {
        // Room to travel and bounce.
        request.maxWidth = std::max(1, screen.widthPixels * 2 / 3);
        request.maxHeight = std::max(1, screen.heightPixels * 2 / 3);
        return request;
    }
    // The caption's band stays free at the top, and as much at the bottom so
    // that the picture stays centred: a caption is never behind its picture.
    const auto index = static_cast<std::size_t>(imageIndex);
    const std::string caption = index < imageCaptions.size() ? imageCaptions[index] : std::string();
    const int bandTwips = caption.empty() ? 0 : label1.measure(caption).height;
    const int band = static_cast<int>(std::ceil(bandTwips / screen.twipsPerPixelY));
    request.maxWidth = std::max(1, screen.widthPixels);
    request.maxHeight = std::max(1, screen.heightPixels - 2 * band);
    return request;
}

void SaverWindow::ImageNotShown() {
    if (!runValues_.protectionOn()) ImageFailed();
    // Each image once a run, however often it comes round.
    const std::string path = currentPath();
    if (reportedFailures_.insert(path).second && onImageSkipped) onImageSkipped(path);
}

std::string SaverWindow::currentPath() const {
    const auto index = static_cast<std::size_t>(std::max<int>(imageIndex, 0));
    return index < imagePaths.size() ? imagePaths[index] : std::string();
}

void SaverWindow::reseedFromClock() { random.reseed(platform_.timeOfDaySeconds()); }

void SaverWindow::pauseProcessingEvents(int milliseconds) {
    const std::int64_t start = platform_.monotonicMs();
    while (platform_.monotonicMs() - start < milliseconds) platform_.doEvents();
}

void SaverWindow::ImageFailed() {
    // A protected run passes failing images over (ImageNotShown), so the flag
    // is normally off here already; switching it off again costs nothing.
    if (runValues_.usesScreenSaverRunningFlag()) {
        std::uint32_t scratch = 0;
        platform_.systemParametersInfo(platform::SPI_SETSCREENSAVERRUNNING, 0, &scratch, 0);
    }
    const std::string path = currentPath();
    form1.unload();
    platform_.messageBox(path + "\r\ndoes not exist! Vistrel Screen Saver will\r\n"
                                "not function unless a different image is reloaded.",
                         "", platform::MessageBoxButtons::Ok);
    platform_.endProgram();
    std::abort();  // ending the program never returns, whichever backend ends it
}

}  // namespace vistrel::saver
