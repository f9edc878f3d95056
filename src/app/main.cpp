#include "app/main.h"

#include "app/command_line.h"
#include "app/preview.h"

namespace vistrel::app {

// Beyond the screen's bottom-right corner: the system clamps the pointer to
// the last pixel, out of the way of the picture.
inline constexpr int kPointerParkingOffset = 8;

void Program::runSaver() {
    saverWindow_ = std::make_unique<saver::SaverWindow>(platform_, runValues_);
    saver::SaverWindow& saver = *saverWindow_;

    // The first use of the window runs its load step.
    saver.form1.scaleWidth();

    const platform::ScreenMetrics screen = platform_.screen();
    platform_.setCursorPos(screen.widthPixels + kPointerParkingOffset, screen.heightPixels + kPointerParkingOffset);
    saver.form1.show();
    platform_.setWindowPos(saver.form1.hwnd(), platform::HWND_TOPMOST, 0, 0, screen.widthPixels,
                           screen.heightPixels, platform::SWP_SHOWWINDOW | platform::SWP_NOACTIVATE);
}

std::unique_ptr<Program> Main(platform::Platform& platform) {
    if (!platform.claimSingleInstance()) platform.endProgram();

    auto program = std::make_unique<Program>(platform);
    const std::string command = platform.commandLine();
    switch (modeOf(command)) {
        case Mode::Configure:
            program->openSettingsDialog(configureOwner(command));
            break;
        case Mode::Saver:
            program->runSaver();
            break;
        case Mode::Preview:
            ShowPreview(platform);
            break;
        case Mode::Nothing:
            break;
    }
    return program;
}

}  // namespace vistrel::app
