// The keyboard guard of a protected saver run: a low-level keyboard hook that
// keeps the task-switching keys from the system. The NT family needs it:
// there the screen-saver-running flag no longer blocks those keys.
//
// The hook lives on a thread of its own. Windows waits only a moment for a
// low-level hook's answer (LowLevelHooksTimeout, at most a second), then
// passes the key on and silently removes the hook for good. The program's
// user-interface thread cannot promise that: it decodes pictures and draws
// transitions without answering. The guard's thread does nothing but answer
// the hook: it touches no file, draws nothing and takes no lock that the
// user-interface thread may hold.
#pragma once

#include <windows.h>

#include <atomic>

namespace vistrel::platform::win32 {

class TaskSwitchHook {
public:
    TaskSwitchHook() = default;
    ~TaskSwitchHook() { remove(); }
    TaskSwitchHook(const TaskSwitchHook&) = delete;
    TaskSwitchHook& operator=(const TaskSwitchHook&) = delete;

    // Starts the guard's thread and returns once the hook is in place (or
    // could not be installed: Windows 95/98 have no low-level hooks, and the
    // keys then stay as they are). A blocked key that counts as input is
    // posted to the calling thread's focus window. A second call keeps the
    // guard in place.
    void install();
    // Ends the guard's thread, which removes the hook; returns only once the
    // thread has ended.
    void remove();
    bool installed() const { return thread_ != nullptr; }

    // Removes the guard that is in place in this process, if any: for the
    // ends of the program that do not go through its platform.
    static void removeInstalled();

private:
    static DWORD WINAPI guardThread(void* self);
    static LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam);
    // A blocked key that still counts as input is posted to the program's
    // window with the focus, on the user-interface thread.
    static void handOnToProgram(const KBDLLHOOKSTRUCT& stroke);

    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    HANDLE hookReady_ = nullptr;
    std::atomic<bool> hooked_ = false;
    // The thread whose windows take the keys handed on; one guard at a time.
    static inline std::atomic<DWORD> programThread_ = 0;
    static inline TaskSwitchHook* installed_ = nullptr;
};

}  // namespace vistrel::platform::win32
