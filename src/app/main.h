// The program's start: refuses a second instance, then dispatches on the
// command line to the saver, the settings dialog or the preview.
#pragma once

#include "platform/platform.h"

namespace vistrel::app {

// Returns once the chosen mode is under way. The caller then runs the event
// loop for as long as a window of the program is loaded.
void Main(platform::Platform& platform);

}  // namespace vistrel::app
