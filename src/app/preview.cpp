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

void yieldToEvents(platform::Platform& platform) {
    for (int i = 0; i < kPreviewYieldCount; ++i) platform.doEvents();
}

void copyBlock(platform::Platform& platform, platform::Handle window, PuzzleForm& puzzle) {
    const platform::Handle dc = platform.getDC(window);
    platform.bitBlt(dc, 0, 0, kPreviewBlockWidth, kPreviewBlockHeight, puzzle.picture1.hdc(), 0, 0, platform::SRCCOPY);
    platform.releaseDC(window, dc);
}

[[noreturn]] void endProgram(platform::Platform& platform) {
    platform.endProgram();
    // Ending the program never returns, whichever backend ends it.
    std::abort();
}

}  // namespace

std::unique_ptr<LivePreview> ShowPreview(platform::Platform& platform) {
    auto puzzle = std::make_unique<PuzzleForm>(platform);
    puzzle->form.load();
    auto decoded = platform.decodePicture(resources::previewPictureBytes());
    if (auto* picture = std::get_if<picture::Picture>(&decoded)) {
        puzzle->picture1.setPicture(std::make_shared<picture::Picture>(std::move(*picture)));
    }
    yieldToEvents(platform);

    const auto handle = previewHandle(platform.commandLine());
    if (!handle || *handle == 0) {
        // No window to live in: the one copy of early versions (onto the
        // whole screen for 0), and the end.
        if (handle) copyBlock(platform, *handle, *puzzle);
        yieldToEvents(platform);
        endProgram(platform);
    }
    // Nothing to preview into: no message, nobody would see it.
    if (!platform.isWindow(*handle)) endProgram(platform);

    PreviewSettings settings = readPreviewSettings(platform);
    if (settings.imagePaths.empty()) copyBlock(platform, *handle, *puzzle);
    platform::PixelBounds client;
    if (!platform.getClientRect(*handle, client)) endProgram(platform);
    auto preview = std::make_unique<LivePreview>(platform, *handle, client, std::move(puzzle), std::move(settings));
    if (!preview->started()) endProgram(platform);
    return preview;
}

}  // namespace vistrel::app
