// The load step: places the dialog and fills every control, and through the
// controls' own handlers every pending setting, from the settings file.
#include <cstdio>
#include <string>

#include "common/numbers.h"

#include "dialog/dialog_values.h"
#include "dialog/settings_dialog.h"
#include "saver/saver_fallbacks.h"
#include "settings/option_table.h"
#include "settings/settings_file.h"

namespace vistrel::dialog {

using settings::Option;

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

    // Each option as the dialog shows it: a missing key its first-start
    // value, a value out of a control's range the nearest one it has. Each
    // step below takes its value into the pending settings, then sets the
    // control, whose handler may change later values (in this order).
    settings::OptionValues shown;
    for (const settings::OptionSpec& spec : settings::optionTable()) {
        shown[spec.option] = shownByDialog(spec, settings::readOption(file, spec));
    }
    auto take = [this, &shown](Option option) -> const std::string& { return pending[option] = shown[option]; };

    randomSelect_->setValue(flagIsOn(take(Option::randomPick)) ? 1 : 0);

    const ui::Color backColor = colorValue(take(Option::newBackColor), saver::kFallbackBackColor);
    colorDialogColor_ = backColor;
    picture1_->setBackColor(backColor);

    combo1_->setListIndex(backgroundChoice(take(Option::backEffect)));

    take(Option::picRandom);
    showMovement();

    slider1_->setValue(wholeInRange(take(Option::picSpeed), 0, kMaxFloatSpeed, 0));

    if (take(Option::picChange) == "ch") {
        aChange_->setValue(true);
    } else {
        nChange_->setValue(true);
    }

    text2_->setText(take(Option::timeInterval));
    changeVScroll1_->setValue(wholeInRange(pending[Option::timeInterval], 0, kMaxIntervalSeconds, 0));
    // "Never" with a number of seconds beside it (only a hand-edited file
    // holds both): the saver reads only the seconds, so the dialog would save
    // a change it does not show. It saves "never" (0); choosing "After..."
    // takes the seconds from the spin control again.
    if (nChange_->value()) pending[Option::timeInterval] = std::to_string(0);

    transitionsCbx_->setListIndex(wholeInRange(take(Option::effectMode), 0, kTransitionCount - 1, 0));

    rndTranCheck_->setValue(flagIsOn(take(Option::randomEffect)) ? 1 : 0);

    // Kept as read for the page of further options, which shows them.
    for (Option kept : {Option::fitLarge, Option::allMonitors, Option::autoCaption}) take(kept);

    ssPassword_->setText(take(Option::saverPassword));
    ssConfirm_->setText(pending[Option::saverPassword]);

    const bool protection = flagIsOn(take(Option::saverEnabled));
    passwordEnabled_->setValue(protection ? 1 : 0);
    setPasswordBoxesUsable(protection);

    fontDialogFont_.name = take(Option::newFontName);
    fontDialogFont_.sizePoints = fontSizeValue(take(Option::newFontSize));
    fontDialogFont_.bold = fontFlagValue(take(Option::newFontBold));
    fontDialogFont_.italic = fontFlagValue(take(Option::newFontItalic));
    fontDialogFont_.underline = fontFlagValue(take(Option::newFontUnderline));
    fontDialogFont_.strikethrough = fontFlagValue(take(Option::newFontFontStrikethru));

    const ui::Color captionColor = colorValue(take(Option::newFontForeColor), saver::kFallbackCaptionColor);
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
