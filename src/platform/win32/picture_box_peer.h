// A picture box: a child window whose face is its own backing image, which
// holds the assigned picture at its top-left corner and what is drawn on it.
#pragma once

#include <windows.h>

#include "platform/win32/portable_interface.h"
#include "platform/win32/surface_peer.h"

namespace vistrel::platform::win32 {

class PictureBoxPeer final : public SurfacePeer {
public:
    PictureBoxPeer(Win32Platform& platform, ui::PictureBox& box);
    ~PictureBoxPeer() override;

    void sync(ui::Property property) override;
    Handle hdc() override;
    void setFocus() override;

protected:
    // Picture boxes measure in pixels.
    double unitsX(int pixels) const override { return pixels; }
    double unitsY(int pixels) const override { return pixels; }
    bool takesFocusOnClick() const override { return true; }

private:
    RECT designedBounds() const;
    void applyBounds();
    // Background colour, then the picture: what was drawn is gone.
    void clear();

    ui::PictureBox& box_;
};

}  // namespace vistrel::platform::win32
