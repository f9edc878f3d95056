// The composed stage of one monitor. The saver draws the background, the
// picture and the caption together into the monitor's part of the saver
// window's persistent image and puts that on the screen in one copy, so
// that a crossfade, a picture panned and zoomed or a blurred fill round it
// are drawings like any other.
//
// The picture and caption controls of the monitor (Picture1, Label1) are
// drawn by the program (ui::Control::drawnByProgram): the stage draws them
// anew whenever one of them changes, at once, as the backend would redraw a
// control of its own. What they do not cover shows the background: the
// chosen colour, the copy of the desktop taken at the start, or a blurred
// copy of the picture that covers the monitor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "picture/framed_sampling.h"
#include "picture/picture.h"
#include "platform/controls.h"
#include "saver/saver_fallbacks.h"
#include "saver/uncovered_area.h"

namespace vistrel::saver {


// Everything the stage shows, enough to draw any part of it again. Areas
// are in pixels of the stage (the monitor's top-left pixel is 0, 0).
struct StageLook {
    // A part of another picture drawn over the picture (a transition's step).
    struct Piece {
        std::shared_ptr<const picture::Picture> picture;
        picture::Framing framing;  // on the picture's place, as the picture's own
        PixelRect area;
    };

    std::shared_ptr<const picture::Picture> fill;  // the blurred fill; none shows the colour
    bool pictureShown = false;
    PixelRect pictureArea;
    // What the picture's place shows where no picture is (its back colour),
    // unless the blurred fill shows through.
    std::uint32_t placePixel = 0;
    std::shared_ptr<const picture::Picture> picture;  // none: the background shows through
    picture::Framing framing;                         // the picture on its place
    std::vector<Piece> pieces;
    bool captionShown = false;
    PixelRect captionArea;                            // the part of the text that shows
    int captionTextLeft = 0;                          // where the whole text stands
    int captionTextTop = 0;
    std::shared_ptr<const picture::Picture> captionText;  // coverage, see ui::Label::renderText
    std::uint32_t captionColor = 0;                       // 0xRRGGBB
};

// The controls of one monitor's slideshow that the stage draws.
struct StageControls {
    ui::Window& form;
    ui::PictureBox& picture;  // drawn by the program
    ui::PictureBox& loader;   // hidden; its picture is the one the blurred fill is made of
    ui::Label* caption;       // drawn by the program; none for a stage without a caption
};

class ComposedStage {
public:
    // `area` is the monitor in pixels of the window's interior. In the
    // desktop's case the window's image holds the copy of the desktop
    // already: the stage keeps its part of it as the background.
    ComposedStage(StageControls controls, const PixelRect& area, BackgroundKind background,
                  std::uint32_t backgroundColor);
    ~ComposedStage();
    ComposedStage(const ComposedStage&) = delete;
    ComposedStage& operator=(const ComposedStage&) = delete;

    const PixelRect& area() const { return area_; }
    // Where the picture control stands, in stage pixels.
    PixelRect pictureArea() const;

    // How the picture shows on its place (pan and zoom); pixel for pixel
    // from its top-left corner unless set. Draws nothing by itself.
    void setFraming(const picture::Framing& framing) { framing_ = framing; }
    // Draws the picture's place anew (after setFraming) and shows it.
    bool redrawPicture();
    // Draws the whole stage anew and shows it.
    bool redrawAll();

    // A transition's step: the part `piece` (pixels of the picture's place)
    // of `picture`, shown through `framing`, drawn over the picture and put
    // on the screen. It stays until the picture control is cleared or given
    // a picture.
    bool drawPiece(const std::shared_ptr<const picture::Picture>& picture, const picture::Framing& framing,
                   const PixelRect& piece);

    // The look the controls ask for, with `picture` through `framing` in
    // the picture's place: what a change brings in.
    StageLook lookWith(const std::shared_ptr<const picture::Picture>& picture, const picture::Framing& framing);

    // While held the screen keeps what it shows, whatever the controls do;
    // a crossfade then blends from it. Release draws the controls' look.
    void hold();
    // One frame of a crossfade from the held look to `to`, `weight` in
    // 256ths of the way (picture::kBlendWhole is all of `to`), shown.
    bool fadeFrame(const StageLook& to, int weight);
    bool release();
    // Drops the hold without drawing (a change that broke off).
    void letGo() noexcept { held_.reset(); }

private:
    void controlChanged(bool caption, ui::Property property);
    // Brings the look up to date with the controls.
    StageLook& lookNow();
    std::shared_ptr<const picture::Picture> fillFor(const std::shared_ptr<const picture::Picture>& source);
    std::shared_ptr<const picture::Picture> captionText();
    PixelRect stagePixels(const ui::Control& control) const;
    // Draws `rect` of the look into the window's image and shows it.
    bool draw(const PixelRect& rect);
    bool show(const PixelRect& rect);
    void remember(const StageLook& look);

    StageControls controls_;
    PixelRect area_;  // pixels of the window's interior
    BackgroundKind background_;
    std::uint32_t backgroundPixel_;
    double twipsPerPixelX_;
    double twipsPerPixelY_;
    picture::Picture desktop_;  // the desktop's copy, for BackgroundKind::Desktop
    picture::Framing framing_;
    StageLook look_;
    // What the screen shows of the layers that move: drawn anew with them.
    PixelRect shownPicture_;
    PixelRect shownCaption_;
    std::shared_ptr<const picture::Picture> shownFill_;
    std::unique_ptr<StageLook> held_;
    // The blurred fill is made once per picture.
    std::weak_ptr<const picture::Picture> fillSource_;
    std::shared_ptr<const picture::Picture> fill_;
    // The caption's text, rendered once per text and font.
    std::string renderedText_;
    ui::Font renderedFont_;
    std::shared_ptr<const picture::Picture> renderedCaption_;
    std::vector<std::uint32_t> fadeFrom_;
    std::vector<std::uint32_t> fadeTo_;
};

}  // namespace vistrel::saver
