// The full-screen OpenGL video mode, the fixed OpenGL state and the
// projection; and where the screen's edges lie at a given depth.
#pragma once

#include "platform/Result.h"

#include <SDL/SDL.h>

#include <cstdint>
#include <memory>
#include <string>

class Display {
public:
    // Width, height and bits per pixel of a resolution row; all three 0 take
    // the desktop's mode, as does a size the monitor does not offer
    // (platform::displayOffersMode) or, on X11, one larger than every mode
    // SDL lists. Ends the process with exit code 1 on
    // failure, after the failure's line on stderr as the design words it
    // ("Video mode set failed: ..."). The programs open their display with
    // open() instead and decide themselves.
    Display(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel);
    // The display (never null), or the line that explains why ("Video
    // initialization failed: ...", "Video mode set failed: ...", or that
    // another program holds the screen); SDL is shut down again then.
    static Result<std::unique_ptr<Display>> open(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel);
    // Full screen on one monitor of several: a borderless window over its
    // area (x and y in desktop pixels) at its size, above every other
    // window, the desktop's mode unchanged.
    static Result<std::unique_ptr<Display>> openOnMonitor(std::int32_t x, std::int32_t y, std::int32_t width,
                                                          std::int32_t height);
    // Draws into a window of another program (a screensaver host's) at its
    // size, without taking the input or hiding the cursor; or why not.
    static Result<std::unique_ptr<Display>> openInWindow(std::uint64_t window);
    ~Display();  // SDL_Quit
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // x of the left / y of the bottom screen edge at an eye-space depth
    // (negative in front of the eye).
    double edgeX(double depth) const;
    double edgeY(double depth) const;

    // Draws at this size from now on: the viewport, projection and edges
    // follow.
    void resize(std::int32_t width, std::int32_t height);
    // The host's window is now this size: the window drawn in (within
    // bounds) and resize() follow. True when the size drawn at changed.
    bool followWindow(std::int32_t width, std::int32_t height);
    // The screen is now this size (a monitor plugged or unplugged, a
    // changed resolution): SDL's full-screen windows cover it, and the
    // picture, centred, is the size asked for where that fits, else the
    // screen's. True when the size drawn at changed. Nothing where the SDL
    // implementation's windows cannot be had (Windows).
    bool followScreen(std::int32_t width, std::int32_t height);
    bool embedded() const { return hostWindow != 0; }

    double cornerNear[3] = {0, 0, 0};
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 0;
    std::uint64_t hostWindow = 0;  // 0: full screen
    std::uint64_t drawingWindow = 0;  // where SDL draws in the host's window
    std::int32_t askedWidth = 0;   // full screen: the size the settings ask
    std::int32_t askedHeight = 0;  // for, 0 for the desktop's
    bool compatCopyOff = false;    // sdl12-compat draws straight to the window

private:
    Display() = default;
    bool onMonitor = false;  // openOnMonitor: a borderless window, no mode switch
    Result<void> init(std::int32_t w, std::int32_t h, std::int32_t bpp);
    Result<void> takeScreen();  // the full screen's claim and free input, within 3 s
    // True when the screen has no mode as large as asked and the desktop's
    // size was taken instead.
    bool fallBackToDesktopSize();
    Result<void> setVideoMode();
    bool tryVideoMode();  // the mode and the fixed state; false with SDL's error
    void setProjection(std::int32_t w, std::int32_t h);
};

// The surface SDL_SetVideoMode returned.
extern SDL_Surface* screenSurface;
