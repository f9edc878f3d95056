#include "saver/composed_stage.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "common/numbers.h"
#include "picture/blurred_fill.h"
#include "picture/pixel_blend.h"
#include "platform/units.h"

namespace vistrel::saver {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

// Model colours hold red in the low byte; pixels hold it high.
std::uint32_t pixelOf(std::uint32_t rgb) {
    return kOpaque | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

struct Background {
    BackgroundKind kind;
    std::uint32_t pixel;
    const picture::Picture* desktop;
};

// One picture (or a part of one) on the picture's place, with the sampler
// made for the columns it covers in the band being drawn.
struct PictureLayer {
    PixelRect area;  // stage pixels it covers (within the band's columns)
    int placeTop;    // the top of the picture's place, whose rows the framing counts
    picture::FramedSampler sampler;
};

// Draws rows of one look within a band of columns [left, right): the
// samplers of its layers are made once for the band.
class LookPainter {
public:
    LookPainter(const StageLook& look, const Background& background, const PixelRect& stage, int left, int right)
        : look_(look), background_(background), left_(left), right_(right) {
        if (background.kind == BackgroundKind::BlurredFill && look.fill) {
            fillFraming_ = picture::fillFraming(*look.fill, {stage.width(), stage.height()});
        }
        if (!look.pictureShown) return;
        const PixelRect& place = look.pictureArea;
        // Over the blurred fill the place shows the fill; else its colour.
        if (background.kind != BackgroundKind::BlurredFill) place_ = place.intersect(band());
        if (look.picture) {
            addLayer(*look.picture, look.framing, place);
            baseLayer_ = !layers_.empty();
        }
        for (const StageLook::Piece& piece : look.pieces) addLayer(*piece.picture, piece.framing, piece.area);
    }

    // Columns [left, right) of stage row `y` into out[0 .. right - left).
    void row(int y, std::uint32_t* out) {
        // The background only where the picture and its place leave it to show.
        const PictureLayer* base = baseLayer_ ? &layers_.front() : nullptr;
        const bool onBase = base && y >= base->area.top && y < base->area.bottom;
        if (!place_.empty() && y >= place_.top && y < place_.bottom) {
            drawBackground(y, left_, place_.left, out);
            const int coveredFrom = onBase ? base->area.left : place_.right;
            const int coveredTo = onBase ? base->area.right : place_.right;
            std::fill(out + (place_.left - left_), out + (coveredFrom - left_), look_.placePixel);
            std::fill(out + (coveredTo - left_), out + (place_.right - left_), look_.placePixel);
            drawBackground(y, place_.right, right_, out + (place_.right - left_));
        } else if (onBase) {
            drawBackground(y, left_, base->area.left, out);
            drawBackground(y, base->area.right, right_, out + (base->area.right - left_));
        } else {
            drawBackground(y, left_, right_, out);
        }
        for (PictureLayer& layer : layers_) {
            if (y < layer.area.top || y >= layer.area.bottom) continue;
            layer.sampler.row(y - layer.placeTop, out + (layer.area.left - left_));
        }
        drawCaption(y, out);
    }

private:
    // The columns this painter draws, over every row.
    PixelRect band() const {
        constexpr int kFar = std::numeric_limits<int>::max() / 2;
        return {left_, -kFar, right_, kFar};
    }

    // Stage columns [from, to) of row `y`, into out[0 .. to - from).
    void drawBackground(int y, int from, int to, std::uint32_t* out) {
        const int count = to - from;
        if (count <= 0) return;
        switch (background_.kind) {
            case BackgroundKind::Color: std::fill_n(out, count, background_.pixel); return;
            case BackgroundKind::Desktop: {
                const picture::Picture& desktop = *background_.desktop;
                std::copy_n(&desktop.pixels[static_cast<std::size_t>(y) * desktop.width + from], count, out);
                return;
            }
            case BackgroundKind::BlurredFill:
                if (!look_.fill) {
                    std::fill_n(out, count, background_.pixel);
                } else {
                    fillSampler(from, to).row(y, out);
                }
                return;
        }
    }

    // The fill enlarged over the columns [from, to): a sampler for each
    // run of columns (all of the band, or those beside the picture).
    picture::FramedSampler& fillSampler(int from, int to) {
        for (auto& [span, sampler] : fillSamplers_) {
            if (span.first == from && span.end == to) return sampler;
        }
        const picture::Span span{from, to};
        return fillSamplers_.emplace_back(span, picture::FramedSampler(*look_.fill, fillFraming_, span)).second;
    }

    void addLayer(const picture::Picture& picture, const picture::Framing& framing, const PixelRect& within) {
        const PixelRect& place = look_.pictureArea;
        const picture::Span columns =
            picture::coveredSpan(framing.left, framing.scaleX, picture.width, place.width());
        const picture::Span rows = picture::coveredSpan(framing.top, framing.scaleY, picture.height, place.height());
        const PixelRect covered = PixelRect{place.left + columns.first, place.top + rows.first,
                                           place.left + columns.end, place.top + rows.end}
                                      .intersect(within)
                                      .intersect(place)
                                      .intersect(band());
        if (covered.empty()) return;
        layers_.push_back({covered, place.top,
                           picture::FramedSampler(picture, framing,
                                                  {covered.left - place.left, covered.right - place.left})});
    }

    void drawCaption(int y, std::uint32_t* out) const {
        const PixelRect& area = look_.captionArea;
        if (!look_.captionShown || !look_.captionText || y < area.top || y >= area.bottom) return;
        const int from = std::max(area.left, left_);
        const int to = std::min(area.right, right_);
        if (from >= to) return;
        const picture::Picture& text = *look_.captionText;
        const std::uint32_t* coverage =
            &text.pixels[static_cast<std::size_t>(y - look_.captionTextTop) * text.width + (from - look_.captionTextLeft)];
        picture::coverRow(out + (from - left_), coverage, to - from, look_.captionColor);
    }

    const StageLook& look_;
    const Background& background_;
    int left_;
    int right_;
    picture::Framing fillFraming_;
    std::vector<std::pair<picture::Span, picture::FramedSampler>> fillSamplers_;
    std::vector<PictureLayer> layers_;  // the picture first (when baseLayer_), then the pieces over it
    bool baseLayer_ = false;
    PixelRect place_;  // the picture's place in the band, where it shows its colour
};

}  // namespace

ComposedStage::ComposedStage(StageControls controls, const PixelRect& area, BackgroundKind background,
                             std::uint32_t backgroundColor)
    : controls_(controls), area_(area), background_(background), backgroundPixel_(pixelOf(backgroundColor)) {
    const platform::ScreenMetrics screen = controls_.form.platformRef().screen();
    twipsPerPixelX_ = screen.twipsPerPixelX;
    twipsPerPixelY_ = screen.twipsPerPixelY;
    const picture::PixelCanvas canvas = controls_.form.canvas();
    area_ = area_.intersect({0, 0, canvas.width, canvas.height});
    if (background_ == BackgroundKind::Desktop) {
        // The window's image holds the copy of the desktop: the stage keeps
        // its part, to draw it again wherever the picture moves away.
        desktop_.width = area_.width();
        desktop_.height = area_.height();
        desktop_.pixels.resize(static_cast<std::size_t>(desktop_.width) * desktop_.height);
        for (int y = 0; y < desktop_.height; ++y) {
            const std::uint32_t* from = canvas.row(area_.top + y) + area_.left;
            std::uint32_t* to = &desktop_.pixels[static_cast<std::size_t>(y) * desktop_.width];
            for (int x = 0; x < desktop_.width; ++x) to[x] = from[x] | kOpaque;
        }
    }
    controls_.picture.onRedraw = [this](ui::Property property) { controlChanged(false, property); };
    if (controls_.caption) {
        controls_.caption->onRedraw = [this](ui::Property property) { controlChanged(true, property); };
    }
    remember(lookNow());
}

ComposedStage::~ComposedStage() {
    controls_.picture.onRedraw = nullptr;
    if (controls_.caption) controls_.caption->onRedraw = nullptr;
}

PixelRect ComposedStage::stagePixels(const ui::Control& control) const {
    const int left = platform::twipsToPixels(control.left(), twipsPerPixelX_) - area_.left;
    const int top = platform::twipsToPixels(control.top(), twipsPerPixelY_) - area_.top;
    return {left, top, left + platform::twipsToPixels(control.width(), twipsPerPixelX_),
            top + platform::twipsToPixels(control.height(), twipsPerPixelY_)};
}

PixelRect ComposedStage::pictureArea() const { return stagePixels(controls_.picture); }

std::shared_ptr<const picture::Picture> ComposedStage::fillFor(const std::shared_ptr<const picture::Picture>& source) {
    if (!source) return nullptr;
    if (fillSource_.lock() != source) {
        fill_ = std::make_shared<const picture::Picture>(
            picture::blurredFill(*source, {area_.width(), area_.height()}));
        fillSource_ = source;
    }
    return fill_;
}

std::shared_ptr<const picture::Picture> ComposedStage::captionText() {
    ui::Label& caption = *controls_.caption;
    if (!renderedCaption_ || renderedText_ != caption.text() || !(renderedFont_ == caption.font())) {
        renderedCaption_ = std::make_shared<const picture::Picture>(caption.renderText());
        renderedText_ = caption.text();
        renderedFont_ = caption.font();
    }
    return renderedCaption_;
}

StageLook& ComposedStage::lookNow() {
    StageLook& look = look_;
    if (background_ == BackgroundKind::BlurredFill) look.fill = fillFor(controls_.loader.picture());
    const ui::PictureBox& picture = controls_.picture;
    look.pictureShown = picture.visible();
    look.pictureArea = stagePixels(picture);
    look.placePixel = pixelOf(controls_.form.platformRef().colorValue(picture.backColor()));
    look.picture = picture.picture();
    look.framing = framing_;
    const ui::Label* caption = controls_.caption;
    look.captionShown = caption && caption->visible() && !caption->text().empty() && caption->height() > 0;
    look.captionText = nullptr;
    look.captionArea = {};
    if (look.captionShown) {
        // One line, centred in the label, from its top, and cut to it.
        look.captionText = captionText();
        const PixelRect label = stagePixels(*caption);
        look.captionTextLeft = label.left + (label.width() - look.captionText->width) / 2;
        look.captionTextTop = label.top;
        look.captionArea = PixelRect{look.captionTextLeft, look.captionTextTop,
                                     look.captionTextLeft + look.captionText->width,
                                     look.captionTextTop + look.captionText->height}
                               .intersect(label)
                               .intersect({0, 0, area_.width(), area_.height()});
        look.captionColor = pixelOf(controls_.form.platformRef().colorValue(caption->foreColor())) & 0xFFFFFFu;
    }
    return look;
}

void ComposedStage::remember(const StageLook& look) {
    shownPicture_ = look.pictureShown ? look.pictureArea : PixelRect{};
    shownCaption_ = look.captionShown ? look.captionArea : PixelRect{};
    shownFill_ = look.fill;
}

void ComposedStage::controlChanged(bool caption, ui::Property property) {
    // A picture of its own, or a clean slate, takes away what was drawn over it.
    if (!caption && (property == ui::Property::Picture || property == ui::Property::Cleared)) look_.pieces.clear();
    const StageLook& look = lookNow();
    if (held_) return;
    if (look.fill != shownFill_) {
        redrawAll();
        return;
    }
    const PixelRect before = caption ? shownCaption_ : shownPicture_;
    const PixelRect now = caption ? (look.captionShown ? look.captionArea : PixelRect{})
                                  : (look.pictureShown ? look.pictureArea : PixelRect{});
    draw(before.unite(now));
}

bool ComposedStage::redrawPicture() {
    if (held_) return true;
    const StageLook& look = lookNow();
    return draw(look.pictureShown ? look.pictureArea : PixelRect{});
}

bool ComposedStage::redrawAll() {
    if (held_) return true;
    lookNow();
    return draw({0, 0, area_.width(), area_.height()});
}

bool ComposedStage::draw(const PixelRect& wanted) {
    const StageLook& look = look_;
    const PixelRect rect = wanted.intersect({0, 0, area_.width(), area_.height()});
    remember(look);
    if (rect.empty()) return true;
    const picture::PixelCanvas canvas = controls_.form.canvas();
    if (canvas.empty()) return false;
    const Background background{background_, backgroundPixel_, &desktop_};
    LookPainter painter(look, background, area_, rect.left, rect.right);
    for (int y = rect.top; y < rect.bottom; ++y) painter.row(y, canvas.row(area_.top + y) + area_.left + rect.left);
    return show(rect);
}

bool ComposedStage::show(const PixelRect& rect) {
    const PixelRect shown = rect.movedBy(area_.left, area_.top);
    return controls_.form.showCanvas(shown.left, shown.top, shown.width(), shown.height());
}

bool ComposedStage::drawPiece(const std::shared_ptr<const picture::Picture>& picture, const picture::Framing& framing,
                              const PixelRect& piece) {
    const PixelRect place = pictureArea();
    look_.pieces.push_back({picture, framing, piece.movedBy(place.left, place.top)});
    if (held_) return true;
    lookNow();
    return draw(look_.pieces.back().area);
}

StageLook ComposedStage::lookWith(const std::shared_ptr<const picture::Picture>& picture,
                                  const picture::Framing& framing) {
    StageLook look = lookNow();
    look.picture = picture;
    look.framing = framing;
    look.pieces.clear();
    return look;
}

void ComposedStage::hold() {
    if (held_) return;
    // What the screen shows now: the controls' look as last drawn, with the
    // blurred fill of the picture shown before the loader took the next one.
    held_ = std::make_unique<StageLook>(look_);
    held_->fill = shownFill_;
}

bool ComposedStage::fadeFrame(const StageLook& to, int weight) {
    if (!held_) return false;
    const picture::PixelCanvas canvas = controls_.form.canvas();
    if (canvas.empty()) return false;
    const int width = area_.width();
    fadeFrom_.resize(static_cast<std::size_t>(width));
    fadeTo_.resize(static_cast<std::size_t>(width));
    const Background background{background_, backgroundPixel_, &desktop_};
    LookPainter from(*held_, background, area_, 0, width);
    LookPainter into(to, background, area_, 0, width);
    for (int y = 0; y < area_.height(); ++y) {
        from.row(y, fadeFrom_.data());
        into.row(y, fadeTo_.data());
        picture::blendRow(fadeFrom_.data(), fadeTo_.data(), canvas.row(area_.top + y) + area_.left, width, weight);
    }
    return show({0, 0, width, area_.height()});
}

bool ComposedStage::release() {
    if (!held_) return true;
    held_.reset();
    return redrawAll();
}

}  // namespace vistrel::saver
