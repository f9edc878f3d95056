#include "platform/headless/surface_ops.h"

#include <algorithm>
#include <map>

namespace vistrel::platform::headless {

Surface::Surface(int w, int h, std::uint32_t pixel)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      pixels(static_cast<std::size_t>(width) * height, pixel) {}

void Surface::fill(std::uint32_t pixel) { std::fill(pixels.begin(), pixels.end(), pixel); }

namespace {

// The system colours of the classic Windows scheme, by index.
ui::Color classicSystemColor(int index) {
    switch (index) {
        case 5: return 0xFFFFFF;   // window background
        case 6: return 0x000000;   // window frame
        case 8: return 0x000000;   // window text
        case 10: return 0xC8D0D4;  // active border
        case 15: return 0xC8D0D4;  // button face
        case 16: return 0x808080;  // button shadow
        case 17: return 0x808080;  // grey text
        case 18: return 0x000000;  // button text
        case 20: return 0xFFFFFF;  // 3D highlight
        case 22: return 0xE3E3E3;  // 3D light
        default: return 0x000000;
    }
}

// The scheme in force: the classic one, with the colours a test changed
// (a high-contrast scheme). One platform runs at a time.
std::map<int, ui::Color>& changedSystemColors() {
    static std::map<int, ui::Color> changed;
    return changed;
}

ui::Color systemColorValue(int index) {
    const auto& changed = changedSystemColors();
    const auto it = changed.find(index);
    return it == changed.end() ? classicSystemColor(index) : it->second;
}

}  // namespace

void setSystemColorValue(int index, ui::Color color) { changedSystemColors()[index] = color; }
void resetSystemColors() { changedSystemColors().clear(); }

std::uint32_t colorToPixel(ui::Color color) {
    if (ui::isSystemColor(color)) color = systemColorValue(static_cast<int>(color & 0xFF));
    const std::uint32_t red = color & 0xFF;
    const std::uint32_t green = (color >> 8) & 0xFF;
    const std::uint32_t blue = (color >> 16) & 0xFF;
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

ui::Color pixelToColor(std::uint32_t pixel) {
    const std::uint32_t red = (pixel >> 16) & 0xFF;
    const std::uint32_t green = (pixel >> 8) & 0xFF;
    const std::uint32_t blue = pixel & 0xFF;
    return red | green << 8 | blue << 16;
}

namespace {

// A block of 32-bit pixels, top row first.
struct PixelBlock {
    int width;
    int height;
    const std::uint32_t* pixels;
};

void copyBlock(Surface& dest, int x, int y, int width, int height, const PixelBlock& src, int srcX, int srcY) {
    // Clip the block to both sides; what falls outside either is skipped,
    // leaving those destination pixels as they were.
    int left = 0, top = 0, right = width, bottom = height;
    left = std::max({left, -x, -srcX});
    top = std::max({top, -y, -srcY});
    right = std::min({right, dest.width - x, src.width - srcX});
    bottom = std::min({bottom, dest.height - y, src.height - srcY});
    if (left >= right || top >= bottom) return;
    const auto rowLength = static_cast<std::size_t>(right - left);
    for (int row = top; row < bottom; ++row) {
        const auto* from = &src.pixels[static_cast<std::size_t>(srcY + row) * src.width + (srcX + left)];
        auto* to = &dest.pixels[static_cast<std::size_t>(y + row) * dest.width + (x + left)];
        std::copy_n(from, rowLength, to);
    }
}

}  // namespace

void copyPixels(Surface& dest, int x, int y, int width, int height, const Surface& src, int srcX,
                int srcY) {
    if (&dest == &src) {
        // A block moved within one surface may overlap itself: copy from a snapshot.
        const Surface snapshot = src;
        copyPixels(dest, x, y, width, height, snapshot, srcX, srcY);
        return;
    }
    copyBlock(dest, x, y, width, height, PixelBlock{src.width, src.height, src.pixels.data()}, srcX, srcY);
}

void copyFromPicture(Surface& dest, int x, int y, int width, int height, const picture::Picture& src, int srcX, int srcY) {
    copyBlock(dest, x, y, width, height, PixelBlock{src.width, src.height, src.pixels.data()}, srcX, srcY);
}

void drawPicture(Surface& dest, const picture::Picture& picture) {
    copyFromPicture(dest, 0, 0, picture.width, picture.height, picture, 0, 0);
}

void fillRect(Surface& dest, int x, int y, int width, int height, std::uint32_t pixel) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + width, dest.width), bottom = std::min(y + height, dest.height);
    for (int row = top; row < bottom; ++row) {
        auto* start = &dest.pixels[static_cast<std::size_t>(row) * dest.width];
        std::fill(start + left, start + std::max(right, left), pixel);
    }
}

void resizeSurface(Surface& surface, int width, int height, std::uint32_t background) {
    if (surface.width == width && surface.height == height) return;
    Surface resized(width, height, background);
    copyPixels(resized, 0, 0, surface.width, surface.height, surface, 0, 0);
    surface = std::move(resized);
}

}  // namespace vistrel::platform::headless
