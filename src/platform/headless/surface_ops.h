// Pixel operations on surfaces, shared by the graphics calls and the peers.
#pragma once

#include "platform/headless/headless_platform.h"

namespace vistrel::platform::headless {

// Copies a width x height block from (srcX, srcY) of `src` to (x, y) of
// `dest`, clipped to both surfaces like BitBlt between memory DCs.
void copyPixels(Surface& dest, int x, int y, int width, int height, const Surface& src, int srcX, int srcY);
// Copies a block of a picture, clipped to both, like copyPixels.
void copyFromPicture(Surface& dest, int x, int y, int width, int height, const picture::Picture& src, int srcX, int srcY);
// Draws the picture at the top-left corner, clipped to the surface.
void drawPicture(Surface& dest, const picture::Picture& picture);
// Fills a block, clipped to the surface.
void fillRect(Surface& dest, int x, int y, int width, int height, std::uint32_t pixel);
// The system colour scheme that colorToPixel resolves system colours with.
void setSystemColorValue(int index, ui::Color color);
void resetSystemColors();
// Keeps what fits; new area gets `background`.
void resizeSurface(Surface& surface, int width, int height, std::uint32_t background);

}  // namespace vistrel::platform::headless
