#include "platform/win32/task_switch_hook.h"

#include "platform/task_switch_keys.h"

namespace vistrel::platform::win32 {
namespace {

// Asks the guard's thread to end; nothing else is ever posted to it.
constexpr UINT kEndGuard = WM_APP;
// How often the end is asked for again while the thread has not ended.
constexpr DWORD kEndRetryMs = 100;

}  // namespace

void TaskSwitchHook::install() {
    if (thread_) return;
    hookReady_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!hookReady_) return;
    programThread_ = GetCurrentThreadId();
    hooked_ = false;
    thread_ = CreateThread(nullptr, 0, &TaskSwitchHook::guardThread, this, CREATE_SUSPENDED, &threadId_);
    if (thread_) {
        // The thread has next to nothing to do, and what it has is urgent.
        SetThreadPriority(thread_, THREAD_PRIORITY_HIGHEST);
        ResumeThread(thread_);
        // The caller shows the saver window only once the keys are blocked.
        WaitForSingleObject(hookReady_, INFINITE);
        if (hooked_) {
            installed_ = this;
        } else {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
    }
    CloseHandle(hookReady_);
    hookReady_ = nullptr;
}

void TaskSwitchHook::remove() {
    if (!thread_) return;
    // The thread's queue exists from before the hook was in place, so the
    // request cannot miss it; it is asked again only should a post fail.
    do {
        PostThreadMessageW(threadId_, kEndGuard, 0, 0);
    } while (WaitForSingleObject(thread_, kEndRetryMs) == WAIT_TIMEOUT);
    CloseHandle(thread_);
    thread_ = nullptr;
    if (installed_ == this) installed_ = nullptr;
}

void TaskSwitchHook::removeInstalled() {
    if (installed_) installed_->remove();
}

DWORD WINAPI TaskSwitchHook::guardThread(void* self) {
    auto& guard = *static_cast<TaskSwitchHook*>(self);
    MSG message;
    // Gives the thread its message queue before anyone may post to it.
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    // A low-level hook is global and needs no DLL: the system calls it on
    // the thread that installed it, inside that thread's message loop.
    const HHOOK hook =
        SetWindowsHookExW(WH_KEYBOARD_LL, &TaskSwitchHook::keyboardProc, GetModuleHandleW(nullptr), 0);
    guard.hooked_ = hook != nullptr;
    SetEvent(guard.hookReady_);
    if (!hook) return 1;
    // The hook's calls are handled while GetMessageW waits; the only message
    // that arrives is the request to end.
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != kEndGuard) {
    }
    UnhookWindowsHookEx(hook);
    return 0;
}

void TaskSwitchHook::handOnToProgram(const KBDLLHOOKSTRUCT& stroke) {
    // Where the program's keyboard focus is, as the system keeps it for the
    // user-interface thread: asked without waiting for that thread. The key
    // arrives there as if it had been typed, and is handled once the thread
    // takes its messages again.
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    if (!GetGUIThreadInfo(programThread_, &focus)) return;
    const HWND target = focus.hwndFocus ? focus.hwndFocus : focus.hwndActive;
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
