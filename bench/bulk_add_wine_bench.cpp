// The Windows program's bulk add under Wine (or on Windows): the settings
// dialog opened on the real backend, the 20,000 pictures of a folder tree
// handed to it as a drop of files from the file manager would be, every
// header read from disk and checked, the list box filled; then OK with the
// 20,000 entries. The walk of the tree, as the saver walks a folder entry,
// is timed on its own. Makes the tree on its first run (200 folders of 100 small
// BMP, PNG and JPEG files). Starts from no settings and writes vistrel.ini
// beside itself, as the program does.
//
//   wine build/win64/bulk_add_wine_bench.exe 'C:\bulk-bench'
#include "platform/win32/win32_platform.h"
#include "platform/win32/wide_text.h"

#include "bulk_add_files.h"

#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "dialog/bulk_add.h"
#include "dialog/settings_dialog.h"
#include "library/folder_walk.h"

namespace {

using vistrel::bench::jpegHead;
using vistrel::bench::pngHead;
using vistrel::bench::tinyBmp;

using Clock = std::chrono::steady_clock;
constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 100;


void makeTree(const std::wstring& root) {
    const std::string kinds[] = {tinyBmp(), pngHead(), jpegHead()};
    const wchar_t* extensions[] = {L".bmp", L".png", L".jpg"};
    CreateDirectoryW(root.c_str(), nullptr);
    for (int folder = 0; folder < kFolders; ++folder) {
        const std::wstring year = root + L"\\" + std::to_wstring(2000 + folder / 20);
        CreateDirectoryW(year.c_str(), nullptr);
        const std::wstring album = year + L"\\album " + std::to_wstring(folder);
        CreateDirectoryW(album.c_str(), nullptr);
        for (int file = 0; file < kFilesPerFolder; ++file) {
            const std::wstring path = album + L"\\IMG_" + std::to_wstring(10000 + file) + extensions[file % 3];
            HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (out == INVALID_HANDLE_VALUE) continue;
            DWORD written = 0;
            WriteFile(out, kinds[file % 3].data(), static_cast<DWORD>(kinds[file % 3].size()), &written, nullptr);
            CloseHandle(out);
        }
    }
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bulk_add_wine_bench <folder>\n");
        return 2;
    }
    const std::wstring root = argv[1];
    if (GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) makeTree(root);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vistrel::platform::win32::Win32Platform platform;
    // The list starts empty, so every file of the tree is added (an earlier
    // run's settings would make them all duplicates, and a message box wait).
    DeleteFileW(vistrel::platform::win32::toWide(platform.programFolder() + "\\vistrel.ini").c_str());
    // The walk and the header checks alone, to tell them from the dialog's part.
    const auto walkStart = Clock::now();
    const auto files = vistrel::library::FolderWalk::allPictures(
        platform, vistrel::platform::win32::fromWide(root),
        vistrel::library::PictureExtensions(vistrel::dialog::firstFilterExtensions(vistrel::dialog::kAddFileFilter)));
    const double walkMs = msSince(walkStart);
    const auto headerStart = Clock::now();
    int passed = 0;
    for (const auto& file : files) {
        passed += vistrel::dialog::headerPassesCheck(platform.readPictureFileHeader(file), {1024, 768, 0}) ? 1 : 0;
    }
    const double headerMs = msSince(headerStart);
    std::printf("walk of the tree %.0f ms (%zu files), header checks %.0f ms (%d passed)\n", walkMs, files.size(),
                headerMs, passed);

    auto dialog = vistrel::dialog::OpenSettingsDialog(platform);
    platform.doEvents();

    const auto start = Clock::now();
    dialog->form2.raiseFilesDropped(files);
    const double dropMs = msSince(start);
    const int listed = dialog->control<vistrel::ui::ListBox>("List1").listCount();

    const auto okStart = Clock::now();
    dialog->control<vistrel::ui::Button>("Ok").userClick();
    const double okMs = msSince(okStart);
    std::printf("%d files in %d folders: drop and add %.0f ms (%d listed), OK %.0f ms, dialog closed: %s\n",
                kFolders * kFilesPerFolder, kFolders, dropMs, listed, okMs, dialog->form2.loaded() ? "no" : "yes");
    return listed >= kFolders * kFilesPerFolder && !dialog->form2.loaded() ? 0 : 1;
}
