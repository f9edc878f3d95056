// The composed stage of one full-screen window as the saver makes it, for
// the benchmarks of the native and the Windows program: a crossfade
// between two photo-like pictures, and the frames of pan and zoom.
#pragma once

#include <cstdint>
#include <memory>

#include "common/random_source.h"
#include "picture/picture.h"
#include "platform/controls.h"
#include "saver/composed_stage.h"
#include "saver/crossfade.h"
#include "saver/pan_zoom.h"
#include "saver/transition_painter.h"

namespace vistrel::bench {

// Smooth gradients with some detail, as a photo has.
inline std::shared_ptr<const picture::Picture> photoLike(int width, int height, int seed) {
    auto made = std::make_shared<picture::Picture>();
    made->width = width;
    made->height = height;
    made->pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t red = (x * 255 / width + seed * 70) & 0xFF;
            const std::uint32_t green = (y * 255 / height + ((x / 7) ^ (y / 5)) % 32) & 0xFF;
            const std::uint32_t blue = (128 + seed * 40 + (x + y) % 64) & 0xFF;
            made->pixels[static_cast<std::size_t>(y) * width + x] = 0xFF000000u | red << 16 | green << 8 | blue;
        }
    }
    return made;
}

class StageBench {
public:
    StageBench(platform::Platform& platform, saver::BackgroundKind background)
        : platform_(platform), form("Form1", platform), picture("Picture1", form), loader("Picture2", form) {
        form.borderStyle = ui::BorderStyle::None;
        form.windowState = ui::WindowState::Maximized;
        form.persistentImage = true;
        form.showInTaskbar = false;
        form.setBackColor(kBackground);
        picture.drawnByProgram = true;
        picture.setBackColor(kBackground);
        picture.setVisible(false);
        loader.setVisible(false);
        form.show();
        const platform::ScreenMetrics screen = platform.screen();
        width = screen.widthPixels;
        height = screen.heightPixels;
        stage = std::make_unique<saver::ComposedStage>(saver::StageControls{form, picture, loader, nullptr},
                                                       saver::PixelRect{0, 0, width, height}, background, kBackground);
    }

    // A landscape photo of 4 : 3 fitted to the screen's height, centred:
    // the background shows on both sides of it.
    std::shared_ptr<const picture::Picture> fittedPhoto(int seed) const {
        return photoLike(height * 4 / 3, height, seed);
    }

    void show(const std::shared_ptr<const picture::Picture>& shown, const picture::Framing& framing = {},
              bool filling = false) {
        loader.setPicture(shown);
        stage->setFraming(framing);
        const platform::ScreenMetrics screen = platform_.screen();
        const int w = filling ? width : shown->width, h = filling ? height : shown->height;
        picture.move(platform::pixelsToTwips((width - w) / 2, screen.twipsPerPixelX),
                     platform::pixelsToTwips((height - h) / 2, screen.twipsPerPixelY),
                     platform::pixelsToTwips(w, screen.twipsPerPixelX), platform::pixelsToTwips(h, screen.twipsPerPixelY));
        picture.setPicture(shown);
        picture.setVisible(true);
    }

    // The crossfade the saver runs, from what is shown to `coming`: the
    // frames it drew.
    std::size_t crossfade(const std::shared_ptr<const picture::Picture>& coming) {
        stage->hold();
        loader.setPicture(coming);
        std::size_t frames = 0;
        saver::runCrossfade(platform_, *stage, stage->lookWith(coming, {}), &frames);
        picture.setPicture(coming);
        stage->release();
        return frames;
    }

    // Pan and zoom of a 4 : 3 photo larger than the screen, loaded as the
    // saver loads it for pan and zoom, from its first framing.
    void startPan(int seed) {
        const picture::PixelSize space{width, height};
        const picture::PixelSize size =
            picture::requestedSize({height * 8 / 3, height * 2}, {width, height, 0, saver::kPanMaxZoom});
        panned_ = photoLike(size.width, size.height, seed);
        RandomSource random;
        journey_ = saver::PanJourney::random(size, space, 10000, random);
        show(panned_, journey_.placementAt(0), true);
    }

    // One frame of pan and zoom, as the saver's pan timer draws it.
    void panFrame(std::int64_t elapsedMs) {
        stage->setFraming(journey_.placementAt(elapsedMs));
        stage->redrawPicture();
    }

    static constexpr ui::Color kBackground = 0x202020;

    platform::Platform& platform_;
    ui::Window form;
    ui::PictureBox picture;
    ui::PictureBox loader;
    int width = 0;
    int height = 0;
    std::unique_ptr<saver::ComposedStage> stage;

private:
    std::shared_ptr<const picture::Picture> panned_;
    saver::PanJourney journey_;
};

}  // namespace vistrel::bench
