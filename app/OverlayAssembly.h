// Fills the overlay root with the calendar, the frames-per-second counter
// and the clock that the settings ask for, placed by the screen's edges.
#pragma once

#include <array>
#include <string>

class Display;
struct Settings;
struct SceneNode;

// The overlays, in the order they are built under the root (and drawn). A
// new overlay is a name here and its row in OverlayAssembly.cpp's table.
enum OverlayIndex { calendarOverlay, counterOverlay, clockOverlay, overlayCount };
// The overlays one assembly put under a root, kept by pointer; null for
// those the settings left out.
using OverlayNodes = std::array<SceneNode*, overlayCount>;

// Builds the overlays the settings ask for under the root, placed by the
// display's edges. The screensaver runs it once, after the scene assembly
// and before the first frame.
OverlayNodes buildOverlays(const Settings& settings, const Display& display, SceneNode& root);

// Where the overlays stand, from the display's edges, indexed by
// OverlayIndex. On screens narrower than 4:3 each overlay looks as it would
// in its corner of a 4:3 screen as wide: the root scales its children by
// `scale` (below 1 only there), and the places are given in that scaled
// frame.
struct OverlayPlaces {
    std::array<std::array<double, 3>, overlayCount> at{};
    double scale = 1;
};
OverlayPlaces overlayPlaces(const Settings& settings, const Display& display);
// After the display changed size: moves the overlays under the root by how
// far their places moved, so they keep their distances from the corners,
// and scales them as the new places say.
void followResize(const OverlayNodes& nodes, const OverlayPlaces& before, const OverlayPlaces& after,
                  SceneNode& root);

// One line such as
//   clock=pm|_|7|dot|0|5 calendar=m2,29,first=4 fps=5,7
// for the overlays still under `root`, as the last frame drew them, each as
// its own content describes itself; absent overlays are left out. For the
// run statistics, the viewer and the tests.
std::string describeOverlays(const OverlayNodes& nodes, const SceneNode& root, const Settings& settings);
