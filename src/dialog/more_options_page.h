// The page of the options that the settings dialog's own layout has no
// room for, opened by its button "More options...": a window of its own,
// owned by the dialog, with a check box for each choice, and OK and Cancel.
//
// The page works on a copy of the dialog's pending values of its options.
// Its OK puts the copy back into the pending settings, which the dialog's
// OK writes with everything else (and its Cancel drops); the page's Cancel,
// its close box and Esc leave them as they were. A value the page cannot
// show (a hand-edited fitLarge=2, an unknown word in autoCaption) stays as
// it is unless its box is changed.
//
// Each choice is a row of choiceTable(): adding an option to the page is
// adding a row (and a group when it belongs to none yet); the page lays
// its rows out itself, group by group, in the order of the table.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/pending_settings.h"
#include "platform/controls.h"
#include "platform/dialog_controls.h"
#include "platform/platform.h"

namespace vistrel::dialog {

inline constexpr const char* kMorePageTitle = "More options";

struct PageChoice {
    std::string_view name;     // the check box's name
    std::string_view group;    // the caption of the frame it stands in
    std::string_view caption;  // with its access key
    settings::Option option;
    // Whether a value of the option shows as a checked box.
    bool (*checkedFor)(std::string_view value);
    // The value with the box set so: the value itself when it shows so
    // already, so that a hand-edited text survives.
    std::string (*withChecked)(std::string_view value, bool checked);
};

std::span<const PageChoice> choiceTable();

class MoreOptionsPage {
public:
    MoreOptionsPage(platform::Platform& platform, PendingSettings& pending);
    ~MoreOptionsPage();
    MoreOptionsPage(const MoreOptionsPage&) = delete;
    MoreOptionsPage& operator=(const MoreOptionsPage&) = delete;

    // Loads the page over the window `owner` with the pending values of its
    // options and shows it.
    void open(platform::Handle owner);

    ui::Window form;
    // Called as the page goes, by OK or otherwise, just before its window
    // does: the owner takes the activation back from here.
    std::function<void()> onClosing;

    template <typename T>
    T& control(std::string_view name) const {
        return static_cast<T&>(find(name));
    }
    ui::Control& find(std::string_view name) const;

private:
    void design();
    void Form_Load();
    void choice_Click(const PageChoice& choice, const ui::CheckBox& box);
    void OK_Click();
    void Cancel_Click();
    void close();

    PendingSettings& pending_;
    settings::OptionValues values_;  // the page's copy of its options' values
    std::vector<std::unique_ptr<ui::Control>> controls_;
    std::vector<std::pair<const PageChoice*, ui::CheckBox*>> boxes_;
};

}  // namespace vistrel::dialog
