// The look-ahead of the slideshow: while each monitor shows its picture, the
// one its next change shows is decoded off the user-interface thread.
#include "common/numbers.h"
#include "saver/placement.h"
#include "saver/saver_window.h"

namespace vistrel::saver {

void SaverWindow::prepareNextPictures() {
    // A picture that stays for the rest of the run needs no successor.
    if (changeIntervalMs(timeInterval) <= 0) return;
    // Only now: every monitor's transition has let go of the picture it
    // replaced, so a monitor never holds more than the picture it shows,
    // the next one and what its transition works with.
    for (Stage* stage : stages()) {
        const PictureIndex next = upcomingPicture(*stage);
        if (next < 0) {
            stage->next.drop();
            continue;
        }
        stage->next.prepare(platform_, library_->pathOf(static_cast<library::PictureId>(next)),
                            pictureRequest(*stage, next));
    }
}

PictureIndex SaverWindow::upcomingPicture(const Stage& stage) const {
    // At random the next card is dealt already; in list order it is the
    // picture the next change will find from its place, as far as the walks
    // have found pictures by now.
    if (numericValue(randomPick) == 1) return stage.imageIndex;
    const std::optional<library::ListPlace> place = library_->atOrAfter(stage.listPlace);
    return place ? static_cast<PictureIndex>(library_->pictureAt(*place)) : -1;
}

}  // namespace vistrel::saver
