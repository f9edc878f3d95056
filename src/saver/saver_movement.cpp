// The caption at the top of the screen and the float movement.
#include <string>

#include "saver/auto_caption.h"
#include "saver/placement.h"
#include "saver/saver_window.h"

namespace vistrel::saver {

void SaverWindow::PlaceCaption(Stage& stage) {
    ui::Label& label = stage.label1;
    label.setVisible(false);
    // No picture, no caption: when not one image of the list could be shown
    // (a protected run passes them over), the background stays bare.
    if (!stage.picture1.visible()) {
        label.setText("");
        label.setHeight(0);
        return;
    }
    label.setText("");
    label.setText(captionFor(stage));
    label.setWidth(label.width() + kCaptionMargin);
    // Centred at the top of its monitor.
    label.setLeft(stage.area.left + centredPosition(stage.area.width, label.width()));
    label.setVisible(true);
    // No caption, no caption band: the image may float up to the top edge.
    if (label.text().empty()) label.setHeight(0);
}

bool SaverWindow::captionsWriteThemselves() const { return settings::captionPartsOf(autoCaption).any(); }

std::string SaverWindow::captionFor(const Stage& stage) {
    // A folder entry's caption is the caption of each of its pictures.
    std::string own = captionOf(stage.imageIndex);
    const settings::CaptionParts parts = settings::captionPartsOf(autoCaption);
    if (!own.empty() || !parts.any()) return own;
    // The day comes with the picture the change loaded.
    const auto& shown = stage.picture1.picture();
    const std::string date = parts.date && shown && shown->dateTaken.known() ? platform_.longDate(shown->dateTaken) : "";
    const std::string path = currentPath(stage);
    CaptionSources sources;
    sources.path = path;
    sources.dateText = date;
    return composeCaption(sources, parts);
}

void SaverWindow::PickDirections(Stage& stage) {
    stage.stepX = floatStepFor(random.next());
    stage.stepY = floatStepFor(random.next());
}

void SaverWindow::Timer1_Timer() {
    // Each monitor's picture bounces within that monitor.
    for (Stage* stage : stages()) {
        ui::PictureBox& box = stage->picture1;
        const TwipsArea& area = stage->area;
        const FloatState moved =
            floatTick({box.left(), box.top(), box.width(), box.height(), stage->stepX, stage->stepY},
                      FloatBounds{area.left, area.top, area.width, area.height}, stage->label1.height());
        stage->stepX = moved.stepX;
        stage->stepY = moved.stepY;
        box.move(moved.left, moved.top, box.width(), box.height());
    }
}

}  // namespace vistrel::saver
