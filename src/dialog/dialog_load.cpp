// The load step: places the dialog and fills every control, and through the
// controls' own handlers every pending setting, from the settings file.
#include <cstdio>
#include <string>

#include "common/numbers.h"

#include "dialog/dialog_values.h"
#include "dialog/settings_dialog.h"
#include "saver/pan_zoom.h"
#include "saver/saver_fallbacks.h"
#include "settings/settings_file.h"

namespace vistrel::dialog {

void SettingsDialog::placeOnScreen() {
    // Centred across, one eighth of the free height below the top; the
    // quotients truncate toward zero.
    const platform::ScreenMetrics screen = platform_.screen();
    const int top = (screen.heightTwips() - form2.outerHeight()) / 8;
    const int left = (screen.widthTwips() - form2.outerWidth()) / 2;
    form2.move(left, top, form2.width(), form2.height());
}

void SettingsDialog::Form_Load() {
    placeOnScreen();
    // One reading of the file answers every key.
    settings::SettingsSnapshot file(platform_);
    auto read = [&file](std::string_view section, std::string_view key) { return file.ReadSetting(section, key); };

    const int count = saver::imageCountOf(read("total", "total"));
    list1_->clear();
    for (int i = 0; i < count; ++i) list1_->addItem(read("images", std::to_string(i)));
    photoCaption_->clear();
    for (int i = 0; i < count; ++i) photoCaption_->addItem(read("caption", std::to_string(i)));
    text3_->setText(std::to_string(list1_->listCount()));

    const bool randomOrder = flagIsOn(read("image", "randomPick"));
    pending.randomPick = flagText(randomOrder);
    randomSelect_->setValue(randomOrder ? 1 : 0);

    const ui::Color backColor = colorValue(read("background", "newBackColor"), saver::kFallbackBackColor);
    pending.newBackColor = std::to_string(backColor);
    colorDialogColor_ = backColor;
    picture1_->setBackColor(backColor);

    const int background = backgroundChoice(read("background", "backEffect"));
    pending.backEffect = std::to_string(background);
    combo1_->setListIndex(background);

    std::string movement = read("image", "picRandom");
    pending.picRandom = movement.empty() ? kDefaultPicRandom : movement;
    if (pending.picRandom == "cent") {
        pCenter_->setValue(true);
    } else if (pending.picRandom == saver::kPanAndZoom) {
        // A movement the frame has no option for: neither is selected, so
        // the dialog saves it as it is until Center or Float is chosen.
        slider1_->setEnabled(false);
        floatSpeedLabel_->setEnabled(false);
    } else {
        pRandom_->setValue(true);
    }

    const int speed = wholeInRange(read("image", "picSpeed"), 0, kMaxFloatSpeed, std::stoi(kDefaultPicSpeed));
    pending.picSpeed = std::to_string(speed);
    slider1_->setValue(speed);

    const std::string change = read("image", "picChange");
    pending.picChange = change.empty() ? kDefaultPicChange : change;
    if (pending.picChange == "ch") {
        aChange_->setValue(true);
    } else {
        nChange_->setValue(true);
    }

    const int seconds =
        wholeInRange(read("image", "timeInterval"), 0, kMaxIntervalSeconds, std::stoi(kDefaultTimeInterval));
    pending.timeInterval = std::to_string(seconds);
    text2_->setText(pending.timeInterval);
    changeVScroll1_->setValue(seconds);
    // "Never" with a number of seconds beside it (only a hand-edited file
    // holds both): the saver reads only the seconds, so the dialog would save
    // a change it does not show. It saves "never" (0); choosing "After..."
    // takes the seconds from the spin control again.
    if (nChange_->value()) pending.timeInterval = std::to_string(0);

    const int transition = wholeInRange(read("image", "effectMode"), 0, kTransitionCount - 1,
                                        std::stoi(kDefaultEffectMode));
    pending.effectMode = std::to_string(transition);
    transitionsCbx_->setListIndex(transition);

    const bool randomTransitions = flagIsOn(read("image", "randomEffect"));
    pending.randomEffect = flagText(randomTransitions);
    rndTranCheck_->setValue(randomTransitions ? 1 : 0);

    pending.saverPassword = read("password", "saverPassword");
    ssPassword_->setText(pending.saverPassword);
    ssConfirm_->setText(pending.saverPassword);

    const bool protection = flagIsOn(read("password", "saverEnabled"));
    pending.saverEnabled = flagText(protection);
    passwordEnabled_->setValue(protection ? 1 : 0);
    setPasswordBoxesUsable(protection);

    fontDialogFont_.name = pending.newFontName = fontNameValue(read("font", "newFontName"));
    fontDialogFont_.sizePoints = fontSizeValue(read("font", "newFontSize"));
    pending.newFontSize = fontSizeText(fontDialogFont_.sizePoints);
    fontDialogFont_.bold = fontFlagValue(read("font", "newFontBold"));
    pending.newFontBold = fontFlagText(fontDialogFont_.bold);
    fontDialogFont_.italic = fontFlagValue(read("font", "newFontItalic"));
    pending.newFontItalic = fontFlagText(fontDialogFont_.italic);
    fontDialogFont_.underline = fontFlagValue(read("font", "newFontUnderline"));
    pending.newFontUnderline = fontFlagText(fontDialogFont_.underline);
    fontDialogFont_.strikethrough = fontFlagValue(read("font", "newFontFontStrikethru"));
    pending.newFontFontStrikethru = fontFlagText(fontDialogFont_.strikethrough);

    const ui::Color captionColor = colorValue(read("font", "newFontForeColor"), saver::kFallbackCaptionColor);
    pending.newFontForeColor = std::to_string(captionColor);
    fontDialogFont_.color = captionColor;
    picture2_->setBackColor(captionColor);

    // An empty list (a first start) has nothing to select.
    if (list1_->listCount() > 0) list1_->setListIndex(0);

    noteImagesLeftOut(read("total", "total"));
}

void SettingsDialog::noteImagesLeftOut(std::string_view total) {
    const double listed = roundHalfEven(numericValue(total));
    const int kept = list1_->listCount();
    if (!(listed > kept) || kept < kMaxImages) return;
    char listedText[400], leftOutText[400];
    std::snprintf(listedText, sizeof listedText, "%.0f", listed);
    std::snprintf(leftOutText, sizeof leftOutText, "%.0f", listed - kept);
    // Nothing is written here: the file keeps every entry unless OK saves.
    leftOutNotice_ = std::string("The settings file lists ") + listedText + " images, more than the " +
            std::to_string(kMaxImages) + " that the screen saver shows.\r\n\r\n" + std::to_string(kept) +
            " images are loaded; " + leftOutText +
            " are left out.\r\n\r\nOK saves the list as it is shown here, without them; Cancel leaves the "
            "settings file as it is.";
}

}  // namespace vistrel::dialog
