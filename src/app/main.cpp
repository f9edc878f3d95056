#include "app/main.h"

#include "app/command_line.h"
#include "app/preview.h"
#include "dialog/settings_dialog.h"
#include "password/board_lines.h"

namespace vistrel::app {

void Program::runSaver() {
    saverWindow_ = std::make_unique<saver::SaverWindow>(platform_, runValues_);
    saver::SaverWindow& saver = *saverWindow_;
    // The prompt is made now but loaded only at its first use.
    passwordForm_ = std::make_unique<password::PasswordForm>(platform_, runValues_.savedPassword);
    runControl_ = std::make_unique<RunControl>(platform_, runValues_, saver.form1, *passwordForm_);
    saver.input.onExitRequest = [this] { runControl_->RequestExit(); };
    saver.onImageSkipped = [this](const std::string& path) {
        passwordForm_->addBoardLine(password::imageFailureLine(platform_.timeOfDaySeconds(), path));
    };
    saver.onMoreImagesSkipped = [this](std::uint32_t more) {
        passwordForm_->setBoardCountLine(password::moreFailuresLine(platform_.timeOfDaySeconds(), more));
    };

    // The first use of the window runs its load step.
    saver.form1.scaleWidth();
    runControl_->StartRun();

    parkPointer(platform_);
    saver.form1.show();
    coverAllMonitors(platform_, saver.form1.hwnd(), platform::HWND_TOPMOST);
}

void Program::runPreview() { preview_ = ShowPreview(platform_); }

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
            program->runPreview();
            break;
        case Mode::Nothing:
            break;
    }
    return program;
}

}  // namespace vistrel::app
