// Windows implementation of the platform layer's host-window services and
// the input-grab probe. A window another program owns is only asked about
// (IsWindow, GetClientRect); its destruction never ends this process, so
// there is nothing to intercept. Windows has no input grab that a full-screen
// window could wait for. Covers every Windows; the Windows screensaver never
// hands over a window to draw in full screen, only the preview's.
#include "platform/Platform.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace platform {

namespace {

struct HostWindowState {
    std::uint64_t watched = 0;  // the host's window, once watchWindow took it
};

HostWindowState state;

HWND handleOf(std::uint64_t window) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)); }

}  // namespace

std::uint64_t rootWindow() { return reinterpret_cast<std::uintptr_t>(GetDesktopWindow()); }

bool windowSize(std::uint64_t window, int* width, int* height) {
    RECT client;
    if (window == 0 || !IsWindow(handleOf(window)) || !GetClientRect(handleOf(window), &client)) return false;
    *width = client.right - client.left;
    *height = client.bottom - client.top;
    return true;
}

Result<void> watchWindow(std::uint64_t window) {
    if (window == 0 || !IsWindow(handleOf(window))) {
        char id[32];
        std::snprintf(id, sizeof id, "0x%llx", static_cast<unsigned long long>(window));
        return failure(std::string("there is no window ") + id + " to draw in");
    }
    state.watched = window;
    return success();
}

bool windowGone() { return state.watched != 0 && !IsWindow(handleOf(state.watched)); }

// The Windows screensaver hands over only its preview pane, which the
// preview paints itself: SDL draws in a host's window as it is.
Result<std::uint64_t> openDrawingWindow(std::uint64_t host, int, int) { return host; }
void closeDrawingWindow() {}

void placeWindow(std::uint64_t window, int x, int y, int width, int height) {
    if (window == 0 || width <= 0 || height <= 0) return;
    SetWindowPos(handleOf(window), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool waitForInputGrab(int) { return true; }

// SDL's windib driver picks a pixel format of its own.
Result<void> prepareScreenDepth() { return success(); }

// The Windows screensaver host starts one saver at a time, and nothing
// there waits for ever on a grab.
Result<void> claimScreen(int) { return success(); }
void releaseScreen() {}

// SDL's windib driver needs no display to be named.
Result<void> prepareVideoDriver() { return success(); }

}  // namespace platform
