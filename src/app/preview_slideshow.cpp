// The miniature slideshow of the living preview: the user's pictures fitted
// into the host's client area, loaded off the user-interface thread (each
// while the one before it is shown), each brought in through the chosen
// transition scaled down to the preview.
#include <algorithm>
#include "platform/units.h"
#include <cmath>
#include <variant>

#include "app/live_preview.h"
#include "common/numbers.h"
#include "saver/crossfade.h"
#include "saver/placement.h"
#include "saver/saver_fallbacks.h"
#include "saver/transition_painter.h"
#include "saver/transition_steps.h"

namespace vistrel::app {

std::vector<saver::PixelRect> scaledTransitionPieces(int code, int width, int height, double scale) {
    std::vector<saver::PixelRect> pieces;
    if (width <= 0 || height <= 0) return pieces;
    scale = std::clamp(scale, 1e-3, 1.0);
    const int fullWidth = static_cast<int>(std::lround(width / scale));
    const int fullHeight = static_cast<int>(std::lround(height / scale));
    const saver::PixelRect picture{0, 0, width, height};
    for (const saver::StepRect& step : saver::transitionSteps(code, fullWidth, fullHeight)) {
        const saver::PixelRect piece =
            saver::PixelRect{static_cast<int>(std::floor(step.x * scale)), static_cast<int>(std::floor(step.y * scale)),
                             static_cast<int>(std::ceil((step.x + step.width) * scale)),
                             static_cast<int>(std::ceil((step.y + step.height) * scale))}
                .intersect(picture);
        if (piece.empty() || (!pieces.empty() && pieces.back() == piece)) continue;
        pieces.push_back(piece);
    }
    return pieces;
}

template <typename Work>
void LivePreview::timed(Work work) {
    const std::int64_t start = platform_.monotonicMs();
    work();
    longestEventMs_ = std::max(longestEventMs_, platform_.monotonicMs() - start);
}

void LivePreview::startSlideshow() {
    timed([this] {
        if (advanceIndex()) requestPicture();
    });
}

bool LivePreview::advanceIndex() {
    // Nothing found yet: the first picture the walks find comes then.
    waitingForPicture_ = false;
    if (numericValue(settings_.randomPick) == 1) {
        random_.reseed(platform_.timeOfDaySeconds());
        const library::PictureId dealt = library_.deck().deal(random_);
        if (dealt != library::kNoPicture) {
            index_ = static_cast<int>(dealt);
            return true;
        }
    } else if (const auto place = library_.atOrAfter(index_ < 0 ? library::ListPlace{}
                                                                : library::ListPlace{listPlace_.entry,
                                                                                     listPlace_.position + 1})) {
        listPlace_ = *place;
        index_ = static_cast<int>(library_.pictureAt(*place));
        return true;
    }
    waitingForPicture_ = library_.reading();
    return false;
}

void LivePreview::picturesFound() {
    if (!waitingForPicture_) return;
    timed([this] {
        if (advanceIndex()) requestPicture();
    });
}

void LivePreview::requestPicture() {
    picture::PictureRequest request;
    request.maxWidth = std::max(1, client_.width);
    request.maxHeight = std::max(1, client_.height);
    request.background = saver::colorOrFallback(settings_.newBackColor, saver::kFallbackBackColor);
    if (panning()) request.fillZoom = saver::kPanMaxZoom;
    job_ = platform_.loadPictureInBackground(library_.pathOf(static_cast<library::PictureId>(index_)), request,
                                             [this] { pictureReady(); });
}

void LivePreview::pictureReady() {
    timed([this] {
        const std::unique_ptr<platform::PictureJob> job = std::move(job_);
        picture::PictureResult result = job->take();
        // No other picture is asked for while one is on its way.
        if (!changeDue_) {
            ahead_ = std::move(result);  // taken when its change is due
            return;
        }
        changeDue_ = false;
        pictureArrived(std::move(result));
    });
}

void LivePreview::FrameTimer_Timer() {
    timed([this] {
        if (fadeTarget_) {
            drawDueFade();
            return;
        }
        if (incoming_) {
            drawDuePieces();
            return;
        }
        frameTimer.setTimerEnabled(false);
    });
}

void LivePreview::pictureArrived(picture::PictureResult result) {
    auto* picture = std::get_if<picture::Picture>(&result);
    if (!picture) {
        // A picture that cannot be shown is passed over in silence: the
        // preview has no one to tell. When none can, what is shown stays.
        // The change is due: the next that can be shown comes as it is loaded.
        changeDue_ = true;
        const auto tries = std::min<std::uint32_t>(library_.size(), library::kMaxPicturesTriedPerChange);
        if (static_cast<std::uint32_t>(++failuresInARow_) < tries && advanceIndex()) requestPicture();
        return;
    }
    failuresInARow_ = 0;
    shownIndex_ = index_;
    incoming_ = std::make_shared<const picture::Picture>(std::move(*picture));
    if (!miniature.picture()) {
        // The first picture comes at once.
        loader.setPicture(incoming_);
        placeMiniature(incoming_->width, incoming_->height);
        finishChange();
        return;
    }
    beginTransition();
}

void LivePreview::placeMiniature(int widthPixels, int heightPixels) {
    const platform::ScreenMetrics screen = platform_.screen();
    incomingFraming_ = {};
    if (panning()) {
        // The picture fills the preview and travels as the saver's does.
        miniature.move(0, 0, form.width(), form.height());
        const std::int32_t interval = std::min(saver::changeIntervalMs(settings_.timeInterval), kMaxPreviewIntervalMs);
        journey_ = saver::PanJourney::random({widthPixels, heightPixels}, {client_.width, client_.height},
                                             interval > 0 ? interval : 0, random_);
        incomingFraming_ = journey_.placementAt(0);
    } else {
        const int width = platform::pixelsToTwips(widthPixels, screen.twipsPerPixelX);
        const int height = platform::pixelsToTwips(heightPixels, screen.twipsPerPixelY);
        miniature.move(saver::centredPosition(form.width(), width), saver::centredPosition(form.height(), height),
                       width, height);
    }
    miniature.setVisible(true);
}

void LivePreview::beginTransition() {
    int code = saver::transitionCodeOf(settings_.effectMode);
    if (numericValue(settings_.randomEffect) == 1) {
        random_.reseed(platform_.timeOfDaySeconds());
        code = saver::randomTransitionCode(random_.next());
    }
    // A crossfade blends from what the preview shows now.
    if (code == saver::kCrossfade) stage_->hold();
    loader.setPicture(incoming_);
    miniature.cls();
    placeMiniature(incoming_->width, incoming_->height);
    transitionStartMs_ = platform_.monotonicMs();
    if (code == saver::kCrossfade) {
        fadeTarget_ = std::make_unique<saver::StageLook>(stage_->lookWith(incoming_, incomingFraming_));
        frameTimer.setInterval(kPreviewFrameMs);
        frameTimer.setTimerEnabled(true);
        return;
    }
    const platform::ScreenMetrics screen = platform_.screen();
    const double scale = screen.widthPixels > 0 ? static_cast<double>(client_.width) / screen.widthPixels : 1.0;
    const saver::PixelRect place = stage_->pictureArea();
    pieces_ = code > saver::kStandard ? scaledTransitionPieces(code, place.width(), place.height(), scale)
                                      : std::vector<saver::PixelRect>{};
    piecesDrawn_ = 0;
    if (pieces_.empty()) {
        finishChange();
        return;
    }
    frameTimer.setInterval(kPreviewFrameMs);
    frameTimer.setTimerEnabled(true);
}

void LivePreview::drawDuePieces() {
    // Paced like the saver's transitions: piece k of n is due k / n of the
    // way through, and the pieces due by now are drawn together.
    const std::int64_t elapsed = platform_.monotonicMs() - transitionStartMs_;
    const std::size_t count = pieces_.size();
    const auto due = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), elapsed * static_cast<std::int64_t>(count) /
                                                                      saver::kTransitionDurationMs));
    for (; piecesDrawn_ < due; ++piecesDrawn_) stage_->drawPiece(incoming_, incomingFraming_, pieces_[piecesDrawn_]);
    if (piecesDrawn_ >= count) finishChange();
}

void LivePreview::drawDueFade() {
    const std::int64_t elapsed = platform_.monotonicMs() - transitionStartMs_;
    const auto due = static_cast<std::size_t>(std::min<std::int64_t>(
        saver::kCrossfadeSteps, elapsed * saver::kCrossfadeSteps / saver::kTransitionDurationMs));
    stage_->fadeFrame(*fadeTarget_, saver::crossfadeWeight(due));
    if (due >= static_cast<std::size_t>(saver::kCrossfadeSteps)) finishChange();
}

void LivePreview::finishChange() {
    stage_->setFraming(incomingFraming_);
    miniature.setPicture(incoming_);
    stage_->release();
    incoming_.reset();
    fadeTarget_.reset();
    pieces_.clear();
    frameTimer.setTimerEnabled(false);
    shownAtMs_ = platform_.monotonicMs();
    if (panning()) {
        panTimer.setInterval(saver::kPanFrameMs);
        panTimer.setTimerEnabled(true);
    }
    // "Never" keeps the first picture; otherwise the next comes one interval
    // after this one is in, at most a few seconds.
    const int interval = std::min(saver::changeIntervalMs(settings_.timeInterval), kMaxPreviewIntervalMs);
    if (interval <= 0) return;
    changeTimer.setInterval(interval);
    changeTimer.setTimerEnabled(true);
    // The transition has let go of the picture it replaced: the next one is
    // decoded now, so that its change need not wait for it.
    if (advanceIndex()) requestPicture();
}

void LivePreview::PanTimer_Timer() {
    timed([this] {
        // While a new picture comes in, the one shown holds still.
        if (incoming_ || journey_.empty()) return;
        stage_->setFraming(journey_.placementAt(platform_.monotonicMs() - shownAtMs_));
        stage_->redrawPicture();
    });
}

void LivePreview::ChangeTimer_Timer() {
    timed([this] {
        changeTimer.setTimerEnabled(false);
        if (ahead_) {
            picture::PictureResult next = std::move(*ahead_);
            ahead_.reset();
            pictureArrived(std::move(next));
            return;
        }
        // Still on its way, or not found yet: it is shown as it comes.
        changeDue_ = true;
        if (!job_ && !waitingForPicture_ && advanceIndex()) requestPicture();
    });
}

}  // namespace vistrel::app
