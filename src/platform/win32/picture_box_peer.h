// A picture box: a child window that shows its back colour, its assigned
// picture at the top-left corner, and what was drawn on it.
//
// What was drawn with paintPicture is kept as references to the pictures, not
// as pixels: a display surface that shows a 24-megapixel photo through a
// transition needs no copy of it. A backing image of the box's own is made
// only when something asks for the box's device context (to draw on it with
// GDI, or to copy from it); from then on everything is drawn into it.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

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
    bool paintPicture(const std::shared_ptr<const picture::Picture>& picture, int x, int y, int width, int height) override;

protected:
    // Picture boxes measure in pixels.
    double unitsX(int pixels) const override { return pixels; }
    double unitsY(int pixels) const override { return pixels; }
    bool takesFocusOnClick() const override { return true; }
    void drawFace(HDC dc, const RECT& area) const override;
    bool faceIsOneCopy() const override { return image() != nullptr || (!box_.picture() && drawings_.empty()); }

private:
    struct Drawing {
        std::shared_ptr<const picture::Picture> picture;
        RECT area;
    };

    RECT designedBounds() const;
    SIZE clientSize() const;
    void applyBounds();
    // Background colour, then the picture: what was drawn is gone.
    void clear();
    // Back colour, picture and drawings, onto a context in client coordinates.
    void compose(HDC dc, const RECT& area) const;

    ui::PictureBox& box_;
    std::vector<Drawing> drawings_;
};

// A picture box the program draws itself, on an image of its own making
// (drawnByProgram): no window and nothing on the screen; the model keeps
// its properties and its container passes the input over it on.
class ProgramDrawnPeer final : public ui::ControlPeer {
public:
    void sync(ui::Property /*property*/) override {}
};

}  // namespace vistrel::platform::win32
