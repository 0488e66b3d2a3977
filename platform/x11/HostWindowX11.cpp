// X11 implementation of the platform layer's host-window services: the
// size of a window another program owns, and surviving its destruction.
// Covers any X server.
#include "platform/Platform.h"

#include <X11/Xlib.h>

namespace platform {

namespace {

// A connection of our own, for questions asked outside SDL's.
::Display* ownConnection = nullptr;
bool connectionTried = false;
std::uint64_t watched = 0;
bool gone = false;
XErrorHandler previousHandler = nullptr;
int lastError = 0;

::Display* connection() {
    if (!connectionTried) {
        connectionTried = true;
        ownConnection = XOpenDisplay(nullptr);
    }
    return ownConnection;
}

int recordError(::Display*, XErrorEvent* e) {
    lastError = e->error_code;
    return 0;
}

// Asks on our own connection, so that a missing window gives an error here
// and not in SDL's connection.
bool attributes(std::uint64_t window, XWindowAttributes* out) {
    ::Display* d = connection();
    if (!d || window == 0) return false;
    XSync(d, False);
    XErrorHandler old = XSetErrorHandler(recordError);
    lastError = 0;
    const Status ok = XGetWindowAttributes(d, static_cast<Window>(window), out);
    XSync(d, False);
    XSetErrorHandler(old);
    return ok && lastError == 0;
}

// Installed over SDL's handler: an error caused by the watched window having
// gone marks it gone; anything else goes to the handler before.
int onXError(::Display* d, XErrorEvent* e) {
    if (gone) return 0;
    XWindowAttributes a;
    if (watched && !attributes(watched, &a)) {
        gone = true;
        return 0;
    }
    return previousHandler ? previousHandler(d, e) : 0;
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

void watchWindow(std::uint64_t window) {
    watched = window;
    gone = false;
    XErrorHandler before = XSetErrorHandler(onXError);
    if (before != onXError) previousHandler = before;
}

bool windowGone() {
    if (gone) return true;
    XWindowAttributes a;
    if (watched && !attributes(watched, &a)) gone = true;
    return gone;
}

}  // namespace platform
