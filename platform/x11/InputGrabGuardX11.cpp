// X11 implementation of the platform layer's bound on SDL's wait for the
// pointer grab: a thread with a connection of its own watches while the
// full-screen mode is set. Covers any X server; other video drivers are
// not watched.
#include "platform/Platform.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

struct GrabGuardState {
    ::Display* connection = nullptr;
    std::thread watcher;
    std::atomic<bool> done{false};
};

GrabGuardState state;

// True when another client holds the pointer now. A grab that succeeds is
// let go at once: SDL's next try takes it.
bool pointerHeld(::Display* display) {
    const int result = XGrabPointer(display, DefaultRootWindow(display), False, 0, GrabModeAsync, GrabModeAsync,
                                    None, None, CurrentTime);
    if (result == GrabSuccess) XUngrabPointer(display, CurrentTime);
    XSync(display, False);
    return result == AlreadyGrabbed || result == GrabFrozen;
}

void watch(::Display* display, int limitMs) {
    const long stepMs = 100;
    // Once SDL holds the grab, the mode is set within moments; held for a
    // whole second past the limit, it is someone else's.
    const long heldMs = 1000;
    long held = 0;
    for (long waited = 0; !state.done; waited += stepMs) {
        usleep(stepMs * 1000);
        if (state.done) break;
        held = pointerHeld(display) ? held + stepMs : 0;
        if (waited >= limitMs && held >= heldMs && !state.done) {
            showFatalError("cannot take the screen: another program holds the pointer or keyboard");
            _exit(1);
        }
    }
}

}  // namespace

void guardInputGrab(int limitMs) {
    if (state.connection) return;
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && *driver && std::strcmp(driver, "x11") != 0) return;
    // Opened here, on the calling thread: Xlib's global state is set up
    // before the watcher shares the process with SDL's connection.
    state.connection = XOpenDisplay(nullptr);
    if (!state.connection) return;
    state.done = false;
    state.watcher = std::thread(watch, state.connection, limitMs);
}

void unguardInputGrab() {
    if (!state.connection) return;
    state.done = true;
    state.watcher.join();
    XCloseDisplay(state.connection);
    state.connection = nullptr;
}

}  // namespace platform
