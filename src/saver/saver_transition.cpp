// The transition that brings each new image onto its monitor's stage.
#include "saver/crossfade.h"
#include "saver/saver_window.h"
#include "saver/transition_painter.h"
#include "saver/transition_steps.h"

namespace vistrel::saver {

bool SaverWindow::RunTransition(Stage& stage) {
    const int code = transitionCodeOf(effectMode);
    const auto& picture = stage.picture2.picture();
    if (code < 0 || !picture) return true;  // the caller's final copy shows the image at once
    ComposedStage& composed = *stage.composed;
    const picture::Framing framing = comingFraming(stage);
    if (code == kStandard) {
        composed.setFraming(framing);
        stage.picture1.setPicture(picture);
        return true;
    }
    if (code == kCrossfade) return runCrossfade(platform_, composed, composed.lookWith(picture, framing));

    // The steps run over the picture's place (its own size, or the space a
    // panned picture fills), drawn only where that lies on the monitor.
    const PixelRect place = composed.pictureArea();
    const int width = panning() ? place.width() : picture->width;
    const int height = panning() ? place.height() : picture->height;
    const PixelRect& monitor = composed.area();
    const PixelRect visible = PixelRect{0, 0, width, height}.intersect(
        {-place.left, -place.top, monitor.width() - place.left, monitor.height() - place.top});
    return paintTransition(platform_, transitionSteps(code, width, height), visible, skipsFailedSteps(code),
                           [&](const PixelRect& piece) { return composed.drawPiece(picture, framing, piece); });
}

}  // namespace vistrel::saver
