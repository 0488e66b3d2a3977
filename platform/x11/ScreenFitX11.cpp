// X11 implementation of the platform layer's fitting of the full-screen
// window to the screen's size: a thread with a connection of its own waits
// for the root window to change size and resizes the window at once.
// Covers any X server; the window given is one of SDL's X11 windows.
#include "platform/Platform.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace platform {

namespace {

void stopFitting();

struct ScreenFitState {
    // The thread's alone: Xlib connections are not shared between threads
    // here, so nothing else needs XInitThreads.
    ::Display* connection = nullptr;
    int wake[2] = {-1, -1};  // written to once, to end the thread
    std::thread thread;
    // A run that ends through exit() while fitting still stops the thread:
    // a running std::thread destroyed would end the process abnormally.
    ~ScreenFitState() { stopFitting(); }
};

ScreenFitState state;

void fit(::Display* d, Window window, int wakeFd) {
    const Window root = DefaultRootWindow(d);
    const int xfd = ConnectionNumber(d);
    int fittedWidth = 0, fittedHeight = 0;
    for (;;) {
        // Only the last size of a burst of changes counts.
        int width = 0, height = 0;
        while (XPending(d)) {
            XEvent event;
            XNextEvent(d, &event);
            if (event.type == ConfigureNotify && event.xconfigure.window == root) {
                width = event.xconfigure.width;
                height = event.xconfigure.height;
            }
        }
        if (width > 0 && height > 0 && (width != fittedWidth || height != fittedHeight)) {
            XMoveResizeWindow(d, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
            XFlush(d);
            fittedWidth = width;
            fittedHeight = height;
        }
        pollfd fds[2] = {{xfd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
        if (fds[1].revents != 0 || (fds[0].revents & (POLLERR | POLLHUP)) != 0) return;
    }
}

void stopFitting() {
    if (state.thread.joinable()) {
        const char byte = 0;
        while (write(state.wake[1], &byte, 1) < 0 && errno == EINTR) {
        }
        state.thread.join();
    }
    if (state.connection) XCloseDisplay(state.connection);
    state.connection = nullptr;
    for (int& fd : state.wake) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

}  // namespace

void fitToScreen(std::uint64_t window) {
    if (state.connection || window == 0) return;
    ::Display* d = XOpenDisplay(nullptr);
    if (!d) return;
    if (pipe2(state.wake, O_CLOEXEC) != 0) {
        XCloseDisplay(d);
        return;
    }
    XSelectInput(d, DefaultRootWindow(d), StructureNotifyMask);
    XSync(d, False);
    state.connection = d;
    try {
        state.thread = std::thread(fit, d, static_cast<Window>(window), state.wake[0]);
    } catch (...) {
        // Without the thread the main loop still follows the screen, only
        // not under sdl12-compat's stuck pump.
        stopFitting();
    }
}

void stopFittingToScreen() { stopFitting(); }

}  // namespace platform
