#include "platform/win32/win32_platform.h"

#include <objbase.h>

#include <cmath>
#include <cwchar>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/portable_interface.h"
#include "platform/win32/child_control_peer.h"
#include "platform/win32/common_dialogs.h"
#include "platform/win32/dialog_keys.h"
#include "platform/win32/background_work.h"
#include "platform/win32/escaped_exception.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/label_peer.h"
#include "platform/win32/picture_box_peer.h"
#include "platform/win32/picture_worker.h"
#include "platform/win32/shell_text.h"
#include "platform/win32/surface_peer.h"
#include "platform/win32/text_box_peer.h"
#include "platform/win32/timer_peer.h"
#include "platform/win32/tool_tips.h"
#include "platform/win32/wic_picture_loader.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_peer.h"

namespace vistrel::platform::win32 {
namespace {

const wchar_t* const kTimerWindowClass = L"Vistrel.Timers";
const wchar_t* const kGlobalInstanceName = L"Global\\Vistrel.ScreenSaver.Instance";
const wchar_t* const kSessionInstanceName = L"Local\\Vistrel.ScreenSaver.Instance";

// Guards doEvents against a handler that posts messages as fast as they are
// taken: far more than a real queue ever holds at once.
constexpr int kMaxMessagesPerYield = 10000;

struct FoundMonitors {
    std::vector<Monitor> monitors;
    int dotsPerInch;
};

BOOL CALLBACK collectMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    auto& found = *reinterpret_cast<FoundMonitors*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(handle, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    // The program's windows all use the system's dots per inch.
    const Monitor monitor{{r.left, r.top, r.right - r.left, r.bottom - r.top}, found.dotsPerInch};
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
        found.monitors.insert(found.monitors.begin(), monitor);
    } else {
        found.monitors.push_back(monitor);
    }
    return TRUE;
}

HWND ownerWindow() {
    // The active window of this thread, so a modal box or dialog disables it.
    return GetActiveWindow();
}

}  // namespace

Win32Platform::Win32Platform() : instance_(GetModuleHandleW(nullptr)), pictures_(std::make_unique<WicPictureLoader>()) {
    // S_FALSE when the caller initialised COM already; either needs one
    // CoUninitialize. A different threading model of the caller's stays.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInitialised_ = SUCCEEDED(com);

    HDC screenDC = GetDC(nullptr);
    const int dotsX = GetDeviceCaps(screenDC, LOGPIXELSX);
    const int dotsY = GetDeviceCaps(screenDC, LOGPIXELSY);
    ReleaseDC(nullptr, screenDC);
    if (dotsX > 0) twipsPerPixelX_ = 1440.0 / dotsX;
    if (dotsY > 0) {
        twipsPerPixelY_ = 1440.0 / dotsY;
        dotsPerInchY_ = dotsY;
    }
    textBoxFont_ = createFont(ui::Font{}, dotsPerInchY_);
    QueryPerformanceFrequency(&counterFrequency_);

    SurfacePeer::registerWindowClasses(instance_);
    WNDCLASSEXW timerClass{};
    timerClass.cbSize = sizeof timerClass;
    timerClass.lpfnWndProc = &Win32Platform::timerWindowProc;
    timerClass.hInstance = instance_;
    timerClass.lpszClassName = kTimerWindowClass;
    RegisterClassExW(&timerClass);
    timerWindow_ = CreateWindowExW(0, kTimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, nullptr);
    SetWindowLongPtrW(timerWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    pictureWorker_ = std::make_unique<PictureWorker>(timerWindow_);
}

Win32Platform::~Win32Platform() {
    // The program never ends with the keyboard guard's thread still running.
    taskSwitchHook_.remove();
    // Posts no more messages, and is not waited for.
    pictureWorker_.reset();
    if (timerWindow_) DestroyWindow(timerWindow_);
    if (textBoxFont_) DeleteObject(textBoxFont_);
    if (instanceMutex_) CloseHandle(instanceMutex_);
    pictures_.reset();  // releases its COM objects before COM goes
    if (comInitialised_) CoUninitialize();
}

int Win32Platform::runEventLoop() {
    // The loop does not end through WM_QUIT: a quit message posted when the
    // last window goes would also end the modal loop of a message box shown
    // right after, before the user saw it.
    MSG message;
    while (loadedWindows_ > 0) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got < 0) return 1;
        if (handleDialogKey(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

// --- process services ---

std::string Win32Platform::commandLine() {
    const wchar_t* whole = GetCommandLineW();
    const std::u16string units(whole, whole + std::wcslen(whole));
    return utf16ToUtf8(commandTail(units));
}

bool Win32Platform::claimSingleInstance() {
    if (instanceMutex_) return true;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kGlobalInstanceName);
    if (!mutex && GetLastError() == ERROR_ACCESS_DENIED) {
        // The global namespace is closed to this session (a restricted
        // account, for example); one instance per session then.
        mutex = CreateMutexW(nullptr, FALSE, kSessionInstanceName);
    }
    if (!mutex) return true;  // no way to tell: let this instance run
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    instanceMutex_ = mutex;  // held until the process ends
    return true;
}

std::string Win32Platform::programFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return folderOfPath(fromWide(std::wstring_view(path.data(), length)));
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
}

ScreenMetrics Win32Platform::screen() {
    ScreenMetrics metrics;
    metrics.widthPixels = GetSystemMetrics(SM_CXSCREEN);
    metrics.heightPixels = GetSystemMetrics(SM_CYSCREEN);
    metrics.twipsPerPixelX = twipsPerPixelX_;
    metrics.twipsPerPixelY = twipsPerPixelY_;
    return metrics;
}

std::vector<Monitor> Win32Platform::monitors() {
    FoundMonitors found{{}, static_cast<int>(std::lround(1440 / twipsPerPixelX_))};
    EnumDisplayMonitors(nullptr, nullptr, &collectMonitor, reinterpret_cast<LPARAM>(&found));
    if (found.monitors.empty()) {
        const ScreenMetrics primary = screen();
        found.monitors.push_back(Monitor{{0, 0, primary.widthPixels, primary.heightPixels}, found.dotsPerInch});
    }
    return found.monitors;
}

double Win32Platform::timeOfDaySeconds() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

std::string Win32Platform::longDate(const picture::CalendarDate& date) {
    SYSTEMTIME day{};
    day.wYear = static_cast<WORD>(date.year);
    day.wMonth = static_cast<WORD>(date.month);
    day.wDay = static_cast<WORD>(date.day);
    wchar_t text[128];
    // The day of the week is worked out by the call itself.
    const int written = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, &day, nullptr, text,
                                        static_cast<int>(std::size(text)), nullptr);
    return written > 1 ? fromWide(std::wstring_view(text, static_cast<std::size_t>(written - 1))) : std::string();
}

void Win32Platform::endProgram() {
    // The system would drop the hook with the process; removing it here ends
    // the guard's thread before the program, whatever ends the program.
    taskSwitchHook_.remove();
    ExitProcess(0);
}

void Win32Platform::doEvents() {
    MSG message;
    int handled = 0;
    while (handled < kMaxMessagesPerYield && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // left for the outer loop
            return;
        }
        ++handled;
        if (handleDialogKey(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Nothing was pending: wait a moment for something, so that a caller
    // that polls in a loop (a pause that lets events run) does not spin.
    if (handled == 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
}

std::int64_t Win32Platform::monotonicMs() {
    LARGE_INTEGER now;
    if (counterFrequency_.QuadPart <= 0 || !QueryPerformanceCounter(&now)) return static_cast<std::int64_t>(GetTickCount());
    return now.QuadPart / (counterFrequency_.QuadPart / 1000 > 0 ? counterFrequency_.QuadPart / 1000 : 1);
}

void Win32Platform::pauseWithoutEvents(int milliseconds) {
    const std::int64_t until = monotonicMs() + milliseconds;
    for (std::int64_t now = monotonicMs(); now < until; now = monotonicMs()) {
        // Wakes only for messages sent from other threads, whose senders
        // wait for the answer; no input and no timer tick is handled. The
        // wait also hands what was painted so far to the screen.
        const DWORD woke = MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(until - now), QS_SENDMESSAGE, 0);
        if (woke != WAIT_OBJECT_0) return;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// --- window system and graphics ---

void Win32Platform::setWindowPos(Handle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                                 unsigned flags) {
    SetWindowPos(reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy, flags);
}

void Win32Platform::setCursorPos(int x, int y) { SetCursorPos(x, y); }

Handle Win32Platform::getDesktopWindow() { return reinterpret_cast<Handle>(GetDesktopWindow()); }

bool Win32Platform::isWindow(Handle window) { return window != 0 && IsWindow(reinterpret_cast<HWND>(window)) != FALSE; }

bool Win32Platform::getClientRect(Handle window, PixelBounds& client) {
    RECT rect{};
    if (window == 0 || !GetClientRect(reinterpret_cast<HWND>(window), &rect)) return false;
    client = PixelBounds{0, 0, rect.right - rect.left, rect.bottom - rect.top};
    return true;
}

Handle Win32Platform::getDC(Handle window) { return reinterpret_cast<Handle>(GetDC(reinterpret_cast<HWND>(window))); }

int Win32Platform::releaseDC(Handle window, Handle dc) {
    return ReleaseDC(reinterpret_cast<HWND>(window), reinterpret_cast<HDC>(dc));
}

bool Win32Platform::bitBlt(Handle destDC, int x, int y, int width, int height, Handle srcDC, int srcX, int srcY,
                           std::uint32_t rop) {
    const auto target = reinterpret_cast<HDC>(destDC);
    const bool drawn = BitBlt(target, x, y, width, height, reinterpret_cast<HDC>(srcDC), srcX, srcY, rop) != FALSE;
    const auto surface = surfaces_.find(target);
    if (surface != surfaces_.end()) surface->second->imageChanged(RECT{x, y, x + width, y + height});
    return drawn;
}

int Win32Platform::setStretchBltMode(Handle dc, int mode) {
    const auto context = reinterpret_cast<HDC>(dc);
    const int previous = SetStretchBltMode(context, mode);
    // HALFTONE needs the brush origin set again after it is chosen.
    if (mode == STRETCH_HALFTONE) SetBrushOrgEx(context, 0, 0, nullptr);
    return previous;
}

bool Win32Platform::stretchBlt(Handle destDC, int x, int y, int width, int height, Handle srcDC, int srcX, int srcY,
                               int srcWidth, int srcHeight, std::uint32_t rop) {
    const auto target = reinterpret_cast<HDC>(destDC);
    const bool drawn = StretchBlt(target, x, y, width, height, reinterpret_cast<HDC>(srcDC), srcX, srcY, srcWidth,
                                  srcHeight, rop) != FALSE;
    const auto surface = surfaces_.find(target);
    if (surface != surfaces_.end()) surface->second->imageChanged(RECT{x, y, x + width, y + height});
    return drawn;
}

bool Win32Platform::systemParametersInfo(unsigned action, unsigned param, std::uint32_t* value, unsigned winIni) {
    return SystemParametersInfoA(action, param, value, winIni) != FALSE;
}

bool Win32Platform::getVersionEx(OsVersionInfo& info) {
    // Room for the larger OSVERSIONINFOEXA too, so a caller's size field
    // can never make the system write past the record.
    OSVERSIONINFOEXA record{};
    if (info.size > sizeof record) return false;
    record.dwOSVersionInfoSize = info.size;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&record))) return false;
    info.majorVersion = record.dwMajorVersion;
    info.minorVersion = record.dwMinorVersion;
    info.buildNumber = record.dwBuildNumber;
    info.platformId = static_cast<std::int32_t>(record.dwPlatformId);
    return true;
}

void Win32Platform::blockTaskSwitchKeys(bool block) {
    if (block) {
        taskSwitchHook_.install();
    } else {
        taskSwitchHook_.remove();
    }
}

// --- user-interface runtime ---

MessageBoxAnswer Win32Platform::messageBox(const std::string& text, const std::string& title,
                                           MessageBoxButtons buttons) {
    const std::wstring wideText = toWide(text);
    const std::wstring wideTitle = toWide(title.empty() ? std::string(kApplicationTitle) : title);
    const HWND owner = ownerWindow();
    UINT style = MB_ICONEXCLAMATION | (buttons == MessageBoxButtons::YesNo ? MB_YESNO : MB_OK);
    // Without an owner the box still keeps the program's other windows
    // from taking input while it is up.
    if (!owner) style |= MB_TASKMODAL;
    switch (MessageBoxW(owner, wideText.c_str(), wideTitle.c_str(), style)) {
        case IDYES:
            return MessageBoxAnswer::Yes;
        case IDNO:
            return MessageBoxAnswer::No;
        default:
            // A box that could not be shown answers a question with No.
            return buttons == MessageBoxButtons::YesNo ? MessageBoxAnswer::No : MessageBoxAnswer::Ok;
    }
}

picture::PictureResult Win32Platform::decodePicture(std::span<const std::uint8_t> bytes) { return pictures_->decode(bytes); }

std::unique_ptr<PictureJob> Win32Platform::loadPictureInBackground(const std::string& path,
                                                                   const picture::PictureRequest& request,
                                                                   std::function<void()> ready) {
    return pictureWorker_->load(path, request, std::move(ready));
}

std::optional<std::vector<std::string>> Win32Platform::chooseFiles(const FileOpenRequest& request) {
    return showFileOpenDialog(ownerWindow(), request);
}

std::optional<std::string> Win32Platform::chooseFolder(const std::string& title) {
    return showFolderDialog(ownerWindow(), title);
}

std::uint32_t Win32Platform::colorValue(std::uint32_t color) { return toColorRef(color); }

std::optional<std::uint32_t> Win32Platform::chooseColor(std::uint32_t start) {
    return showColorDialog(ownerWindow(), start, customColors_);
}

std::optional<FontChoice> Win32Platform::chooseFont(const FontRequest& request) {
    return showFontDialog(ownerWindow(), request, dotsPerInchY_);
}

std::unique_ptr<ui::ControlPeer> Win32Platform::createPeer(ui::Control& control) {
    std::unique_ptr<ui::ControlPeer> peer = createKindPeer(control);
    if (peer && peer->hwnd() && !control.toolTipText.empty()) {
        addToolTip(*this, reinterpret_cast<HWND>(peer->hwnd()), toWide(control.toolTipText));
    }
    return peer;
}

std::unique_ptr<ui::ControlPeer> Win32Platform::createKindPeer(ui::Control& control) {
    switch (control.kind()) {
        case ui::ControlKind::Window:
            return std::make_unique<WindowPeer>(*this, static_cast<ui::Window&>(control));
        case ui::ControlKind::PictureBox:
            // The program draws such a box itself: nothing of it on the screen.
            if (control.drawnByProgram) return std::make_unique<ProgramDrawnPeer>();
            return std::make_unique<PictureBoxPeer>(*this, static_cast<ui::PictureBox&>(control));
        case ui::ControlKind::Label:
            return std::make_unique<LabelPeer>(*this, static_cast<ui::Label&>(control));
        case ui::ControlKind::TextBox:
            return std::make_unique<TextBoxPeer>(*this, static_cast<ui::TextBox&>(control));
        case ui::ControlKind::Timer:
            return std::make_unique<TimerPeer>(*this, static_cast<ui::Timer&>(control));
        default:
            return createDialogPeer(*this, control);
    }
}

// --- timers ---

UINT_PTR Win32Platform::addTimer(TimerPeer& peer) {
    // Identifiers are never reused, so a tick that was already queued for a
    // removed timer finds nothing.
    const UINT_PTR id = nextTimerId_++;
    timers_[id] = &peer;
    return id;
}

std::vector<std::string> Win32Platform::pictureFileExtensions() {
    if (!pictureExtensions_) pictureExtensions_ = pictures_->decoderExtensions();
    return *pictureExtensions_;
}

std::unique_ptr<BackgroundWork> Win32Platform::startBackgroundWork(std::function<bool()> step,
                                                                   std::function<void()> progressed) {
    auto shared = std::make_shared<WorkShared>();
    shared->step = std::move(step);
    shared->window = timerWindow_;
    shared->id = nextWorkId_++;
    works_[shared->id] = Work{shared, std::move(progressed)};
    return std::make_unique<ThreadWork>(shared, [this, id = shared->id] { works_.erase(id); });
}

void Win32Platform::workProgressed(UINT_PTR id) {
    const auto found = works_.find(id);
    if (found == works_.end()) return;  // dropped meanwhile
    // Steps done from here on post a message of their own.
    found->second.shared->messagePending.store(false);
    // A copy: the work may be dropped in there.
    const std::function<void()> progressed = found->second.progressed;
    if (progressed) progressed();
}

LRESULT CALLBACK Win32Platform::timerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* platform = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kWorkProgressMessage && platform) {
        return callGuarded([platform, wParam] {
            platform->workProgressed(static_cast<UINT_PTR>(wParam));
            return LRESULT{0};
        });
    }
    if (message == kPictureReadyMessage && platform && platform->pictureWorker_) {
        return callGuarded([platform, wParam] {
            platform->pictureWorker_->announce(static_cast<std::uint64_t>(wParam));
            return LRESULT{0};
        });
    }
    if (message != WM_TIMER) return DefWindowProcW(window, message, wParam, lParam);
    if (!platform) return 0;
    const auto timer = platform->timers_.find(static_cast<UINT_PTR>(wParam));
    if (timer == platform->timers_.end()) return 0;
    TimerPeer* peer = timer->second;
    return callGuarded([peer] {
        peer->elapsed();
        return LRESULT{0};
    });
}

}  // namespace vistrel::platform::win32
