// List boxes and drop-down lists (combo boxes without an edit field).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/dialog_peers.h"
#include "platform/win32/gdi_helpers.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {
namespace {

constexpr int kDropDownItems = 8;
constexpr UINT_PTR kRedrawTimer = 1;
constexpr int kFirstRoom = 64;
constexpr int kBytesPerItem = 64;

}  // namespace

ListPeer::ListPeer(Win32Platform& platform, ui::ListControl& list) : ChildControlPeer(platform, list), list_(list) {
    if (isCombo()) {
        messages_ = {CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_SETCURSEL, CB_GETCURSEL, CBN_SELCHANGE};
        create(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, list.font);
    } else {
        messages_ = {LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_SETCURSEL, LB_GETCURSEL, LBN_SELCHANGE};
        create(L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, list.font);
    }
    if (!window()) return;
    prepareForItems(list.listCount());
    for (int i = 0; i < list.listCount(); ++i) insertItem(i);
    showSelection();
    applyInitialState();
    if (isCombo()) applyBounds(dropDownHeight());
}

int ListPeer::dropDownHeight() const {
    const LRESULT item = SendMessageW(window(), CB_GETITEMHEIGHT, 0, 0);
    return static_cast<int>(item > 0 ? item : 16) * kDropDownItems + 4;
}

void ListPeer::sync(ui::Property property) {
    if (property == ui::Property::Bounds && isCombo()) {
        applyBounds(dropDownHeight());
        return;
    }
    if (syncCommon(property)) return;
    switch (property) {
        case ui::Property::Items: showItemChange(); break;
        case ui::Property::ListIndex: showSelection(); break;
        case ui::Property::BackColor: InvalidateRect(window(), nullptr, TRUE); break;
        default: break;
    }
}

void ListPeer::onCommand(WORD code) {
    if (code != messages_.selectionChanged) return;
    const auto selected = static_cast<int>(SendMessageW(window(), messages_.getSelection, 0, 0));
    const auto alive = lifetime();
    list_.userSelect(selected);
    // A list that took no choice (disabled meanwhile) shows the model's again.
    if (!alive.expired() && list_.listIndex() != selected) showSelection();
}

bool ListPeer::reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_CTLCOLORLISTBOX && message != WM_CTLCOLORSTATIC && message != WM_CTLCOLOREDIT) return false;
    // The system's colours stay where nothing else was asked for.
    if (list_.backColor() == ui::kSystemWindowBackground) return false;
    result = colorReply(wParam, list_.backColor(), ui::kSystemWindowText);
    return true;
}

void ListPeer::prepareForItems(int count) {
    if (count > roomForItems_) {
        const int more = std::max({count - roomForItems_, roomForItems_, kFirstRoom});
        SendMessageW(window(), isCombo() ? CB_INITSTORAGE : LB_INITSTORAGE, static_cast<WPARAM>(more),
                     static_cast<LPARAM>(more) * kBytesPerItem);
        roomForItems_ += more;
    }
    if (!redrawDeferred_ && SetTimer(window(), kRedrawTimer, 0, &ListPeer::redrawTick)) {
        SendMessageW(window(), WM_SETREDRAW, FALSE, 0);
        redrawDeferred_ = true;
    }
}

void CALLBACK ListPeer::redrawTick(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    auto* peer = dynamic_cast<ListPeer*>(NativePeer::fromWindow(window));
    if (!peer || !peer->redrawDeferred_) return;
    peer->redrawDeferred_ = false;
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ListPeer::insertItem(int index) {
    const std::wstring text = toWide(list_.list(index));
    SendMessageW(window(), messages_.insert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
}

void ListPeer::showItemChange() {
    const auto& change = list_.lastItemChange();
    prepareForItems(list_.listCount());
    switch (change.kind) {
        case ui::ListControl::ItemChange::Kind::Added: insertItem(change.index); break;
        case ui::ListControl::ItemChange::Kind::Removed:
            SendMessageW(window(), messages_.remove, static_cast<WPARAM>(change.index), 0);
            break;
        case ui::ListControl::ItemChange::Kind::Cleared:
            SendMessageW(window(), messages_.reset, 0, 0);
            roomForItems_ = 0;  // emptying gives the room back
            break;
        case ui::ListControl::ItemChange::Kind::Changed:
            SendMessageW(window(), messages_.remove, static_cast<WPARAM>(change.index), 0);
            insertItem(change.index);
            showSelection();
            break;
    }
}

void ListPeer::showSelection() {
    // -1 selects nothing in both kinds of list.
    SendMessageW(window(), messages_.setSelection, static_cast<WPARAM>(list_.listIndex()), 0);
}

}  // namespace vistrel::platform::win32
