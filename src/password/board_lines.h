// Lines the program itself puts on the message board for the owner.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vistrel::password {

// "14:03:27  C:\Pictures\gone.jpg could not be shown": the time of day (in
// seconds since midnight, cut to whole seconds) and the picture's path.
std::string imageFailureLine(double timeOfDaySeconds, std::string_view path);
// "14:05:02  and 312 more pictures could not be shown": after the notes of
// single pictures, the count of the rest, at the time of the latest.
std::string moreFailuresLine(double timeOfDaySeconds, std::uint32_t more);

}  // namespace vistrel::password
