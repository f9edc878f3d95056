// Presses the Windows key against the program's keyboard guard and reports
// how long each press took to pass the low-level keyboard hooks, and whether
// it got past the guard.
//
// The probe installs a low-level keyboard hook of its own first, on a thread
// with a message loop, so that a guard installed later comes before it in the
// chain: a press that reaches the probe's hook is one the guard let through.
// At its start it checks that its hook sees a Windows key it sends itself.
// Under Wine a SendInput call returns only once every low-level hook has
// answered (or timed out), so its time is the guard's answer.
//
//   windows_key_probe.exe saver <go-file> <milliseconds>
//     Prints "hooked", waits until <go-file> exists (the test starts a
//     protected saver meanwhile), then sends the Windows key (a press and a
//     release, one SendInput call each) every 100 ms for <milliseconds> and
//     prints one line:
//       {"times": [ms of each SendInput call, ...], "failed": n, "reached": n}
//     "failed" counts calls that did not send their stroke, "reached" the
//     presses that came to the probe's hook. Exit code 0.
//
//   windows_key_probe.exe guard
//     Runs the program's own guard in this process and prints one line for
//     each of three moments:
//       {"phase": "busy", ...}: installed, while this (user-interface) thread
//         takes no messages for 1.5 s, as while a picture is decoded: the
//         answer times of five presses, how many reached the probe's hook,
//         how many the guard handed on to this thread's focus window, and
//         how many threads the guard added.
//       {"phase": "removed", ...}: after the guard's removal: how many of its
//         threads are left and whether a press reaches the probe's hook.
//       {"phase": "error message", ...}: installed again, then the program's
//         end after an internal error, while its message is up: the same.
//     That end closes the process with exit code 1.
//
// Other exit codes: 2 bad arguments; 3 the probe's hook could not be
// installed or never saw its own key; 4 the go file did not come within two
// minutes; 5 the internal error's message never came up.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/escaped_exception.h"
#include "platform/win32/task_switch_hook.h"

namespace {

using vistrel::platform::win32::TaskSwitchHook;

constexpr double kPressIntervalMs = 100;
constexpr DWORD kWaitForGoMs = 120000;
constexpr DWORD kArrivalMs = 3000;  // longest wait for a press to reach a hook or window
constexpr DWORD kBusyMs = 1500;
constexpr int kBusyPresses = 5;
constexpr DWORD kBusyPressIntervalMs = 200;

volatile LONG pressesSeen = 0;   // Windows-key presses that reached the probe's hook
volatile LONG pressesHandedOn = 0;  // WM_KEYDOWN of the Windows key at the focus window

double nowMs() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool isWindowsKey(DWORD key) { return key == VK_LWIN || key == VK_RWIN; }

// Polls `done` until it holds or `timeoutMs` has passed.
template <typename Done>
bool waitFor(Done done, DWORD timeoutMs) {
    const double until = nowMs() + timeoutMs;
    while (!done()) {
        if (nowMs() > until) return false;
        Sleep(10);
    }
    return true;
}

// --- the probe's own hook ---

HANDLE probeHookReady = nullptr;
volatile LONG probeHooked = 0;

LRESULT CALLBACK probeKeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* stroke = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (isWindowsKey(stroke->vkCode) && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
            InterlockedIncrement(&pressesSeen);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI probeHookThread(void*) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, &probeKeyboardProc, GetModuleHandleW(nullptr), 0);
    probeHooked = hook != nullptr;
    SetEvent(probeHookReady);
    if (!hook) return 1;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
    UnhookWindowsHookEx(hook);
    return 0;
}

// Sends one stroke of the left Windows key; gives the call's time in ms, or
// -1 when the stroke was not sent.
double sendWindowsKey(bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_LWIN;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_LWIN, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = KEYEVENTF_EXTENDEDKEY | (release ? KEYEVENTF_KEYUP : 0);
    const double before = nowMs();
    const UINT sent = SendInput(1, &input, sizeof input);
    const double taken = nowMs() - before;
    return sent == 1 ? taken : -1;
}

// A press and a release; whether the press came to the probe's hook.
bool pressReachesProbe() {
    const LONG before = pressesSeen;
    sendWindowsKey(false);
    sendWindowsKey(true);
    return waitFor([&] { return pressesSeen != before; }, kArrivalMs);
}

bool startProbeHook() {
    probeHookReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!probeHookReady || !CreateThread(nullptr, 0, &probeHookThread, nullptr, 0, nullptr)) return false;
    WaitForSingleObject(probeHookReady, INFINITE);
    return probeHooked && pressReachesProbe();
}

std::string timesJson(const std::vector<double>& times) {
    std::string text = "[";
    char number[32];
    for (std::size_t i = 0; i < times.size(); ++i) {
        std::snprintf(number, sizeof number, "%s%.1f", i ? ", " : "", times[i]);
        text += number;
    }
    return text + "]";
}

// --- against a saver ---

int pressAgainstSaver(const char* goFile, double durationMs) {
    if (durationMs <= 0) return 2;
    std::printf("hooked\n");
    std::fflush(stdout);
    if (!waitFor([&] { return GetFileAttributesA(goFile) != INVALID_FILE_ATTRIBUTES; }, kWaitForGoMs)) return 4;

    pressesSeen = 0;
    std::vector<double> times;
    int failed = 0;
    const double start = nowMs();
    for (int press = 0; press * kPressIntervalMs < durationMs; ++press) {
        const double wait = start + press * kPressIntervalMs - nowMs();
        if (wait > 0) Sleep(static_cast<DWORD>(wait));
        for (const bool release : {false, true}) {
            const double taken = sendWindowsKey(release);
            if (taken < 0) {
                ++failed;
            } else {
                times.push_back(taken);
            }
        }
    }
    // On Windows the hooks are called after SendInput has returned: a press
    // let through gets a moment to arrive.
    Sleep(300);
    std::printf("{\"times\": %s, \"failed\": %d, \"reached\": %ld}\n", timesJson(times).c_str(), failed,
                pressesSeen);
    std::fflush(stdout);
    return 0;
}

// --- the guard in this process ---

std::set<DWORD> threadsOfThisProcess() {
    std::set<DWORD> threads;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return threads;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) threads.insert(entry.th32ThreadID);
    }
    CloseHandle(snapshot);
    return threads;
}

// Installs `guard`; gives the threads it added.
std::set<DWORD> installCounted(TaskSwitchHook& guard) {
    const std::set<DWORD> before = threadsOfThisProcess();
    guard.install();
    std::set<DWORD> added;
    for (const DWORD thread : threadsOfThisProcess()) {
        if (!before.count(thread)) added.insert(thread);
    }
    return added;
}

int stillRunning(const std::set<DWORD>& threads) {
    int left = 0;
    for (const DWORD thread : threadsOfThisProcess()) left += threads.count(thread) ? 1 : 0;
    return left;
}

LRESULT CALLBACK focusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && isWindowsKey(static_cast<DWORD>(wParam))) InterlockedIncrement(&pressesHandedOn);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeFocusWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &focusWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"WindowsKeyProbe";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, L"WindowsKeyProbe", L"Windows key probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        100, 100, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(window);
    SetFocus(window);
    return window;
}

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

DWORD WINAPI pressWhileBusy(void* times) {
    for (int press = 0; press < kBusyPresses; ++press) {
        Sleep(kBusyPressIntervalMs);
        for (const bool release : {false, true}) static_cast<std::vector<double>*>(times)->push_back(sendWindowsKey(release));
    }
    return 0;
}

// What the watcher checks while the internal error's message is up.
struct ErrorEnd {
    DWORD mainThread = 0;
    HANDLE go = nullptr;
    std::set<DWORD> guardThreads;
};

BOOL CALLBACK findMessageBox(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (IsWindowVisible(window) && std::wstring(className) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI watchErrorEnd(void* parameter) {
    const auto& end = *static_cast<ErrorEnd*>(parameter);
    WaitForSingleObject(end.go, INFINITE);
    HWND box = nullptr;
    const bool shown = waitFor([&] {
        EnumThreadWindows(end.mainThread, &findMessageBox, reinterpret_cast<LPARAM>(&box));
        return box != nullptr;
    }, 10000);
    if (!shown) ExitProcess(5);
    std::printf("{\"phase\": \"error message\", \"guard_threads_left\": %d, \"reached\": %s}\n",
                stillRunning(end.guardThreads), pressReachesProbe() ? "true" : "false");
    std::fflush(stdout);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
}

int checkGuard() {
    makeFocusWindow();
    pumpMessages();

    {
        TaskSwitchHook guard;
        const std::set<DWORD> guardThreads = installCounted(guard);
        pressesSeen = 0;
        std::vector<double> times;
        const HANDLE presser = CreateThread(nullptr, 0, &pressWhileBusy, &times, 0, nullptr);
        Sleep(kBusyMs);  // takes no messages, as while a picture is decoded
        WaitForSingleObject(presser, INFINITE);
        const double until = nowMs() + kArrivalMs;
        while (pressesHandedOn < kBusyPresses && nowMs() < until) {
            pumpMessages();
            Sleep(10);
        }
        std::printf("{\"phase\": \"busy\", \"guard_threads\": %zu, \"times\": %s, \"reached\": %ld, "
                    "\"handed_on\": %ld}\n",
                    guardThreads.size(), timesJson(times).c_str(), pressesSeen, pressesHandedOn);

        guard.remove();
        std::printf("{\"phase\": \"removed\", \"guard_threads_left\": %d, \"reached\": %s}\n", stillRunning(guardThreads),
                    pressReachesProbe() ? "true" : "false");
        std::fflush(stdout);
    }

    ErrorEnd end;
    end.mainThread = GetCurrentThreadId();
    end.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, &watchErrorEnd, &end, 0, nullptr);
    static TaskSwitchHook guard;  // the end never returns to unwind it
    end.guardThreads = installCounted(guard);
    SetEvent(end.go);
    vistrel::platform::win32::endAfterEscapedException("a test of the end after an internal error");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!(mode == "saver" && argc == 4) && !(mode == "guard" && argc == 2)) return 2;
    if (!startProbeHook()) return 3;
    return mode == "saver" ? pressAgainstSaver(argv[2], std::strtod(argv[3], nullptr)) : checkGuard();
}
