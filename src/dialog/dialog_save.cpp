// OK checks the entries and stores the image list and every option in the
// settings file in one step; Cancel (and the close box) store nothing.
#include "dialog/settings_dialog.h"
#include "settings/settings_places.h"

namespace vistrel::dialog {
namespace {

constexpr const char* kNeedOneImage = "You need to load at least one image file.";
constexpr const char* kNeedPassword = "You must enter a 'Password' or uncheck 'Password Protection'.";
constexpr const char* kPasswordsDiffer = "The 'Password' and 'Confirm' entries must be the same.";

}  // namespace

bool SettingsDialog::entriesPassChecks() {
    if (list1_->list(0).empty()) {
        message(kNeedOneImage);
        return false;
    }
    const bool protection = passwordEnabled_->value() != 0;
    const std::string& password = pending[settings::Option::saverPassword];
    if (protection && password.empty() && pending.confirmPassword.empty()) {
        message(kNeedPassword);
        return false;
    }
    if (protection && password != pending.confirmPassword) {
        message(kPasswordsDiffer);
        return false;
    }
    return true;
}

bool SettingsDialog::save() {
    // To the file that was read, or to the user's own where that one may
    // not be written.
    settings::SettingsSave save(platform_);
    settings::SettingsFile::Batch& batch = save.changes();
    const int count = list1_->listCount();
    batch.reserve(static_cast<std::size_t>(count + photoCaption_->listCount()) + settings::kOptionCount + 3);
    batch.deleteSection("images");
    for (int i = 0; i < count; ++i) batch.write("images", std::to_string(i), list1_->list(i));
    batch.write("total", "total", std::to_string(count));
    batch.deleteSection("caption");
    for (int i = 0; i < photoCaption_->listCount(); ++i) {
        batch.write("caption", std::to_string(i), photoCaption_->list(i));
    }
    // Every option, in the table's order, as the load or a handler left it.
    for (const settings::OptionSpec& spec : settings::optionTable()) {
        batch.write(spec.section, spec.key, pending[spec.option]);
    }
    if (save.commit()) return true;
    // The files are as they were; the dialog stays open with everything in it.
    message("The settings could not be saved in\r\n" + save.path() + "\r\n\r\n" + save.failure());
    return false;
}

void SettingsDialog::OK_Click() {
    if (bulk_.running) return;  // OK waits until the list is complete
    if (!entriesPassChecks() || !save()) return;
    form2.unload();
}

void SettingsDialog::Cancel_Click() {
    if (bulk_.running) {
        // The add stops first and the dialog closes after it, writing nothing.
        bulk_.stopRequested = bulk_.closeRequested = true;
        return;
    }
    form2.unload();
}

}  // namespace vistrel::dialog
