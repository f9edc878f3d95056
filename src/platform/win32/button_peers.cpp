// Buttons, check boxes and option buttons: the system's BUTTON control. The
// model decides the check state (the controls are not "auto" ones), so an
// option button clears the others of its frame however it was selected.
#include "platform/win32/child_control_peer.h"
#include "platform/win32/dialog_peers.h"
#include "platform/win32/wide_text.h"

namespace vistrel::platform::win32 {

CaptionedPeer::CaptionedPeer(Win32Platform& platform, ui::CaptionedControl& control)
    : ChildControlPeer(platform, control), control_(control) {
    DWORD style = WS_TABSTOP;
    switch (control.kind()) {
        case ui::ControlKind::CheckBox: style |= BS_CHECKBOX; break;
        case ui::ControlKind::OptionButton: style |= BS_RADIOBUTTON; break;
        default: style |= BS_PUSHBUTTON; break;
    }
    create(L"BUTTON", style, 0);
    showCaption();
    showValue();
    applyInitialState();
}

void CaptionedPeer::sync(ui::Property property) {
    if (syncCommon(property)) return;
    switch (property) {
        case ui::Property::Text: showCaption(); break;
        case ui::Property::Value: showValue(); break;
        case ui::Property::BackColor:
        case ui::Property::ForeColor: InvalidateRect(window(), nullptr, TRUE); break;
        default: break;
    }
}

void CaptionedPeer::setFocus() {
    // An option button that is not selected reports a click when it gets
    // the focus (Windows selects a radio button reached by the keyboard).
    // Focus that the program gives presses nothing: an access key shared by
    // several controls only moves the focus, and the model clicks itself
    // where a click is meant.
    focusingByProgram_ = true;
    SetFocus(window());
    focusingByProgram_ = false;
}

void CaptionedPeer::onCommand(WORD code) {
    if (code != BN_CLICKED || focusingByProgram_) return;
    switch (control_.kind()) {
        case ui::ControlKind::Button: static_cast<ui::Button&>(control_).userClick(); break;
        case ui::ControlKind::CheckBox: static_cast<ui::CheckBox&>(control_).userClick(); break;
        case ui::ControlKind::OptionButton: static_cast<ui::OptionButton&>(control_).userClick(); break;
        default: break;
    }
}

bool CaptionedPeer::reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    // Check boxes and option buttons draw their background in the colour given.
    if (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN) return false;
    if (control_.kind() == ui::ControlKind::Button) return false;
    result = colorReply(wParam, control_.backColor(), control_.foreColor());
    return true;
}

void CaptionedPeer::showCaption() {
    const std::wstring caption = toWide(control_.caption());
    SetWindowTextW(window(), caption.c_str());
}

void CaptionedPeer::showValue() {
    int checked = 0;
    if (control_.kind() == ui::ControlKind::CheckBox) checked = static_cast<ui::CheckBox&>(control_).value();
    if (control_.kind() == ui::ControlKind::OptionButton) checked = static_cast<ui::OptionButton&>(control_).value();
    if (control_.kind() != ui::ControlKind::Button) {
        SendMessageW(window(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

}  // namespace vistrel::platform::win32
