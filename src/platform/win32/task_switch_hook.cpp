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

void TaskSwitchHook::handOnToProgram(const KBDLLHOOKSTRUCT& stroke) {
    // The hook runs on the program's own thread, so the focus is the one
    // its windows have; the key arrives there as if it had been typed.
    HWND target = GetFocus();
    if (!target) target = GetActiveWindow();
    if (!target) return;
    const LPARAM details = 1 | static_cast<LPARAM>((stroke.scanCode & 0xFF) << 16) |
                           ((stroke.flags & LLKHF_EXTENDED) ? (1 << 24) : 0);
    PostMessageW(target, WM_KEYDOWN, stroke.vkCode, details);
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
        if (isTaskSwitchKey(stroke->vkCode, altDown, ctrlDown)) {
            const bool press = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
            if (press && blockedKeyCountsAsInput(stroke->vkCode)) handOnToProgram(*stroke);
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace vistrel::platform::win32
