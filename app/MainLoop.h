// The main loop of screensaver mode, the frame, and the teardown.
#pragma once

// SIGTERM, SIGINT and SIGHUP (platform::stopRequested) end the loop like Esc.

struct SceneNode;

// The drawing of a frame at frameTicks: clear, the camera, both trees, the
// deferred transparent parts. Not the swap.
void drawFrame(SceneNode& scene, SceneNode& overlay);
// Renders one frame; returns true (the value is not used).
bool renderFrame();
// Drains events and renders frames until both roots report removal.
void runMainLoop();
// Frees settings, the two roots and the display, in that order.
void teardown();
