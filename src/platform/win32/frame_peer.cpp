// A frame: a window of our own that draws an etched border with its
// caption into its backing image, so that the labels placed in it are
// drawn over it like on any window, and that passes its controls'
// notifications on to their peers.
#include "platform/win32/dialog_peers.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {
namespace {

constexpr int kCaptionIndent = 8;  // pixels from the left edge of the frame

}  // namespace

FramePeer::FramePeer(Win32Platform& platform, ui::Frame& frame) : SurfacePeer(platform, frame), frame_(frame) {
    const double tx = platform.twipsPerPixelX();
    const double ty = platform.twipsPerPixelY();
    HWND parent = frame.parent() ? reinterpret_cast<HWND>(frame.parent()->hwnd()) : nullptr;
    HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, kPictureBoxClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                twipsToPixels(frame.left(), tx), twipsToPixels(frame.top(), ty),
                                twipsToPixels(frame.width(), tx), twipsToPixels(frame.height(), ty), parent, nullptr,
                                platform.instance(), nullptr);
    attach(hwnd);
    const std::wstring caption = toWide(frame.caption());
    SetWindowTextW(hwnd, caption.c_str());
    createImage(twipsToPixels(frame.width(), tx), twipsToPixels(frame.height(), ty), toColorRef(frame.backColor()));
    drawFrame();
    if (!frame.enabled()) EnableWindow(hwnd, FALSE);
    if (frame.visible()) ShowWindow(hwnd, SW_SHOWNA);
}

FramePeer::~FramePeer() { destroyWindow(); }

double FramePeer::unitsX(int pixels) const { return pixels * platform().twipsPerPixelX(); }
double FramePeer::unitsY(int pixels) const { return pixels * platform().twipsPerPixelY(); }

void FramePeer::sync(ui::Property property) {
    if (syncChildState(property, frame_) && property != ui::Property::Enabled) return;
    switch (property) {
        case ui::Property::Bounds: {
            const double tx = platform().twipsPerPixelX();
            const double ty = platform().twipsPerPixelY();
            const int width = twipsToPixels(frame_.width(), tx);
            const int height = twipsToPixels(frame_.height(), ty);
            SetWindowPos(window(), nullptr, twipsToPixels(frame_.left(), tx), twipsToPixels(frame_.top(), ty), width,
                         height, SWP_NOZORDER | SWP_NOACTIVATE);
            image()->resize(width, height, toColorRef(frame_.backColor()), nullptr);
            drawFrame();
            break;
        }
        case ui::Property::Text: {
            const std::wstring caption = toWide(frame_.caption());
            SetWindowTextW(window(), caption.c_str());
            drawFrame();
            break;
        }
        case ui::Property::Enabled:
        case ui::Property::BackColor:
        case ui::Property::ForeColor: drawFrame(); break;
        default: break;
    }
}

void FramePeer::drawFrame() {
    BackingImage* backing = image();
    if (!backing) return;
    backing->fill(toColorRef(frame_.backColor()));
    HDC dc = backing->dc();
    const int saved = SaveDC(dc);
    SelectObject(dc, platform().textBoxFont());
    const std::wstring caption = toWide(frame_.caption());
    SIZE text{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    if (text.cy == 0) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        text.cy = metrics.tmHeight;
    }
    // The border runs through the middle of the caption's line.
    RECT border{0, text.cy / 2, backing->width(), backing->height()};
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
        RECT label{kCaptionIndent, 0, kCaptionIndent + text.cx + 4, text.cy};
        HBRUSH background = CreateSolidBrush(toColorRef(frame_.backColor()));
        FillRect(dc, &label, background);
        DeleteObject(background);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, frame_.enabled() ? toColorRef(frame_.foreColor()) : GetSysColor(COLOR_GRAYTEXT));
        label.left += 2;
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &label, DT_SINGLELINE | DT_NOPREFIX);
    }
    RestoreDC(dc, saved);
    InvalidateRect(window(), nullptr, FALSE);
}

}  // namespace vistrel::platform::win32
