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

PixelRect PixelRect::unite(const PixelRect& other) const {
    if (empty()) return other.empty() ? PixelRect{} : other;
    if (other.empty()) return *this;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

PixelRect pixelsOf(const StepRect& step) {
    return {roundEdge(step.x), roundEdge(step.y), roundEdge(step.x + step.width), roundEdge(step.y + step.height)};
}

UncoveredArea::UncoveredArea(const PixelRect& clip) : clip_(clip) {
    if (!clip_.empty()) bands_.push_back({clip_.top, clip_.bottom, {}});
}

void UncoveredArea::splitAt(int row) {
    for (std::size_t i = 0; i < bands_.size(); ++i) {
        Band& band = bands_[i];
        if (row <= band.top || row >= band.bottom) continue;
        Band lower = band;
        lower.top = row;
        band.bottom = row;
        bands_.insert(bands_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(lower));
        return;
    }
}

void UncoveredArea::mergeEqualNeighbours() {
    std::vector<Band> merged;
    merged.reserve(bands_.size());
    for (Band& band : bands_) {
        if (!merged.empty() && merged.back().covered == band.covered) {
            merged.back().bottom = band.bottom;
        } else {
            merged.push_back(std::move(band));
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
        // The gaps between the covered runs inside [left, right) are new.
        int from = wanted.left;
        std::vector<Run> covered;
        covered.reserve(band.covered.size() + 1);
        Run joined{wanted.left, wanted.right};
        for (const Run& run : band.covered) {
            if (run.right < wanted.left || run.left > wanted.right) {
                covered.push_back(run);  // apart from the new run
                continue;
            }
            if (run.left > from) pieces.push_back({from, band.top, run.left, band.bottom});
            from = std::max(from, run.right);
            joined.left = std::min(joined.left, run.left);
            joined.right = std::max(joined.right, run.right);
        }
        if (from < wanted.right) pieces.push_back({from, band.top, wanted.right, band.bottom});
        covered.insert(std::upper_bound(covered.begin(), covered.end(), joined,
                                        [](const Run& a, const Run& b) { return a.left < b.left; }),
                       joined);
        band.covered = std::move(covered);
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
