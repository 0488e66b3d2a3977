// Windows implementation of the full-screen window's place on the screen:
// the primary monitor's modes, and the window brought to the front with the
// keyboard focus. SDL 1.2 activates its window but handles the activation
// message itself, so the system never gives the window the focus: keys then
// only reach it while it stays the active window. Covers every Windows and
// Wine; the focus is taken back only while the run starts.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {

namespace {

// The window kept in front, and until when (monotonicSeconds; 0 until the
// first check) the focus is taken back to it.
HWND front = nullptr;
double keepUntil = 0;
UINT_PTR keepTimer = 0;

const double keepSeconds = 3.0;

// A screensaver's window, or the message box one shows: both carry the
// program's title.
bool isScreensaverWindow(HWND window) {
    wchar_t title[16] = {};
    return window && GetWindowTextW(window, title, 16) > 0 && lstrcmpW(title, L"Quessanta") == 0;
}

void takeFront(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    SetFocus(window);
}

// A thread timer: it runs while SDL drains the thread's messages, that is
// from the main loop's first frame on, however long the scene took to
// build.
VOID CALLBACK keepFront(HWND, UINT, UINT_PTR, DWORD) {
    const double now = monotonicSeconds();
    if (keepUntil == 0) keepUntil = now + keepSeconds;
    if (now > keepUntil || !IsWindow(front)) {
        KillTimer(nullptr, keepTimer);
        keepTimer = 0;
        return;
    }
    if (!isScreensaverWindow(GetForegroundWindow())) takeFront(front);
}

}  // namespace

bool displayOffersMode(int width, int height) {
    DEVMODEW mode = {};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &mode); ++i)
        if (static_cast<int>(mode.dmPelsWidth) == width && static_cast<int>(mode.dmPelsHeight) == height) return true;
    return false;
}

void bringToFront(std::uint64_t window) {
    front = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
    if (!IsWindow(front)) return;
    takeFront(front);
    keepUntil = 0;
    if (!keepTimer) keepTimer = SetTimer(nullptr, 0, 100, keepFront);
}

}  // namespace platform
