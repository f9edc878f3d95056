#include "platform/win32/child_control_peer.h"

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/dialog_peers.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {

ChildControlPeer::~ChildControlPeer() {
    destroyWindow();
    if (ownFont_) DeleteObject(ownFont_);
    if (brush_) DeleteObject(brush_);
}

void ChildControlPeer::create(const wchar_t* className, DWORD style, DWORD extendedStyle, const ui::Font& font) {
    HWND parent = control_.parent() ? reinterpret_cast<HWND>(control_.parent()->hwnd()) : nullptr;
    HWND hwnd = CreateWindowExW(extendedStyle, className, L"", WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent,
                                nullptr, platform_.instance(), nullptr);
    attach(hwnd);
    if (!hwnd) return;
    HFONT shown = platform_.textBoxFont();
    if (!(font == ui::Font{})) shown = ownFont_ = createFont(font, platform_.dotsPerInchY());
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);
}

void ChildControlPeer::applyInitialState() {
    if (!window()) return;
    applyBounds();
    if (!control_.enabled()) EnableWindow(window(), FALSE);
    if (control_.visible()) ShowWindow(window(), SW_SHOWNA);
}

bool ChildControlPeer::syncCommon(ui::Property property) {
    if (syncChildState(property, control_)) return true;
    if (property != ui::Property::Bounds) return false;
    applyBounds();
    return true;
}

void ChildControlPeer::applyBounds(int extraHeight) {
    const double tx = platform_.twipsPerPixelX();
    const double ty = platform_.twipsPerPixelY();
    SetWindowPos(window(), nullptr, twipsToPixels(control_.left(), tx), twipsToPixels(control_.top(), ty),
                 twipsToPixels(control_.width(), tx), twipsToPixels(control_.height(), ty) + extraHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT ChildControlPeer::colorReply(WPARAM dc, ui::Color back, ui::Color fore) {
    if (!brush_ || brushColor_ != back) {
        if (brush_) DeleteObject(brush_);
        brush_ = CreateSolidBrush(toColorRef(back));
        brushColor_ = back;
    }
    const auto context = reinterpret_cast<HDC>(dc);
    SetBkColor(context, toColorRef(back));
    SetTextColor(context, control_.enabled() ? toColorRef(fore) : GetSysColor(COLOR_GRAYTEXT));
    return reinterpret_cast<LRESULT>(brush_);
}

}  // namespace vistrel::platform::win32

namespace vistrel::platform::win32 {

std::unique_ptr<ui::ControlPeer> createDialogPeer(Win32Platform& platform, ui::Control& control) {
    // The slider, the status bar and the tool tips are common controls.
    static const bool commonControlsReady = [] {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)commonControlsReady;
    switch (control.kind()) {
        case ui::ControlKind::Frame: return std::make_unique<FramePeer>(platform, static_cast<ui::Frame&>(control));
        case ui::ControlKind::Button:
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::OptionButton:
            return std::make_unique<CaptionedPeer>(platform, static_cast<ui::CaptionedControl&>(control));
        case ui::ControlKind::ListBox:
        case ui::ControlKind::ComboBox:
            return std::make_unique<ListPeer>(platform, static_cast<ui::ListControl&>(control));
        case ui::ControlKind::ScrollBar:
            return std::make_unique<ScrollBarPeer>(platform, static_cast<ui::ScrollBar&>(control));
        case ui::ControlKind::Slider: return std::make_unique<SliderPeer>(platform, static_cast<ui::Slider&>(control));
        case ui::ControlKind::StatusBar:
            return std::make_unique<StatusBarPeer>(platform, static_cast<ui::StatusBar&>(control));
        default: return nullptr;
    }
}

}  // namespace vistrel::platform::win32
