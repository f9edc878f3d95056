// The status bar: the common control, docked to the bottom of the window,
// with a clock panel that a timer of its own keeps current.
#include <windows.h>

#include <commctrl.h>

#include "platform/win32/dialog_peers.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/tool_tips.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {
namespace {

constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClockIntervalMs = 1000;

}  // namespace

StatusBarPeer::StatusBarPeer(Win32Platform& platform, ui::StatusBar& bar) : ChildControlPeer(platform, bar), bar_(bar) {
    // No size grip: the window is not resizable. The bar places itself
    // along the bottom edge of its window.
    create(STATUSCLASSNAMEW, CCS_BOTTOM, 0);
    if (!window()) return;
    showPanels();
    if (!bar.enabled()) EnableWindow(window(), FALSE);
    if (bar.visible()) ShowWindow(window(), SW_SHOWNA);
    SetTimer(window(), kClockTimer, kClockIntervalMs, &StatusBarPeer::clockTick);
}

StatusBarPeer::~StatusBarPeer() {
    if (window()) KillTimer(window(), kClockTimer);
}

void StatusBarPeer::sync(ui::Property property) {
    // The bar keeps its own place at the bottom of the window.
    if (property == ui::Property::Visible || property == ui::Property::Enabled) syncChildState(property, bar_);
    if (property == ui::Property::Text) showPanelText(bar_.lastChangedPanel());
}

void StatusBarPeer::showPanelText(std::size_t panel) {
    if (panel >= bar_.panels.size() || panel >= tips_.size()) return;
    tips_[panel] = toWide(bar_.panels[panel].text);
    SendMessageW(window(), SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(tips_[panel].c_str()));
    if (bar_.panels[panel].toolTipIsText) setToolTipAreaText(window(), panel + 1, tips_[panel]);
    // Shown at once, also while the program is busy between event yields.
    UpdateWindow(window());
}

void StatusBarPeer::showPanels() {
    std::vector<int> rightEdges;
    int right = 0;
    for (const auto& panel : bar_.panels) {
        right += twipsToPixels(panel.width, platform_.twipsPerPixelX());
        rightEdges.push_back(right);
    }
    if (!rightEdges.empty()) rightEdges.back() = -1;  // the last one reaches the right edge
    SendMessageW(window(), SB_SETPARTS, rightEdges.size(), reinterpret_cast<LPARAM>(rightEdges.data()));
    tips_.clear();
    for (std::size_t i = 0; i < bar_.panels.size(); ++i) {
        const auto& panel = bar_.panels[i];
        tips_.push_back(panel.style == ui::StatusBar::PanelStyle::Time ? timeText() : toWide(panel.text));
        SendMessageW(window(), SB_SETTEXTW, i, reinterpret_cast<LPARAM>(tips_.back().c_str()));
        RECT area{};
        SendMessageW(window(), SB_GETRECT, i, reinterpret_cast<LPARAM>(&area));
        if (panel.toolTipIsText) addToolTipArea(platform_, window(), i + 1, area, tips_.back());
    }
}

std::wstring StatusBarPeer::timeText() const {
    wchar_t text[64] = L"";
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, text, 64);
    return text;
}

void StatusBarPeer::showTime() {
    for (std::size_t i = 0; i < bar_.panels.size(); ++i) {
        if (bar_.panels[i].style != ui::StatusBar::PanelStyle::Time) continue;
        std::wstring now = timeText();
        if (now == tips_[i]) continue;
        tips_[i] = std::move(now);
        SendMessageW(window(), SB_SETTEXTW, i, reinterpret_cast<LPARAM>(tips_[i].c_str()));
        if (bar_.panels[i].toolTipIsText) setToolTipAreaText(window(), i + 1, tips_[i]);
    }
}

void CALLBACK StatusBarPeer::clockTick(HWND window, UINT, UINT_PTR, DWORD) {
    if (auto* peer = dynamic_cast<StatusBarPeer*>(NativePeer::fromWindow(window))) peer->showTime();
}

}  // namespace vistrel::platform::win32
