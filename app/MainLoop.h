// The main loop of screensaver mode, the frame, and the teardown.
#pragma once

#include <cstdint>

// SIGTERM, SIGINT, SIGHUP and SIGUSR1 (platform::stopRequested), Alt+F4 and
// the window system's close request end the loop like Esc; mouse motion
// does when the settings allow it (MouseExitRule).

struct SceneNode;

// The drawing of a frame at frameTicks: clear, the camera, both trees, the
// deferred transparent parts. Not the swap.
void drawFrame(SceneNode& scene, SceneNode& overlay);
// Renders one frame; returns true (the value is not used).
bool renderFrame();
struct LoopOptions {
    std::int32_t maxFps = 0;        // frames per second at most; 0 for no cap
    std::uint64_t hostWindow = 0;   // the host's window drawn in; 0 full screen
};

// The frame cap when none is asked for: none full screen (as many frames as
// the driver gives); in a host's window 30 a second when the renderer
// (GL_RENDERER, null when unknown) is a software rasteriser, where 60 would
// keep a whole core busy for a preview pane, and 60 otherwise.
std::int32_t defaultMaxFps(bool inHostWindow, const char* renderer);

// Drains events and renders frames until both roots report removal, or the
// host's window has gone.
void runMainLoop(const LoopOptions& options = LoopOptions());
// Frees settings, the two roots and the display, in that order.
void teardown();
