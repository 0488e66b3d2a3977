#include "scene/MotionTrack.h"

#include "render/FrameTicks.h"

MotionTrack::MotionTrack() : lastTicks(frameTicks), prevTicks(frameTicks) {}

void MotionTrack::append(const Motion& motion) {
    motions.push_back(motion);
    motions.back().target = &offset;
}

void MotionTrack::advance() {
    prevTicks = lastTicks;
    lastTicks = frameTicks;
    offset.reset();
    const std::uint32_t diff = lastTicks - prevTicks;  // wraps correctly
    const double scaled = static_cast<double>(static_cast<std::uint64_t>(diff)) * speed;
    const std::uint32_t dt = static_cast<std::uint32_t>(static_cast<std::uint64_t>(scaled));
    // Index walk, re-measured each step: a motion function may append to
    // this very track, which can move the vector's storage.
    for (std::size_t i = 0; i < motions.size();) {
        if (motions[i].finished) {
            motions.erase(motions.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        Motion& m = motions[i];
        m.advance(dt);
        ++i;
    }
    offset.apply();
}
