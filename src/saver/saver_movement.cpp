// The caption at the top of the screen and the float movement.
#include <string>

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
    label.setText(captionOf(stage.imageIndex));
    label.setWidth(label.width() + kCaptionMargin);
    // Centred at the top of its monitor.
    label.setLeft(stage.area.left + centredPosition(stage.area.width, label.width()));
    label.setVisible(true);
    // No caption, no caption band: the image may float up to the top edge.
    if (label.text().empty()) label.setHeight(0);
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
