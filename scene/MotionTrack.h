// The motions running on one node, advanced once per draw of the node.
#pragma once

#include "scene/Motion.h"
#include "scene/Transform.h"

#include <cstdint>
#include <vector>

struct MotionTrack {
    std::uint32_t lastTicks;  // frameTicks at the last advance (or construction)
    std::uint32_t prevTicks;
    double speed = 1.0;
    Transform offset;  // per-frame sum of the motions' contributions
    std::vector<Motion> motions;

    MotionTrack();
    // Copies the motion, points it at this track's offset, appends it.
    void append(const Motion& motion);
    // Runs the motions for the ticks since the previous advance and applies
    // the summed offset to the modelview matrix.
    void advance();
};
