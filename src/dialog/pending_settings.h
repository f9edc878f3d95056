// The dialog's pending settings: one text per option of the settings file
// (settings/option_table.h), kept in step with the controls by their
// handlers and written by OK.
#pragma once

#include <string>

#include "settings/option_table.h"

namespace vistrel::dialog {

struct PendingSettings : settings::OptionValues {
    // The text of the Confirm box; never stored.
    std::string confirmPassword;
};

}  // namespace vistrel::dialog
