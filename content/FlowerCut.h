// Which cut of the flower bunch a picture draws (scenePlacement::flowerCuts):
// chosen by the picture's height when the scene is built, and again
// whenever that height changes (a host's window resized, a new screen size).
#pragma once

#include "scene/Motion.h"

#include <string>

// The entry of the cut for a picture `height` pixels high; the finest
// cut's where the pack holds no such cut made from its own finest one.
std::string flowerCutEntry(const std::string& packName, int height);

// The viewport's height now.
int viewportHeight();

// Per frame on the flowers' node, before it draws its model: loads the cut
// for the viewport's height from the node's pack when that height differs
// from the motion's valueA (the height the cut was chosen for) and needs
// another cut.
void fitFlowerCut(MotionArgument);
