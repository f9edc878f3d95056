// The peers of the settings dialog's controls: system controls (buttons,
// list and combo boxes, the scroll bar) and common controls (the slider and
// the status bar), and the frame, which draws itself.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/child_control_peer.h"
#include "platform/win32/portable_interface.h"
#include "platform/win32/surface_peer.h"

namespace vistrel::platform::win32 {

class CaptionedPeer final : public ChildControlPeer {
public:
    CaptionedPeer(Win32Platform& platform, ui::CaptionedControl& control);
    void sync(ui::Property property) override;
    void setFocus() override;
    void onCommand(WORD code) override;
    bool reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void showCaption();
    void showValue();
    ui::CaptionedControl& control_;
    bool focusingByProgram_ = false;
};

// A list box or a drop-down list: the same items and selection, different
// messages.
class ListPeer final : public ChildControlPeer {
public:
    ListPeer(Win32Platform& platform, ui::ListControl& list);
    void sync(ui::Property property) override;
    void onCommand(WORD code) override;
    bool reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    struct Messages {
        UINT insert, remove, reset, setSelection, getSelection, selectionChanged;
    };
    bool isCombo() const { return list_.kind() == ui::ControlKind::ComboBox; }
    // A list of thousands is filled one item at a time: room for the items
    // grows by doubling, and the list is drawn once, when the program next
    // waits for messages.
    void prepareForItems(int count);
    static void CALLBACK redrawTick(HWND window, UINT message, UINT_PTR id, DWORD time);
    void insertItem(int index);
    void showItemChange();
    void showSelection();
    // A combo box's window reaches down over its open list.
    int dropDownHeight() const;

    ui::ListControl& list_;
    Messages messages_;
    int roomForItems_ = 0;
    bool redrawDeferred_ = false;
};

class ScrollBarPeer final : public ChildControlPeer {
public:
    ScrollBarPeer(Win32Platform& platform, ui::ScrollBar& bar);
    void sync(ui::Property property) override;
    bool reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void showValue();
    ui::ScrollBar& bar_;
};

class SliderPeer final : public ChildControlPeer {
public:
    SliderPeer(Win32Platform& platform, ui::Slider& slider);
    void sync(ui::Property property) override;
    bool reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    ui::Slider& slider_;
};

// Docked to the bottom of its window; a time panel keeps itself current.
class StatusBarPeer final : public ChildControlPeer {
public:
    StatusBarPeer(Win32Platform& platform, ui::StatusBar& bar);
    ~StatusBarPeer() override;
    void sync(ui::Property property) override;

private:
    static void CALLBACK clockTick(HWND window, UINT message, UINT_PTR id, DWORD time);
    void showPanels();
    void showTime();
    void showPanelText(std::size_t panel);
    std::wstring timeText() const;

    ui::StatusBar& bar_;
    std::vector<std::wstring> tips_;  // the texts the tool tips point to
};

// A frame draws its border and caption into its backing image; the labels
// in it are drawn on top, as on a window.
class FramePeer final : public SurfacePeer {
public:
    FramePeer(Win32Platform& platform, ui::Frame& frame);
    ~FramePeer() override;
    void sync(ui::Property property) override;

protected:
    double unitsX(int pixels) const override;
    double unitsY(int pixels) const override;

private:
    void drawFrame();
    ui::Frame& frame_;
};

}  // namespace vistrel::platform::win32
