// Test helper: a plain X window of the given size, as a screensaver host
// makes one for its saver (or an input-only one, which nothing can be drawn
// in). Prints the window's id in decimal once it is mapped, then keeps it
// until killed (which destroys it).
//   host_window WIDTHxHEIGHT [input-only]
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    int width = 0, height = 0;
    const bool inputOnly = argc == 3 && std::strcmp(argv[2], "input-only") == 0;
    if ((argc != 2 && !inputOnly) || std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width <= 0 ||
        height <= 0) {
        std::fprintf(stderr, "usage: host_window WIDTHxHEIGHT [input-only]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "host_window: no display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    XSetWindowAttributes none = {};
    const Window window =
        inputOnly ? XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 0, 0, InputOnly, CopyFromParent, 0, &none)
                  : XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, BlackPixel(display, screen),
                                        BlackPixel(display, screen));
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent e;;) {
        XNextEvent(display, &e);
        if (e.type == MapNotify) break;
    }
    std::printf("%lu\n", static_cast<unsigned long>(window));
    std::fflush(stdout);
    for (;;) {
        XEvent e;
        XNextEvent(display, &e);  // keeps the connection served
    }
}
