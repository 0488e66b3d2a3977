// The one clock reading of a frame.
#pragma once
#include <cstdint>

// SDL tick count taken once at the start of each frame; every animation of
// the frame reads this value, never the clock. Differences are taken in
// unsigned 32-bit arithmetic so a wrap still gives the right small step.
extern std::uint32_t frameTicks;
