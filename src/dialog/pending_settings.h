// The dialog's pending settings: one text per option key of the settings
// file, kept in step with the controls by their handlers and written by OK.
#pragma once

#include <string>

namespace vistrel::dialog {

struct PendingSettings {
    std::string randomPick;
    std::string newBackColor;
    std::string backEffect;
    std::string picSpeed;
    std::string timeInterval;
    std::string picRandom;
    std::string picChange;
    std::string effectMode;
    std::string randomEffect;
    std::string saverPassword;
    std::string saverEnabled;
    std::string newFontName;
    std::string newFontSize;
    std::string newFontBold;
    std::string newFontItalic;
    std::string newFontUnderline;
    std::string newFontFontStrikethru;
    std::string newFontForeColor;
    // The text of the Confirm box; never stored.
    std::string confirmPassword;
};

}  // namespace vistrel::dialog
