// A label has no window of its own: it is drawn by the window, picture box
// or frame that holds it, on top of that surface's backing image. The model
// asks that surface to repaint it on every change.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

class Win32Platform;

class LabelPeer final : public ui::ControlPeer {
public:
    LabelPeer(Win32Platform& platform, ui::Label& label);
    ~LabelPeer() override;
    LabelPeer(const LabelPeer&) = delete;
    LabelPeer& operator=(const LabelPeer&) = delete;

    void sync(ui::Property property) override;
    ui::TextSize measureText(const std::string& text) override;
    picture::Picture renderText(const std::string& text) override;

    // The label's place in its surface's client area, in pixels.
    RECT bounds() const;
    void draw(HDC dc) const;

private:
    Win32Platform& platform_;
    ui::Label& label_;
    HFONT font_ = nullptr;
};

}  // namespace vistrel::platform::win32
