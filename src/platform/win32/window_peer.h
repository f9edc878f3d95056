// A top-level window of the program (a form).
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/portable_interface.h"
#include "platform/win32/surface_peer.h"

namespace vistrel::platform::win32 {

class WindowPeer final : public SurfacePeer {
public:
    WindowPeer(Win32Platform& platform, ui::Window& window);
    ~WindowPeer() override;

    void sync(ui::Property property) override;
    Handle hdc() override;
    void setFocus() override;
    ui::TextSize frameSize() override;
    picture::PixelCanvas canvas() override;
    bool showCanvas(int x, int y, int width, int height) override;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    double unitsX(int pixels) const override;
    double unitsY(int pixels) const override;

private:
    bool maximized() const { return form_.windowState == ui::WindowState::Maximized; }
    bool borderless() const { return form_.borderStyle == ui::BorderStyle::None; }
    bool hosted() const { return form_.host != 0; }
    // The outer size that the model asks for, in pixels.
    SIZE designedSize() const;
    void applyBounds();
    void applyVisible();
    void centerOnScreen();
    void growImageToClient();
    // On activation: back to the control that had the focus, else the first
    // tab stop, else the window itself.
    void restoreFocus();
    // WM_DROPFILES: the dropped paths to the window's handler.
    void filesDropped(HDROP drop);

    ui::Window& form_;
    DWORD style_ = 0;
    DWORD extendedStyle_ = 0;
    bool shownBefore_ = false;
    HWND lastFocus_ = nullptr;
};

}  // namespace vistrel::platform::win32
