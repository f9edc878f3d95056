#include "dialog/settings_dialog.h"

#include <stdexcept>
#include <utility>

#include "dialog/dialog_layout.h"

namespace vistrel::dialog {

SettingsDialog::SettingsDialog(platform::Platform& platform, platform::Handle owner)
    : form2("Form2", platform), platform_(platform) {
    form2.owner = owner;
    designControls(form2, controls_);
    bindControls();
    connectHandlers();
    form2.onLoad = [this] { Form_Load(); };
}

SettingsDialog::~SettingsDialog() {
    endFolderLook();
    morePage_.reset();
    form2.unload();
    // Contents before their containers.
    while (!controls_.empty()) controls_.pop_back();
}

void SettingsDialog::open() {
    form2.load();
    form2.show();
    // Said once the dialog is on the screen, with the list it speaks of in view.
    if (!leftOutNotice_.empty()) message(std::exchange(leftOutNotice_, std::string()));
}

ui::Control& SettingsDialog::find(std::string_view name) const {
    for (const auto& control : controls_) {
        if (control->name() == name) return *control;
    }
    throw std::logic_error("the settings dialog has no control " + std::string(name));
}

void SettingsDialog::bindControls() {
    photoDisplay_ = &control<ui::Frame>("photoDisplay");
    ok_ = &control<ui::Button>("Ok");
    cancel_ = &control<ui::Button>("Cancel");
    photo_ = &control<ui::PictureBox>("photo");
    photoCaption_ = &control<ui::ListBox>("photo_caption");
    photo1_ = &control<ui::PictureBox>("photo1");
    pCaption_ = &control<ui::TextBox>("p_caption");
    captionClear_ = &control<ui::Button>("caption_clear");
    font_ = &control<ui::Button>("font");
    picture2_ = &control<ui::PictureBox>("Picture2");
    text3_ = &control<ui::TextBox>("Text3");
    list1_ = &control<ui::ListBox>("List1");
    add_ = &control<ui::Button>("add");
    addFolder_ = &control<ui::Button>("addFolder");
    remove_ = &control<ui::Button>("remove");
    removeAll_ = &control<ui::Button>("RemoveAll");
    combo1_ = &control<ui::ComboBox>("Combo1");
    picture1_ = &control<ui::PictureBox>("Picture1");
    backColorClick_ = &control<ui::Button>("backColorClick");
    pCenter_ = &control<ui::OptionButton>("pCenter");
    pRandom_ = &control<ui::OptionButton>("pRandom");
    floatSpeedLabel_ = &control<ui::Label>("Label5(2)");
    slider1_ = &control<ui::Slider>("Slider1");
    nChange_ = &control<ui::OptionButton>("nChange");
    aChange_ = &control<ui::OptionButton>("aChange");
    text2_ = &control<ui::TextBox>("Text2");
    changeVScroll1_ = &control<ui::ScrollBar>("changeVScroll1");
    secondsLabel_ = &control<ui::Label>("Label3(5)");
    randomSelect_ = &control<ui::CheckBox>("Random_select");
    transitionsCbx_ = &control<ui::ComboBox>("TransitionsCbx");
    rndTranCheck_ = &control<ui::CheckBox>("RndTranCheck");
    passwordEnabled_ = &control<ui::CheckBox>("Password_enabled");
    ssPassword_ = &control<ui::TextBox>("SS_password");
    ssConfirm_ = &control<ui::TextBox>("SS_Confirm");
    statusBar_ = &control<ui::StatusBar>("SS_StatusBar");
    moreOptions_ = &control<ui::Button>("moreOptions");
}

void SettingsDialog::connectHandlers() {
    add_->onClick = [this] { add_Click(); };
    addFolder_->onClick = [this] { addFolder_Click(); };
    remove_->onClick = [this] { remove_Click(); };
    removeAll_->onClick = [this] { RemoveAll_Click(); };
    list1_->onClick = [this] { List1_Click(); };
    pCaption_->onChange = [this] { p_caption_Change(); };
    captionClear_->onClick = [this] { caption_clear_Click(); };

    font_->onClick = [this] { font_Click(); };
    backColorClick_->onClick = [this] { backColorClick_Click(); };
    combo1_->onClick = [this] { Combo1_Click(); };
    pCenter_->onClick = [this] { pCenter_Click(); };
    pRandom_->onClick = [this] { pRandom_Click(); };
    slider1_->onChange = [this] { Slider1_Change(); };
    nChange_->onClick = [this] { nChange_Click(); };
    aChange_->onClick = [this] { aChange_Click(); };
    changeVScroll1_->onChange = [this] { changeVScroll1_change(); };
    text2_->onChange = [this] { Text2_Change(); };
    text2_->onLostFocus = [this] { Text2_LostFocus(); };
    randomSelect_->onClick = [this] { Random_select_Click(); };
    transitionsCbx_->onClick = [this] { TransitionsCbx_Click(); };
    rndTranCheck_->onClick = [this] { RndTranCheck_Click(); };
    passwordEnabled_->onClick = [this] { Password_enabled_Click(); };
    ssPassword_->onChange = [this] { SS_password_Change(); };
    ssConfirm_->onChange = [this] { SS_Confirm_Change(); };

    moreOptions_->onClick = [this] { moreOptions_Click(); };
    ok_->onClick = [this] { OK_Click(); };
    cancel_->onClick = [this] { Cancel_Click(); };

    form2.acceptsDroppedFiles = true;
    form2.onFilesDropped = [this](const std::vector<std::string>& paths) { Form_FilesDropped(paths); };
    form2.onKeyPreview = [this](int keyCode, int) { return Form_KeyPreview(keyCode); };
    form2.onCloseRequest = [this] { Form_CloseRequest(); };
}

void SettingsDialog::moreOptions_Click() {
    if (bulk_.running) return;  // as Add and OK, it waits for the list
    morePage_ = std::make_unique<MoreOptionsPage>(platform_, pending);
    morePage_->onClosing = [this] {
        // Usable again before the page goes, so that the activation comes back here.
        form2.setEnabled(true);
        // The page may have chosen pan and zoom, or left it.
        showMovement();
        moreOptions_->setFocus();
    };
    form2.setEnabled(false);
    morePage_->open(form2.hwnd());
}

void SettingsDialog::message(const std::string& text) { ask(text, platform::MessageBoxButtons::Ok); }

platform::MessageBoxAnswer SettingsDialog::ask(const std::string& text, platform::MessageBoxButtons buttons) {
    ++modalBoxes_;
    struct Done {
        int& count;
        ~Done() { --count; }
    } done{modalBoxes_};
    return platform_.messageBox(text, "", buttons);
}

std::unique_ptr<SettingsDialog> OpenSettingsDialog(platform::Platform& platform, platform::Handle owner) {
    auto dialog = std::make_unique<SettingsDialog>(platform, owner);
    dialog->open();
    return dialog;
}

}  // namespace vistrel::dialog
