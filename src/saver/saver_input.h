// Input on the saver window. A key or a mouse button ends the saver at
// once; mouse movement only after five significant moves in quick
// succession, so that a jolt of the desk or a pointer at rest does not.
// Only the window's background and the image surface react; the caption
// and the hidden loader have no handlers.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/controls.h"
#include "platform/platform.h"

namespace vistrel::saver {

// More than this many units along one axis since the previous event, in
// the event's own units (twips over the background, pixels over the image).
inline constexpr double kSignificantMove = 3;
inline constexpr int kMovesToExit = 5;
// Counted moves further than this from the start of their burst start over.
inline constexpr double kMoveBurstSeconds = 2.0;

class SaverInput {
public:
    // Installs the handlers on the window and its image surface.
    SaverInput(platform::Platform& platform, ui::Window& form1, ui::PictureBox& picture1);
    SaverInput(const SaverInput&) = delete;
    SaverInput& operator=(const SaverInput&) = delete;

    // Each exit request; the run control decides whether the program ends
    // or the password prompt comes up.
    std::function<void()> onExitRequest;

    // Pointer positions of the last mouse-move event over the background
    // (twips) and over the image (pixels). Held in 32 bits: a screen wider
    // or taller than 2184 pixels measures more than 32767 twips.
    std::int32_t lastFormX = 0;
    std::int32_t lastFormY = 0;
    std::int32_t lastPictureX = 0;
    std::int32_t lastPictureY = 0;
    // Significant moves counted in the current burst, and the time of day
    // in whole seconds of its first one (0 = no burst open).
    std::int16_t moveCount = 0;
    std::int32_t moveWindowStart = 0;

    // A close command (Alt+F4, another program) is an exit request too: it
    // must not end a protected run.
    void Form_CloseRequest();
    void Form_MouseDown();
    void Form_KeyDown();
    void Picture1_KeyDown();
    void Form_MouseMove(double x, double y);
    void Picture1_MouseMove(double x, double y);
    void CountMouseMove();

private:
    void moveTest(double x, double y, std::int32_t& lastX, std::int32_t& lastY);
    void requestExit();

    platform::Platform& platform_;
};

}  // namespace vistrel::saver
