#include "platform/win32/timer_peer.h"

#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {

TimerPeer::TimerPeer(Win32Platform& platform, ui::Timer& timer)
    : platform_(platform), timer_(timer), id_(platform.addTimer(*this)) {
    restart();
}

TimerPeer::~TimerPeer() {
    KillTimer(platform_.timerWindow(), id_);
    platform_.removeTimer(id_);
}

void TimerPeer::sync(ui::Property property) {
    if (property == ui::Property::Interval || property == ui::Property::TimerEnabled) restart();
}

void TimerPeer::restart() {
    KillTimer(platform_.timerWindow(), id_);
    if (timer_.timerEnabled() && timer_.interval() > 0) {
        SetTimer(platform_.timerWindow(), id_, static_cast<UINT>(timer_.interval()), nullptr);
    }
}

}  // namespace vistrel::platform::win32
