// A text box: the system's EDIT control, subclassed so that its keys reach
// the model's key handlers before the control sees them.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/portable_interface.h"
#include "platform/win32/native_peer.h"

namespace vistrel::platform::win32 {

class Win32Platform;

class TextBoxPeer final : public NativePeer {
public:
    TextBoxPeer(Win32Platform& platform, ui::TextBox& box);
    ~TextBoxPeer() override;

    void sync(ui::Property property) override;
    void setFocus() override;
    void onCommand(WORD code) override;
    bool reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT keyDown(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT character(WPARAM wParam, LPARAM lParam);
    LRESULT passOn(UINT message, WPARAM wParam, LPARAM lParam);
    void applyBounds();
    void showText();
    std::string shownText() const;

    Win32Platform& platform_;
    ui::TextBox& box_;
    WNDPROC editClassProc_ = nullptr;
    // Set while the program itself puts text into the control, whose change
    // notification then is no change by the user.
    bool settingText_ = false;
    HFONT ownFont_ = nullptr;  // a font other than the platform's text-box font
    HBRUSH backBrush_ = nullptr;
    COLORREF backBrushColor_ = 0;
};

}  // namespace vistrel::platform::win32
