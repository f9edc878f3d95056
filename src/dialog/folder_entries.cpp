// A folder entry of the list: added as one entry, shown as its path. When it
// is selected, its pictures are counted by a walk on a thread of its own;
// the first one found becomes the thumbnail, and the status bar tells the
// count as it grows and when it is done.
#include "dialog/bulk_add.h"
#include "dialog/dialog_layout.h"
#include "dialog/settings_dialog.h"

namespace vistrel::dialog {
namespace {

constexpr const char* kChooseFolderTitle = "Select a folder of pictures";
// The status bar panel that shows the count.
constexpr std::size_t kCountPanel = 0;

std::string countText(std::uint64_t count, bool done) {
    if (!done) return "Counting pictures... " + withThousands(static_cast<std::int64_t>(count));
    if (count == 0) return "No pictures in this folder";
    return withThousands(static_cast<std::int64_t>(count)) + (count == 1 ? " picture" : " pictures") +
           " in this folder";
}

}  // namespace

const library::PictureExtensions& SettingsDialog::pictureExtensions() {
    if (!extensions_) extensions_ = library::decodableExtensions(platform_.pictureFileExtensions());
    return *extensions_;
}

bool SettingsDialog::listHasRoom() {
    // The saver reads no more entries than this; it would ignore the rest.
    if (list1_->listCount() < kMaxImages) return true;
    message("The list already holds " + std::to_string(kMaxImages) +
            " images, as many as the screen saver shows.\r\nRemove an image before you add another.");
    return false;
}

void SettingsDialog::addFolder_Click() {
    if (bulk_.running || !listHasRoom()) return;
    std::optional<std::string> chosen;
    {
        ++modalBoxes_;
        chosen = platform_.chooseFolder(kChooseFolderTitle);
        --modalBoxes_;
    }
    if (!chosen || chosen->empty()) return;
    appendEntry(library::asFolderEntry(*chosen));
}

void SettingsDialog::lookIntoFolder(const std::string& folder) {
    endFolderLook();
    folderLook_.walk = std::make_shared<library::FolderWalk>(platform_, folder, pictureExtensions());
    statusBar_->setPanelText(kCountPanel, countText(0, false));
    folderLook_.work = platform_.startBackgroundWork([walk = folderLook_.walk] { return walk->step(); },
                                                     [this] { folderLookProgressed(); });
}

void SettingsDialog::folderLookProgressed() {
    const auto found = folderLook_.walk->takeFound();
    for (const library::FoundPictures& pictures : found) {
        if (!folderLook_.thumbnailShown && pictures.count > 0) {
            // The first picture in the order the saver shows them.
            folderLook_.thumbnailShown = true;
            clearDrawings();
            loadThumbnail(pictures.folder + pictures.names.substr(0, pictures.names.find('\0')),
                          ThumbnailFor::FolderPicture);
        }
        folderLook_.count += pictures.count;
    }
    const bool done = folderLook_.walk->finished();
    if (!found.empty() || done) statusBar_->setPanelText(kCountPanel, countText(folderLook_.count, done));
    if (done) folderLook_.work.reset();
}

void SettingsDialog::endFolderLook() {
    if (folderLook_.walk) folderLook_.walk->stop();
    const bool looked = static_cast<bool>(folderLook_.walk);
    folderLook_ = FolderLook{};
    if (looked && statusBar_) statusBar_->setPanelText(kCountPanel, kStatusNotice);
}

}  // namespace vistrel::dialog
