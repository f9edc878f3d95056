// A label has no window of its own: it is drawn by the window or picture box
// that holds it, on top of that surface's backing image.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

class Win32Platform;
class SurfacePeer;

class LabelPeer final : public ui::ControlPeer {
public:
    LabelPeer(Win32Platform& platform, ui::Label& label);
    ~LabelPeer() override;
    LabelPeer(const LabelPeer&) = delete;
    LabelPeer& operator=(const LabelPeer&) = delete;

    void sync(ui::Property property) override;
    ui::TextSize measureText(const std::string& text) override;

    // The label's place in its surface's client area, in pixels.
    RECT bounds() const;
    void draw(HDC dc) const;

private:
    SurfacePeer* surface() const;
    // Repaints where the label was and where it is now.
    void repaint();

    Win32Platform& platform_;
    ui::Label& label_;
    HFONT font_ = nullptr;
    RECT shownBounds_{};
};

}  // namespace vistrel::platform::win32
