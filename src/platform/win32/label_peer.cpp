#include "platform/win32/label_peer.h"

#include "platform/win32/backing_image.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {

LabelPeer::LabelPeer(Win32Platform& platform, ui::Label& label) : platform_(platform), label_(label) {
    font_ = createFont(label_.font(), platform_.dotsPerInchY());
}

LabelPeer::~LabelPeer() { DeleteObject(font_); }

void LabelPeer::sync(ui::Property property) {
    // The repaint itself is the model's: it invalidates the label's place on
    // whatever surface holds it, right after this.
    if (property == ui::Property::Font) {
        DeleteObject(font_);
        font_ = createFont(label_.font(), platform_.dotsPerInchY());
    }
}

ui::TextSize LabelPeer::measureText(const std::string& text) {
    const std::wstring wide = toWide(text);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font_);
    SIZE extent{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    // The line height also for an empty text, which still takes one line.
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return {pixelsToTwips(extent.cx, platform_.twipsPerPixelX()), pixelsToTwips(metrics.tmHeight, platform_.twipsPerPixelY())};
}

picture::Picture LabelPeer::renderText(const std::string& text) {
    const ui::TextSize size = measureText(text);
    picture::Picture mask;
    mask.width = twipsToPixels(size.width, platform_.twipsPerPixelX());
    mask.height = twipsToPixels(size.height, platform_.twipsPerPixelY());
    if (mask.width <= 0 || mask.height <= 0) return {};
    // White text on black in a DIB of our own: each channel's brightness is
    // then the coverage the system gave it, smoothed or not.
    std::uint32_t* pixels = nullptr;
    HBITMAP bitmap = createSurfaceBitmap(mask.width, mask.height, pixels);
    if (!bitmap) return {};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ originalBitmap = SelectObject(dc, bitmap);
    HGDIOBJ originalFont = SelectObject(dc, font_);
    RECT area{0, 0, mask.width, mask.height};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const std::wstring wide = toWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &area, DT_NOPREFIX | DT_SINGLELINE | DT_LEFT);
    GdiFlush();
    mask.pixels.assign(pixels, pixels + static_cast<std::size_t>(mask.width) * mask.height);
    for (std::uint32_t& pixel : mask.pixels) pixel &= 0x00FFFFFFu;
    SelectObject(dc, originalFont);
    SelectObject(dc, originalBitmap);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return mask;
}

RECT LabelPeer::bounds() const {
    const double tx = platform_.twipsPerPixelX();
    const double ty = platform_.twipsPerPixelY();
    const int left = twipsToPixels(label_.left(), tx);
    const int top = twipsToPixels(label_.top(), ty);
    return RECT{left, top, left + twipsToPixels(label_.width(), tx), top + twipsToPixels(label_.height(), ty)};
}

void LabelPeer::draw(HDC dc) const {
    RECT area = bounds();
    if (area.right <= area.left || area.bottom <= area.top) return;
    if (!label_.transparent) {
        HBRUSH brush = CreateSolidBrush(toColorRef(label_.backColor()));
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }
    const std::wstring text = toWide(label_.text());
    UINT format = DT_NOPREFIX;
    switch (label_.alignment) {
        case ui::Alignment::Left: format |= DT_LEFT; break;
        case ui::Alignment::Right: format |= DT_RIGHT; break;
        case ui::Alignment::Center: format |= DT_CENTER; break;
    }
    // A label that sizes itself holds one line; a fixed one wraps its words.
    format |= label_.autoSize ? DT_SINGLELINE : DT_WORDBREAK;
    const int savedState = SaveDC(dc);
    SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, label_.enabled() ? toColorRef(label_.foreColor()) : GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
    RestoreDC(dc, savedState);
}

}  // namespace vistrel::platform::win32
