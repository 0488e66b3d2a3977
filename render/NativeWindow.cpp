#include "render/NativeWindow.h"

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>

std::uint64_t nativeWindow() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0) return 0;
#ifdef _WIN32
    return reinterpret_cast<std::uintptr_t>(info.window);
#else
    return info.subsystem == SDL_SYSWM_X11 ? static_cast<std::uint64_t>(info.info.x11.window) : 0;
#endif
}

bool sdlFullScreenWindows(SdlFullScreenWindows* windows) {
#ifdef _WIN32
    (void)windows;
    return false;
#else
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.fswindow) return false;
    // Classic SDL 1.2 covers the screen with one window and draws in
    // another inside it, centred; sdl12-compat names its one window thrice.
    windows->covering = info.info.x11.fswindow;
    windows->drawing = info.info.x11.window != info.info.x11.fswindow ? info.info.x11.window : 0;
    return true;
#endif
}
