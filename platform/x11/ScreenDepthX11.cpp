// X11 implementation of the platform layer's check of the screen's depth
// before SDL drives it full screen. Covers any X server; other video
// drivers are not asked.
#include "platform/Platform.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

Result<void> prepareScreenDepth() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && *driver && std::strcmp(driver, "x11") != 0) return success();
    ::Display* display = XOpenDisplay(nullptr);
    // Video set-up reports a display it cannot open itself.
    if (!display) return success();
    const int screen = DefaultScreen(display);
    const int depth = DefaultDepth(display, screen);
    XVisualInfo wanted = {};
    wanted.screen = screen;
    int count = 0;
    XVisualInfo* visuals = XGetVisualInfo(display, VisualScreenMask, &wanted, &count);
    bool trueColour = false, wideDirectColour = false;
    for (int i = 0; i < count; ++i) {
        const bool colour = visuals[i].c_class == TrueColor || visuals[i].c_class == DirectColor;
        if (colour && visuals[i].depth == depth) trueColour = true;
        // Classic SDL 1.2 prefers DirectColor for OpenGL and fills its
        // gamma ramp through an array of 256 entries: a visual of more
        // bits per channel (a 30-bit screen's) overruns it and crashes.
        if (visuals[i].c_class == DirectColor && visuals[i].colormap_size > 256) wideDirectColour = true;
    }
    if (visuals) XFree(visuals);
    XCloseDisplay(display);
    if (depth < 15 || !trueColour)
        return failure("the screen's depth is " + std::to_string(depth) +
                       " bits without true colour: OpenGL needs 15 bits or more");
    // TrueColor visuals of the same depth serve; sdl12-compat does not read
    // this, and a value the user set stays.
    if (wideDirectColour && getEnv("SDL_VIDEO_X11_NODIRECTCOLOR").empty()) putEnv("SDL_VIDEO_X11_NODIRECTCOLOR", "1");
    return success();
}

}  // namespace platform
