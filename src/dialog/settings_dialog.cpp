#include "dialog/settings_dialog.h"

#include "settings/settings_file.h"

namespace vistrel::dialog {

void OpenSettingsDialog(platform::Platform& platform) {
    platform.messageBox("Vistrel's settings dialog is not available in this version.\r\n"
                        "The settings are kept in " +
                            settings::SettingsFilePath(platform) + ".",
                        "", platform::MessageBoxButtons::Ok);
}

}  // namespace vistrel::dialog
