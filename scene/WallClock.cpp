#include "scene/WallClock.h"

#include "platform/Platform.h"

namespace {

bool isFixed = false;
std::tm fixedTime{};

}  // namespace

std::tm wallClockNow() {
    if (isFixed) return fixedTime;
    std::tm local{};
    platform::localTime(std::time(nullptr), &local);
    return local;
}

void fixWallClock(const std::tm* fixed) {
    isFixed = fixed != nullptr;
    if (fixed) fixedTime = *fixed;
}
