#include "password/board_lines.h"

#include <cmath>
#include <cstdio>

namespace vistrel::password {

namespace {

std::string clockText(double timeOfDaySeconds) {
    constexpr long kDay = 24 * 3600;
    long seconds = std::isfinite(timeOfDaySeconds) ? static_cast<long>(std::floor(timeOfDaySeconds)) : 0;
    seconds = ((seconds % kDay) + kDay) % kDay;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return clock;
}

}  // namespace

std::string imageFailureLine(double timeOfDaySeconds, std::string_view path) {
    return clockText(timeOfDaySeconds) + "  " + std::string(path) + " could not be shown";
}

std::string moreFailuresLine(double timeOfDaySeconds, std::uint32_t more) {
    return clockText(timeOfDaySeconds) + "  and " + std::to_string(more) +
           (more == 1 ? " more picture" : " more pictures") + " could not be shown";
}

}  // namespace vistrel::password
