// The full-screen OpenGL video mode, the fixed OpenGL state and the
// projection; and where the screen's edges lie at a given depth.
#pragma once

#include <SDL/SDL.h>

#include <cstdint>

class Display {
public:
    // Width, height and bits per pixel of a resolution row; all three 0 take
    // the desktop's mode. Ends the process with exit code 1 on failure.
    Display(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel);
    ~Display();  // SDL_Quit
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // x of the left / y of the bottom screen edge at an eye-space depth
    // (negative in front of the eye).
    double edgeX(double depth) const;
    double edgeY(double depth) const;

    double cornerNear[3] = {0, 0, 0};
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 0;

private:
    void openVideo();
    void setVideoMode();
    void setProjection(std::int32_t w, std::int32_t h);
    [[noreturn]] static void fatal();
};

// The surface SDL_SetVideoMode returned.
extern SDL_Surface* screenSurface;
