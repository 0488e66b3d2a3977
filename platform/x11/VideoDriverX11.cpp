// X11 implementation of the platform layer's choice of SDL's video driver.
// Covers any X server; a driver that SDL_VIDEODRIVER names is taken as it
// is, unchecked.
#include "platform/Platform.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace platform {

Result<void> prepareVideoDriver() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (!driver || !*driver) {
        // SDL would try its other drivers after x11 fails, some of which
        // take over the terminal.
        setenv("SDL_VIDEODRIVER", "x11", 1);
    } else if (std::strcmp(driver, "x11") != 0) {
        return success();
    }
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return failure("DISPLAY is not set");
    ::Display* display = XOpenDisplay(name);
    if (!display) return failure(std::string("cannot open the X display '") + name + "'");
    XCloseDisplay(display);
    return success();
}

}  // namespace platform
