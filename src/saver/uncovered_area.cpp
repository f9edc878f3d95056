#include "saver/uncovered_area.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace vistrel::saver {
namespace {

int roundEdge(double value) { return static_cast<int>(std::floor(value + 0.5)); }

}  // namespace

PixelRect PixelRect::intersect(const PixelRect& other) const {
    PixelRect result{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                     std::min(bottom, other.bottom)};
    if (result.empty()) return {};
    return result;
}

PixelRect pixelsOf(const StepRect& step) {
    return {roundEdge(step.x), roundEdge(step.y), roundEdge(step.x + step.width), roundEdge(step.y + step.height)};
}

UncoveredArea::UncoveredArea(const PixelRect& clip) : clip_(clip) {
    if (!clip_.empty()) bands_.push_back({clip_.top, clip_.bottom, clip_.left, clip_.left});
}

void UncoveredArea::splitAt(int row) {
    for (std::size_t i = 0; i < bands_.size(); ++i) {
        Band& band = bands_[i];
        if (row <= band.top || row >= band.bottom) continue;
        Band lower = band;
        lower.top = row;
        band.bottom = row;
        bands_.insert(bands_.begin() + static_cast<std::ptrdiff_t>(i) + 1, lower);
        return;
    }
}

void UncoveredArea::mergeEqualNeighbours() {
    std::vector<Band> merged;
    merged.reserve(bands_.size());
    for (const Band& band : bands_) {
        if (!merged.empty() && merged.back().left == band.left && merged.back().right == band.right) {
            merged.back().bottom = band.bottom;
        } else {
            merged.push_back(band);
        }
    }
    bands_ = std::move(merged);
}

void UncoveredArea::cover(const PixelRect& rect, std::vector<PixelRect>& pieces) {
    const PixelRect wanted = rect.intersect(clip_);
    if (wanted.empty()) return;
    splitAt(wanted.top);
    splitAt(wanted.bottom);

    const std::size_t firstNew = pieces.size();
    for (Band& band : bands_) {
        if (band.bottom <= wanted.top || band.top >= wanted.bottom) continue;
        const bool covered = band.right > band.left;
        auto add = [&](int left, int right) {
            if (left < right) pieces.push_back({left, band.top, right, band.bottom});
        };
        if (!covered) {
            add(wanted.left, wanted.right);
            band.left = wanted.left;
            band.right = wanted.right;
        } else if (wanted.left <= band.right && wanted.right >= band.left) {
            add(wanted.left, std::min(wanted.right, band.left));
            add(std::max(wanted.left, band.right), wanted.right);
            band.left = std::min(band.left, wanted.left);
            band.right = std::max(band.right, wanted.right);
        } else {
            add(wanted.left, wanted.right);
            if (wanted.width() > band.right - band.left) {
                band.left = wanted.left;
                band.right = wanted.right;
            }
        }
    }
    mergeEqualNeighbours();

    // Bands that received the same columns make one rectangle.
    std::vector<PixelRect> added(pieces.begin() + static_cast<std::ptrdiff_t>(firstNew), pieces.end());
    pieces.resize(firstNew);
    mergeTouching(added);
    pieces.insert(pieces.end(), added.begin(), added.end());
}

void mergeTouching(std::vector<PixelRect>& pieces) {
    // Sorted so that rectangles that could join are neighbours: one pass
    // joins along rows, one along columns, until neither joins anything.
    auto joinRun = [&](auto sameSpan, auto touches, auto order) {
        std::sort(pieces.begin(), pieces.end(), order);
        std::vector<PixelRect> joined;
        joined.reserve(pieces.size());
        for (const PixelRect& piece : pieces) {
            if (!joined.empty() && sameSpan(joined.back(), piece) && touches(joined.back(), piece)) {
                PixelRect& last = joined.back();
                last = {std::min(last.left, piece.left), std::min(last.top, piece.top),
                        std::max(last.right, piece.right), std::max(last.bottom, piece.bottom)};
            } else {
                joined.push_back(piece);
            }
        }
        const bool changed = joined.size() != pieces.size();
        pieces = std::move(joined);
        return changed;
    };
    bool changed = true;
    while (changed && pieces.size() > 1) {
        const bool rows = joinRun([](const PixelRect& a, const PixelRect& b) { return a.top == b.top && a.bottom == b.bottom; },
                                  [](const PixelRect& a, const PixelRect& b) { return a.right == b.left; },
                                  [](const PixelRect& a, const PixelRect& b) {
                                      return std::tie(a.top, a.bottom, a.left) < std::tie(b.top, b.bottom, b.left);
                                  });
        const bool columns = joinRun([](const PixelRect& a, const PixelRect& b) { return a.left == b.left && a.right == b.right; },
                                     [](const PixelRect& a, const PixelRect& b) { return a.bottom == b.top; },
                                     [](const PixelRect& a, const PixelRect& b) {
                                         return std::tie(a.left, a.right, a.top) < std::tie(b.left, b.right, b.top);
                                     });
        changed = rows || columns;
    }
}

}  // namespace vistrel::saver
