#include "app/preview.h"

#include <cstdlib>
#include <memory>
#include <span>
#include <variant>

#include "app/command_line.h"
#include "platform/controls.h"
#include "resources/preview_picture.h"

namespace vistrel::app {
namespace {

// The hidden window that holds the stored picture; it is never shown.
struct PuzzleForm {
    explicit PuzzleForm(platform::Platform& platform) : form("PuzzleForm", platform), picture1("Picture1", form) {
        picture1.autoSize = true;
        picture1.borderStyle = ui::BorderStyle::None;
    }
    ui::Window form;
    ui::PictureBox picture1;
};

void yieldToEvents(platform::Platform& platform) {
    for (int i = 0; i < kPreviewYieldCount; ++i) platform.doEvents();
}

}  // namespace

void ShowPreview(platform::Platform& platform) {
    PuzzleForm puzzle(platform);
    puzzle.form.load();
    auto decoded = platform.decodePicture(resources::previewPictureBytes());
    if (auto* picture = std::get_if<platform::Picture>(&decoded)) {
        puzzle.picture1.setPicture(std::make_shared<platform::Picture>(std::move(*picture)));
    }
    yieldToEvents(platform);

    if (const auto window = previewHandle(platform.commandLine())) {
        const platform::Handle dc = platform.getDC(*window);
        platform.bitBlt(dc, 0, 0, kPreviewBlockWidth, kPreviewBlockHeight, puzzle.picture1.hdc(), 0, 0,
                        platform::SRCCOPY);
        platform.releaseDC(*window, dc);
    }

    yieldToEvents(platform);
    platform.endProgram();
    // Ending the program never returns, whichever backend ends it.
    std::abort();
}

}  // namespace vistrel::app
