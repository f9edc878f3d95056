// The transition that brings each new image onto the display surface.
#include <algorithm>
#include <cmath>
#include <string>

#include "common/numbers.h"
#include "saver/saver_window.h"
#include "saver/transition_painter.h"
#include "saver/transition_steps.h"

namespace vistrel::saver {

bool SaverWindow::RunTransition() {
    if (numericValue(randomEffect) == 1) {
        reseedFromClock();
        effectMode = std::to_string(randomTransitionCode(random.next()));
    }
    const int code = transitionCodeOf(effectMode);
    const auto& picture = picture2.picture();
    if (code < 0 || !picture) return true;  // the caller's final copy shows the image at once
    if (code == kStandard) {
        picture1.setPicture(picture);
        return true;
    }

    // The part of the display surface that lies on the screen, in its pixels.
    const platform::ScreenMetrics screen = platform_.screen();
    const int left = platform::twipsToPixels(picture1.left(), screen.twipsPerPixelX);
    const int top = platform::twipsToPixels(picture1.top(), screen.twipsPerPixelY);
    const PixelRect visible = PixelRect{0, 0, picture->width, picture->height}.intersect(
        {-left, -top, screen.widthPixels - left, screen.heightPixels - top});

    return paintTransition(platform_, transitionSteps(code, picture->width, picture->height), visible,
                           skipsFailedSteps(code), [&](const PixelRect& piece) {
                               return picture1.paintPicture(picture, piece.left, piece.top, piece.width(),
                                                            piece.height());
                           });
}

}  // namespace vistrel::saver
