// The low-level keyboard hook that keeps the task-switching keys from the
// system during a protected saver run. The NT family needs it: there the
// screen-saver-running flag no longer blocks those keys.
#pragma once

#include <windows.h>

namespace vistrel::platform::win32 {

class TaskSwitchHook {
public:
    TaskSwitchHook() = default;
    ~TaskSwitchHook() { remove(); }
    TaskSwitchHook(const TaskSwitchHook&) = delete;
    TaskSwitchHook& operator=(const TaskSwitchHook&) = delete;

    // Installs the hook for this thread's desktop; a second call keeps the
    // one in place. A failed installation (Windows 95/98 have no low-level
    // hooks) leaves the keys as they are.
    void install();
    void remove();
    bool installed() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam);
    // A blocked key that still counts as input is posted to the program's
    // window with the focus.
    static void handOnToProgram(const KBDLLHOOKSTRUCT& stroke);
    HHOOK hook_ = nullptr;
};

}  // namespace vistrel::platform::win32
