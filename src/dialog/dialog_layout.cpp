#include "dialog/dialog_layout.h"

#include "dialog/dialog_values.h"

#include <stdexcept>
#include <string>

namespace vistrel::dialog {
namespace {

using K = ui::ControlKind;

// Left, Top, Width, Height in twips within the container; tab indices as designed.
constexpr ControlDesign kLayout[] = {
    // On the window.
    {"photoDisplay", K::Frame, "Form2", "Image ", 120, 120, 3975, 5775, "", 20},
    {"Frame2", K::Frame, "Form2", "Background ", 4200, 120, 2655, 1695, "", 14},
    {"placement", K::Frame, "Form2", "Movement", 6960, 120, 1695, 1695, "", 9},
    {"Frame1", K::Frame, "Form2", "Change Image", 4200, 1920, 4455, 1575, "", 4},
    {"Password", K::Frame, "Form2", "Password Protection / Message Board", 4200, 3600, 4455, 1335, "", 37},
    {"Ok", K::Button, "Form2", "&OK", 6000, 5520, 1215, 375, "", 1},
    {"Cancel", K::Button, "Form2", "&Cancel", 7320, 5520, 1215, 375, "", 0},
    // Beside the list's own buttons there is no room: below the password frame.
    {"addFolder", K::Button, "Form2", "Add Fol&der...", 4200, 5040, 1815, 375,
     "Add a folder: every picture in it and in its subfolders, also those put there later", 48},
    {"SS_StatusBar", K::StatusBar, "Form2", "", 0, 6000, 8820, 270, "", 36},
    {"photo", K::PictureBox, "Form2", "", 7080, 5160, 135, 135, "", 35},
    {"photo_caption", K::ListBox, "Form2", "", 7320, 5160, 255, 255, "", 19},
    // Left of OK in its row: the page of the options the window has no room for.
    {"moreOptions", K::Button, "Form2", "&More options...", 4200, 5520, 1695, 375, "More options", 49},
    // In the frame "Image ".
    {"photo1", K::PictureBox, "photoDisplay", "", 240, 360, 3375, 1815, "Thumbnail preview", 30},
    {"Label5(5)", K::Label, "photoDisplay", "Image Caption", 120, 2280, 1935, 255, "", 34},
    {"p_caption", K::TextBox, "photoDisplay", "", 120, 2520, 3735, 285, "Image caption", 29},
    {"caption_clear", K::Button, "photoDisplay", "&Clear", 120, 2880, 975, 375, "Clear caption", 28},
    {"font", K::Button, "photoDisplay", "&Font Style", 1200, 2880, 1335, 375, "Font type, color and size", 27},
    {"Label4(1)", K::Label, "photoDisplay", "Font Color", 2800, 2900, 855, 255, "", 31},
    {"Picture2", K::PictureBox, "photoDisplay", "", 3600, 2880, 255, 255, "Font color", 21},
    {"Label5(1)", K::Label, "photoDisplay", "Loaded Image(s)", 120, 3600, 1935, 255, "", 32},
    {"Label4(0)", K::Label, "photoDisplay", "Total", 3030, 3510, 495, 255, "", 33},
    {"Text3", K::TextBox, "photoDisplay", "", 3480, 3480, 375, 285, "Image amount", 22},
    {"List1", K::ListBox, "photoDisplay", "", 120, 3840, 3735, 1320, "Loaded image(s)", 23},
    {"add", K::Button, "photoDisplay", "&Add", 120, 5280, 1095, 375, "Load an image", 24},
    {"remove", K::Button, "photoDisplay", "&Remove", 1320, 5280, 1095, 375, "Remove an image", 25},
    {"RemoveAll", K::Button, "photoDisplay", "R&emove All", 2520, 5280, 1335, 375, "Remove all images", 26},
    // In the frame "Background ".
    {"Combo1", K::ComboBox, "Frame2", "", 120, 360, 2295, 315, "Background", 15},
    {"Label1(1)", K::Label, "Frame2", "Background Color", 360, 840, 1695, 255, "", 18},
    {"Picture1", K::PictureBox, "Frame2", "", 360, 1080, 255, 255, "Background color", 17},
    {"backColorClick", K::Button, "Frame2", "&Choose color...", 720, 1080, 1455, 375, "Background color", 16},
    // In the frame "Movement".
    {"pCenter", K::OptionButton, "placement", "&Center", 360, 240, 975, 315, "", 10},
    {"pRandom", K::OptionButton, "placement", "&Float", 360, 600, 855, 285, "", 11},
    {"Label5(2)", K::Label, "placement", "Float Speed", 360, 960, 1095, 255, "", 13},
    {"Slider1", K::Slider, "placement", "", 240, 1200, 1215, 450, "Float speed of image", 12},
    // In the frame "Change Image".
    {"nChange", K::OptionButton, "Frame1", "&Never", 240, 240, 855, 255, "", 6},
    {"aChange", K::OptionButton, "Frame1", "&After...", 1080, 240, 855, 255, "", 5},
    {"Text2", K::TextBox, "Frame1", "", 560, 660, 375, 375, "", 7},
    {"changeVScroll1", K::ScrollBar, "Frame1", "", 950, 660, 255, 375, "", 44},
    {"Label3(5)", K::Label, "Frame1", "Sec(s)", 1260, 765, 615, 315, "", 8},
    {"Random_select", K::CheckBox, "Frame1", "Random Order", 360, 1250, 1695, 195, "Display images in random order",
     43},
    {"Label7", K::Label, "Frame1", "Transitions", 2360, 240, 1095, 255, "", 47},
    {"TransitionsCbx", K::ComboBox, "Frame1", "", 2360, 480, 1935, 315, "Transitions", 45},
    {"RndTranCheck", K::CheckBox, "Frame1", "Random Transitions", 2400, 1080, 1815, 195,
     "Display Transitions at Random", 46},
    // In the frame "Password Protection / Message Board".
    {"Password_enabled", K::CheckBox, "Password", "Enabled", 240, 200, 1455, 375, "", 38},
    {"Label2", K::Label, "Password", "Password", 480, 600, 735, 255, "", 41},
    {"SS_password", K::TextBox, "Password", "", 1320, 600, 2895, 285, "", 39},
    {"Label6", K::Label, "Password", "Confirm", 600, 960, 615, 255, "", 42},
    {"SS_Confirm", K::TextBox, "Password", "", 1320, 960, 2895, 285, "", 40},
};

std::unique_ptr<ui::Control> makeControl(const ControlDesign& design, ui::Control& container) {
    std::string name(design.name);
    switch (design.kind) {
        case K::Frame: return std::make_unique<ui::Frame>(name, container);
        case K::Button: return std::make_unique<ui::Button>(name, container);
        case K::CheckBox: return std::make_unique<ui::CheckBox>(name, container);
        case K::OptionButton: return std::make_unique<ui::OptionButton>(name, container);
        case K::ListBox: return std::make_unique<ui::ListBox>(name, container);
        case K::ComboBox: return std::make_unique<ui::ComboBox>(name, container);
        case K::ScrollBar: return std::make_unique<ui::ScrollBar>(name, container);
        case K::Slider: return std::make_unique<ui::Slider>(name, container);
        case K::StatusBar: return std::make_unique<ui::StatusBar>(name, container);
        case K::PictureBox: return std::make_unique<ui::PictureBox>(name, container);
        case K::Label: return std::make_unique<ui::Label>(name, container);
        case K::TextBox: return std::make_unique<ui::TextBox>(name, container);
        case K::Window:
        case K::Timer: break;
    }
    throw std::logic_error("the dialog has no control of this kind: " + name);
}

void applyCaption(ui::Control& control, std::string_view caption) {
    if (caption.empty()) return;
    if (control.kind() == K::Label) {
        static_cast<ui::Label&>(control).setText(std::string(caption));
    } else {
        static_cast<ui::CaptionedControl&>(control).setCaption(std::string(caption));
    }
}

template <typename T>
T& named(std::vector<std::unique_ptr<ui::Control>>& made, std::string_view name) {
    for (auto& control : made) {
        if (control->name() == name) return static_cast<T&>(*control);
    }
    throw std::logic_error("the dialog has no control " + std::string(name));
}

void designWindow(ui::Window& form) {
    form.caption = kDialogTitle;
    form.borderStyle = ui::BorderStyle::FixedSingle;
    form.controlBox = true;
    form.minButton = true;
    form.maxButton = true;
    form.showInTaskbar = true;
    form.interiorWidth = kDialogInteriorWidth;
    form.interiorHeight = kDialogInteriorHeight;
    form.setBackColor(ui::kSystemButtonFace);
}

// What the table does not say: states other than "enabled, visible, empty".
void designStates(std::vector<std::unique_ptr<ui::Control>>& made) {
    for (auto& control : made) {
        if (control->kind() == K::Label) {
            auto& label = static_cast<ui::Label&>(*control);
            label.transparent = true;
            label.setForeColor(ui::kSystemWindowText);
        }
    }
    auto& placement = named<ui::Frame>(made, "placement");
    placement.setBackColor(ui::kSystemActiveBorder);
    placement.setForeColor(ui::kSystemWindowText);
    named<ui::OptionButton>(made, "pCenter").setBackColor(ui::kSystemActiveBorder);
    named<ui::OptionButton>(made, "pRandom").setBackColor(ui::kSystemActiveBorder);

    auto& loader = named<ui::PictureBox>(made, "photo");
    loader.setVisible(false);
    loader.autoSize = true;
    loader.borderStyle = ui::BorderStyle::FixedSingle;
    named<ui::ListBox>(made, "photo_caption").setVisible(false);

    auto& preview = named<ui::PictureBox>(made, "photo1");
    preview.borderStyle = ui::BorderStyle::None;
    preview.setBackColor(ui::kSystemButtonFace);
    for (const char* swatch : {"Picture1", "Picture2"}) {
        named<ui::PictureBox>(made, swatch).borderStyle = ui::BorderStyle::FixedSingle;
    }

    named<ui::ListBox>(made, "List1").font = ui::Font{"Times New Roman", 6.75};
    named<ui::TextBox>(made, "Text2").font = ui::Font{"MS Sans Serif", 9.75};

    auto& spin = named<ui::ScrollBar>(made, "changeVScroll1");
    spin.setRange(kMaxIntervalSeconds, 0);  // the top end is 60
    spin.smallChange = 1;
    spin.largeChange = 1;
    spin.setValue(kSpinStartSeconds);
    named<ui::Slider>(made, "Slider1").setRange(0, kMaxFloatSpeed);

    auto& transitions = named<ui::ComboBox>(made, "TransitionsCbx");
    for (int i = 0; i < static_cast<int>(std::size(kTransitionNames)); ++i) transitions.addItem(kTransitionNames[i], i);
    auto& background = named<ui::ComboBox>(made, "Combo1");
    for (int i = 0; i < static_cast<int>(std::size(kBackgroundNames)); ++i) background.addItem(kBackgroundNames[i], i);

    for (const char* name : {"SS_password", "SS_Confirm"}) {
        auto& box = named<ui::TextBox>(made, name);
        box.passwordChar = '*';
        box.inputMethodOff = true;
        box.setEnabled(false);
    }

    auto& status = named<ui::StatusBar>(made, "SS_StatusBar");
    status.panels = {
        {3500, ui::StatusBar::PanelStyle::Text, kStatusNotice, true},
        {3500, ui::StatusBar::PanelStyle::Text, kVersionText, true},
        {1790, ui::StatusBar::PanelStyle::Time, "", true},
    };
}

}  // namespace

std::span<const ControlDesign> dialogLayout() { return kLayout; }

void designControls(ui::Window& form, std::vector<std::unique_ptr<ui::Control>>& made) {
    designWindow(form);
    for (const ControlDesign& design : kLayout) {
        ui::Control* container = &form;
        if (design.container != form.name()) container = &named<ui::Control>(made, design.container);
        auto control = makeControl(design, *container);
        control->move(design.left, design.top, design.width, design.height);
        control->setTabIndex(design.tabIndex);
        control->toolTipText = std::string(design.toolTip);
        applyCaption(*control, design.caption);
        made.push_back(std::move(control));
    }
    designStates(made);
}

}  // namespace vistrel::dialog
