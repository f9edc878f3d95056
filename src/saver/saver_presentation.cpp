// How a loaded picture comes onto its monitor's stage: where it stands, the
// pause, its transition, and, for pan and zoom, its travel afterwards.
#include <algorithm>

#include "common/numbers.h"
#include "platform/units.h"
#include "saver/placement.h"
#include "saver/saver_fallbacks.h"
#include "saver/saver_window.h"
#include "saver/transition_steps.h"

namespace vistrel::saver {
namespace {

PixelRect pixelsOf(const TwipsArea& area, const platform::ScreenMetrics& screen) {
    const int left = platform::twipsToPixels(area.left, screen.twipsPerPixelX);
    const int top = platform::twipsToPixels(area.top, screen.twipsPerPixelY);
    return {left, top, left + area.widthPixels, top + area.heightPixels};
}

// Lets go of a stage held for a crossfade when a change breaks off with an
// exception; the failure's own handling then draws what is left.
struct HoldGuard {
    ComposedStage& stage;
    ~HoldGuard() { stage.letGo(); }
};

}  // namespace

void SaverWindow::prepareStages() {
    const platform::ScreenMetrics screen = platform_.screen();
    const BackgroundKind background = backgroundKindOf(backEffect);
    const ui::Color color = colorOrFallback(newBackColor, kFallbackBackColor);
    for (Stage* stage : stages()) {
        // A panned picture keeps its place whatever the size of the picture.
        stage->picture1.autoSize = !panning();
        stage->composed = std::make_unique<ComposedStage>(
            StageControls{form1, stage->picture1, stage->picture2, &stage->label1}, pixelsOf(stage->area, screen),
            background, color);
    }
    if (panning()) panTimer.setInterval(kPanFrameMs);
}

int SaverWindow::chooseTransition() {
    if (numericValue(randomEffect) == 1) {
        reseedFromClock();
        effectMode = std::to_string(randomTransitionCode(random.next()));
    }
    return transitionCodeOf(effectMode);
}

bool SaverWindow::bringIn(Stage& stage) {
    ComposedStage& composed = *stage.composed;
    HoldGuard guard{composed};
    // A crossfade blends from what the screen shows: it stays through the
    // pause, where the other transitions show the background.
    if (chooseTransition() == kCrossfade) composed.hold();
    stage.picture1.setVisible(false);
    placeLoadedPicture(stage);
    pauseProcessingEvents(kImagePauseMs);
    stage.picture1.setVisible(true);  // the previous picture, in the new image's frame
    const bool brought = RunTransition(stage);
    if (brought) {
        composed.setFraming(comingFraming(stage));
        stage.picture1.setPicture(stage.picture2.picture());
        stage.shownIndex = stage.imageIndex;
        stage.journey = stage.comingJourney;
        stage.shownAtMs = platform_.monotonicMs();
        if (panning()) panTimer.setTimerEnabled(true);
    }
    const bool shown = composed.release();
    return brought && shown;
}

void SaverWindow::placeLoadedPicture(Stage& stage) {
    const TwipsArea& area = stage.area;
    const platform::ScreenMetrics screen = platform_.screen();
    if (panning()) {
        // The picture fills the space a centred one fits into (the whole
        // monitor when large pictures are not fitted).
        const picture::PictureRequest request = pictureRequest(stage, stage.imageIndex);
        const int width = platform::pixelsToTwips(request.fits() ? request.maxWidth : area.widthPixels,
                                                  screen.twipsPerPixelX);
        const int height = platform::pixelsToTwips(request.fits() ? request.maxHeight : area.heightPixels,
                                                   screen.twipsPerPixelY);
        stage.picture1.move(area.left + centredPosition(area.width, width), area.top + centredPosition(area.height, height),
                            width, height);
        const PixelRect space = stage.composed->pictureArea();
        const auto& loaded = *stage.picture2.picture();
        const std::int32_t interval = changeIntervalMs(timeInterval);
        // It travels until the next picture takes its place; with "Never"
        // back and forth.
        stage.comingJourney = PanJourney::random({loaded.width, loaded.height}, {space.width(), space.height()},
                                                 interval > 0 ? std::int64_t{interval} + kImagePauseMs : 0, random);
        return;
    }
    // Shown at the size it was loaded at (its own, or fitted to the
    // monitor), centred on its monitor.
    const int width = stage.picture2.width();
    const int height = stage.picture2.height();
    stage.picture1.move(stage.picture1.left(), stage.picture1.top(), width, height);
    stage.picture1.move(area.left + centredPosition(area.width, width), area.top + centredPosition(area.height, height),
                        width, height);
}

picture::Framing SaverWindow::comingFraming(const Stage& stage) const {
    return panning() ? stage.comingJourney.placementAt(0) : picture::Framing{};
}

void SaverWindow::PanTimer_Timer() {
    const std::int64_t now = platform_.monotonicMs();
    for (Stage* stage : stages()) {
        if (stage->journey.empty() || !stage->picture1.visible() || !stage->composed) continue;
        stage->composed->setFraming(stage->journey.placementAt(now - stage->shownAtMs));
        stage->composed->redrawPicture();
    }
}

}  // namespace vistrel::saver
