// The system's own windows under the video mode, for the platform calls
// that act on them. Apart from Display.cpp, since SDL's window-system
// header brings Xlib's own Display.
#pragma once

#include <cstdint>

// The window SDL draws into (a Windows window handle, an X window id) as a
// number; 0 before a video mode is set or when SDL cannot tell.
std::uint64_t nativeWindow();

// The windows behind SDL's full-screen video mode, for what SDL 1.2 does
// not do itself: following a change of the screen's size.
struct SdlFullScreenWindows {
    std::uint64_t covering = 0;  // covers the screen
    std::uint64_t drawing = 0;   // the picture inside it; 0: the same window
};

// False when they cannot be had (no video mode, another system than X11).
bool sdlFullScreenWindows(SdlFullScreenWindows* windows);
