// Adding many pictures in one step: several files chosen together in the
// file dialog, or files and folders dropped on the dialog.
#include <unordered_set>

#include "dialog/bulk_add.h"
#include "dialog/settings_dialog.h"

namespace vistrel::dialog {
namespace {

constexpr int kVirtualKeyEscape = 0x1B;
// An add that takes longer than this shows its progress and lets the
// dialog paint and take Esc.
constexpr std::int64_t kQuietAddMs = 500;
// How often a long add yields to the event loop.
constexpr std::int64_t kYieldEveryMs = 50;
// The status bar panel that shows the progress.
constexpr std::size_t kProgressPanel = 0;

}  // namespace

void SettingsDialog::Form_FilesDropped(const std::vector<std::string>& paths) {
    // A message box or the file dialog waits for an answer; an add runs.
    if (modalBoxes_ > 0 || bulk_.running) return;
    addMany(paths);
}

bool SettingsDialog::Form_KeyPreview(int keyCode) {
    if (!bulk_.running || keyCode != kVirtualKeyEscape) return false;
    bulk_.stopRequested = true;
    return true;
}

void SettingsDialog::Form_CloseRequest() {
    if (bulk_.running) {
        bulk_.stopRequested = bulk_.closeRequested = true;
        return;
    }
    if (form2.controlBox) form2.unload();
}

void SettingsDialog::showAddProgress(int done, int total) {
    const std::int64_t now = platform_.monotonicMs();
    if (now - bulk_.startMs < kQuietAddMs || now - bulk_.lastYieldMs < kYieldEveryMs) return;
    bulk_.lastYieldMs = now;
    if (!bulk_.progressShown) {
        bulk_.progressShown = true;
        bulk_.statusText = statusBar_->panels.at(kProgressPanel).text;
    }
    statusBar_->setPanelText(kProgressPanel, bulkAddProgressText(done, total));
    platform_.doEvents();
}

picture::PictureRequest SettingsDialog::screenFit() {
    const platform::ScreenMetrics screen = platform_.screen();
    picture::PictureRequest fit;
    fit.maxWidth = screen.widthPixels;
    fit.maxHeight = screen.heightPixels;
    return fit;
}

bool SettingsDialog::fileMayBeShown(const std::string& path, const picture::PictureRequest& fit) {
    const platform::PictureFileHeader header = platform_.readPictureFileHeader(path);
    return headerPassesCheck(header, fit) || takenByExtension(header, path, pictureExtensions());
}

void SettingsDialog::addMany(const std::vector<std::string>& offered) {
    // A folder is one entry, whose pictures the saver reads at each start;
    // its path ends in "\\" so that it is known as a folder even while its
    // drive is absent.
    std::vector<std::string> files;
    files.reserve(offered.size());
    for (const std::string& path : offered) {
        files.push_back(platform_.pathKind(path) == platform::PathKind::Folder ? library::asFolderEntry(path) : path);
    }

    // Entry i of the captions belongs to entry i of the list, also for the
    // entries appended here.
    while (photoCaption_->listCount() < list1_->listCount()) photoCaption_->addItem("");
    while (photoCaption_->listCount() > list1_->listCount()) photoCaption_->removeItem(photoCaption_->listCount() - 1);

    std::unordered_set<std::string> listed;
    listed.reserve(static_cast<std::size_t>(list1_->listCount()) + files.size());
    for (int i = 0; i < list1_->listCount(); ++i) listed.insert(library::samePathKey(list1_->list(i)));

    const picture::PictureRequest fit = screenFit();

    BulkAddCounts counts;
    counts.offered = static_cast<int>(files.size());
    // The add yields to events now and then: a thumbnail on its way must not
    // change the list meanwhile. It is asked for again if nothing is added.
    const bool thumbnailDropped = dropThumbnail();
    bulk_ = BulkAddState{};
    bulk_.running = true;
    bulk_.startMs = bulk_.lastYieldMs = platform_.monotonicMs();
    const int total = counts.offered;
    for (int i = 0; i < total; ++i) {
        if (bulk_.stopRequested) {
            counts.notReached = total - i;
            break;
        }
        if (list1_->listCount() >= kMaxImages) {
            counts.overLimit = total - i;
            break;
        }
        const std::string& path = files[static_cast<std::size_t>(i)];
        std::string key = library::samePathKey(path);
        if (listed.contains(key)) {
            ++counts.duplicates;
        } else if (!library::isFolderEntry(path) && !fileMayBeShown(path, fit)) {
            ++counts.notPictures;
        } else {
            list1_->addItem(path);
            photoCaption_->addItem("");
            listed.insert(std::move(key));
            ++counts.added;
        }
        showAddProgress(i + 1, total);
    }
    bulk_.running = false;
    if (bulk_.progressShown) statusBar_->setPanelText(kProgressPanel, bulk_.statusText);
    if (bulk_.closeRequested) {
        form2.unload();
        return;
    }

    if (counts.added > 0) {
        // The last one added is selected and shown: the only one decoded.
        list1_->setListIndex(list1_->listCount() - 1);
        text3_->setText(std::to_string(list1_->listCount()));
    } else if (thumbnailDropped && list1_->listIndex() >= 0) {
        List1_Click();
    }
    if (counts.added == 0 || counts.anythingLeftOut()) message(bulkAddSummaryText(counts, kMaxImages));
}

}  // namespace vistrel::dialog
