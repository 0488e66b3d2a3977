// Test helper: holds the pointer and keyboard grab of the display in
// DISPLAY, as a menu or a second screensaver would, until it is killed.
// Prints "grabbed" once it holds both.
#include <X11/Xlib.h>

#include <cstdio>
#include <unistd.h>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "grab_holder: no display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
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
