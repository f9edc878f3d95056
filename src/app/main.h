// The program's start: refuses a second instance, then dispatches on the
// command line to the saver, the settings dialog or the preview.
#pragma once

#include <memory>

#include "app/live_preview.h"
#include "app/run_control.h"
#include "password/password_form.h"
#include "dialog/settings_dialog.h"
#include "platform/platform.h"
#include "saver/run_values.h"
#include "saver/saver_window.h"

namespace vistrel::app {

// The program's windows and run-wide values, alive while it runs.
class Program {
public:
    explicit Program(platform::Platform& platform) : platform_(platform) {}

    // The saver start: loads the saver window, parks the pointer, shows the
    // window and makes it topmost over the whole screen.
    void runSaver();

    saver::RunValues& runValues() { return runValues_; }
    saver::SaverWindow* saverWindow() { return saverWindow_.get(); }
    password::PasswordForm* passwordForm() { return passwordForm_.get(); }
    RunControl* runControl() { return runControl_.get(); }
    dialog::SettingsDialog* settingsDialog() { return settingsDialog_.get(); }
    void openSettingsDialog(platform::Handle owner) { settingsDialog_ = dialog::OpenSettingsDialog(platform_, owner); }
    // The preview in the host's window, alive until that window goes.
    void runPreview();
    LivePreview* preview() { return preview_.get(); }

private:
    platform::Platform& platform_;
    saver::RunValues runValues_;
    std::unique_ptr<saver::SaverWindow> saverWindow_;
    std::unique_ptr<password::PasswordForm> passwordForm_;
    std::unique_ptr<RunControl> runControl_;
    std::unique_ptr<dialog::SettingsDialog> settingsDialog_;
    std::unique_ptr<LivePreview> preview_;
};

// Returns once the chosen mode is under way; the caller keeps the program
// and runs the event loop for as long as one of its windows is loaded.
// Ends the program (Platform::endProgram) when another instance runs, and
// when the preview has no window to live in.
[[nodiscard]] std::unique_ptr<Program> Main(platform::Platform& platform);

}  // namespace vistrel::app
