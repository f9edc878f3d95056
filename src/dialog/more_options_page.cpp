#include "dialog/more_options_page.h"

#include <stdexcept>

#include "common/numbers.h"
#include "dialog/dialog_values.h"
#include "saver/pan_zoom.h"
#include "settings/caption_parts.h"

namespace vistrel::dialog {
namespace {

using settings::CaptionPart;
using settings::Option;

constexpr std::string_view kPicturesGroup = "Pictures and monitors";
constexpr std::string_view kCaptionGroup = "Caption of a picture without one";

// picRandom: "pan" pans and zooms; leaving it centres the picture, as a
// first start does. Center or Float in the dialog leave it too.
bool pansAndZooms(std::string_view value) { return value == saver::kPanAndZoom; }

// fitLarge: only 0 keeps pictures at their own size.
bool fitsLarge(std::string_view value) { return numericValue(value) != 0; }

constexpr PageChoice kChoices[] = {
    {"fitLarge", kPicturesGroup, "&Shrink large pictures to fit the screen", Option::fitLarge, fitsLarge,
     [](std::string_view value, bool on) { return fitsLarge(value) == on ? std::string(value) : flagText(on); }},
    {"allMonitors", kPicturesGroup, "A slideshow on every &monitor", Option::allMonitors, flagIsOn,
     [](std::string_view value, bool on) { return flagIsOn(value) == on ? std::string(value) : flagText(on); }},
    {"panAndZoom", kPicturesGroup, "&Pan and zoom each picture across the screen", Option::picRandom, pansAndZooms,
     [](std::string_view value, bool on) {
         if (pansAndZooms(value) == on) return std::string(value);
         return std::string(on ? saver::kPanAndZoom : "cent");
     }},
    {"captionDate", kCaptionGroup, "&Date taken", Option::autoCaption,
     [](std::string_view value) { return settings::captionPartsOf(value).date; },
     [](std::string_view value, bool on) { return settings::withCaptionPart(value, CaptionPart::Date, on); }},
    {"captionFolder", kCaptionGroup, "&Folder name", Option::autoCaption,
     [](std::string_view value) { return settings::captionPartsOf(value).folder; },
     [](std::string_view value, bool on) { return settings::withCaptionPart(value, CaptionPart::Folder, on); }},
    {"captionFile", kCaptionGroup, "F&ile name", Option::autoCaption,
     [](std::string_view value) { return settings::captionPartsOf(value).file; },
     [](std::string_view value, bool on) { return settings::withCaptionPart(value, CaptionPart::File, on); }},
};

// Twips of the window's interior: frames of one width stacked from the top,
// a row of a check box each, and OK and Cancel at the bottom right.
constexpr int kMargin = 120;
constexpr int kFrameWidth = 4455;
constexpr int kFrameTopRoom = 240;  // the frame's caption
constexpr int kFrameBottomRoom = 120;
constexpr int kRowHeight = 300;
constexpr int kBoxLeft = 240;
constexpr int kBoxHeight = 255;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kButtonGap = 105;
constexpr int kEscapeKey = 27;

}  // namespace

std::span<const PageChoice> choiceTable() { return kChoices; }

MoreOptionsPage::MoreOptionsPage(platform::Platform& platform, PendingSettings& pending)
    : form("MoreOptions", platform), pending_(pending) {
    design();
    form.onLoad = [this] { Form_Load(); };
    form.onCloseRequest = [this] { Cancel_Click(); };
    form.onKeyPreview = [this](int keyCode, int) {
        if (keyCode != kEscapeKey) return false;
        Cancel_Click();
        return true;
    };
}

MoreOptionsPage::~MoreOptionsPage() {
    form.unload();
    // Contents before their containers.
    while (!controls_.empty()) controls_.pop_back();
}

ui::Control& MoreOptionsPage::find(std::string_view name) const {
    for (const auto& control : controls_) {
        if (control->name() == name) return *control;
    }
    throw std::logic_error("the page of more options has no control " + std::string(name));
}

void MoreOptionsPage::design() {
    form.caption = kMorePageTitle;
    form.borderStyle = ui::BorderStyle::FixedSingle;
    form.controlBox = true;  // its close box cancels
    form.showInTaskbar = false;
    form.centerOnScreen = true;
    form.setBackColor(ui::kSystemButtonFace);

    int tabIndex = 0;
    int groups = 0;
    int top = kMargin;
    for (std::size_t first = 0; first < std::size(kChoices);) {
        const std::string_view group = kChoices[first].group;
        auto frame = std::make_unique<ui::Frame>("group" + std::to_string(++groups), form);
        frame->setCaption(std::string(group));
        ui::Frame& container = *frame;
        controls_.push_back(std::move(frame));
        int rowTop = kFrameTopRoom;
        for (; first < std::size(kChoices) && kChoices[first].group == group; ++first) {
            const PageChoice& choice = kChoices[first];
            auto box = std::make_unique<ui::CheckBox>(std::string(choice.name), container);
            box->setCaption(std::string(choice.caption));
            box->move(kBoxLeft, rowTop, kFrameWidth - kBoxLeft - kMargin, kBoxHeight);
            box->setTabIndex(tabIndex++);
            ui::CheckBox& made = *box;
            box->onClick = [this, &choice, &made] { choice_Click(choice, made); };
            boxes_.emplace_back(&choice, &made);
            controls_.push_back(std::move(box));
            rowTop += kRowHeight;
        }
        container.move(kMargin, top, kFrameWidth, rowTop + kFrameBottomRoom - (kRowHeight - kBoxHeight));
        container.setTabIndex(tabIndex++);
        top += container.height() + kMargin;
    }

    const int right = kMargin + kFrameWidth;
    auto ok = std::make_unique<ui::Button>("Ok", form);
    ok->setCaption("&OK");
    ok->move(right - 2 * kButtonWidth - kButtonGap, top, kButtonWidth, kButtonHeight);
    ok->setTabIndex(tabIndex++);
    ok->onClick = [this] { OK_Click(); };
    auto cancel = std::make_unique<ui::Button>("Cancel", form);
    cancel->setCaption("&Cancel");
    cancel->move(right - kButtonWidth, top, kButtonWidth, kButtonHeight);
    cancel->setTabIndex(tabIndex++);
    cancel->onClick = [this] { Cancel_Click(); };
    controls_.push_back(std::move(ok));
    controls_.push_back(std::move(cancel));

    form.interiorWidth = right + kMargin;
    form.interiorHeight = top + kButtonHeight + kMargin;
}

void MoreOptionsPage::open(platform::Handle owner) {
    form.owner = owner;
    form.load();
    form.show();
    // On the first choice, ready for Space and the arrow of Tab.
    boxes_.front().second->setFocus();
}

void MoreOptionsPage::Form_Load() {
    for (const auto& [choice, box] : boxes_) values_[choice->option] = pending_[choice->option];
    // Setting a box raises its handler, which leaves a value that shows so already as it is.
    for (const auto& [choice, box] : boxes_) box->setValue(choice->checkedFor(values_[choice->option]) ? 1 : 0);
}

void MoreOptionsPage::choice_Click(const PageChoice& choice, const ui::CheckBox& box) {
    values_[choice.option] = choice.withChecked(values_[choice.option], box.value() != 0);
}

void MoreOptionsPage::OK_Click() {
    for (const auto& [choice, box] : boxes_) pending_[choice->option] = values_[choice->option];
    close();
}

void MoreOptionsPage::Cancel_Click() { close(); }

void MoreOptionsPage::close() {
    if (onClosing) onClosing();
    form.unload();
}

}  // namespace vistrel::dialog
