// The part of SDL_image's interface the program uses, for the Windows build,
// which has no SDL_image: found before any other SDL_image.h on the render
// layer's include path there, and implemented in render/win32/ImageLoaders.cpp
// (PNG through libpng; JPEG refused). BMP is SDL's own SDL_LoadBMP_RW.
#pragma once

#include <SDL/SDL.h>

#ifdef __cplusplus
extern "C" {
#endif

// A 32-bit surface, bytes red, green, blue, alpha in memory; null with the
// reason in SDL_GetError() when the stream is not a PNG it can decode.
SDL_Surface* IMG_LoadPNG_RW(SDL_RWops* source);
// Always null: this build has no JPEG decoder.
SDL_Surface* IMG_LoadJPG_RW(SDL_RWops* source);

#define IMG_GetError SDL_GetError

#ifdef __cplusplus
}
#endif
