// The frames-per-second counter: the average over five-second windows,
// shown as up to three model digits beside the "fps" label.
#pragma once

#include "scene/Motion.h"

#include <cstdint>
#include <string>

struct SceneNode;

// Frames drawn in the current window (calls of updateFrameCounter since the
// last refresh).
extern std::int32_t frameCount;

constexpr double frameCounterPeriod = 5000.0;  // ms of the counter motion's time

// Per frame on the counter node: counts the frame and, once the motion's
// time has run past the period, appends a fresh set of digits (each living
// for one period) and starts a new window.
void updateFrameCounter(MotionArgument);

// What a counter node shows, as the last frame drew it: "fps=" and its
// newest digits, hundreds first ("fps=-" before the first refresh).
std::string describeCounter(const SceneNode& counter);
