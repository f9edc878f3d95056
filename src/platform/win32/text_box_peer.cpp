#include "platform/win32/text_box_peer.h"

#include <imm.h>

#include <vector>

#include "platform/win32/escaped_exception.h"
#include "platform/win32/focus_order.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {

TextBoxPeer::TextBoxPeer(Win32Platform& platform, ui::TextBox& box) : platform_(platform), box_(box) {
    DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS;
    if (box_.multiLine) {
        style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (box_.passwordChar != 0) style |= ES_PASSWORD;
    HWND parent = box_.parent() ? reinterpret_cast<HWND>(box_.parent()->hwnd()) : nullptr;
    HWND hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 0, 0, 0, 0, parent, nullptr,
                                platform.instance(), nullptr);
    attach(hwnd);
    if (!hwnd) return;

    HFONT font = platform.textBoxFont();
    if (!(box_.font == ui::Font{})) font = ownFont_ = createFont(box_.font, platform.dotsPerInchY());
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // No input-method editor composes text into a password box.
    if (box_.inputMethodOff) ImmAssociateContextEx(hwnd, nullptr, 0);
    if (box_.passwordChar != 0) {
        SendMessageW(hwnd, EM_SETPASSWORDCHAR, static_cast<WPARAM>(static_cast<unsigned char>(box_.passwordChar)), 0);
    }
    editClassProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextBoxPeer::editProc)));
    applyBounds();
    showText();
    if (!box_.enabled()) EnableWindow(hwnd, FALSE);
    if (box_.visible()) ShowWindow(hwnd, SW_SHOWNA);
}

TextBoxPeer::~TextBoxPeer() {
    if (window() && editClassProc_) {
        SetWindowLongPtrW(window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editClassProc_));
    }
    destroyWindow();
    if (ownFont_) DeleteObject(ownFont_);
    if (backBrush_) DeleteObject(backBrush_);
}

void TextBoxPeer::sync(ui::Property property) {
    if (syncChildState(property, box_)) return;
    switch (property) {
        case ui::Property::Bounds:
            applyBounds();
            break;
        case ui::Property::Text:
            showText();
            break;
        case ui::Property::BackColor:
            InvalidateRect(window(), nullptr, TRUE);
            break;
        default:
            break;
    }
}

void TextBoxPeer::setFocus() { SetFocus(window()); }

bool TextBoxPeer::reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC) return false;
    // The system's own colours (also grey when disabled) unless the program chose one.
    if (box_.backColor() == ui::kSystemWindowBackground) return false;
    const COLORREF back = toColorRef(box_.backColor());
    if (!backBrush_ || backBrushColor_ != back) {
        if (backBrush_) DeleteObject(backBrush_);
        backBrush_ = CreateSolidBrush(back);
        backBrushColor_ = back;
    }
    const auto dc = reinterpret_cast<HDC>(wParam);
    SetBkColor(dc, back);
    SetTextColor(dc, GetSysColor(box_.enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    result = reinterpret_cast<LRESULT>(backBrush_);
    return true;
}

void TextBoxPeer::onCommand(WORD code) {
    if (code != EN_CHANGE || settingText_) return;
    box_.userSetText(shownText());
}

void TextBoxPeer::applyBounds() {
    const double tx = platform_.twipsPerPixelX();
    const double ty = platform_.twipsPerPixelY();
    SetWindowPos(window(), nullptr, twipsToPixels(box_.left(), tx), twipsToPixels(box_.top(), ty),
                 twipsToPixels(box_.width(), tx), twipsToPixels(box_.height(), ty), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TextBoxPeer::showText() {
    const std::wstring text = toWide(box_.text());
    settingText_ = true;
    SetWindowTextW(window(), text.c_str());
    settingText_ = false;
}

std::string TextBoxPeer::shownText() const {
    const int length = GetWindowTextLengthW(window());
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window(), buffer.data(), length + 1);
    return fromWide(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0)));
}

LRESULT CALLBACK TextBoxPeer::editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* peer = static_cast<TextBoxPeer*>(NativePeer::fromWindow(window));
    if (!peer) return DefWindowProcW(window, message, wParam, lParam);
    return callGuarded([&] { return peer->handleMessage(message, wParam, lParam); });
}

LRESULT TextBoxPeer::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return keyDown(message, wParam, lParam);
        case WM_CHAR:
            return character(wParam, lParam);
        case WM_KILLFOCUS: {
            const LRESULT result = passOn(message, wParam, lParam);
            box_.raiseLostFocus();
            return result;
        }
        default:
            return passOn(message, wParam, lParam);
    }
}

LRESULT TextBoxPeer::keyDown(UINT message, WPARAM wParam, LPARAM lParam) {
    const int shift = keyboardShiftState();
    // Tab moves between the text boxes of the window; it is not typed.
    if (message == WM_KEYDOWN && wParam == VK_TAB && (shift & ~1) == 0) {
        moveFocusByTab(box_.window(), window(), (shift & 1) != 0);
        return 0;
    }
    const HWND self = window();
    const WNDPROC classProc = editClassProc_;
    const auto alive = lifetime();
    int keyCode = static_cast<int>(wParam);
    box_.raiseKeyDown(keyCode, shift);
    if (alive.expired()) return 0;
    // A handler that sets the key code to 0 takes the key away from the control.
    if (keyCode == 0) return 0;
    return CallWindowProcW(classProc, self, message, wParam, lParam);
}

LRESULT TextBoxPeer::character(WPARAM wParam, LPARAM lParam) {
    // Tab moved the focus on its key-down; its character is not typed.
    if (wParam == '\t') return 0;
    const HWND self = window();
    const WNDPROC classProc = editClassProc_;
    const bool multiLine = box_.multiLine;
    const auto alive = lifetime();
    int keyAscii = static_cast<int>(wParam);
    box_.raiseKeyPress(keyAscii);
    // The character still reaches the control after the handler ran, even
    // when the handler hid the window meanwhile; only 0 swallows it.
    if (keyAscii == 0) return 0;
    // A one-line box has no use for Enter; passing it on would only beep.
    if (!multiLine && keyAscii == '\r') return 0;
    if (alive.expired() || !IsWindow(self)) return 0;
    return CallWindowProcW(classProc, self, WM_CHAR, static_cast<WPARAM>(keyAscii), lParam);
}

LRESULT TextBoxPeer::passOn(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(editClassProc_, window(), message, wParam, lParam);
}

}  // namespace vistrel::platform::win32
