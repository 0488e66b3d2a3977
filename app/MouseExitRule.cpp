#include "app/MouseExitRule.h"

void MouseExitRule::frameShown(std::uint32_t ticks) {
    if (shown) return;
    shown = true;
    firstFrame = ticks;
}

bool MouseExitRule::ends(int xrel, int yrel, std::uint32_t ticks) {
    // Tick differences in unsigned 32-bit arithmetic, as every animation's.
    if (!enabled || !shown || ticks - firstFrame <= graceMs) return false;
    movedX += xrel;
    movedY += yrel;
    return movedX != 0 || movedY != 0;
}
