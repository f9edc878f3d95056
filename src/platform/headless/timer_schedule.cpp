#include "platform/headless/timer_schedule.h"

#include <algorithm>
#include <stdexcept>

namespace vistrel::platform::headless {

TimerSchedule::Id TimerSchedule::add(ui::Timer& timer) {
    const Id id = nextId_++;
    entries_[id].timer = &timer;
    return id;
}

void TimerSchedule::remove(Id id) { entries_.erase(id); }

void TimerSchedule::restart(Id id, std::int64_t now) {
    const auto found = entries_.find(id);
    if (found == entries_.end()) return;
    Entry& entry = found->second;
    const ui::Timer& timer = *entry.timer;
    entry.running = !stopped_ && timer.timerEnabled() && timer.interval() > 0;
    if (!entry.running) return;
    entry.interval = timer.interval();
    entry.due = now + entry.interval;
    entry.order = nextOrder_++;
}

void TimerSchedule::post(std::int64_t due, std::function<void()> action) {
    if (stopped_) return;
    Entry& entry = entries_[nextId_++];
    entry.action = std::move(action);
    entry.running = true;
    entry.due = due;
    entry.order = nextOrder_++;
}

void TimerSchedule::stopAll() {
    stopped_ = true;
    for (auto& [id, entry] : entries_) entry.running = false;
}

std::map<TimerSchedule::Id, TimerSchedule::Entry>::iterator TimerSchedule::nextDue(std::int64_t until) {
    auto best = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        const Entry& entry = it->second;
        if (!entry.running || entry.due > until) continue;
        const auto comesFirst = [](const Entry& a, const Entry& b) {
            if (a.due != b.due) return a.due < b.due;
            if (!a.timer != !b.timer) return !a.timer;  // a posted action before a timer
            return a.order < b.order;
        };
        if (best == entries_.end() || comesFirst(entry, best->second)) {
            best = it;
        }
    }
    return best;
}

void TimerSchedule::runUntil(std::int64_t& now, std::int64_t until) {
    // The entry is looked up afresh for every tick: a tick may remove,
    // stop or restart any timer, its own included.
    for (auto next = nextDue(until); next != entries_.end(); next = nextDue(until)) {
        const Id id = next->first;
        Entry& entry = next->second;
        now = std::max(now, entry.due);
        if (!entry.timer) {
            const std::function<void()> action = std::move(entry.action);
            entries_.erase(next);
            action();
            continue;
        }
        // Counted anew from this tick: a timer that fell behind while the
        // program did not process events ticks once, not once per interval
        // missed, like the system's timer messages.
        entry.due = now + entry.interval;
        entry.order = nextOrder_++;
        if (entry.ticksInProgress >= kMaxNestedTicks) {
            throw std::logic_error("timer " + entry.timer->name() + " keeps re-entering its own tick");
        }
        ++entry.ticksInProgress;
        ui::Timer& timer = *entry.timer;
        struct TickInProgress {
            TimerSchedule& schedule;
            Id id;
            ~TickInProgress() {
                const auto found = schedule.entries_.find(id);
                if (found != schedule.entries_.end()) --found->second.ticksInProgress;
            }
        } guard{*this, id};
        timer.tick();
    }
}

}  // namespace vistrel::platform::headless
