// The blurred fill around a picture that does not cover the screen: a
// blurred, dimmed copy of the same picture, scaled to cover the screen.
// It is made once per picture, small, and enlarged as it is drawn.
#pragma once

#include "picture/framed_sampling.h"
#include "picture/picture.h"
#include "picture/picture_fitting.h"

namespace vistrel::picture {

// The small copy is this many times smaller than the space on each side;
// the blur runs over a few of its pixels, so it is wide on the screen.
inline constexpr int kFillReduction = 16;
// What the fill keeps of the picture's brightness, in 256ths: dimmed, so
// the picture in front stands out.
inline constexpr int kFillBrightness = 140;

// The middle of `picture` cut to the proportions of `space`, reduced to
// about 1/kFillReduction of the space, blurred and dimmed.
Picture blurredFill(const Picture& picture, PixelSize space);

// Draws the small copy over the whole space.
Framing fillFraming(const Picture& fill, PixelSize space);

}  // namespace vistrel::picture
