// Test helper: holds the pointer and keyboard grab of the display in
// DISPLAY, as a menu or a second screensaver would, until it is killed.
// Prints "grabbed" once it holds both. With --when-mapped it first prints
// "watching" and takes the grab only when some window is mapped: just
// after a full-screen program found the pointer free, before it grabs.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    const bool whenMapped = argc == 2 && std::strcmp(argv[1], "--when-mapped") == 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "grab_holder: no display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    if (whenMapped) {
        XSelectInput(display, root, SubstructureNotifyMask);
        XSync(display, False);
        std::printf("watching\n");
        std::fflush(stdout);
        for (XEvent e;;) {
            XNextEvent(display, &e);
            if (e.type == MapNotify) break;
        }
    }
    if (XGrabPointer(display, root, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime) != GrabSuccess ||
        XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess) {
        std::fprintf(stderr, "grab_holder: cannot grab\n");
        return 1;
    }
    XSync(display, False);
    std::printf("grabbed\n");
    std::fflush(stdout);
    for (;;) pause();
}
