// The option controls: each handler keeps one pending setting in step with
// its control and switches the controls that depend on it.
#include "dialog/dialog_values.h"
#include "dialog/settings_dialog.h"
#include "saver/pan_zoom.h"

namespace vistrel::dialog {
namespace {

using settings::Option;

constexpr std::uint32_t kFontDialogFlags = 0x2101;  // CF_SCREENFONTS | CF_EFFECTS | CF_LIMITSIZE
constexpr int kSmallestFontSize = 10;
constexpr int kLargestFontSize = 48;

// An entry box that is switched off is greyed with the 3D-light colour.
void setBoxUsable(ui::TextBox& box, bool usable) {
    box.setEnabled(usable);
    box.setBackColor(usable ? ui::kSystemWindowBackground : ui::kSystem3DLight);
}

}  // namespace

void SettingsDialog::backColorClick_Click() {
    const std::optional<std::uint32_t> chosen = platform_.chooseColor(colorDialogColor_);
    if (!chosen) return;  // cancelled: nothing changes
    colorDialogColor_ = *chosen;
    pending[Option::newBackColor] = std::to_string(*chosen);
    picture1_->setBackColor(*chosen);
}

void SettingsDialog::font_Click() {
    platform::FontRequest request;
    request.start = fontDialogFont_;
    request.flags = kFontDialogFlags;
    request.minSize = kSmallestFontSize;
    request.maxSize = kLargestFontSize;
    const std::optional<platform::FontChoice> chosen = platform_.chooseFont(request);
    if (!chosen) return;
    fontDialogFont_ = *chosen;
    pending[Option::newFontName] = chosen->name;
    pending[Option::newFontSize] = fontSizeText(static_cast<float>(chosen->sizePoints));
    pending[Option::newFontBold] = fontFlagText(chosen->bold);
    pending[Option::newFontItalic] = fontFlagText(chosen->italic);
    pending[Option::newFontUnderline] = fontFlagText(chosen->underline);
    pending[Option::newFontFontStrikethru] = fontFlagText(chosen->strikethrough);
    pending[Option::newFontForeColor] = std::to_string(chosen->color);
    picture2_->setBackColor(chosen->color);
}

void SettingsDialog::Combo1_Click() {
    pending[Option::backEffect] = std::to_string(combo1_->listIndex());
    // The colour is chosen only for the colour background.
    backColorClick_->setEnabled(pending[Option::backEffect] == "0");
}

void SettingsDialog::pCenter_Click() {
    if (!pCenter_->value()) return;
    pending[Option::picRandom] = "cent";
    slider1_->setEnabled(false);
    floatSpeedLabel_->setEnabled(false);
}

void SettingsDialog::pRandom_Click() {
    if (!pRandom_->value()) return;
    pending[Option::picRandom] = "rand";
    slider1_->setEnabled(true);
    floatSpeedLabel_->setEnabled(true);
}

void SettingsDialog::showMovement() {
    const std::string& movement = pending[Option::picRandom];
    if (movement == "cent") {
        pCenter_->setValue(true);
    } else if (movement == saver::kPanAndZoom) {
        // A movement the frame has no option for (it is chosen on the page
        // of more options): neither is selected, so the dialog saves it as
        // it is until Center or Float is chosen.
        pCenter_->setValue(false);
        pRandom_->setValue(false);
        slider1_->setEnabled(false);
        floatSpeedLabel_->setEnabled(false);
    } else {
        pRandom_->setValue(true);
    }
}

void SettingsDialog::Slider1_Change() { pending[Option::picSpeed] = std::to_string(slider1_->value()); }

void SettingsDialog::nChange_Click() {
    if (!nChange_->value()) return;
    pending[Option::picChange] = "not_ch";
    pending[Option::timeInterval] = std::to_string(0);
    setBoxUsable(*text2_, false);
    secondsLabel_->setEnabled(false);
    randomSelect_->setEnabled(false);
    changeVScroll1_->setEnabled(false);
    randomSelect_->setValue(0);
}

void SettingsDialog::aChange_Click() {
    if (!aChange_->value()) return;
    pending[Option::picChange] = "ch";
    // The interval is the one the spin control shows, not the "0" of "Never".
    pending[Option::timeInterval] = std::to_string(changeVScroll1_->value());
    setBoxUsable(*text2_, true);
    secondsLabel_->setEnabled(true);
    changeVScroll1_->setEnabled(true);
    randomSelect_->setEnabled(true);
}

void SettingsDialog::changeVScroll1_change() {
    pending[Option::timeInterval] = std::to_string(changeVScroll1_->value());
    text2_->setText(pending[Option::timeInterval]);
}

void SettingsDialog::Text2_Change() {
    // A whole number from 0 to 60 moves the spin control, whose handler
    // takes it as the interval; anything else waits for the focus to leave.
    int seconds = 0;
    if (secondsTyped(text2_->text(), seconds)) changeVScroll1_->setValue(seconds);
}

void SettingsDialog::Text2_LostFocus() { text2_->setText(std::to_string(changeVScroll1_->value())); }

void SettingsDialog::Random_select_Click() { pending[Option::randomPick] = std::to_string(randomSelect_->value()); }

void SettingsDialog::TransitionsCbx_Click() { pending[Option::effectMode] = std::to_string(transitionsCbx_->listIndex()); }

void SettingsDialog::RndTranCheck_Click() {
    pending[Option::randomEffect] = std::to_string(rndTranCheck_->value());
    const bool usable = rndTranCheck_->value() == 0;
    transitionsCbx_->setEnabled(usable);
    transitionsCbx_->setBackColor(usable ? ui::kSystemWindowBackground : ui::kSystem3DLight);
}

void SettingsDialog::setPasswordBoxesUsable(bool usable) {
    setBoxUsable(*ssPassword_, usable);
    setBoxUsable(*ssConfirm_, usable);
}

void SettingsDialog::Password_enabled_Click() {
    const bool checked = passwordEnabled_->value() != 0;
    pending[Option::saverEnabled] = flagText(checked);
    setPasswordBoxesUsable(checked);
}

void SettingsDialog::SS_password_Change() { pending[Option::saverPassword] = ssPassword_->text(); }

void SettingsDialog::SS_Confirm_Change() { pending.confirmPassword = ssConfirm_->text(); }

}  // namespace vistrel::dialog
