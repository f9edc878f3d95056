// The library under Wine (or on Windows), on a real folder tree: the walk
// of a folder entry on its own threads, the memory the catalogue takes,
// and the time the saver window takes to show its first picture with a
// list of one picture and with the folder entry of the whole tree, the two
// measured one after the other in the same run. Makes the tree on its first
// run: `pictures` files, 20 to a folder, all empty but the first (a small
// BMP): a walk reads names, not files.
//
//   wine build/win64/library_wine_bench.exe 'C:\library-bench' 500000
#include "platform/win32/win32_platform.h"
#include "platform/win32/wide_text.h"

#include "bulk_add_files.h"

#include <objbase.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "library/picture_library.h"
#include "saver/run_values.h"
#include "saver/saver_window.h"
#include "settings/settings_file.h"

namespace {

using Clock = std::chrono::steady_clock;
using vistrel::platform::win32::toWide;
using vistrel::platform::win32::fromWide;

constexpr int kPerFolder = 20;

std::wstring folderOf(const std::wstring& root, int folder) {
    return root + L"\\" + std::to_wstring(2000 + folder / 1000) + L"\\album " + std::to_wstring(folder);
}

void makeTree(const std::wstring& root, int pictures) {
    const std::string bmp = vistrel::bench::tinyBmp();
    CreateDirectoryW(root.c_str(), nullptr);
    for (int folder = 0; folder * kPerFolder < pictures; ++folder) {
        const std::wstring album = folderOf(root, folder);
        CreateDirectoryW(album.substr(0, album.rfind(L'\\')).c_str(), nullptr);
        CreateDirectoryW(album.c_str(), nullptr);
        for (int file = 0; file < kPerFolder && folder * kPerFolder + file < pictures; ++file) {
            const std::wstring path = album + L"\\IMG_" + std::to_wstring(10000 + file) + L".bmp";
            HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (out == INVALID_HANDLE_VALUE) continue;
            DWORD written = 0;
            if (folder == 0 && file == 0) WriteFile(out, bmp.data(), static_cast<DWORD>(bmp.size()), &written, nullptr);
            CloseHandle(out);
        }
    }
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The working set: Wine keeps no count of private bytes.
std::size_t residentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

class Settings final : public vistrel::settings::SettingsReader {
public:
    explicit Settings(std::string entry) {
        values_ = {{"total/total", "1"},         {"images/0", std::move(entry)}, {"image/timeInterval", "0"},
                   {"image/picRandom", "cent"}, {"image/effectMode", "0"},      {"background/newBackColor", "255"}};
    }
    std::string ReadSetting(std::string_view section, std::string_view key) override {
        const auto found = values_.find(std::string(section) + "/" + std::string(key));
        return found == values_.end() ? std::string() : found->second;
    }

private:
    std::map<std::string, std::string> values_;
};

// From the window's load to the first picture on it, in milliseconds.
double firstPictureMs(vistrel::platform::win32::Win32Platform& platform, const std::string& entry) {
    Settings settings(entry);
    vistrel::saver::RunValues runValues;
    auto saver = std::make_unique<vistrel::saver::SaverWindow>(platform, runValues, &settings);
    const auto start = Clock::now();
    saver->form1.load();
    saver->form1.show();
    while (!saver->picture1.visible() && msSince(start) < 30000) {
        platform.doEvents();
        Sleep(1);
    }
    const double ms = msSince(start);
    saver->form1.unload();
    return ms;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: library_wine_bench <folder> <pictures>\n");
        return 2;
    }
    const std::wstring root = argv[1];
    const int pictures = std::wcstol(argv[2], nullptr, 10);
    if (GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) makeTree(root, pictures);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vistrel::platform::win32::Win32Platform platform;
    const std::string folderEntry = fromWide(root) + "\\";
    std::string extensions;
    for (const std::string& extension : platform.pictureFileExtensions()) extensions += " " + extension;
    std::printf("the system's decoders take:%s\n", extensions.c_str());

    {
        const std::size_t before = residentBytes();
        const auto start = Clock::now();
        vistrel::library::PictureLibrary library(platform, {folderEntry});
        library.startReading({});
        while (library.reading()) {
            platform.doEvents();
            Sleep(1);
        }
        const double ms = msSince(start);
        const double perPicture = static_cast<double>(residentBytes() - before) / library.size();
        std::printf("%u pictures catalogued in %.0f ms (%.0f a second); %.1f bytes a picture, names (%.1f bytes a picture) "
                    "included; %zu-bit build\n",
                    library.size(), ms, library.size() / (ms / 1000), perPicture,
                    static_cast<double>(library.catalog().nameBytes()) / library.size(), sizeof(void*) * 8);
    }

    const std::string first = fromWide(folderOf(root, 0)) + "\\IMG_10000.bmp";
    // Twice each, alternating: the first run also warms the system's caches.
    for (int round = 0; round < 2; ++round) {
        const double one = firstPictureMs(platform, first);
        const double library = firstPictureMs(platform, folderEntry);
        std::printf("first picture: list of one picture %.0f ms, library of %d pictures %.0f ms\n", one, pictures,
                    library);
    }
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("peak working set %.0f MB\n", counters.PeakWorkingSetSize / 1048576.0);
    return 0;
}
