// StretchBlt on the in-memory surfaces, with the two reduction modes.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/headless/call_text.h"
#include "platform/headless/headless_impl.h"

namespace vistrel::platform::headless {
namespace {

std::string modeText(int mode) {
    if (mode == STRETCH_HALFTONE) return "HALFTONE";
    if (mode == STRETCH_DELETESCANS) return "COLORONCOLOR";
    return std::to_string(mode);
}

// The part of the source, in pixels and fractions of them, that one
// destination pixel of `count` covers in a span of `length`.
struct Span {
    double from, to;
};
Span sourceSpan(int i, int count, int length) {
    const double scale = static_cast<double>(length) / count;
    return {i * scale, (i + 1) * scale};
}

// The mean of the source pixels under the rectangle, each weighted by how
// much of it the rectangle covers: what a halftone reduction shows.
std::uint32_t averageOf(const Surface& src, int srcX, int srcY, Span columns, Span rows) {
    double red = 0, green = 0, blue = 0, weight = 0;
    for (auto y = static_cast<int>(rows.from); y < rows.to; ++y) {
        const double wy = std::min<double>(y + 1, rows.to) - std::max<double>(y, rows.from);
        for (auto x = static_cast<int>(columns.from); x < columns.to; ++x) {
            const int sx = srcX + x, sy = srcY + y;
            if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) continue;
            const double w = wy * (std::min<double>(x + 1, columns.to) - std::max<double>(x, columns.from));
            const std::uint32_t pixel = src.at(sx, sy);
            red += w * ((pixel >> 16) & 0xFF);
            green += w * ((pixel >> 8) & 0xFF);
            blue += w * (pixel & 0xFF);
            weight += w;
        }
    }
    if (weight <= 0) return 0xFF000000u;
    const auto mean = [weight](double sum) { return static_cast<std::uint32_t>(std::lround(sum / weight)); };
    return 0xFF000000u | mean(red) << 16 | mean(green) << 8 | mean(blue);
}

// The one source pixel a destination pixel takes when rows and columns are dropped.
std::uint32_t nearestOf(const Surface& src, int srcX, int srcY, Span columns, Span rows) {
    const int sx = srcX + static_cast<int>(columns.from), sy = srcY + static_cast<int>(rows.from);
    if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) return 0xFF000000u;
    return src.at(sx, sy);
}

}  // namespace

int HeadlessPlatform::setStretchBltMode(Handle dc, int mode) {
    record("SetStretchBltMode(" + impl_->handleName(dc) + ", " + modeText(mode) + ")");
    if (!impl_->findByDc(dc)) return 0;
    auto [entry, added] = impl_->stretchModes.try_emplace(dc, STRETCH_DELETESCANS);
    const int previous = entry->second;
    entry->second = mode;
    return previous;
}

bool HeadlessPlatform::stretchBlt(Handle destDC, int x, int y, int width, int height, Handle srcDC, int srcX,
                                  int srcY, int srcWidth, int srcHeight, std::uint32_t rop) {
    record("StretchBlt(" + impl_->handleName(destDC) + ", " + std::to_string(x) + ", " + std::to_string(y) + ", " +
           std::to_string(width) + ", " + std::to_string(height) + ", " + impl_->handleName(srcDC) + ", " +
           std::to_string(srcX) + ", " + std::to_string(srcY) + ", " + std::to_string(srcWidth) + ", " +
           std::to_string(srcHeight) + ", " + (rop == SRCCOPY ? std::string("SRCCOPY") : hexText(rop)) + ")");
    Target* dest = impl_->findByDc(destDC);
    Target* src = impl_->findByDc(srcDC);
    if (rop != SRCCOPY || !dest || !src || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return false;
    Surface& target = dest->pixels();
    const auto mode = impl_->stretchModes.find(destDC);
    const bool halftone = mode != impl_->stretchModes.end() && mode->second == STRETCH_HALFTONE;
    // A block stretched within one surface reads from a snapshot.
    Surface snapshot;
    if (src == dest) snapshot = target;
    const Surface& source = src == dest ? snapshot : src->pixels();
    for (int row = 0; row < height; ++row) {
        if (y + row < 0 || y + row >= target.height) continue;
        const Span rows = sourceSpan(row, height, srcHeight);
        for (int column = 0; column < width; ++column) {
            if (x + column < 0 || x + column >= target.width) continue;
            const Span columns = sourceSpan(column, width, srcWidth);
            const std::uint32_t pixel = halftone ? averageOf(source, srcX, srcY, columns, rows)
                                                 : nearestOf(source, srcX, srcY, columns, rows);
            target.set(x + column, y + row, pixel);
        }
    }
    return true;
}

}  // namespace vistrel::platform::headless
