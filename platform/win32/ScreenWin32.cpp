// Windows implementation of the full-screen window's place on the screen:
// the primary monitor's modes, and the window brought to the front with the
// keyboard focus. SDL 1.2 activates its window but handles the activation
// message itself, so the system never gives the window the focus; under
// Wine, whose keyboard follows the X server's focus, which only a focus
// change moves for its unmanaged windows, keys then went to whatever window
// had had the focus. Of the programs "/s" starts for several monitors one
// holds the keyboard, the primary monitor's (whose corner is the desktop's
// origin): were each to take it, Wine's and the X server's ideas of the
// focus could end on different windows. Covers every Windows and Wine; the
// focus is taken back only while the run starts.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {

namespace {

struct FrontState {
    // The window kept in front, and until when (monotonicSeconds; 0 until
    // the first check) the focus is taken back to it.
    HWND front = nullptr;
    double keepUntil = 0;
    UINT_PTR keepTimer = 0;
};

FrontState state;

// Long enough for the other monitors' programs to have set their modes,
// which activates their windows.
const double keepSeconds = 5.0;

void takeFront(HWND window) {
    SetForegroundWindow(window);
    SetFocus(window);
}

// A thread timer: it runs while SDL drains the thread's messages, that is
// from the main loop's first frame on, however long the scene took to
// build.
VOID CALLBACK keepFront(HWND, UINT, UINT_PTR, DWORD) {
    const double now = monotonicSeconds();
    if (state.keepUntil == 0) state.keepUntil = now + keepSeconds;
    if (now > state.keepUntil || !IsWindow(state.front)) {
        KillTimer(nullptr, state.keepTimer);
        state.keepTimer = 0;
        return;
    }
    if (GetForegroundWindow() != state.front) takeFront(state.front);
}

// Whether this program holds the keyboard: alone, or on the primary monitor.
bool holdsKeyboard() {
    const Result<std::optional<ScreenArea>> monitor = assignedMonitor();
    return !monitor || !*monitor || ((*monitor)->x == 0 && (*monitor)->y == 0);
}

}  // namespace

bool displayOffersMode(int width, int height) {
    DEVMODEW mode = {};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &mode); ++i)
        if (static_cast<int>(mode.dmPelsWidth) == width && static_cast<int>(mode.dmPelsHeight) == height) return true;
    return false;
}

// Windows keeps a full-screen window over its monitor's new size itself.
void fitToScreen(std::uint64_t) {}
void stopFittingToScreen() {}

void bringToFront(std::uint64_t window) {
    state.front = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
    if (!IsWindow(state.front)) return;
    SetWindowPos(state.front, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (!holdsKeyboard()) return;
    takeFront(state.front);
    state.keepUntil = 0;
    if (!state.keepTimer) state.keepTimer = SetTimer(nullptr, 0, 100, keepFront);
}

}  // namespace platform
