// X11 implementation of the platform layer's claim on the full screen: a
// selection owned for the run by a connection of our own.
// Covers any X server; other video drivers are not asked.
#include "platform/Platform.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace platform {

namespace {

struct ScreenClaimState {
    // Kept open while the claim is held: the server drops the selection
    // when the connection closes, also when the process dies.
    ::Display* connection = nullptr;
};

ScreenClaimState state;

void sleepMs(long ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

// True when this connection now owns the selection. Under a server grab,
// so that of two copies asking at once exactly one finds it free.
bool tryClaim(::Display* display, Atom selection, Window owner) {
    XGrabServer(display);
    const bool free = XGetSelectionOwner(display, selection) == None;
    if (free) XSetSelectionOwner(display, selection, owner, CurrentTime);
    XUngrabServer(display);
    XSync(display, False);
    return free && XGetSelectionOwner(display, selection) == owner;
}

}  // namespace

Result<void> claimScreen(int timeoutMs) {
    if (state.connection) return success();
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && *driver && std::strcmp(driver, "x11") != 0) return success();
    ::Display* display = XOpenDisplay(nullptr);
    // Video set-up reports a display it cannot open itself.
    if (!display) return success();
    const int screen = DefaultScreen(display);
    const std::string name = "_QUESSANTA_FULL_SCREEN_S" + std::to_string(screen);
    const Atom selection = XInternAtom(display, name.c_str(), False);
    // The root window names the owner: a window of our own would show up
    // among the screen's windows. The server still knows which connection
    // holds it, and nobody asks the selection for its contents.
    const Window owner = RootWindow(display, screen);
    const long stepMs = 50;
    for (long waited = 0;; waited += stepMs) {
        if (tryClaim(display, selection, owner)) {
            state.connection = display;
            return success();
        }
        if (waited >= timeoutMs) break;
        sleepMs(stepMs);
    }
    XCloseDisplay(display);
    return failure("another copy of the screensaver holds it");
}

void releaseScreen() {
    if (!state.connection) return;
    XCloseDisplay(state.connection);
    state = ScreenClaimState();
}

}  // namespace platform
