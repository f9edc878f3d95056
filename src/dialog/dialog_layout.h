// The settings dialog's window and controls as designed: one table gives
// every control's kind, container, caption, place and size in twips, tab
// index and tip; designControls() makes them and gives each its initial
// state.
#pragma once

#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/controls.h"
#include "platform/dialog_controls.h"

namespace vistrel::dialog {

struct ControlDesign {
    std::string_view name;
    ui::ControlKind kind;
    std::string_view container;  // "Form2" or the name of a frame listed before
    std::string_view caption;
    int left, top, width, height;
    std::string_view toolTip;
    int tabIndex;
};

// In the order the controls are made: every container before what it holds.
std::span<const ControlDesign> dialogLayout();

inline constexpr int kDialogInteriorWidth = 8820;
inline constexpr int kDialogInteriorHeight = 6270;
inline constexpr int kSpinStartSeconds = 2;
inline constexpr const char* kDialogTitle = " Vistrel Screen Saver";
inline constexpr const char* kStatusNotice = "Settings of the Vistrel screen saver";
inline constexpr const char* kVersionText = "Vistrel Version 3.0";

inline constexpr const char* kTransitionNames[] = {
    "Standard",       "Left wipe",   "Right wipe",        "Right & Left wipe",
    "Up & down wipe", "Center wipe", "Horizontal blinds", "Vertical blinds",
    "Crossfade",
};
inline constexpr const char* kBackgroundNames[] = {"Background Color (below)", "Desktop", "Blurred Picture"};

// Makes the controls of `form` from the table, in its order, with their
// designed states (the window's own properties too). `made` keeps them;
// they go in the reverse order.
void designControls(ui::Window& form, std::vector<std::unique_ptr<ui::Control>>& made);

}  // namespace vistrel::dialog
