// The common part of windows and picture boxes: a window of our own class
// whose face is its backing image, with the labels of the control drawn on
// top, and the mouse and keyboard input of the control.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/portable_interface.h"
#include "platform/win32/backing_image.h"
#include "platform/win32/native_peer.h"

namespace vistrel::platform::win32 {

class Win32Platform;

class SurfacePeer : public NativePeer {
public:
    ~SurfacePeer() override;

    static void registerWindowClasses(HINSTANCE instance);
    static const wchar_t* const kWindowClass;
    static const wchar_t* const kPictureBoxClass;

    ui::Control& control() const { return control_; }
    Win32Platform& platform() const { return platform_; }

    // Labels changed: the area is repainted with the next messages.
    void invalidate(const RECT& area);
    void invalidate(const ui::TwipsRect& area) override;
    // Something was drawn into the backing image: the area is shown now, so
    // a sequence of drawings that processes no messages is seen step by step.
    void imageChanged(const RECT& area);

protected:
    SurfacePeer(Win32Platform& platform, ui::Control& control);

    // Called by the derived peer once its window exists.
    void createImage(int width, int height, COLORREF color);
    BackingImage* image() const { return image_.get(); }

    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Draws the control's face (without its labels) for `area` of the client
    // area onto `dc`, in client coordinates. By default: the backing image.
    virtual void drawFace(HDC dc, const RECT& area) const;
    // True when drawFace is one copy, which may go straight to the screen
    // without flicker; otherwise the face is composed off screen first.
    virtual bool faceIsOneCopy() const { return true; }
    // Converts a pixel position of the client area to the units of the
    // control's mouse events.
    virtual double unitsX(int pixels) const = 0;
    virtual double unitsY(int pixels) const = 0;
    virtual bool takesFocusOnClick() const { return false; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    bool hasVisibleLabels() const;
    void drawLabels(HDC dc) const;
    ui::Label* labelAt(int x, int y) const;
    LRESULT mouseDown(int button, WPARAM keyFlags, LPARAM position);
    LRESULT mouseMove(WPARAM keyFlags, LPARAM position);
    LRESULT keyDown(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT character(WPARAM wParam);

    Win32Platform& platform_;
    ui::Control& control_;
    std::unique_ptr<BackingImage> image_;
};

}  // namespace vistrel::platform::win32
