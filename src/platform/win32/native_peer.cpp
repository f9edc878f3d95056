#include "platform/win32/native_peer.h"

namespace vistrel::platform::win32 {
namespace {

const wchar_t* const kPeerProperty = L"Vistrel.Peer";

}  // namespace

NativePeer* NativePeer::fromWindow(HWND window) {
    if (!window) return nullptr;
    return static_cast<NativePeer*>(GetPropW(window, kPeerProperty));
}

void NativePeer::attach(HWND window) {
    window_ = window;
    if (window_) SetPropW(window_, kPeerProperty, this);
}

void NativePeer::destroyWindow() {
    if (!window_) return;
    RemovePropW(window_, kPeerProperty);
    DestroyWindow(window_);
    window_ = nullptr;
}

bool NativePeer::syncChildState(ui::Property property, const ui::Control& control) {
    switch (property) {
        case ui::Property::Visible:
            ShowWindow(window_, control.visible() ? SW_SHOWNA : SW_HIDE);
            return true;
        case ui::Property::Enabled:
            EnableWindow(window_, control.enabled());
            return true;
        default:
            return false;
    }
}

}  // namespace vistrel::platform::win32
