#include "saver/saver_input.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/numbers.h"

namespace vistrel::saver {
namespace {

// A position as a whole number, an exact half going to the even neighbour.
// Positions come from the screen and fit easily; the clamp only keeps a
// value no screen gives from overflowing.
std::int32_t wholeUnits(double value) {
    if (std::isnan(value)) return 0;
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(roundHalfEven(value), low, high));
}

}  // namespace

SaverInput::SaverInput(platform::Platform& platform, ui::Window& form1, ui::PictureBox& picture1)
    : platform_(platform) {
    form1.onCloseRequest = [this] { Form_CloseRequest(); };
    form1.onMouseDown = [this](int, int, double, double) { Form_MouseDown(); };
    form1.onKeyDown = [this](int&, int) { Form_KeyDown(); };
    form1.onMouseMove = [this](int, int, double x, double y) { Form_MouseMove(x, y); };
    picture1.onKeyDown = [this](int&, int) { Picture1_KeyDown(); };
    picture1.onMouseMove = [this](int, int, double x, double y) { Picture1_MouseMove(x, y); };
}

void SaverInput::requestExit() {
    if (onExitRequest) onExitRequest();
}

void SaverInput::Form_CloseRequest() { requestExit(); }

void SaverInput::Form_MouseDown() { requestExit(); }

void SaverInput::Form_KeyDown() { requestExit(); }

void SaverInput::Picture1_KeyDown() { requestExit(); }

void SaverInput::Form_MouseMove(double x, double y) { moveTest(x, y, lastFormX, lastFormY); }

void SaverInput::Picture1_MouseMove(double x, double y) { moveTest(x, y, lastPictureX, lastPictureY); }

void SaverInput::moveTest(double x, double y, std::int32_t& lastX, std::int32_t& lastY) {
    const bool significant = std::abs(x - lastX) > kSignificantMove || std::abs(y - lastY) > kSignificantMove;
    // The first event only records where the pointer is; so does any move
    // from the left or top edge.
    if (significant && lastX > 0 && lastY > 0) CountMouseMove();
    lastX = wholeUnits(x);
    lastY = wholeUnits(y);
}

void SaverInput::CountMouseMove() {
    moveCount = static_cast<std::int16_t>(moveCount + 1);
    // The count comes before the time: the fifth counted move ends the
    // saver however long the burst took.
    if (moveCount == kMovesToExit) requestExit();
    const double now = platform_.timeOfDaySeconds();
    if (moveWindowStart == 0) {
        moveWindowStart = wholeUnits(now);
        return;
    }
    if (now - moveWindowStart > kMoveBurstSeconds) {
        moveWindowStart = 0;
        moveCount = 0;
    }
}

}  // namespace vistrel::saver
