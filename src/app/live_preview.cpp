#include "app/live_preview.h"
#include "platform/units.h"

#include <cmath>

#include "saver/saver_fallbacks.h"
#include "settings/option_table.h"
#include "settings/settings_file.h"

namespace vistrel::app {

PuzzleForm::PuzzleForm(platform::Platform& platform) : form("PuzzleForm", platform), picture1("Picture1", form) {
    picture1.autoSize = true;
    picture1.borderStyle = ui::BorderStyle::None;
}

PreviewSettings readPreviewSettings(platform::Platform& platform) {
    // The settings in force, as the saver reads them: the user's own file
    // when there is one, else the one beside the program.
    settings::SettingsSnapshot file(platform);
    PreviewSettings settings;
    const int count = saver::imageCountOf(file.ReadSetting("total", "total"));
    for (int i = 0; i < count; ++i) {
        std::string path = file.ReadSetting("images", std::to_string(i));
        if (!path.empty()) settings.imagePaths.push_back(std::move(path));
    }
    // As the saver reads them: a missing or empty key is its first-start value.
    using Option = vistrel::settings::Option;
    const auto option = [&file](Option key) {
        return vistrel::settings::readOption(file, vistrel::settings::specOf(key));
    };
    settings.randomPick = option(Option::randomPick);
    settings.timeInterval = option(Option::timeInterval);
    settings.newBackColor = option(Option::newBackColor);
    settings.effectMode = option(Option::effectMode);
    settings.randomEffect = option(Option::randomEffect);
    settings.backEffect = option(Option::backEffect);
    settings.picRandom = option(Option::picRandom);
    return settings;
}

LivePreview::LivePreview(platform::Platform& platform, platform::Handle host, const platform::PixelBounds& client,
                         std::unique_ptr<PuzzleForm> puzzle, PreviewSettings settings)
    : form("PreviewForm", platform),
      miniature("Miniature", form),
      loader("Loader", form),
      hostWatch("HostWatch", form),
      changeTimer("ChangeTimer", form),
      frameTimer("FrameTimer", form),
      panTimer("PanTimer", form),
      platform_(platform),
      host_(host),
      client_(client),
      puzzle_(std::move(puzzle)),
      settings_(std::move(settings)),
      library_(platform, settings_.imagePaths) {
    form.host = host;
    form.borderStyle = ui::BorderStyle::None;
    form.controlBox = false;
    form.showInTaskbar = false;
    form.persistentImage = true;  // repainted from it at every WM_PAINT
    miniature.borderStyle = ui::BorderStyle::None;
    // Drawn with its background on the preview's own stage.
    miniature.drawnByProgram = true;
    miniature.autoSize = false;
    miniature.setVisible(false);
    loader.setVisible(false);

    const ui::Color background = settings_.imagePaths.empty()
                                     ? ui::kBlack
                                     : saver::colorOrFallback(settings_.newBackColor, saver::kFallbackBackColor);
    form.setBackColor(background);
    miniature.setBackColor(background);
    const platform::ScreenMetrics screen = platform_.screen();
    form.move(0, 0, platform::pixelsToTwips(client_.width, screen.twipsPerPixelX),
              platform::pixelsToTwips(client_.height, screen.twipsPerPixelY));

    hostWatch.onTimer = [this] { HostWatch_Timer(); };
    changeTimer.onTimer = [this] { ChangeTimer_Timer(); };
    frameTimer.onTimer = [this] { FrameTimer_Timer(); };
    panTimer.onTimer = [this] { PanTimer_Timer(); };

    form.load();
    // The host may have gone while the window was made in it.
    if (form.hwnd() == 0 || !platform_.isWindow(host_)) return;
    started_ = true;

    if (settings_.imagePaths.empty()) {
        showStoredPicture();
    } else {
        // A preview has no desktop of its own to show: that choice shows the colour.
        const saver::BackgroundKind kind = saver::backgroundKindOf(settings_.backEffect);
        stage_ = std::make_unique<saver::ComposedStage>(
            saver::StageControls{form, miniature, loader, nullptr}, saver::PixelRect{0, 0, client_.width, client_.height},
            kind == saver::BackgroundKind::BlurredFill ? kind : saver::BackgroundKind::Color, background);
        // The folders are read afresh, as the saver reads them.
        library_.startReading([this] { picturesFound(); });
        startSlideshow();
    }
    form.show();
    hostWatch.setInterval(kHostWatchMs);
    hostWatch.setTimerEnabled(true);
}

void LivePreview::showStoredPicture() {
    // The block early versions copied into the host once, now kept in the
    // window's own image.
    platform_.bitBlt(form.hdc(), 0, 0, kPreviewBlockWidth, kPreviewBlockHeight, puzzle_->picture1.hdc(), 0, 0,
                     platform::SRCCOPY);
}

void LivePreview::HostWatch_Timer() {
    if (!platform_.isWindow(host_)) platform_.endProgram();
}

}  // namespace vistrel::app
