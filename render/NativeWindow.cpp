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
