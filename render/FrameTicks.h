// The one clock reading of a frame, and the one place that decides it.
#pragma once
#include <cstdint>

// Milliseconds, taken once at the start of each frame; every animation of
// the frame reads this value, never the clock. Differences are taken in
// unsigned 32-bit arithmetic so a wrap still gives the right small step.
extern std::uint32_t frameTicks;

// The longest step one frame may move time on. A longer gap between frames
// (the process was stopped, the machine suspended, the driver stalled) is
// not shown as a jump: it counts as one ordinary frame.
constexpr std::uint32_t maxFrameStepMs = 250;

// How frame time moves on: from a clock that never jumps, in steps that are
// never negative and never longer than maxFrameStepMs; a gap beyond that
// counts as the step before it. Wall-clock steps (an NTP correction, a
// changed time zone) do not reach it at all.
class FrameClock {
public:
    // The step for a frame that starts at `nowMs` on the never-jumping
    // clock.
    std::uint32_t step(double nowMs);

private:
    bool started = false;
    double lastMs = 0;
    std::uint32_t lastStep = 0;
    double fraction = 0;  // of a millisecond, carried so that time keeps pace
};

// Moves frameTicks on for a new frame, by the process's FrameClock read
// from platform::monotonicSeconds.
void advanceFrameTicks();
