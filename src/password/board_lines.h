// Lines the program itself puts on the message board for the owner.
#pragma once

#include <string>
#include <string_view>

namespace vistrel::password {

// "14:03:27  C:\Pictures\gone.jpg could not be shown": the time of day (in
// seconds since midnight, cut to whole seconds) and the picture's path.
std::string imageFailureLine(double timeOfDaySeconds, std::string_view path);

}  // namespace vistrel::password
