// The standard motion functions and node callbacks the scene builders use.
// Each reads its parameters from currentMotion and its node from currentNode.
#pragma once

#include "scene/Motion.h"

#include <cstdint>

// Axis add (selector 0 x, 1 y, 2 z) of sin(time * valueB / 1000 + valueC) * valueA
// to the offset's position.
void swayTranslate(MotionArgument);
// The same added to the offset's rotation, in degrees.
void swayRotate(MotionArgument);
// Axis add of time * valueA / 1000 + valueB degrees to the offset's rotation.
void spin(MotionArgument);
// Puts light GL_LIGHT0 + selector (1 to 5) at the node's origin.
void placeLight(MotionArgument);
// Asks for the node's removal once time exceeds valueA ms.
void expire(MotionArgument);
// Sets the offset's rotation to the wall-clock angle of hand `selector`
// (1 seconds, 2 minutes, 3 hours).
void clockHand(MotionArgument);

// Callback: depth test off around the node's model and each child.
void noDepthTest(std::int32_t phase, MotionArgument);
// Callback: the scale of the Transform the argument points to, applied
// around each child (a node's own scale is its model's only).
void scaleChildren(std::int32_t phase, MotionArgument transform);
