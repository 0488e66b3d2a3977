#include "render/FrameTicks.h"

#include "platform/Platform.h"

std::uint32_t frameTicks = 0;

namespace {
// The process's clock behind frameTicks.
FrameClock frameClock;
}  // namespace

std::uint32_t FrameClock::step(double nowMs) {
    if (!started) {
        // The first frame moves on by as much as an ordinary long one:
        // start-up's time is not animation time.
        started = true;
        lastMs = nowMs;
        lastStep = maxFrameStepMs;
        return lastStep;
    }
    const double gap = nowMs - lastMs;
    lastMs = nowMs;
    if (gap < 0 || gap > maxFrameStepMs) return lastStep;
    const double exact = gap + fraction;
    lastStep = static_cast<std::uint32_t>(exact);
    fraction = exact - lastStep;
    return lastStep;
}

void advanceFrameTicks() { frameTicks += frameClock.step(platform::monotonicSeconds() * 1000.0); }
