// The caption at the top of the screen and the float movement.
#include <string>

#include "saver/placement.h"
#include "saver/saver_window.h"

namespace vistrel::saver {

void SaverWindow::PlaceCaption() {
    label1.setVisible(false);
    // No picture, no caption: when not one image of the list could be shown
    // (a protected run passes them over), the background stays bare.
    if (!picture1.visible()) {
        label1.setText("");
        label1.setHeight(0);
        return;
    }
    const auto index = static_cast<std::size_t>(imageIndex);
    label1.setText("");
    label1.setText(index < imageCaptions.size() ? imageCaptions[index] : std::string());
    label1.setWidth(label1.width() + kCaptionMargin);
    label1.setLeft(centredPosition(form1.scaleWidth(), label1.width()));
    label1.setVisible(true);
    // No caption, no caption band: the image may float up to the top edge.
    if (label1.text().empty()) label1.setHeight(0);
}

void SaverWindow::PickDirections() {
    stepX = floatStepFor(random.next());
    stepY = floatStepFor(random.next());
}

void SaverWindow::Timer1_Timer() {
    const FloatState moved = floatTick({picture1.left(), picture1.top(), picture1.width(), picture1.height(), stepX, stepY},
                                       form1.scaleWidth(), form1.scaleHeight(), label1.height());
    stepX = moved.stepX;
    stepY = moved.stepY;
    picture1.move(moved.left, moved.top, picture1.width(), picture1.height());
}

}  // namespace vistrel::saver
