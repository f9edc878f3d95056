#include "platform/win32/picture_box_peer.h"

#include "platform/win32/gdi_helpers.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {

PictureBoxPeer::PictureBoxPeer(Win32Platform& platform, ui::PictureBox& box) : SurfacePeer(platform, box), box_(box) {
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    // The sunken border is two pixels wide on each side, as the model counts it.
    const DWORD extendedStyle = box_.borderStyle != ui::BorderStyle::None ? WS_EX_CLIENTEDGE : 0;
    const RECT bounds = designedBounds();
    HWND parent = box_.parent() ? reinterpret_cast<HWND>(box_.parent()->hwnd()) : nullptr;
    HWND hwnd = CreateWindowExW(extendedStyle, kPictureBoxClass, L"", style, bounds.left, bounds.top, bounds.right - bounds.left,
                                bounds.bottom - bounds.top, parent, nullptr, platform.instance(), nullptr);
    attach(hwnd);

    RECT client{};
    GetClientRect(hwnd, &client);
    createImage(client.right, client.bottom, toColorRef(box_.backColor()));
    if (box_.picture()) image()->draw(*box_.picture());

    if (!box_.enabled()) EnableWindow(hwnd, FALSE);
    if (box_.visible()) ShowWindow(hwnd, SW_SHOWNA);
}

PictureBoxPeer::~PictureBoxPeer() { destroyWindow(); }

void PictureBoxPeer::sync(ui::Property property) {
    if (syncChildState(property, box_)) return;
    switch (property) {
        case ui::Property::Bounds:
            applyBounds();
            break;
        case ui::Property::BackColor:
        case ui::Property::Cleared:
            clear();
            break;
        case ui::Property::Picture:
            // A new picture is laid over what is there; taking the picture
            // away leaves the cleared box.
            if (box_.picture()) {
                image()->draw(*box_.picture());
                InvalidateRect(window(), nullptr, FALSE);
            } else {
                clear();
            }
            break;
        default:
            break;
    }
}

Handle PictureBoxPeer::hdc() { return reinterpret_cast<Handle>(image()->dc()); }

void PictureBoxPeer::setFocus() { SetFocus(window()); }

RECT PictureBoxPeer::designedBounds() const {
    const double tx = platform().twipsPerPixelX();
    const double ty = platform().twipsPerPixelY();
    const int left = twipsToPixels(box_.left(), tx);
    const int top = twipsToPixels(box_.top(), ty);
    return RECT{left, top, left + twipsToPixels(box_.width(), tx), top + twipsToPixels(box_.height(), ty)};
}

void PictureBoxPeer::applyBounds() {
    const RECT bounds = designedBounds();
    SetWindowPos(window(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window(), &client);
    // What was drawn and fits stays, anchored at the top-left corner.
    image()->resize(client.right, client.bottom, toColorRef(box_.backColor()), box_.picture().get());
    InvalidateRect(window(), nullptr, FALSE);
}

void PictureBoxPeer::clear() {
    image()->fill(toColorRef(box_.backColor()));
    if (box_.picture()) image()->draw(*box_.picture());
    InvalidateRect(window(), nullptr, FALSE);
}

}  // namespace vistrel::platform::win32
