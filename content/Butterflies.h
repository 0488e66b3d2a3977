// Butterflies: a body and two beating wings, built under their carrier on
// its first draw.
#pragma once

#include "scene/Motion.h"

#include <vector>

// rand() modulo n.
int randomBelow(int n);

// The five butterfly packs, in order; the names live for the whole run.
std::vector<const char*> butterflyPacks();
// One of the packs, at rand() modulo the list size.
const char* pickRandomPack(const std::vector<const char*>& packs);

// Motion function: builds the butterfly under currentNode from the pack
// named by the argument (a const char*). currentMotion gives the bob flag
// (selector), the wing-speed offset (valueA) and the scale (valueB).
void buildButterfly(MotionArgument packName);
