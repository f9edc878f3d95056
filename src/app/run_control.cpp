#include "app/run_control.h"

#include <cstdint>
#include <cstdlib>

namespace vistrel::app {

void parkPointer(platform::Platform& platform) {
    // Beyond the virtual screen's corner: the primary's corner would land on
    // a neighbour's visible area.
    const platform::PixelBounds all = platform.virtualScreen();
    platform.setCursorPos(all.right() + kPointerParkingOffset, all.bottom() + kPointerParkingOffset);
}

void coverAllMonitors(platform::Platform& platform, platform::Handle window, std::intptr_t insertAfter) {
    const platform::PixelBounds all = platform.virtualScreen();
    platform.setWindowPos(window, insertAfter, all.left, all.top, all.width, all.height,
                          platform::SWP_SHOWWINDOW | platform::SWP_NOACTIVATE);
}

RunControl::RunControl(platform::Platform& platform, const saver::RunValues& runValues, ui::Window& form1,
                       password::PasswordForm& prompt)
    : platform_(platform), runValues_(runValues), form1_(form1), prompt_(prompt) {
    prompt_.onReturnToSaver = [this] { ReturnToSaver(); };
    prompt_.onRightPassword = [this] { FinishRun(); };
}

void RunControl::StartRun() {
    // On Windows 95/98 the screen-saver-running flag of the load step does
    // this; on the NT family only a keyboard hook can.
    if (!runValues_.protectionOn() || keysBlocked_) return;
    platform_.blockTaskSwitchKeys(true);
    keysBlocked_ = true;
}

void RunControl::placeSaverWindow(std::intptr_t insertAfter) {
    // The saver window stays where it is, covering every monitor.
    coverAllMonitors(platform_, form1_.hwnd(), insertAfter);
}

void RunControl::RequestExit() {
    if (!runValues_.protectionOn()) platform_.endProgram();
    // Disabled, the window raises no input events, so no second request
    // comes while the prompt is up; the slideshow goes on behind it.
    form1_.setEnabled(false);
    placeSaverWindow(platform::HWND_NOTOPMOST);
    prompt_.form.show();
}

void RunControl::ReturnToSaver() {
    parkPointer(platform_);
    form1_.show();
    form1_.setEnabled(true);
    placeSaverWindow(platform::HWND_TOPMOST);
    // Hidden, not closed: what was typed is there at the next showing.
    prompt_.form.hide();
}

void RunControl::FinishRun() {
    if (runValues_.usesScreenSaverRunningFlag()) {
        std::uint32_t scratch = 0;
        platform_.systemParametersInfo(platform::SPI_SETSCREENSAVERRUNNING, 0, &scratch, 0);
    }
    if (keysBlocked_) {
        platform_.blockTaskSwitchKeys(false);
        keysBlocked_ = false;
    }
    platform_.endProgram();
    // Ending the program never returns, whichever backend ends it.
    std::abort();
}

}  // namespace vistrel::app
