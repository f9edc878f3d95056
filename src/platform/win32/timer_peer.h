// A timer of the model as a system timer on the platform's message window.
#pragma once

#include <windows.h>

#include "platform/win32/portable_interface.h"

namespace vistrel::platform::win32 {

class Win32Platform;

class TimerPeer final : public ui::ControlPeer {
public:
    TimerPeer(Win32Platform& platform, ui::Timer& timer);
    ~TimerPeer() override;
    TimerPeer(const TimerPeer&) = delete;
    TimerPeer& operator=(const TimerPeer&) = delete;

    void sync(ui::Property property) override;
    // The interval ran out. The handler may unload the window, deleting
    // this peer: nothing may touch the peer after the call.
    void elapsed() { timer_.tick(); }

private:
    // Starts the count anew (or stops it), as every change of the interval
    // or of the enabled state does.
    void restart();

    Win32Platform& platform_;
    ui::Timer& timer_;
    UINT_PTR id_;
};

}  // namespace vistrel::platform::win32
