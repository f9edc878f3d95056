// What the screen shows of the program's windows: each surface with the
// labels on it as it last drew them, and the picture boxes and frames on it.
#include <algorithm>

#include "platform/headless/headless_impl.h"
#include "platform/headless/surface_ops.h"

namespace vistrel::platform::headless {
namespace {

bool overlaps(const ui::TwipsRect& a, const ui::TwipsRect& b) {
    return a.width > 0 && a.height > 0 && b.width > 0 && b.height > 0 && a.left < b.left + b.width &&
           b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

// The labels that `surface` draws, in the order they are drawn.
void collectLabels(const ui::Control& container, std::vector<const ui::Label*>& found) {
    for (const ui::Control* child : container.children()) {
        if (child->drawnByProgram) continue;  // the program draws it in the surface itself
        if (child->kind() == ui::ControlKind::Label) {
            found.push_back(static_cast<const ui::Label*>(child));
        } else if (!ui::hasSurface(child->kind())) {
            collectLabels(*child, found);
        }
    }
}

DrawnLabel drawnNow(const ui::Label& label, const ui::TwipsRect& bounds) {
    const ui::Color color = label.enabled() ? label.foreColor() : ui::kSystemGrayText;
    return {bounds, label.visible(), label.text(), colorToPixel(color)};
}

}  // namespace

void HeadlessPlatform::Impl::redrawLabels(const ui::Control& surface, const ui::TwipsRect* area) {
    std::vector<const ui::Label*> labels;
    collectLabels(surface, labels);
    for (const ui::Label* label : labels) {
        if (!label->peer()) continue;
        ui::TwipsRect bounds;
        label->drawingSurface(bounds);
        DrawnLabel& drawn = drawnLabels[label];
        if (!area || overlaps(*area, bounds) || overlaps(*area, drawn.bounds)) drawn = drawnNow(*label, bounds);
    }
}

void HeadlessPlatform::Impl::redrawAllLabels(const ui::Control& surface) {
    redrawLabels(surface, nullptr);
    for (const ui::Control* child : surface.children()) {
        if (ui::hasSurface(child->kind())) redrawAllLabels(*child);
    }
}

namespace {

struct Composer {
    HeadlessPlatform::Impl& impl;
    const ScreenMetrics& screen;

    int pixelsX(int twips) const { return twipsToPixels(twips, screen.twipsPerPixelX); }
    int pixelsY(int twips) const { return twipsToPixels(twips, screen.twipsPerPixelY); }

    // The labels `surface` draws, as drawn, at (x, y) of `image`. Labels are
    // drawn on the surface itself, so the child windows on it lie over them.
    void drawLabels(Surface& image, const ui::Control& surface, int x, int y) const {
        std::vector<const ui::Label*> labels;
        collectLabels(surface, labels);
        for (const ui::Label* label : labels) {
            const auto drawn = impl.drawnLabels.find(label);
            if (drawn == impl.drawnLabels.end() || !drawn->second.shown || drawn->second.text.empty()) continue;
            const ui::TwipsRect& at = drawn->second.bounds;
            fillRect(image, x + pixelsX(at.left), y + pixelsY(at.top), pixelsX(at.width), pixelsY(at.height),
                     drawn->second.pixel);
        }
    }

    // The shown picture boxes and frames on `container`, in the order they
    // were made (later ones lie over earlier ones), with what is on them.
    void drawChildWindows(Surface& image, const ui::Control& container, int x, int y) const {
        for (const ui::Control* child : container.children()) {
            if (!child->visible() || child->drawnByProgram) continue;
            const int left = x + pixelsX(child->left());
            const int top = y + pixelsY(child->top());
            if (child->kind() == ui::ControlKind::PictureBox) {
                Target* box = impl.findByControl(*child);
                if (box && box->composeOnto) box->composeOnto(image, left, top);
                drawLabels(image, *child, left, top);
            } else if (child->kind() == ui::ControlKind::Frame) {
                const auto& frame = static_cast<const ui::Frame&>(*child);
                fillRect(image, left, top, pixelsX(frame.width()), pixelsY(frame.height()),
                         colorToPixel(frame.backColor()));
                drawLabels(image, frame, left, top);
                drawChildWindows(image, frame, left, top);
            }
        }
    }
};

}  // namespace

Surface HeadlessPlatform::Impl::composeWindow(Target& window, const ScreenMetrics& screen) {
    Surface image = window.pixels();
    const Composer composer{*this, screen};
    composer.drawLabels(image, *window.control, 0, 0);
    composer.drawChildWindows(image, *window.control, 0, 0);
    return image;
}

}  // namespace vistrel::platform::headless
