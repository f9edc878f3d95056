// Conversions between twips (the unit windows and their controls are placed
// in) and pixels (the unit the window system and pictures take). They follow
// the program's one rule for whole numbers: the nearest one, an exact half
// going to the even neighbour. At 150 % scaling (10 twips to a pixel) 25
// twips are 2.5 pixels and so 2, as the runtime converts them.
#pragma once

#include "common/numbers.h"

namespace vistrel::platform {

inline int twipsToPixels(double twips, double twipsPerPixel) {
    return twipsPerPixel > 0 ? static_cast<int>(roundHalfEven(twips / twipsPerPixel)) : 0;
}

inline int pixelsToTwips(double pixels, double twipsPerPixel) {
    return static_cast<int>(roundHalfEven(pixels * twipsPerPixel));
}

}  // namespace vistrel::platform
