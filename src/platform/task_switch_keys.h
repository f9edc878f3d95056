// Which key strokes switch away from the program on Windows: the keys that
// a protected saver run keeps from the system. Kept apart from the hook that
// applies it, so that the rule can be checked on any machine.
#pragma once

namespace vistrel::platform {

// Virtual-key codes of the keys involved.
inline constexpr unsigned kVirtualKeyTab = 0x09;
inline constexpr unsigned kVirtualKeyEscape = 0x1B;
inline constexpr unsigned kVirtualKeyLeftWindows = 0x5B;
inline constexpr unsigned kVirtualKeyRightWindows = 0x5C;

// Alt+Tab and Alt+Esc cycle through the windows, Ctrl+Esc (with or without
// Shift, which opens the task manager) and either Windows key open the Start
// menu or its shortcuts. Ctrl+Alt+Del never reaches a program and is not
// among them.
constexpr bool isTaskSwitchKey(unsigned virtualKey, bool altDown, bool ctrlDown) {
    switch (virtualKey) {
        case kVirtualKeyTab: return altDown;
        case kVirtualKeyEscape: return altDown || ctrlDown;
        case kVirtualKeyLeftWindows:
        case kVirtualKeyRightWindows: return true;
        default: return false;
    }
}

// Blocking a key keeps it from the system, not from the saver: a key press
// is input like any other, which ends the saver or brings up the password
// prompt. The combinations reach the program with their first key (Alt or
// Ctrl) anyway; a Windows key alone would not, so the hook hands it on.
constexpr bool blockedKeyCountsAsInput(unsigned virtualKey) {
    return virtualKey == kVirtualKeyLeftWindows || virtualKey == kVirtualKeyRightWindows;
}

}  // namespace vistrel::platform
