// X11 implementation of the preview pane: a child window of the host's
// window, painted from an RGB buffer on every Expose. Covers any X server
// with a TrueColor visual of 24 or 32 bits; lacks other visual classes.
#include "platform/Platform.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

struct PreviewWindow {
    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    bool destroyed = false;
};

namespace {

struct PreviewState {
    // A bad window id must give a message, not Xlib's default handler, which
    // ends the process.
    int xErrorCode = 0;
};

PreviewState state;

int recordXError(Display*, XErrorEvent* e) {
    state.xErrorCode = e->error_code;
    return 0;
}

std::string idText(std::uint64_t window) { return std::to_string(static_cast<unsigned long long>(window)); }

}  // namespace

Result<PreviewWindow*> previewOpen(std::uint64_t parent, int* width, int* height) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return failure("preview: cannot open the X display");
    XErrorHandler old = XSetErrorHandler(recordXError);
    state.xErrorCode = 0;
    XWindowAttributes attrs;
    Status ok = XGetWindowAttributes(display, static_cast<Window>(parent), &attrs);
    XSync(display, False);
    if (!ok || state.xErrorCode != 0) {
        XSetErrorHandler(old);
        XCloseDisplay(display);
        return failure("preview: " + idText(parent) + " is not a window");
    }
    *width = attrs.width;
    *height = attrs.height;

    int screen = DefaultScreen(display);
    XVisualInfo vinfo;
    if (!XMatchVisualInfo(display, screen, DefaultDepth(display, screen), TrueColor, &vinfo)) {
        XSetErrorHandler(old);
        XCloseDisplay(display);
        return failure("preview: no TrueColor visual");
    }
    XSetWindowAttributes set;
    std::memset(&set, 0, sizeof set);
    set.background_pixel = BlackPixel(display, screen);
    set.event_mask = ExposureMask | StructureNotifyMask;
    set.colormap = DefaultColormap(display, screen);
    Window w = XCreateWindow(display, static_cast<Window>(parent), 0, 0,
                             attrs.width > 0 ? attrs.width : 1, attrs.height > 0 ? attrs.height : 1, 0,
                             DefaultDepth(display, screen), InputOutput, DefaultVisual(display, screen),
                             CWBackPixel | CWEventMask | CWColormap, &set);
    XMapWindow(display, w);
    XSync(display, False);
    XSetErrorHandler(old);
    if (state.xErrorCode != 0) {
        XCloseDisplay(display);
        return failure("preview: cannot create a window in " + idText(parent));
    }
    PreviewWindow* pw = new PreviewWindow;
    pw->display = display;
    pw->window = w;
    pw->visual = DefaultVisual(display, screen);
    pw->depth = DefaultDepth(display, screen);
    return pw;
}

PreviewEvent previewWait(PreviewWindow* pw) {
    for (;;) {
        XEvent e;
        XNextEvent(pw->display, &e);
        if (e.type == DestroyNotify && e.xdestroywindow.window == pw->window) {
            pw->destroyed = true;
            return PreviewEvent::Closed;
        }
        if (e.type == Expose && e.xexpose.window == pw->window && e.xexpose.count == 0) return PreviewEvent::Paint;
    }
}

static int shiftOf(unsigned long mask) {
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

void previewPaint(PreviewWindow* pw, const unsigned char* rgb, int width, int height) {
    if (width <= 0 || height <= 0) return;
    XImage* image = XCreateImage(pw->display, pw->visual, pw->depth, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (!image) return;
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * height));
    if (!image->data) {
        XDestroyImage(image);
        return;
    }
    const int rs = shiftOf(image->red_mask), gs = shiftOf(image->green_mask), bs = shiftOf(image->blue_mask);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = rgb + 3 * (static_cast<size_t>(y) * width + x);
            unsigned long pixel = (static_cast<unsigned long>(p[0]) << rs) | (static_cast<unsigned long>(p[1]) << gs) |
                                  (static_cast<unsigned long>(p[2]) << bs);
            XPutPixel(image, x, y, pixel);
        }
    }
    GC gc = XCreateGC(pw->display, pw->window, 0, nullptr);
    XPutImage(pw->display, pw->window, gc, image, 0, 0, 0, 0, width, height);
    XFreeGC(pw->display, gc);
    XDestroyImage(image);  // frees image->data too
    XFlush(pw->display);
}

void previewClose(PreviewWindow* pw) {
    if (!pw) return;
    if (!pw->destroyed) XDestroyWindow(pw->display, pw->window);
    XCloseDisplay(pw->display);
    delete pw;
}

}  // namespace platform
