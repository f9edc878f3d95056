// The keys a dialog handles before the control with the focus sees them:
// Tab and Shift+Tab move the focus along the tab order of the window, and
// Alt with an access key acts on the control whose caption has it.
#pragma once

#include <windows.h>

namespace vistrel::platform::win32 {

// True when the message was such a key of one of the program's windows and
// has been acted on; it is then not to be dispatched.
bool handleDialogKey(const MSG& message);

}  // namespace vistrel::platform::win32
