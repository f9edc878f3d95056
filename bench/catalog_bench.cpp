// Cataloguing a library of 500,000 pictures in 25,000 folders: the walk of
// the folder entry, the catalog of folders and names, and the deck, as the
// saver builds them at its start. The files live on the headless backend's
// in-memory disk, so the time is the program's own work (listing, sorting,
// cataloguing). The memory is the heap the library holds once the walk is
// done, less the bytes of the names, per picture; beside it, in the same
// run, what the same paths take as one string each (how the bulk add held
// a walked folder). Best of three runs: the machine is shared.
//
//   build/linux-release/bench/catalog_bench
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "library/folder_walk.h"
#include "library/picture_library.h"
#include "platform/headless/headless_platform.h"

namespace {

using vistrel::library::PictureLibrary;
using vistrel::platform::headless::HeadlessPlatform;
using Clock = std::chrono::steady_clock;

constexpr int kFolders = 25000;
constexpr int kPerFolder = 20;
constexpr int kPictures = kFolders * kPerFolder;

std::size_t heapInUse() { return mallinfo2().uordblks; }

void putLibrary(HeadlessPlatform& platform) {
    for (int folder = 0; folder < kFolders; ++folder) {
        char path[96];
        std::snprintf(path, sizeof path, "D:\\Photos\\%d\\%02d %s\\", 2000 + folder / 1000, folder / 100 % 10,
                      "album");
        const std::string album = path + std::to_string(folder) + "\\";
        for (int i = 0; i < kPerFolder; ++i) platform.putFile(album + "IMG_" + std::to_string(10000 + i) + ".jpg", "");
    }
}

}  // namespace

int main() {
    HeadlessPlatform platform;
    platform.setPictureFileExtensions({".jpg", ".png", ".bmp", ".gif", ".tif", ".heic", ".webp"});
    putLibrary(platform);

    double bestMs = 1e300;
    double bytesPerPicture = 0;
    std::size_t nameBytes = 0;
    for (int run = 0; run < 3; ++run) {
        platform.clearCalls();
        const std::size_t heapBefore = heapInUse();
        const auto start = Clock::now();
        auto library = std::make_unique<PictureLibrary>(platform, std::vector<std::string>{"D:\\Photos\\"});
        library->startReading({});
        while (library->reading()) platform.advance(1000);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (library->size() != kPictures) {
            std::fprintf(stderr, "catalogued %u pictures instead of %d\n", library->size(), kPictures);
            return 1;
        }
        platform.clearCalls();
        nameBytes = library->catalog().nameBytes();
        bytesPerPicture = static_cast<double>(heapInUse() - heapBefore - nameBytes) / kPictures;
        if (ms < bestMs) bestMs = ms;
    }
    std::printf("catalogue of %d pictures in %d folders: %.0f ms, %.0f pictures a second\n", kPictures, kFolders,
                bestMs, kPictures / (bestMs / 1000));
    std::printf("library: %.1f bytes a picture beside its name (names %.1f bytes a picture)\n", bytesPerPicture,
                static_cast<double>(nameBytes) / kPictures);

    // The same pictures as one full path each, as a walk that returns strings holds them.
    const std::size_t heapBefore = heapInUse();
    const auto start = Clock::now();
    const std::vector<std::string> paths = vistrel::library::FolderWalk::allPictures(
        platform, "D:\\Photos\\", vistrel::library::PictureExtensions({".jpg"}));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    platform.clearCalls();
    std::printf("one string per path: %.0f ms, %.1f bytes a picture beside its name\n", ms,
                static_cast<double>(heapInUse() - heapBefore - nameBytes) / static_cast<double>(paths.size()));
    return 0;
}
