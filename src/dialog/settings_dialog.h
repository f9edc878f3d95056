// The settings dialog, opened by "/c".
#pragma once

#include "platform/platform.h"

namespace vistrel::dialog {

// Until the dialog's controls exist, "/c" tells the user where the
// settings live instead of opening an empty window.
void OpenSettingsDialog(platform::Platform& platform);

}  // namespace vistrel::dialog
