// The persistent image of a window or picture box: a 32-bit DIB section in a
// memory device context. What is drawn into it stays until it is cleared,
// and WM_PAINT copies it to the screen.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

// Copies the block (x, y, width, height) of `picture` to the same place on
// `dc`, clipped to the picture. False when the system failed to draw it.
bool drawPicturePart(HDC dc, const picture::Picture& picture, int x, int y, int width, int height);

// A 32-bit top-down DIB section of width x height; `pixels` is set to its
// first row. Null when the system has no memory for it.
HBITMAP createSurfaceBitmap(int width, int height, std::uint32_t*& pixels);

class BackingImage {
public:
    BackingImage(int width, int height, COLORREF color);
    ~BackingImage();
    BackingImage(const BackingImage&) = delete;
    BackingImage& operator=(const BackingImage&) = delete;

    // The same context for the image's whole life, also across resizes, so
    // a context handed out earlier stays good.
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The pixels themselves, top row first, for drawing without GDI. Flush
    // GDI's pending drawing (GdiFlush) before reading them.
    std::uint32_t* bits() const { return bits_; }

    void fill(COLORREF color);
    // Draws the picture unscaled at the top-left corner.
    void draw(const picture::Picture& picture);
    // Gives the image a new size: `color`, then `underlay` (if any), then the
    // part of the old image that fits. False when no memory was left for
    // the new size; the old image then stays as it is.
    bool resize(int width, int height, COLORREF color, const picture::Picture* underlay);

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ originalBitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vistrel::platform::win32
