// The settings file "vistrel.ini" in the program's folder: a private-profile
// text file of [sections] and key=value lines (see profile_document.h for
// how values are read and written).
//
// Every read and every write opens and closes the file anew. Writes go to
// an in-memory copy of the whole file that replaces it in one step, so a
// failed save never leaves a half-written file behind, and a file that
// cannot be read is never replaced by one holding only the new values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "settings/profile_document.h"

namespace vistrel::settings {

inline constexpr const char* kSettingsFileName = "vistrel.ini";
// Larger files are not settings files; they are refused rather than read
// (the size is checked before anything is read). The limit covers the
// largest lists the dialog holds: 32767 pictures with 259-character paths
// and 400-character captions take about 22 MB. A save that would pass it is refused, so the
// program never writes a file it would not read back.
inline constexpr std::size_t kMaxSettingsFileBytes = 64 * 1024 * 1024;

// Folder + "\" (unless it already ends in one) + "vistrel.ini".
std::string settingsPathInFolder(std::string_view folder);
std::string SettingsFilePath(platform::Platform& platform);

// Reading settings. The saver window and the settings dialog take this
// interface, so tests can watch the order of reads.
class SettingsReader {
public:
    virtual ~SettingsReader() = default;
    // A missing file, section or key reads as "".
    virtual std::string ReadSetting(std::string_view section, std::string_view key) = 0;
};

// Reading and writing settings.
class SettingsStore : public SettingsReader {
public:
    // False when the file could not be written; the file is then unchanged.
    virtual bool WriteSetting(std::string_view section, std::string_view key,
                              std::string_view value) = 0;
    virtual bool DeleteSettingsSection(std::string_view section) = 0;
};

// The settings file as it was when this was made: one read of the file
// answers every ReadSetting. A reader that asks for every key of the file
// at once (a load step) takes this, so a long image list costs one read and
// one parse instead of one per key. What another program writes meanwhile
// is seen by the next snapshot.
class SettingsSnapshot : public SettingsReader {
public:
    SettingsSnapshot(platform::Platform& platform, const std::string& path);
    // The settings in force: the user's own file when there is one, else
    // the file beside the program (see settings_places.h).
    explicit SettingsSnapshot(platform::Platform& platform);
    std::string ReadSetting(std::string_view section, std::string_view key) override;
    // The file this was read from (or would have been, had it been there).
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::unordered_map<std::string, std::string> values_;
};

// The settings file at `path`, read and written through the platform.
//
// A file that exists but cannot be read (locked, larger than
// kMaxSettingsFileBytes) reads as empty, and every write to it fails
// without touching it; so does a write that would make the file larger
// than kMaxSettingsFileBytes. A missing file reads as empty and is created by the
// first write that gives it content.
class SettingsFile : public SettingsStore {
public:
    SettingsFile(platform::Platform& platform, std::string path);

    std::string ReadSetting(std::string_view section, std::string_view key) override;
    bool WriteSetting(std::string_view section, std::string_view key, std::string_view value) override;
    bool DeleteSettingsSection(std::string_view section) override;

    const std::string& path() const { return path_; }
    // While this file is missing, a write starts from the content of the
    // file at `path` (the settings a user's own file takes over) rather
    // than from nothing.
    void startMissingFileFrom(std::string path) { startFrom_ = std::move(path); }

    // A group of changes applied to a copy of the file and stored in one
    // step by commit(), or not at all.
    class Batch {
    public:
        void write(std::string_view section, std::string_view key, std::string_view value);
        void deleteSection(std::string_view section);
        // Room for this many changes (a save of a long image list).
        void reserve(std::size_t changes) { changes_.reserve(changes); }
        // False when the file could not be read or written, or a name could
        // not be stored; nothing is changed on disk then and the changes
        // stay in the batch. After a successful commit the batch is empty.
        bool commit();
        // The same changes committed to another file instead.
        bool commitTo(SettingsFile& file);
        // Why the last commit failed, in words for the user.
        const std::string& failure() const { return failure_; }
        // The last commit failed for lack of rights to write the file or
        // its folder, not for what the file holds.
        bool failedForLackOfRights() const { return denied_; }

    private:
        friend class SettingsFile;
        explicit Batch(SettingsFile& file) : file_(file) {}
        struct Change {
            bool isDelete;
            std::string section, key, value;
        };
        SettingsFile& file_;
        std::vector<Change> changes_;
        std::string failure_;
        bool denied_ = false;
    };
    Batch batch() { return Batch(*this); }

private:
    // Empty when stored, else why not.
    std::string applyAndStore(const std::vector<Batch::Change>& changes);

    platform::Platform& platform_;
    std::string path_;
    std::string startFrom_;
    bool lastStoreDenied_ = false;  // of the last applyAndStore
};

}  // namespace vistrel::settings
