// The main loop of screensaver mode, the frame, and the teardown.
#pragma once

#include <csignal>

// Set by SIGTERM and SIGINT: a polite request to end, handled like Esc.
extern volatile std::sig_atomic_t stopRequested;
// Installs the SIGTERM and SIGINT handlers (before SDL starts, so SDL
// leaves them alone).
void installStopHandlers();

// Renders one frame; returns true (the value is not used).
bool renderFrame();
// Drains events and renders frames until both roots report removal.
void runMainLoop();
// Frees settings, the two roots and the display, in that order.
void teardown();
