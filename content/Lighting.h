// The scene light, GL_LIGHT1: colours set once, switched on around the
// flower group only.
#pragma once

#include "scene/Motion.h"

#include <cstdint>

// The five light parameters; enables nothing.
void setupLight();
// Callback: lighting and GL_LIGHT1 on before the model and each child,
// off after them.
void lightingSwitch(std::int32_t phase, MotionArgument);
