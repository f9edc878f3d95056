#include "platform/win32/backing_image.h"

#include <algorithm>

namespace vistrel::platform::win32 {
namespace {

BITMAPINFO topDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: the first row is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void fillContext(HDC dc, int width, int height, COLORREF color) {
    const RECT area{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

void drawPicture(HDC dc, const picture::Picture& picture) {
    drawPicturePart(dc, picture, 0, 0, picture.width, picture.height);
}

}  // namespace

HBITMAP createSurfaceBitmap(int width, int height, std::uint32_t*& pixels) {
    const BITMAPINFO info = topDownInfo(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) pixels = static_cast<std::uint32_t*>(bits);
    return bitmap;
}

bool drawPicturePart(HDC dc, const picture::Picture& picture, int x, int y, int width, int height) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + width, picture.width), bottom = std::min(y + height, picture.height);
    if (left >= right || top >= bottom) return true;
    // The source is a DIB of just the rows wanted, starting at the first of
    // them: the row order of a source rectangle then cannot be misread.
    BITMAPINFO info = topDownInfo(picture.width, bottom - top);
    const std::uint32_t* firstRow = &picture.pixels[static_cast<std::size_t>(top) * picture.width];
    return StretchDIBits(dc, left, top, right - left, bottom - top, left, 0, right - left, bottom - top, firstRow,
                         &info, DIB_RGB_COLORS, SRCCOPY) != 0;
}

BackingImage::BackingImage(int width, int height, COLORREF color) {
    dc_ = CreateCompatibleDC(nullptr);
    // A DIB section needs at least one pixel; an empty control gets one.
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    bitmap_ = createSurfaceBitmap(width_, height_, bits_);
    if (!bitmap_) {
        width_ = height_ = 1;
        bitmap_ = createSurfaceBitmap(1, 1, bits_);
    }
    originalBitmap_ = SelectObject(dc_, bitmap_);
    fill(color);
}

BackingImage::~BackingImage() {
    SelectObject(dc_, originalBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void BackingImage::fill(COLORREF color) { fillContext(dc_, width_, height_, color); }

void BackingImage::draw(const picture::Picture& picture) { drawPicture(dc_, picture); }

bool BackingImage::resize(int width, int height, COLORREF color, const picture::Picture* underlay) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == width_ && height == height_) return true;
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = createSurfaceBitmap(width, height, bits);
    if (!bitmap) return false;

    HDC scratch = CreateCompatibleDC(dc_);
    HGDIOBJ scratchOriginal = SelectObject(scratch, bitmap);
    fillContext(scratch, width, height, color);
    if (underlay) drawPicture(scratch, *underlay);
    BitBlt(scratch, 0, 0, std::min(width, width_), std::min(height, height_), dc_, 0, 0, SRCCOPY);
    SelectObject(scratch, scratchOriginal);
    DeleteDC(scratch);

    SelectObject(dc_, bitmap);
    DeleteObject(bitmap_);
    bitmap_ = bitmap;
    bits_ = bits;
    width_ = width;
    height_ = height;
    return true;
}

}  // namespace vistrel::platform::win32
