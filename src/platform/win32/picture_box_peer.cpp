#include "platform/win32/picture_box_peer.h"

#include <algorithm>

#include "platform/win32/gdi_helpers.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {
namespace {

void fillArea(HDC dc, const RECT& area, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

}  // namespace

PictureBoxPeer::PictureBoxPeer(Win32Platform& platform, ui::PictureBox& box) : SurfacePeer(platform, box), box_(box) {
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    // The sunken border is two pixels wide on each side, as the model counts it.
    const DWORD extendedStyle = box_.borderStyle != ui::BorderStyle::None ? WS_EX_CLIENTEDGE : 0;
    const RECT bounds = designedBounds();
    HWND parent = box_.parent() ? reinterpret_cast<HWND>(box_.parent()->hwnd()) : nullptr;
    HWND hwnd = CreateWindowExW(extendedStyle, kPictureBoxClass, L"", style, bounds.left, bounds.top, bounds.right - bounds.left,
                                bounds.bottom - bounds.top, parent, nullptr, platform.instance(), nullptr);
    attach(hwnd);
    if (!box_.enabled()) EnableWindow(hwnd, FALSE);
    if (box_.visible()) ShowWindow(hwnd, SW_SHOWNA);
}

PictureBoxPeer::~PictureBoxPeer() { destroyWindow(); }

void PictureBoxPeer::sync(ui::Property property) {
    if (syncChildState(property, box_)) {
        // A box that comes into view shows its face at once, also in the
        // middle of work that processes no messages (a transition).
        if (property == ui::Property::Visible && box_.visible()) UpdateWindow(window());
        return;
    }
    switch (property) {
        case ui::Property::Bounds:
            applyBounds();
            break;
        case ui::Property::BackColor:
        case ui::Property::Cleared:
        case ui::Property::Picture:
            clear();
            break;
        default:
            break;
    }
}

Handle PictureBoxPeer::hdc() {
    if (!image()) {
        const SIZE size = clientSize();
        createImage(size.cx, size.cy, toColorRef(box_.backColor()));
        const RECT all{0, 0, image()->width(), image()->height()};
        compose(image()->dc(), all);
        drawings_.clear();
    }
    return reinterpret_cast<Handle>(image()->dc());
}

void PictureBoxPeer::setFocus() { SetFocus(window()); }

bool PictureBoxPeer::paintPicture(const std::shared_ptr<const picture::Picture>& picture, int x, int y, int width,
                                  int height) {
    const RECT area{x, y, x + width, y + height};
    if (image()) {
        if (!drawPicturePart(image()->dc(), *picture, x, y, width, height)) return false;
    } else {
        drawings_.push_back({picture, area});
    }
    imageChanged(area);
    return true;
}

RECT PictureBoxPeer::designedBounds() const {
    const double tx = platform().twipsPerPixelX();
    const double ty = platform().twipsPerPixelY();
    const int left = twipsToPixels(box_.left(), tx);
    const int top = twipsToPixels(box_.top(), ty);
    return RECT{left, top, left + twipsToPixels(box_.width(), tx), top + twipsToPixels(box_.height(), ty)};
}

SIZE PictureBoxPeer::clientSize() const {
    RECT client{};
    GetClientRect(window(), &client);
    return SIZE{client.right, client.bottom};
}

void PictureBoxPeer::applyBounds() {
    const SIZE before = clientSize();
    const RECT bounds = designedBounds();
    SetWindowPos(window(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE after = clientSize();
    // A move alone is left to the system, which moves the box's pixels and
    // repaints only the strip of the window that it uncovers.
    if (after.cx == before.cx && after.cy == before.cy) return;
    // What was drawn and fits stays, anchored at the top-left corner.
    if (image()) image()->resize(after.cx, after.cy, toColorRef(box_.backColor()), box_.picture().get());
    InvalidateRect(window(), nullptr, FALSE);
}

void PictureBoxPeer::clear() {
    drawings_.clear();
    if (image()) {
        image()->fill(toColorRef(box_.backColor()));
        if (box_.picture()) drawPicturePart(image()->dc(), *box_.picture(), 0, 0, box_.picture()->width,
                                            box_.picture()->height);
    }
    InvalidateRect(window(), nullptr, FALSE);
}

void PictureBoxPeer::drawFace(HDC dc, const RECT& area) const {
    if (image()) {
        SurfacePeer::drawFace(dc, area);
    } else {
        compose(dc, area);
    }
}

void PictureBoxPeer::compose(HDC dc, const RECT& area) const {
    const auto& picture = box_.picture();
    const int pictureRight = picture ? picture->width : 0;
    const int pictureBottom = picture ? picture->height : 0;
    // The back colour only where the picture does not reach.
    const COLORREF back = toColorRef(box_.backColor());
    if (area.right > pictureRight) fillArea(dc, {std::max<LONG>(area.left, pictureRight), area.top, area.right, area.bottom}, back);
    if (area.bottom > pictureBottom && area.left < pictureRight) {
        fillArea(dc, {area.left, std::max<LONG>(area.top, pictureBottom), std::min<LONG>(area.right, pictureRight), area.bottom},
                 back);
    }
    if (picture) drawPicturePart(dc, *picture, area.left, area.top, area.right - area.left, area.bottom - area.top);
    for (const Drawing& drawing : drawings_) {
        RECT part;
        if (!IntersectRect(&part, &drawing.area, &area)) continue;
        drawPicturePart(dc, *drawing.picture, part.left, part.top, part.right - part.left, part.bottom - part.top);
    }
}

}  // namespace vistrel::platform::win32
