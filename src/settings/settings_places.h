// Where the settings live, and where a save of them goes.
//
// Two files can hold the settings: the user's own, "vistrel.ini" in the
// folder "Vistrel" of the user's application-data folder (%APPDATA%), and
// "vistrel.ini" beside the program. The user's own file is read when it is
// there; otherwise the one beside the program. A save goes to the file that
// is read, and when that file or its folder refuses the user the right to
// write (a program in System32 or Program Files), to the user's own file,
// which from then on is read first. So a copy of the program in a folder of
// the user's keeps everything beside itself, and one that an administrator
// installed reads the file left beside it as every user's defaults while
// each user's changes go to that user's own file.
#pragma once

#include <string>

#include "platform/platform.h"
#include "settings/settings_file.h"

namespace vistrel::settings {

inline constexpr const char* kUserSettingsFolderName = "Vistrel";

struct SettingsPlaces {
    std::string programFile;  // vistrel.ini beside the program
    // %APPDATA%\Vistrel and the file in it; both empty when the system
    // names no application-data folder.
    std::string userFolder;
    std::string userFile;
};

SettingsPlaces settingsPlaces(platform::Platform& platform);

// One save of the settings: the changes, stored in one step in the file
// that is read, or, refused there for lack of rights, in the user's own
// file (its folder created, the settings of the file that was read taken
// over with every key that the changes leave alone).
class SettingsSave {
public:
    explicit SettingsSave(platform::Platform& platform);

    SettingsFile::Batch& changes() { return changes_; }
    // False when neither file could be written; both are then unchanged.
    bool commit();
    // The file the save went to, or the last one it tried.
    const std::string& path() const { return path_; }
    // Why the last file tried could not be written, in words for the user.
    const std::string& failure() const { return failure_; }

private:
    platform::Platform& platform_;
    SettingsPlaces places_;
    SettingsFile first_;  // the file that is read
    SettingsFile::Batch changes_;
    std::string path_;
    std::string failure_;
};

}  // namespace vistrel::settings
