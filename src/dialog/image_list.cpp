// The image frame: adding, selecting, removing and captioning images, and
// the thumbnail of the selected one.
#include <algorithm>
#include <cmath>
#include <utility>
#include <variant>

#include "dialog/bulk_add.h"
#include "dialog/dialog_values.h"
#include "dialog/settings_dialog.h"

namespace vistrel::dialog {
namespace {

constexpr const char* kAddFileTitle = "Select a file to open";
// OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, and several files at once in the
// Explorer-style dialog (OFN_ALLOWMULTISELECT | OFN_EXPLORER).
constexpr std::uint32_t kAddFileFlags = 0x1004 | 0x200 | 0x80000;

constexpr const char* kNoFileSelected = "No file has been selected.";
constexpr const char* kImageNotFound = "Image file not found.\r\nYou need to reload a new one.";
constexpr const char* kLoadImageFirst = "An image must be loaded first.";
constexpr const char* kNothingToRemove = "Nothing was selected to remove.";
constexpr const char* kRemoveAllQuestion = "Do you really want to remove all loaded images?";

}  // namespace

void SettingsDialog::loadThumbnail(const std::string& path, ThumbnailFor purpose) {
    // Decoded no larger than the preview box: a 24-megapixel photo is then
    // quick to choose. The thumbnail's size is still worked out from the
    // picture's own size.
    const platform::ScreenMetrics screen = platform_.screen();
    picture::PictureRequest request;
    request.maxWidth = std::max(1, static_cast<int>(kPreviewWidthTwips / screen.twipsPerPixelX));
    request.maxHeight = std::max(1, static_cast<int>(kPreviewHeightTwips / screen.twipsPerPixelY));
    request.background = ui::isSystemColor(photo1_->backColor()) ? ui::kWhite : photo1_->backColor();
    // The newest wins: the one asked for before is cancelled.
    thumbnail_ = ThumbnailLoad{};
    thumbnail_.path = path;
    thumbnail_.purpose = purpose;
    thumbnail_.entry = list1_->listIndex();
    thumbnail_.job = platform_.loadPictureInBackground(path, request, [this] { thumbnailReady(); });
}

bool SettingsDialog::dropThumbnail() {
    const bool onItsWay = static_cast<bool>(thumbnail_.job);
    thumbnail_ = ThumbnailLoad{};
    return onItsWay;
}

void SettingsDialog::thumbnailReady() {
    ThumbnailLoad load = std::exchange(thumbnail_, ThumbnailLoad{});
    if (!load.job || !form2.loaded()) return;
    picture::PictureResult result = load.job->take();
    load.job.reset();
    auto* picture = std::get_if<picture::Picture>(&result);
    // On failure the loader keeps the picture it had.
    if (picture) photo_->setPicture(std::make_shared<const picture::Picture>(std::move(*picture)));
    // A folder's picture that cannot be loaded leaves the thumbnail empty,
    // without a message: the saver passes over such a picture too.
    if (!picture && load.purpose == ThumbnailFor::FolderPicture) return;
    measureLoader();
    DrawThumbnail();
    if (picture) return;
    message(withMissingDecoder(kImageNotFound, load.path));
    if (load.purpose == ThumbnailFor::AddedFile) takeBackOut(load.entry, load.selectionBefore, load.path);
}

void SettingsDialog::takeBackOut(int entry, int selectionBefore, const std::string& path) {
    // A file added alone that turns out not to be a picture leaves the list
    // again, with its caption, so the saver never meets it. It is still the
    // selected entry: anything that changed the list or the selection since
    // would have cancelled its thumbnail.
    if (entry < 0 || entry >= list1_->listCount() || list1_->list(entry) != path) return;
    list1_->removeItem(entry);
    photoCaption_->removeItem(entry);
    text3_->setText(std::to_string(list1_->listCount()));
    if (selectionBefore >= 0 && selectionBefore < list1_->listCount()) {
        list1_->setListIndex(selectionBefore);
    } else {
        pCaption_->setText("");
    }
    message(withMissingDecoder(kNoFileSelected, path));
}

void SettingsDialog::measureLoader() {
    thumbWidth_ = photo_->width();
    thumbHeight_ = photo_->height();
    // A picture decoded reduced counts at its own size.
    const auto& picture = photo_->picture();
    if (picture && picture->naturalWidth > 0) {
        const platform::ScreenMetrics screen = platform_.screen();
        const int border =
            photo_->borderStyle == ui::BorderStyle::None ? 0 : 2 * ui::PictureBox::kPictureBorderPixels;
        thumbWidth_ = platform::pixelsToTwips(picture->naturalWidth + border, screen.twipsPerPixelX);
        thumbHeight_ = platform::pixelsToTwips(picture->naturalHeight + border, screen.twipsPerPixelY);
    }
}

void SettingsDialog::clearDrawings() {
    photo_->cls();
    photo1_->cls();
}

void SettingsDialog::setCaptionEntry(int index, const std::string& caption) {
    // A position without a caption entry takes nothing.
    photoCaption_->setItemText(index, caption);
}

std::string SettingsDialog::withMissingDecoder(const std::string& text, const std::string& path) {
    const std::string extension = library::PictureExtensions::extensionOf(path);
    if (extension.empty() || pictureExtensions().matches(path)) return text;
    return text + "\r\n\r\nThis computer has no picture decoder for " + extension + " files.";
}

void SettingsDialog::add_Click() {
    if (bulk_.running || !listHasRoom()) return;
    platform::FileOpenRequest request;
    request.title = kAddFileTitle;
    request.filter = addFileFilter(pictureExtensions().list());
    request.flags = kAddFileFlags;
    std::optional<std::vector<std::string>> chosenFiles;
    {
        ++modalBoxes_;
        chosenFiles = platform_.chooseFiles(request);
        --modalBoxes_;
    }
    if (!chosenFiles || chosenFiles->empty()) {
        message(kNoFileSelected);
        return;
    }
    if (chosenFiles->size() > 1) {
        addMany(*chosenFiles);
        return;
    }
    // One file. Its header is checked at once; a file that is no picture
    // is not listed. The rest of it is checked by its thumbnail's decode,
    // which takes it back out if it fails.
    const std::string chosen = chosenFiles->front();
    if (!fileMayBeShown(chosen, screenFit())) {
        message(withMissingDecoder(kNoFileSelected, chosen));
        return;
    }
    const int previousSelection = list1_->listIndex();
    appendEntry(chosen);
    if (thumbnail_.job && thumbnail_.path == chosen) {
        thumbnail_.purpose = ThumbnailFor::AddedFile;
        thumbnail_.selectionBefore = previousSelection;
    }
}

void SettingsDialog::appendEntry(const std::string& path) {
    // Entry i of the captions belongs to entry i of the list.
    while (photoCaption_->listCount() < list1_->listCount()) photoCaption_->addItem("");
    list1_->addItem(path);
    photoCaption_->addItem("");
    // Selecting it asks for its thumbnail.
    list1_->setListIndex(list1_->listCount() - 1);
    text3_->setText(std::to_string(list1_->listCount()));
}

void SettingsDialog::List1_Click() {
    const int selected = list1_->listIndex();
    if (selected < 0) return;
    const std::string entry = list1_->list(selected);
    if (library::isFolderEntry(entry)) {
        dropThumbnail();
        pCaption_->setText(photoCaption_->list(selected));
        clearDrawings();
        lookIntoFolder(entry);
        return;
    }
    endFolderLook();
    pCaption_->setText(photoCaption_->list(selected));
    // The thumbnail comes when it is decoded; until then the preview shows
    // nothing rather than the entry selected before. A failure is reported
    // then, after the loader's previous picture is drawn again.
    clearDrawings();
    loadThumbnail(entry, ThumbnailFor::Selection);
}

void SettingsDialog::p_caption_Change() {
    const int selected = list1_->listIndex();
    if (pCaption_->text().empty() && selected < 0) return;
    if (selected < 0 && list1_->listCount() == 0) {
        message(kLoadImageFirst);
        pCaption_->setText("");
        return;
    }
    if (selected >= 0) setCaptionEntry(selected, pCaption_->text());
}

void SettingsDialog::caption_clear_Click() {
    pCaption_->setText("");
    if (list1_->listIndex() >= 0) setCaptionEntry(list1_->listIndex(), "");
}

void SettingsDialog::remove_Click() {
    if (bulk_.running) return;
    const int selected = list1_->listIndex();
    // An empty list; an entry whose path is empty can still be removed.
    if (list1_->listCount() == 0) {
        message(kNothingToRemove);
        return;
    }
    photo1_->cls();
    if (selected < 0) {
        message(kNothingToRemove);
        return;
    }
    list1_->removeItem(selected);
    photoCaption_->removeItem(selected);
    endFolderLook();
    dropThumbnail();
    if (list1_->listCount() == 0) {
        pCaption_->setText("");
    } else {
        list1_->setListIndex(selected > 0 ? selected - 1 : 0);
    }
    text3_->setText(std::to_string(list1_->listCount()));
}

void SettingsDialog::RemoveAll_Click() {
    if (bulk_.running) return;
    const auto answer = ask(kRemoveAllQuestion, platform::MessageBoxButtons::YesNo);
    if (answer != platform::MessageBoxAnswer::Yes) return;
    endFolderLook();
    dropThumbnail();
    list1_->clear();
    photo1_->cls();
    photoCaption_->clear();
    pCaption_->setText("");
    text3_->setText("0");
}

void SettingsDialog::DrawThumbnail() {
    const auto& picture = photo_->picture();
    if (!picture) return;  // nothing has loaded since the dialog opened
    const ThumbnailSize size = thumbnailSize(thumbWidth_, thumbHeight_);
    if (!size.reduced) {
        platform_.bitBlt(photo1_->hdc(), 0, 0, picture->width, picture->height, photo_->hdc(), 0, 0,
                         platform::SRCCOPY);
        return;
    }
    thumbWidth_ = size.width;
    thumbHeight_ = size.height;
    const platform::ScreenMetrics screen = platform_.screen();
    const int width = platform::twipsToPixels(size.width, screen.twipsPerPixelX);
    const int height = platform::twipsToPixels(size.height, screen.twipsPerPixelY);
    platform_.setStretchBltMode(photo1_->hdc(), platform::STRETCH_HALFTONE);
    platform_.stretchBlt(photo1_->hdc(), 0, 0, width, height, photo_->hdc(), 0, 0, picture->width, picture->height,
                         platform::SRCCOPY);
}

}  // namespace vistrel::dialog
