// The vertical scroll bar used as a spin control, and the slider.
#include <windows.h>

#include <commctrl.h>

#include "platform/win32/dialog_peers.h"

namespace vistrel::platform::win32 {

ScrollBarPeer::ScrollBarPeer(Win32Platform& platform, ui::ScrollBar& bar) : ChildControlPeer(platform, bar), bar_(bar) {
    create(L"SCROLLBAR", WS_TABSTOP | SBS_VERT, 0);
    if (!window()) return;
    // The system's scroll bar has its smallest position at the top.
    SetScrollRange(window(), SB_CTL, 0, bar.span(), FALSE);
    showValue();
    applyInitialState();
}

void ScrollBarPeer::sync(ui::Property property) {
    if (syncCommon(property)) return;
    if (property == ui::Property::Value) showValue();
}

void ScrollBarPeer::showValue() { SetScrollPos(window(), SB_CTL, bar_.positionOf(bar_.value()), TRUE); }

bool ScrollBarPeer::reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_VSCROLL) return false;
    result = 0;
    switch (LOWORD(wParam)) {
        case SB_LINEUP: bar_.userLineUp(); break;
        case SB_LINEDOWN: bar_.userLineDown(); break;
        case SB_PAGEUP: bar_.userPageUp(); break;
        case SB_PAGEDOWN: bar_.userPageDown(); break;
        case SB_TOP: bar_.userSetValue(bar_.valueAt(0)); break;
        case SB_BOTTOM: bar_.userSetValue(bar_.valueAt(bar_.span())); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: bar_.userSetValue(bar_.valueAt(HIWORD(wParam))); break;
        default: break;
    }
    return true;
}

SliderPeer::SliderPeer(Win32Platform& platform, ui::Slider& slider)
    : ChildControlPeer(platform, slider), slider_(slider) {
    create(TRACKBAR_CLASSW, WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM, 0);
    if (!window()) return;
    SendMessageW(window(), TBM_SETRANGE, FALSE, MAKELPARAM(slider.min(), slider.max()));
    SendMessageW(window(), TBM_SETPOS, TRUE, slider.value());
    applyInitialState();
}

void SliderPeer::sync(ui::Property property) {
    if (syncCommon(property)) return;
    if (property == ui::Property::Value) SendMessageW(window(), TBM_SETPOS, TRUE, slider_.value());
}

bool SliderPeer::reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message == WM_CTLCOLORSTATIC) {
        // The slider's background is its frame's.
        const ui::Control* container = slider_.parent();
        if (!container || container->kind() != ui::ControlKind::Frame) return false;
        const auto& frame = static_cast<const ui::Frame&>(*container);
        result = colorReply(wParam, frame.backColor(), frame.foreColor());
        return true;
    }
    if (message != WM_HSCROLL) return false;
    result = 0;
    const auto position = static_cast<int>(SendMessageW(window(), TBM_GETPOS, 0, 0));
    const auto alive = lifetime();
    slider_.userSetValue(position);
    if (!alive.expired() && slider_.value() != position) SendMessageW(window(), TBM_SETPOS, TRUE, slider_.value());
    return true;
}

}  // namespace vistrel::platform::win32
