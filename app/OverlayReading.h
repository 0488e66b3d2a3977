// Reads back what the overlays show, from the tree itself: which pack entry
// each visible node was loaded from. For the long-run diagnostics and the
// tests; nothing in the program's own behaviour depends on it.
#pragma once

#include <string>

struct SceneNode;
struct Settings;

// The entry of the node's first model, found by where its first mesh part's
// geometry lies in the pack's memory: "" for a node without a model, "?"
// when it cannot be told (no parts, or the pack is not open).
std::string modelEntryName(const SceneNode& node);

// One line such as
//   clock=pm|_|7|dot|0|5 calendar=m2,29,first=4 fps=5,7
// for the overlays that the settings put under `root`, as the last frame
// drew them: the digital clock's places in building order ("_" for a blank
// place), or the analogue hands' angles; the calendar's month, the day under
// today's marker and the cell of the 1st ("-" when no page was drawn); the
// counter's newest digits. Absent overlays are left out.
std::string describeOverlays(const SceneNode& root, const Settings& settings);
