// The local time that the scene's time-driven content shows: the system's,
// read afresh on every call, or a fixed one (the viewer's pictures).
#pragma once

#include <ctime>

std::tm wallClockNow();
// Fixes the time every later wallClockNow() gives; null gives back the
// system's.
void fixWallClock(const std::tm* fixed);
