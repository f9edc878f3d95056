// The common part of the peers that are system controls placed on a window
// or frame: making the control, its place, font, colours, visibility and
// enabled state.
#pragma once

#include <windows.h>

#include "platform/win32/native_peer.h"
#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

class Win32Platform;

class ChildControlPeer : public NativePeer {
public:
    ~ChildControlPeer() override;

    void setFocus() override { SetFocus(window()); }

protected:
    ChildControlPeer(Win32Platform& platform, ui::Control& control) : platform_(platform), control_(control) {}

    // Makes the control as a child of its container's window, with the
    // dialog font (or `font`, when it differs from the default).
    void create(const wchar_t* className, DWORD style, DWORD extendedStyle, const ui::Font& font = ui::Font{});
    // Shows the control when the model has it visible, and so on; called
    // last by the derived constructor.
    void applyInitialState();
    // Visible, enabled and bounds; false for any other property.
    bool syncCommon(ui::Property property);
    // The model's bounds in pixels, `extraHeight` pixels taller (a drop-down list).
    void applyBounds(int extraHeight = 0);
    // The answer to WM_CTLCOLOR...: the colours given, as a brush kept by the peer.
    LRESULT colorReply(WPARAM dc, ui::Color back, ui::Color fore);

    Win32Platform& platform_;
    ui::Control& control_;

private:
    HFONT ownFont_ = nullptr;
    HBRUSH brush_ = nullptr;
    ui::Color brushColor_ = 0;
};

// The peers of the settings dialog's control kinds; null for other kinds.
std::unique_ptr<ui::ControlPeer> createDialogPeer(Win32Platform& platform, ui::Control& control);

}  // namespace vistrel::platform::win32
