// X11 implementation of the full-screen window's place on the screen: SDL
// scales (sdl12-compat) or centres (classic SDL) a mode the screen lacks,
// and the full-screen window grabs the keyboard, so there is nothing to do.
#include "platform/Platform.h"

namespace platform {

bool displayOffersMode(int, int) { return true; }

void bringToFront(std::uint64_t) {}

}  // namespace platform
