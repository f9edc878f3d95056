#include "settings/settings_places.h"

#include <string_view>

namespace vistrel::settings {
namespace {

std::string folderInFolder(std::string_view parent, std::string_view name) {
    std::string path(parent);
    if (!path.ends_with('\\')) path += '\\';
    path += name;
    return path;
}

// The file that is read: the user's own when it is there (also when it
// cannot be read: it still stands for the user's settings).
std::string fileInForce(platform::Platform& platform, const SettingsPlaces& places) {
    if (places.userFile.empty()) return places.programFile;
    // A limit of no bytes asks only whether the file is there.
    const platform::FileStatus user = platform.readFile(places.userFile, 0).status;
    return user == platform::FileStatus::Missing ? places.programFile : places.userFile;
}

}  // namespace

SettingsPlaces settingsPlaces(platform::Platform& platform) {
    SettingsPlaces places;
    places.programFile = SettingsFilePath(platform);
    const std::string userData = platform.userDataFolder();
    if (!userData.empty()) {
        places.userFolder = folderInFolder(userData, kUserSettingsFolderName);
        places.userFile = settingsPathInFolder(places.userFolder);
    }
    return places;
}

SettingsSave::SettingsSave(platform::Platform& platform)
    : platform_(platform),
      places_(settingsPlaces(platform)),
      first_(platform, fileInForce(platform, places_)),
      changes_(first_.batch()),
      path_(first_.path()) {}

bool SettingsSave::commit() {
    path_ = first_.path();
    if (changes_.commit()) return true;
    failure_ = changes_.failure();
    const bool userFileLeft = !places_.userFile.empty() && first_.path() != places_.userFile;
    if (!changes_.failedForLackOfRights() || !userFileLeft) return false;

    path_ = places_.userFile;
    if (!platform_.createFolder(places_.userFolder)) {
        const std::string reason = platform_.lastFileError();
        failure_ = reason.empty() ? "Its folder could not be created." : reason;
        return false;
    }
    SettingsFile user(platform_, places_.userFile);
    user.startMissingFileFrom(first_.path());
    if (changes_.commitTo(user)) return true;
    failure_ = changes_.failure();
    return false;
}

}  // namespace vistrel::settings
