// Set-up, process services, the virtual clock and the call log.
#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/headless/headless_impl.h"
#include "platform/headless/surface_ops.h"

namespace vistrel::platform::headless {

HeadlessPlatform::HeadlessPlatform() : impl_(std::make_unique<Impl>()) {
    resetSystemColors();
    Target& desktop = impl_->addTarget("Desktop", screen_.widthPixels, screen_.heightPixels,
                                       colorToPixel(ui::kBlack), nullptr);
    desktop.shown = true;
    impl_->desktop = &desktop;
}

HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::setSystemColor(int index, ui::Color color) { setSystemColorValue(index, color); }

// --- Impl ---

Target& HeadlessPlatform::Impl::addTarget(std::string name, int width, int height, std::uint32_t pixel,
                                          const ui::Control* control) {
    auto target = std::make_unique<Target>();
    target->name = std::move(name);
    target->hwnd = nextHandle++;
    target->hdc = nextHandle++;
    target->surface = Surface(width, height, pixel);
    target->control = control;
    names[target->hwnd] = target->name;
    names[target->hdc] = "hdc:" + target->name;
    targets.push_back(std::move(target));
    return *targets.back();
}

void HeadlessPlatform::Impl::removeTarget(const Target& target) {
    std::erase_if(targets, [&](const std::unique_ptr<Target>& t) { return t.get() == &target; });
}

Target* HeadlessPlatform::Impl::findByWindow(Handle hwnd) {
    for (auto& t : targets) {
        if (hwnd != 0 && t->hwnd == hwnd) return t.get();
    }
    return nullptr;
}

Target* HeadlessPlatform::Impl::findByDc(Handle hdc) {
    for (auto& t : targets) {
        if (hdc != 0 && t->hdc == hdc) return t.get();
    }
    return nullptr;
}

Target* HeadlessPlatform::Impl::findByControl(const ui::Control& control) {
    for (auto& t : targets) {
        if (t->control == &control) return t.get();
    }
    return nullptr;
}

std::string HeadlessPlatform::Impl::handleName(Handle handle) const {
    const auto found = names.find(handle);
    return found != names.end() ? found->second : std::to_string(handle);
}

// --- set-up ---

void HeadlessPlatform::setScreen(ScreenMetrics metrics) {
    const int dotsPerInch = metrics.twipsPerPixelX > 0 ? static_cast<int>(std::lround(1440 / metrics.twipsPerPixelX)) : 96;
    monitors_ = {Monitor{{0, 0, metrics.widthPixels, metrics.heightPixels}, dotsPerInch}};
    screen_ = metrics;
    resizeScreenSurfaces();
}

void HeadlessPlatform::setMonitors(std::vector<Monitor> monitors) {
    monitors_ = std::move(monitors);
    if (monitors_.empty()) monitors_.push_back(Monitor{{0, 0, 1024, 768}, 96});
    const Monitor& primary = monitors_.front();
    const double twipsPerPixel = primary.dotsPerInch > 0 ? 1440.0 / primary.dotsPerInch : 15;
    screen_ = ScreenMetrics{primary.bounds.width, primary.bounds.height, twipsPerPixel, twipsPerPixel};
    resizeScreenSurfaces();
}

void HeadlessPlatform::resizeScreenSurfaces() {
    const PixelBounds all = virtualScreen();
    const std::uint32_t black = colorToPixel(ui::kBlack);
    impl_->desktop->surface = Surface(all.width, all.height, black);
    impl_->desktop->originX = all.left;
    impl_->desktop->originY = all.top;
    for (auto& target : impl_->targets) {
        if (!target->control || target->control->kind() != ui::ControlKind::Window) continue;
        const auto& window = static_cast<const ui::Window&>(*target->control);
        if (window.windowState != ui::WindowState::Maximized) continue;
        resizeSurface(target->surface, all.width, all.height, colorToPixel(window.backColor()));
    }
}

void HeadlessPlatform::setTimeOfDay(double seconds) { timeOfDayOrigin_ = seconds - nowMs_ / 1000.0; }

// --- process services ---

std::string HeadlessPlatform::commandLine() { return commandLine_; }

bool HeadlessPlatform::claimSingleInstance() {
    if (otherInstance_) return false;
    instanceClaimed_ = true;
    return true;
}

std::string HeadlessPlatform::programFolder() { return programFolder_; }

ScreenMetrics HeadlessPlatform::screen() { return screen_; }

double HeadlessPlatform::timeOfDaySeconds() {
    constexpr double kDay = 24 * 3600.0;
    const double seconds = std::fmod(timeOfDayOrigin_ + nowMs_ / 1000.0, kDay);
    return seconds < 0 ? seconds + kDay : seconds;
}

std::string HeadlessPlatform::longDate(const picture::CalendarDate& date) {
    static constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
    const std::string text = date.known() && date.month >= 1 && date.month <= 12
                                 ? std::to_string(date.day) + " " + kMonths[date.month - 1] + " " + std::to_string(date.year)
                                 : std::string();
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", date.year, date.month, date.day);
    record(std::string("GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, ") + day + ") -> " + text);
    return text;
}

void HeadlessPlatform::endProgram() {
    record("EndProgram()");
    ended_ = true;
    // Ending the program removes the keyboard guard, whatever ends it.
    taskSwitchKeysBlocked_ = false;
    impl_->timers.stopAll();
    endPictureWorker();
    throw ProgramEnded{};
}

void HeadlessPlatform::doEvents() {
    // Code that swallowed the unwinding of an ended program must not run on.
    if (ended_) throw ProgramEnded{};
    ++doEventsCount_;
    recordEventYield();
    const std::int64_t until = nowMs_ + 1;
    impl_->timers.runUntil(nowMs_, until);
    nowMs_ = std::max(nowMs_, until);
    if (doEventsObserver_) doEventsObserver_();
}

void HeadlessPlatform::pauseWithoutEvents(int milliseconds) {
    if (ended_) throw ProgramEnded{};
    record("Pause(" + std::to_string(milliseconds) + ")");
    // The clock moves on; timers that come due meanwhile tick once, when
    // events are next processed, as WM_TIMER messages do.
    nowMs_ += std::max(milliseconds, 0);
    if (pauseObserver_) pauseObserver_();
}

// --- virtual clock ---

bool HeadlessPlatform::advance(std::int64_t milliseconds) {
    if (ended_) return false;
    const std::int64_t until = nowMs_ + std::max<std::int64_t>(milliseconds, 0);
    try {
        impl_->timers.runUntil(nowMs_, until);
    } catch (const ProgramEnded&) {
        return false;
    }
    nowMs_ = std::max(nowMs_, until);
    return true;
}

bool HeadlessPlatform::run(const std::function<void()>& step) {
    if (ended_) return false;
    try {
        step();
    } catch (const ProgramEnded&) {
        return false;
    }
    return !ended_;
}

// --- recorded calls ---

std::vector<std::string> HeadlessPlatform::callsStartingWith(const std::vector<std::string>& prefixes) const {
    std::vector<std::string> matching;
    for (const auto& line : calls_) {
        const bool wanted = std::any_of(prefixes.begin(), prefixes.end(),
                                        [&](const std::string& prefix) { return line.starts_with(prefix); });
        if (wanted) matching.push_back(line);
    }
    return matching;
}

void HeadlessPlatform::recordEventYield() {
    // Yields come by the hundred; a run of them is one line with its count.
    const std::string yield = "DoEvents()";
    if (calls_.empty() || !calls_.back().starts_with(yield)) {
        record(yield);
        return;
    }
    std::string& last = calls_.back();
    const std::size_t count = last == yield ? 1 : std::stoul(last.substr(yield.size() + 2));
    last = yield + " x" + std::to_string(count + 1);
}

}  // namespace vistrel::platform::headless
