// Fills the overlay root with the calendar, the frames-per-second counter
// and the clock that the settings ask for, placed by the screen's edges.
#pragma once

class Display;
struct Settings;
struct SceneNode;

// From App::settings and App::display, under App::overlayRoot. Runs once,
// after the scene assembly and before the first frame.
void buildOverlays();
// The same for any settings, display and root.
void buildOverlays(const Settings& settings, const Display& display, SceneNode& root);
