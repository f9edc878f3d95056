// The transition that brings each new image onto the display surface.
#include <algorithm>
#include <cmath>
#include <string>

#include "common/numbers.h"
#include "saver/saver_window.h"
#include "saver/transition_painter.h"
#include "saver/transition_steps.h"

namespace vistrel::saver {

bool SaverWindow::RunTransition(Stage& stage) {
    if (numericValue(randomEffect) == 1) {
        reseedFromClock();
        effectMode = std::to_string(randomTransitionCode(random.next()));
    }
    const int code = transitionCodeOf(effectMode);
    const auto& picture = stage.picture2.picture();
    if (code < 0 || !picture) return true;  // the caller's final copy shows the image at once
    if (code == kStandard) {
        stage.picture1.setPicture(picture);
        return true;
    }

    // The part of the display surface that lies on the window (the virtual
    // screen), in its pixels.
    const platform::ScreenMetrics screen = platform_.screen();
    const platform::PixelBounds all = platform_.virtualScreen();
    const int left = platform::twipsToPixels(stage.picture1.left(), screen.twipsPerPixelX);
    const int top = platform::twipsToPixels(stage.picture1.top(), screen.twipsPerPixelY);
    const PixelRect visible = PixelRect{0, 0, picture->width, picture->height}.intersect(
        {-left, -top, all.width - left, all.height - top});

    ui::PictureBox& box = stage.picture1;
    return paintTransition(platform_, transitionSteps(code, picture->width, picture->height), visible,
                           skipsFailedSteps(code), [&](const PixelRect& piece) {
                               return box.paintPicture(picture, piece.left, piece.top, piece.width(),
                                                       piece.height());
                           });
}

}  // namespace vistrel::saver
