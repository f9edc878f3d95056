// The settings dialog `Form2`: the image list with its captions and
// thumbnail, every display option, and the save of all of them to the
// settings file. Opened by "/c" (and by an empty command line).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/more_options_page.h"
#include "dialog/pending_settings.h"
#include "library/folder_walk.h"
#include "library/picture_paths.h"
#include "platform/controls.h"
#include "platform/dialog_controls.h"
#include "platform/platform.h"

namespace vistrel::dialog {

// The list holds at most this many entries; a folder entry holds any
// number of pictures.
inline constexpr int kMaxImages = 32767;

class SettingsDialog {
public:
    // `owner`: another program's window that the dialog stays in front of (0: none).
    explicit SettingsDialog(platform::Platform& platform, platform::Handle owner = 0);
    ~SettingsDialog();
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    // Loads the window (its load step fills it from the settings file) and shows it.
    void open();

    ui::Window form2;
    PendingSettings pending;

    // The controls by their designed names.
    template <typename T>
    T& control(std::string_view name) const {
        return static_cast<T&>(find(name));
    }
    ui::Control& find(std::string_view name) const;

    // Start values of the colour and font dialogs (the last choice made in them).
    std::uint32_t colorDialogColor() const { return colorDialogColor_; }
    const platform::FontChoice& fontDialogFont() const { return fontDialogFont_; }
    // The page of more options while it is open, else null.
    MoreOptionsPage* morePage() const { return morePage_ && morePage_->form.loaded() ? morePage_.get() : nullptr; }
    int thumbWidth() const { return thumbWidth_; }
    int thumbHeight() const { return thumbHeight_; }

private:
    void bindControls();
    void connectHandlers();

    // Load (dialog_load.cpp).
    void Form_Load();
    void placeOnScreen();
    // A hand-edited `total` above kMaxImages: the dialog holds the first
    // kMaxImages entries and says so once it is shown, since OK would drop
    // the rest.
    void noteImagesLeftOut(std::string_view total);
    std::string leftOutNotice_;

    // Image list, captions and preview (image_list.cpp).
    void add_Click();
    void addFolder_Click();
    void remove_Click();
    void RemoveAll_Click();
    void List1_Click();
    void p_caption_Change();
    void caption_clear_Click();
    void DrawThumbnail();
    void measureLoader();
    void clearDrawings();
    void setCaptionEntry(int index, const std::string& caption);
    // "Image file not found." and the like, with a line naming the file's
    // extension when no decoder of the system takes it.
    std::string withMissingDecoder(const std::string& text, const std::string& path);
    // Whether the list can take `more` entries; says so when it cannot.
    bool listHasRoom();

    // The thumbnail, decoded by the platform's picture worker: the dialog
    // never waits for it, and only the newest one asked for is drawn.
    enum class ThumbnailFor {
        Selection,      // the selected entry's picture
        AddedFile,      // a file just added alone, taken back out if it fails
        FolderPicture,  // a folder entry's first picture; a failure is passed over
    };
    void loadThumbnail(const std::string& path, ThumbnailFor purpose);
    void thumbnailReady();
    // Cancels the thumbnail on its way; says whether one was.
    bool dropThumbnail();
    void takeBackOut(int entry, int selectionBefore, const std::string& path);
    // Adds one entry at the end of the list, with an empty caption, and selects it.
    void appendEntry(const std::string& path);
    struct ThumbnailLoad {
        std::unique_ptr<platform::PictureJob> job;
        std::string path;
        ThumbnailFor purpose = ThumbnailFor::Selection;
        int entry = -1;            // the entry of the list it is for
        int selectionBefore = -1;  // for an added file: the selection it goes back to
    } thumbnail_;

    // A selected folder entry (folder_entries.cpp): its first picture as the
    // thumbnail and its count in the status bar, from a walk off this thread.
    void lookIntoFolder(const std::string& folder);
    void folderLookProgressed();
    void endFolderLook();
    const library::PictureExtensions& pictureExtensions();
    // Many pictures at once (bulk_add.cpp).
    void addMany(const std::vector<std::string>& offered);
    // Whether a file's header names a picture the saver can show, fitted to
    // the screen (`fit`) or at its own size; the rest of it is not read.
    bool fileMayBeShown(const std::string& path, const picture::PictureRequest& fit);
    picture::PictureRequest screenFit();
    void Form_FilesDropped(const std::vector<std::string>& paths);
    bool Form_KeyPreview(int keyCode);
    void Form_CloseRequest();
    // Yields to the event loop now and then during a long add, with its
    // progress in the status bar.
    void showAddProgress(int done, int total);

    // Option controls (option_handlers.cpp).
    void backColorClick_Click();
    void font_Click();
    void Combo1_Click();
    void pCenter_Click();
    void pRandom_Click();
    // Selects the movement option of the pending picRandom, none for pan
    // and zoom.
    void showMovement();
    void Slider1_Change();
    void nChange_Click();
    void aChange_Click();
    void changeVScroll1_change();
    void Text2_Change();
    void Text2_LostFocus();
    void Random_select_Click();
    void TransitionsCbx_Click();
    void RndTranCheck_Click();
    void Password_enabled_Click();
    void SS_password_Change();
    void SS_Confirm_Change();
    void setPasswordBoxesUsable(bool usable);

    // The page of more options (more_options_page.h), over the dialog,
    // which takes no input while it is open.
    void moreOptions_Click();
    std::unique_ptr<MoreOptionsPage> morePage_;

    // OK and Cancel (dialog_save.cpp).
    void OK_Click();
    void Cancel_Click();
    bool entriesPassChecks();
    bool save();

    void message(const std::string& text);
    platform::MessageBoxAnswer ask(const std::string& text, platform::MessageBoxButtons buttons);

    platform::Platform& platform_;
    std::vector<std::unique_ptr<ui::Control>> controls_;

    ui::Frame* photoDisplay_ = nullptr;
    ui::Button* ok_ = nullptr;
    ui::Button* cancel_ = nullptr;
    ui::PictureBox* photo_ = nullptr;
    ui::ListBox* photoCaption_ = nullptr;
    ui::PictureBox* photo1_ = nullptr;
    ui::TextBox* pCaption_ = nullptr;
    ui::Button* captionClear_ = nullptr;
    ui::Button* font_ = nullptr;
    ui::PictureBox* picture2_ = nullptr;
    ui::TextBox* text3_ = nullptr;
    ui::ListBox* list1_ = nullptr;
    ui::Button* add_ = nullptr;
    ui::Button* addFolder_ = nullptr;
    ui::Button* remove_ = nullptr;
    ui::Button* removeAll_ = nullptr;
    ui::ComboBox* combo1_ = nullptr;
    ui::PictureBox* picture1_ = nullptr;
    ui::Button* backColorClick_ = nullptr;
    ui::OptionButton* pCenter_ = nullptr;
    ui::OptionButton* pRandom_ = nullptr;
    ui::Label* floatSpeedLabel_ = nullptr;  // Label5(2)
    ui::Slider* slider1_ = nullptr;
    ui::OptionButton* nChange_ = nullptr;
    ui::OptionButton* aChange_ = nullptr;
    ui::TextBox* text2_ = nullptr;
    ui::ScrollBar* changeVScroll1_ = nullptr;
    ui::Label* secondsLabel_ = nullptr;  // Label3(5)
    ui::CheckBox* randomSelect_ = nullptr;
    ui::ComboBox* transitionsCbx_ = nullptr;
    ui::CheckBox* rndTranCheck_ = nullptr;
    ui::CheckBox* passwordEnabled_ = nullptr;
    ui::TextBox* ssPassword_ = nullptr;
    ui::TextBox* ssConfirm_ = nullptr;
    ui::StatusBar* statusBar_ = nullptr;
    ui::Button* moreOptions_ = nullptr;

    std::int32_t thumbWidth_ = 0;
    std::int32_t thumbHeight_ = 0;
    std::uint32_t colorDialogColor_ = 0;
    platform::FontChoice fontDialogFont_;

    // A message box or the file dialog is up: a drop then does nothing.
    int modalBoxes_ = 0;
    std::optional<library::PictureExtensions> extensions_;
    struct FolderLook {
        std::shared_ptr<library::FolderWalk> walk;
        std::unique_ptr<platform::BackgroundWork> work;
        std::uint64_t count = 0;
        bool thumbnailShown = false;
    } folderLook_;
    // A bulk add is running, yielding to the event loop now and then.
    struct BulkAddState {
        bool running = false;
        bool stopRequested = false;   // Esc
        bool closeRequested = false;  // Cancel or the close box meanwhile
        std::int64_t startMs = 0;
        std::int64_t lastYieldMs = 0;
        bool progressShown = false;
        std::string statusText;  // the panel's text before the progress
    } bulk_;
};

// Makes the dialog, runs its load step and shows it; the caller keeps it
// for as long as the program runs.
std::unique_ptr<SettingsDialog> OpenSettingsDialog(platform::Platform& platform, platform::Handle owner = 0);

}  // namespace vistrel::dialog
