// When mouse motion ends a full-screen run.
#pragma once

#include <cstdint>

// Motion counts only after a grace period that starts when the first frame
// is on screen (start-up can take many seconds on a busy machine, and a
// full-screen window brings motion events of its own as it appears), and
// only when it has moved the pointer away from where it was when the grace
// ended. The movement is summed from the events' relative motion: every SDL
// 1.2 reports that alike, while an event's position is not the pointer's
// where SDL reads the mouse in relative mode (sdl12-compat with a hidden
// cursor, windib with the cursor hidden and held).
class MouseExitRule {
public:
    static constexpr std::uint32_t graceMs = 3000;

    // Off: no motion ever ends the run (the setting is off, or a host's
    // window is drawn in).
    explicit MouseExitRule(bool enabled) : enabled(enabled) {}
    // After each frame has been swapped, with its frameTicks.
    void frameShown(std::uint32_t ticks);
    // For each motion event, with its relative motion and the last frame's
    // frameTicks (which no clock step moves); true when it ends the run.
    bool ends(int xrel, int yrel, std::uint32_t ticks);

private:
    bool enabled;
    bool shown = false;
    std::uint32_t firstFrame = 0;
    long movedX = 0, movedY = 0;
};
