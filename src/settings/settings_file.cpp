#include "settings/settings_file.h"

#include <utility>

#include "settings/settings_places.h"

namespace vistrel::settings {
namespace {

struct LoadedFile {
    platform::FileStatus status;
    ProfileDocument document;  // empty unless the file was read
};

LoadedFile loadSettingsFile(platform::Platform& platform, const std::string& path) {
    platform::FileContent content = platform.readFile(path, kMaxSettingsFileBytes);
    if (content.status != platform::FileStatus::Ok) return {content.status, {}};
    const AnsiToUtf8 ansiToUtf8 = [&platform](std::string_view bytes) { return platform.ansiToUtf8(bytes); };
    return {content.status, ProfileDocument::fromFileBytes(content.bytes, ansiToUtf8)};
}

}  // namespace

std::string settingsPathInFolder(std::string_view folder) {
    std::string path(folder);
    if (!path.ends_with('\\')) path += '\\';
    path += kSettingsFileName;
    return path;
}

std::string SettingsFilePath(platform::Platform& platform) {
    return settingsPathInFolder(platform.programFolder());
}

SettingsSnapshot::SettingsSnapshot(platform::Platform& platform, const std::string& path)
    : path_(path), values_(loadSettingsFile(platform, path).document.visibleValues()) {}

SettingsSnapshot::SettingsSnapshot(platform::Platform& platform) {
    const SettingsPlaces places = settingsPlaces(platform);
    // The user's file is read first; one that is there but cannot be read
    // still stands for the user's settings (it reads as empty).
    if (!places.userFile.empty()) {
        LoadedFile user = loadSettingsFile(platform, places.userFile);
        if (user.status != platform::FileStatus::Missing) {
            path_ = places.userFile;
            values_ = user.document.visibleValues();
            return;
        }
    }
    path_ = places.programFile;
    values_ = loadSettingsFile(platform, path_).document.visibleValues();
}

std::string SettingsSnapshot::ReadSetting(std::string_view section, std::string_view key) {
    const auto it = values_.find(ProfileDocument::foldedName(section, key));
    return it == values_.end() ? std::string() : it->second;
}

SettingsFile::SettingsFile(platform::Platform& platform, std::string path)
    : platform_(platform), path_(std::move(path)) {}

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key) {
    const LoadedFile file = loadSettingsFile(platform_, path_);
    return file.document.get(section, key).value_or("");
}

bool SettingsFile::WriteSetting(std::string_view section, std::string_view key, std::string_view value) {
    Batch change = batch();
    change.write(section, key, value);
    return change.commit();
}

bool SettingsFile::DeleteSettingsSection(std::string_view section) {
    Batch change = batch();
    change.deleteSection(section);
    return change.commit();
}

namespace {

std::string withReason(std::string what, const std::string& reason) {
    return reason.empty() ? what : what + " " + reason;
}

std::string megabytes(std::size_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB"; }

std::string tooLargeReason(std::size_t bytes) {
    return "The settings would take " + megabytes(bytes) + ", more than the " + megabytes(kMaxSettingsFileBytes) +
           " the screen saver reads. Remove some images, or shorten their captions, and save again.";
}

}  // namespace

std::string SettingsFile::applyAndStore(const std::vector<Batch::Change>& changes) {
    lastStoreDenied_ = false;
    LoadedFile file = loadSettingsFile(platform_, path_);
    // Replacing a file we could not read would throw away whatever it holds.
    if (file.status == platform::FileStatus::Failed) {
        return withReason("The file exists but could not be read.", platform_.lastFileError());
    }
    const bool creating = file.status == platform::FileStatus::Missing;
    if (creating && !startFrom_.empty()) {
        // Taken over as it reads: keys the program does not know stay too.
        // A file that cannot be read gives nothing to take over.
        LoadedFile start = loadSettingsFile(platform_, startFrom_);
        if (start.status == platform::FileStatus::Ok) file.document = std::move(start.document);
    }

    std::size_t changedBytes = 0;
    for (const Batch::Change& change : changes) changedBytes += change.key.size() + change.value.size() + 4;
    file.document.reserveForChanges(changedBytes);
    for (const Batch::Change& change : changes) {
        if (change.isDelete) {
            file.document.removeSection(change.section);
        } else if (!file.document.set(change.section, change.key, change.value)) {
            return "The setting name \"" + change.section + "\" / \"" + change.key + "\" cannot be stored.";
        }
    }
    // Deleting from a file that is not there leaves nothing to create.
    if (creating && file.document.empty()) return {};
    const std::string bytes = file.document.serialize();
    if (bytes.size() > kMaxSettingsFileBytes) return tooLargeReason(bytes.size());
    if (!platform_.replaceFile(path_, bytes)) {
        lastStoreDenied_ = platform_.lastFileErrorIsDenied();
        const std::string reason = platform_.lastFileError();
        return reason.empty() ? "The file could not be written." : reason;
    }
    return {};
}

void SettingsFile::Batch::write(std::string_view section, std::string_view key, std::string_view value) {
    changes_.push_back({false, std::string(section), std::string(key), std::string(value)});
}

void SettingsFile::Batch::deleteSection(std::string_view section) {
    changes_.push_back({true, std::string(section), {}, {}});
}

bool SettingsFile::Batch::commit() { return commitTo(file_); }

bool SettingsFile::Batch::commitTo(SettingsFile& file) {
    failure_ = file.applyAndStore(changes_);
    denied_ = !failure_.empty() && file.lastStoreDenied_;
    if (!failure_.empty()) return false;
    changes_.clear();
    return true;
}

}  // namespace vistrel::settings
