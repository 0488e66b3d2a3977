// X11 implementation of the platform layer's host-window services: the
// size of a window another program owns, whether it can be drawn in, and a
// quiet end at its destruction. Covers any X server.
#include "platform/Platform.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace platform {

namespace {

struct HostWindowState {
    // A connection of our own, for questions asked outside SDL's.
    ::Display* connection = nullptr;
    bool connectionTried = false;
    std::uint64_t watched = 0;  // the host's window, once watchWindow took it
    bool gone = false;
    int lastError = 0;  // of the last question asked
};

HostWindowState state;

::Display* connection() {
    if (!state.connectionTried) {
        state.connectionTried = true;
        state.connection = XOpenDisplay(nullptr);
    }
    return state.connection;
}

int recordError(::Display*, XErrorEvent* e) {
    state.lastError = e->error_code;
    return 0;
}

// Asks on our own connection, so that a missing window gives an error here
// and not in SDL's connection.
bool attributes(std::uint64_t window, XWindowAttributes* out) {
    ::Display* d = connection();
    if (!d || window == 0) return false;
    XSync(d, False);
    XErrorHandler old = XSetErrorHandler(recordError);
    state.lastError = 0;
    const Status ok = XGetWindowAttributes(d, static_cast<Window>(window), out);
    XSync(d, False);
    XSetErrorHandler(old);
    return ok && state.lastError == 0;
}

std::string idText(std::uint64_t window) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%llx", static_cast<unsigned long long>(window));
    return id;
}

// Installed before SDL starts, so SDL's own handler hands errors on to it.
// Both ways end the process here, as Xlib's own handler would, but without
// its report and without exit handlers that talk to the display again.
int onXError(::Display* d, XErrorEvent* e) {
    XWindowAttributes a;
    if (state.watched && !attributes(state.watched, &a)) {
        // The host destroyed its window: nothing is left to show, and the
        // library that asked would go on with the answer it did not get
        // (SDL 1.2 reads the attributes of a window that has gone).
        _exit(0);
    }
    char text[160] = "";
    XGetErrorText(d, e->error_code, text, sizeof text);
    showFatalError("cannot draw in window " + idText(state.watched) + ": " + text + " (X request " +
                   std::to_string(e->request_code) + "." + std::to_string(e->minor_code) + ")");
    _exit(1);
}

}  // namespace

std::uint64_t rootWindow() {
    ::Display* d = connection();
    return d ? static_cast<std::uint64_t>(DefaultRootWindow(d)) : 0;
}

bool windowSize(std::uint64_t window, int* width, int* height) {
    XWindowAttributes a;
    if (!attributes(window, &a)) return false;
    *width = a.width;
    *height = a.height;
    return true;
}

Result<void> watchWindow(std::uint64_t window) {
    XWindowAttributes a;
    if (!attributes(window, &a)) return failure("there is no window " + idText(window) + " to draw in");
    // What OpenGL cannot draw in must be refused before anyone tries.
    if (a.c_class == InputOnly) return failure("window " + idText(window) + " is input-only: nothing can be drawn in it");
    if (!a.visual || (a.visual->c_class != TrueColor && a.visual->c_class != DirectColor) || a.depth < 15)
        return failure("window " + idText(window) + " has a " + std::to_string(a.depth) +
                       "-bit visual without true colour: OpenGL cannot draw in it");
    state.watched = window;
    state.gone = false;
    XSetErrorHandler(onXError);
    return success();
}

bool windowGone() {
    if (state.gone) return true;
    XWindowAttributes a;
    if (state.watched && !attributes(state.watched, &a)) state.gone = true;
    return state.gone;
}

}  // namespace platform
