// File services of the platform: whole-file reads, replacing a file in one
// step, folders, and the system's 8-bit code page.
#include <shlobj.h>

#include <atomic>
#include <climits>
#include <new>
#include <string>
#include <vector>

#include "platform/win32/file_byte_source.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace vistrel::platform::win32 {
namespace {

// ReadFile and WriteFile move at most a DWORD at a time; stay well below.
constexpr DWORD kChunkBytes = 1u << 30;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void close() {
        if (valid()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() < kChunkBytes ? static_cast<DWORD>(bytes.size()) : kChunkBytes;
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// A name beside the target that no other writer picks: the same folder, so
// the final move is a rename within one volume.
std::wstring temporaryNameFor(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    return target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L".tmp";
}

// The system's own words for an error code, without the line break it ends with.
std::string systemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    if (text.empty()) return "Windows error " + std::to_string(error) + ".";
    return fromWide(text);
}

// Errors a user without the right to write meets: another folder may do.
bool deniesRights(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT || error == ERROR_PRIVILEGE_NOT_HELD;
}

}  // namespace

FileContent Win32Platform::readFile(const std::string& path, std::size_t maxBytes) {
    const std::wstring widePath = toWide(path);
    FileHandle file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        if (!missing) lastFileError_ = systemErrorText(error);
        return FileContent{missing ? FileStatus::Missing : FileStatus::Failed, {}};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        lastFileError_ = "The file is too large.";
        return FileContent{FileStatus::Failed, {}};
    }
    FileContent content{FileStatus::Ok, {}};
    try {
        content.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return FileContent{FileStatus::Failed, {}};
    }
    std::size_t filled = 0;
    while (filled < content.bytes.size()) {
        const std::size_t left = content.bytes.size() - filled;
        const DWORD chunk = left < kChunkBytes ? static_cast<DWORD>(left) : kChunkBytes;
        DWORD got = 0;
        if (!ReadFile(file.get(), content.bytes.data() + filled, chunk, &got, nullptr)) {
            return FileContent{FileStatus::Failed, {}};
        }
        if (got == 0) break;  // shortened by someone else meanwhile
        filled += got;
    }
    content.bytes.resize(filled);
    return content;
}

bool Win32Platform::replaceFile(const std::string& path, std::string_view bytes) {
    const std::wstring target = toWide(path);
    lastFileErrorDenied_ = false;
    auto failed = [this](DWORD error) {
        lastFileError_ = systemErrorText(error);
        lastFileErrorDenied_ = deniesRights(error);
    };
    // A read-only file is not to be replaced (the move would do it anyway on
    // some systems).
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        lastFileError_ = "A folder has that name.";
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        lastFileError_ = "The file is read-only.";
        lastFileErrorDenied_ = true;
        return false;
    }
    const std::wstring temporary = temporaryNameFor(target);
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.valid()) {
        failed(GetLastError());
        return false;
    }
    // The new content is on the disk before the name points to it, so a
    // crash leaves the old file or the new one, never a mixture.
    bool stored = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
    if (!stored) failed(GetLastError());
    file.close();
    if (stored && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failed(GetLastError());
        stored = false;
    }
    if (!stored) DeleteFileW(temporary.c_str());
    return stored;
}

bool Win32Platform::createFolder(const std::string& path) {
    const std::wstring folder = toWide(path);
    lastFileErrorDenied_ = false;
    if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    lastFileError_ = systemErrorText(error);
    lastFileErrorDenied_ = deniesRights(error);
    return false;
}

std::string Win32Platform::userDataFolder() {
    // The shell's answer is the one that counts; the variable stands in
    // where the shell gives none.
    wchar_t shellPath[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shellPath)) &&
        shellPath[0] != L'\0') {
        return fromWide(shellPath);
    }
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (length == 0) return {};
    std::wstring variable(length, L'\0');
    const DWORD copied = GetEnvironmentVariableW(L"APPDATA", variable.data(), length);
    if (copied == 0 || copied >= length) return {};
    variable.resize(copied);
    return fromWide(variable);
}

PathKind Win32Platform::pathKind(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

std::vector<FolderEntry> Win32Platform::listFolder(const std::string& folder) {
    std::wstring pattern = toWide(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW found{};
    // Large fetches and no short names: far fewer round trips in a folder
    // of thousands of photos.
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A junction or link can lead back up the tree.
        if (isFolder && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        entries.push_back(FolderEntry{fromWide(name), isFolder});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

PictureFileHeader Win32Platform::readPictureFileHeader(const std::string& path) {
    FileHandle file(CreateFileW(toWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return PictureFileHeader{missing ? FileStatus::Missing : FileStatus::Failed, {}};
    }
    return PictureFileHeader{FileStatus::Ok, picture::readPictureHeader(FileByteSource(file.get()))};
}

std::string Win32Platform::ansiToUtf8(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const int length = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), units);
    return fromWide(wide);
}

}  // namespace vistrel::platform::win32
