// X11 implementation of the platform layer's input-grab probe. Covers any X
// server; other video drivers are not asked.
#include "platform/Platform.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace platform {

namespace {

bool sleepMs(long ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    return nanosleep(&ts, nullptr) == 0;
}

}  // namespace

bool waitForInputGrab(int timeoutMs) {
    // SDL's X11 driver waits for the pointer grab of a full-screen window
    // forever; asking first turns that into a bounded wait.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && *driver && std::strcmp(driver, "x11") != 0) return true;
    ::Display* display = XOpenDisplay(nullptr);
    if (!display) return true;
    const Window root = DefaultRootWindow(display);
    const long stepMs = 50;
    bool free = false;
    for (long waited = 0;; waited += stepMs) {
        const int pointer = XGrabPointer(display, root, False, 0, GrabModeAsync, GrabModeAsync, None, None,
                                         CurrentTime);
        const int keyboard = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        if (pointer == GrabSuccess) XUngrabPointer(display, CurrentTime);
        if (keyboard == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
        XSync(display, False);
        if (pointer == GrabSuccess && keyboard == GrabSuccess) {
            free = true;
            break;
        }
        if (waited >= timeoutMs) break;
        sleepMs(stepMs);
    }
    XCloseDisplay(display);
    return free;
}

}  // namespace platform
