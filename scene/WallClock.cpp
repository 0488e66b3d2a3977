#include "scene/WallClock.h"

#include "platform/Platform.h"

// Defined with the layer's other process-wide values, in SceneState.cpp.
extern bool wallClockIsFixed;
extern std::tm fixedWallClock;

std::tm wallClockNow() {
    if (wallClockIsFixed) return fixedWallClock;
    std::tm local{};
    platform::localTime(platform::wallTime(), &local);
    return local;
}

void fixWallClock(const std::tm* fixed) {
    wallClockIsFixed = fixed != nullptr;
    if (fixed) fixedWallClock = *fixed;
}
