// The common part of the peers that own a window handle: the link from the
// handle back to the peer, and a way for message handlers to notice that a
// handler of the model unloaded the window (and so deleted the peer) while
// they were running.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

class NativePeer : public ui::ControlPeer {
public:
    NativePeer() = default;
    ~NativePeer() override = default;
    NativePeer(const NativePeer&) = delete;
    NativePeer& operator=(const NativePeer&) = delete;

    Handle hwnd() const override { return reinterpret_cast<Handle>(window_); }
    HWND window() const { return window_; }

    // The peer of one of our windows; null for any other window.
    static NativePeer* fromWindow(HWND window);

    // A notification that the window sent to its parent (WM_COMMAND).
    virtual void onCommand(WORD /*code*/) {}
    // Another message the window sent to its parent about itself
    // (WM_HSCROLL, WM_VSCROLL, WM_CTLCOLOR..., WM_NOTIFY); false when the
    // parent should answer it as usual.
    virtual bool reflect(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }

    // Expires when the peer is deleted. Take it before calling into the
    // model and check it afterwards, before touching the peer again.
    std::weak_ptr<int> lifetime() const { return lifetime_; }

protected:
    void attach(HWND window);
    // Mirrors the visibility and the enabled state of a child control;
    // false for any other property.
    bool syncChildState(ui::Property property, const ui::Control& control);
    // Cuts the link first, so the messages of the destruction find no peer.
    void destroyWindow();

private:
    HWND window_ = nullptr;
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
};

}  // namespace vistrel::platform::win32
