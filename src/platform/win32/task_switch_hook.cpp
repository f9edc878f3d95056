#include "platform/win32/task_switch_hook.h"

#include "platform/task_switch_keys.h"

namespace vistrel::platform::win32 {

void TaskSwitchHook::install() {
    if (hook_) return;
    // A low-level hook is global and needs no DLL: the system calls it on
    // this thread, through the message loop the program runs anyway.
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &TaskSwitchHook::keyboardProc, GetModuleHandleW(nullptr), 0);
}

void TaskSwitchHook::remove() {
    if (!hook_) return;
    UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
}

LRESULT CALLBACK TaskSwitchHook::keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* stroke = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool altDown = (stroke->flags & LLKHF_ALTDOWN) != 0;
        // The hook runs before the key state is updated, so this is the
        // state of Ctrl as the key stroke finds it.
        const bool ctrlDown = (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
        // The press and the release alike, so that the system sees no half
        // of the stroke.
        if (isTaskSwitchKey(stroke->vkCode, altDown, ctrlDown)) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace vistrel::platform::win32
