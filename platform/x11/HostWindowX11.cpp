// X11 implementation of the platform layer's host-window services: the
// size of a window another program owns, whether it can be drawn in, a
// window of ours inside it to draw in, and a quiet end at its destruction;
// and the placing of SDL's full-screen windows. Covers any X server.
#include "platform/Platform.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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
    Window drawing = 0;     // ours inside the host's window, once made
    Colormap colormap = 0;  // the drawing window's, when its visual is not the host's
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

void placeWindow(std::uint64_t window, int x, int y, int width, int height) {
    ::Display* d = connection();
    if (!d || window == 0 || width <= 0 || height <= 0) return;
    XMoveResizeWindow(d, static_cast<Window>(window), x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    // Done before the next frame is drawn at the new size.
    XSync(d, False);
}

Result<std::uint64_t> openDrawingWindow(std::uint64_t host, int width, int height) {
    XWindowAttributes a;
    if (!attributes(host, &a)) return failure("there is no window " + idText(host) + " to draw in");
    ::Display* d = connection();
    // The root window is the screen's size, and a window of ours in it
    // would be a new top-level window: drawn in directly.
    if (static_cast<Window>(host) == a.root) return host;
    Visual* visual = a.visual;
    if (visual->c_class == DirectColor && visual->map_entries > 256) {
        // Classic SDL 1.2 fills a DirectColor window's gamma ramp through
        // 256 entries and crashes on more: true colour of the same depth.
        XVisualInfo wanted;
        if (XMatchVisualInfo(d, XScreenNumberOfScreen(a.screen), a.depth, TrueColor, &wanted))
            visual = wanted.visual;
    }
    XSetWindowAttributes set = {};
    unsigned long mask = CWBackPixmap;
    set.background_pixmap = None;  // the frames paint it all
    if (visual != a.visual) {
        set.colormap = XCreateColormap(d, a.root, visual, AllocNone);
        set.border_pixel = 0;
        mask |= CWColormap | CWBorderPixel;
        state.colormap = set.colormap;
    }
    const Window window = XCreateWindow(d, static_cast<Window>(host), 0, 0, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, a.depth, InputOutput, visual, mask, &set);
    XMapWindow(d, window);
    XSync(d, False);
    state.drawing = window;
    return static_cast<std::uint64_t>(window);
}

void closeDrawingWindow() {
    ::Display* d = connection();
    if (!d || (!state.drawing && !state.colormap)) return;
    // Gone already when the host destroyed its window: errors are ignored.
    XSync(d, False);
    XErrorHandler old = XSetErrorHandler(recordError);
    if (state.drawing) XDestroyWindow(d, state.drawing);
    if (state.colormap) XFreeColormap(d, state.colormap);
    state.drawing = 0;
    state.colormap = 0;
    XSync(d, False);
    XSetErrorHandler(old);
}

bool windowGone() {
    if (state.gone) return true;
    XWindowAttributes a;
    if (state.watched && !attributes(state.watched, &a)) state.gone = true;
    return state.gone;
}

}  // namespace platform
