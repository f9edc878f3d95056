// What a sequence of growing rectangles newly uncovers at each step.
//
// Every step of a transition copies the new image under its rectangle, and
// copying a pixel a second time changes nothing on screen. So it is enough
// to draw, at each step, the part of its rectangle that no earlier step
// covered, clipped to what can be seen: the screen then looks after every
// step exactly as if the whole rectangles had been drawn.
#pragma once

#include <vector>

#include "saver/transition_steps.h"

namespace vistrel::saver {

// Whole pixels; right and bottom are exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    long long area() const { return empty() ? 0 : static_cast<long long>(width()) * height(); }
    PixelRect intersect(const PixelRect& other) const;
    // The smallest rectangle round both; an empty one adds nothing.
    PixelRect unite(const PixelRect& other) const;
    PixelRect movedBy(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const PixelRect&) const = default;
};

// The pixels a step's rectangle covers: each edge is rounded to the nearest
// whole pixel, halves upward, so a centred column that starts at a half
// pixel grows by exactly one pixel on each side per step.
PixelRect pixelsOf(const StepRect& step);

// The covered part of an area, tracked as bands of rows that are covered
// alike, each with its covered runs of columns. The transitions make few of
// either: one band and one run for a wipe, a band per row for the
// horizontal blinds, a run per blind for the vertical ones.
class UncoveredArea {
public:
    // Only pixels inside `clip` are ever reported.
    explicit UncoveredArea(const PixelRect& clip);

    // Marks `rect` covered and appends the pixels it newly covers to `pieces`,
    // as disjoint rectangles.
    void cover(const PixelRect& rect, std::vector<PixelRect>& pieces);

private:
    struct Run {
        int left;  // covered columns [left, right)
        int right;
        bool operator==(const Run&) const = default;
    };
    struct Band {
        int top;
        int bottom;
        std::vector<Run> covered;  // sorted, disjoint, not touching
    };
    // Splits the band holding `row` so that a band starts at it.
    void splitAt(int row);
    void mergeEqualNeighbours();

    PixelRect clip_;
    std::vector<Band> bands_;
};

// Joins rectangles that touch along a whole edge, so a batch of steps drawn
// together takes as few copies as possible.
void mergeTouching(std::vector<PixelRect>& pieces);

}  // namespace vistrel::saver
