// The timers of the virtual clock.
//
// Each registered timer is either stopped or due at a time; it fires every
// interval from the moment it was (re)started. Timers due at the same
// moment fire in the order they were scheduled. A tick may start, stop or
// restart any timer, and may yield to events, which fires further ticks
// nested inside it, as a real event loop does.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "platform/controls.h"

namespace vistrel::platform::headless {

class TimerSchedule {
public:
    using Id = std::uint64_t;

    Id add(ui::Timer& timer);
    void remove(Id id);
    // Starts the count at `now` when the timer is enabled with an interval,
    // stops it otherwise.
    void restart(Id id, std::int64_t now);
    // Runs `action` once, at `due`: a message posted to the program. It
    // comes before the timer ticks due at the same moment, as the system
    // sends a timer message only when no other message waits.
    void post(std::int64_t due, std::function<void()> action);
    // Stops every timer for good: the program has ended.
    void stopAll();
    // Fires, in time order, every tick due up to `until`, moving `now` to
    // each tick's time. `now` never goes back: nested yields may have taken
    // it past `until` already.
    void runUntil(std::int64_t& now, std::int64_t until);

    // A tick that keeps yielding longer than its own interval re-enters
    // itself without end; past this depth that is a fault of the program
    // under test, reported instead of overflowing the stack.
    static constexpr int kMaxNestedTicks = 32;

private:
    struct Entry {
        ui::Timer* timer = nullptr;  // none for a posted action
        std::function<void()> action;
        bool running = false;
        std::int64_t due = 0;
        std::int64_t interval = 0;
        std::uint64_t order = 0;  // breaks ties between timers due together
        int ticksInProgress = 0;
    };
    std::map<Id, Entry>::iterator nextDue(std::int64_t until);

    std::map<Id, Entry> entries_;
    Id nextId_ = 1;
    std::uint64_t nextOrder_ = 0;
    bool stopped_ = false;
};

}  // namespace vistrel::platform::headless
