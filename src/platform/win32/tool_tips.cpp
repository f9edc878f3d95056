#include "platform/win32/tool_tips.h"

#include <windows.h>

#include <commctrl.h>

#include <map>

#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {
namespace {

const wchar_t* const kToolTipsProperty = L"Vistrel.ToolTips";
// A timer of the control's own that adds its tip once the program waits for
// messages again.
constexpr UINT_PTR kAddTipTimer = 0x7454;

struct PendingTip {
    Win32Platform* platform;
    std::wstring text;
};
std::map<HWND, PendingTip>& pendingTips() {
    static std::map<HWND, PendingTip> tips;
    return tips;
}

HWND toolTipsOf(HWND control, HINSTANCE instance, bool make) {
    HWND top = GetAncestor(control, GA_ROOT);
    if (!top) return nullptr;
    auto tips = static_cast<HWND>(GetPropW(top, kToolTipsProperty));
    if (tips || !make) return tips;
    tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, top, nullptr, instance, nullptr);
    if (tips) SetPropW(top, kToolTipsProperty, tips);
    return tips;
}

// The size every version of the common controls takes.
TTTOOLINFOW toolInfo(HWND control, UINT_PTR id, const std::wstring& text) {
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = control;
    info.uId = id;
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    return info;
}

void addToolTipNow(Win32Platform& platform, HWND control, const std::wstring& text) {
    HWND tips = toolTipsOf(control, platform.instance(), true);
    if (!tips) return;
    TTTOOLINFOW info = toolInfo(GetAncestor(control, GA_ROOT), reinterpret_cast<UINT_PTR>(control), text);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CALLBACK addPendingTip(HWND control, UINT, UINT_PTR id, DWORD) {
    KillTimer(control, id);
    auto& pending = pendingTips();
    const auto tip = pending.find(control);
    if (tip == pending.end()) return;
    const PendingTip found = tip->second;
    pending.erase(tip);
    addToolTipNow(*found.platform, control, found.text);
}

}  // namespace

void addToolTip(Win32Platform& platform, HWND control, const std::wstring& text) {
    // A tool tip watches every message its control gets; a list filled with
    // thousands of items in a load step would pay for each, so the tip
    // comes when the step is over.
    if (!SetTimer(control, kAddTipTimer, 0, &addPendingTip)) {
        addToolTipNow(platform, control, text);
        return;
    }
    pendingTips()[control] = PendingTip{&platform, text};
}

void addToolTipArea(Win32Platform& platform, HWND control, UINT_PTR id, const RECT& area, const std::wstring& text) {
    HWND tips = toolTipsOf(control, platform.instance(), true);
    if (!tips) return;
    TTTOOLINFOW info = toolInfo(control, id, text);
    info.uFlags = TTF_SUBCLASS;
    info.rect = area;
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void setToolTipAreaText(HWND control, UINT_PTR id, const std::wstring& text) {
    HWND tips = toolTipsOf(control, nullptr, false);
    if (!tips) return;
    TTTOOLINFOW info = toolInfo(control, id, text);
    SendMessageW(tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace vistrel::platform::win32
