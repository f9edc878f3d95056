// How a saver run ends: at once when password protection is off, otherwise
// through the password prompt, with the screen handed back and forth
// between the saver window and the prompt.
#pragma once

#include "password/password_form.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "saver/run_values.h"

namespace vistrel::app {

// Beyond the virtual screen's bottom-right corner: the system keeps the
// pointer on the last pixel, out of the way of the pictures.
inline constexpr int kPointerParkingOffset = 8;

// Moves the pointer to the virtual screen's bottom-right pixel.
void parkPointer(platform::Platform& platform);
// Places the saver window over the whole virtual screen, shown, in the
// given rank, without activating it.
void coverAllMonitors(platform::Platform& platform, platform::Handle window, std::intptr_t insertAfter);

class RunControl {
public:
    // Connects the prompt's way back and its way out to the routines here.
    RunControl(platform::Platform& platform, const saver::RunValues& runValues, ui::Window& form1,
               password::PasswordForm& prompt);
    RunControl(const RunControl&) = delete;
    RunControl& operator=(const RunControl&) = delete;

    // Called once the saver window's load step has read the settings: a
    // protected run keeps the task-switching keys from the system until it
    // ends.
    void StartRun();
    // Ends the program, or with protection on disables the saver window,
    // takes its topmost rank and brings the prompt in front.
    void RequestExit();
    // Puts the prompt away and gives the screen back to the saver window.
    void ReturnToSaver();
    // The right password: switches the screen-saver-running flag off where
    // it was on, gives the keys back and ends the program.
    [[noreturn]] void FinishRun();

private:
    void placeSaverWindow(std::intptr_t insertAfter);

    platform::Platform& platform_;
    const saver::RunValues& runValues_;
    ui::Window& form1_;
    password::PasswordForm& prompt_;
    bool keysBlocked_ = false;
};

}  // namespace vistrel::app
