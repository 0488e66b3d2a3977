#include "render/FrameTicks.h"

std::uint32_t frameTicks = 0;
