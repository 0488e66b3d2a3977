#include "render/ImageDecoder.h"

#include "formats/ImageHeader.h"

#include <SDL/SDL_image.h>

#include <climits>

SDL_Surface* decodeImage(const unsigned char* bytes, std::size_t size, std::uint32_t maxSide, std::string* reason) {
    ImageHeader header;
    if (!inspectImage(bytes, size, maxSide, &header, reason)) return nullptr;
    if (size > static_cast<std::size_t>(INT_MAX)) {
        *reason = "image entry too large";
        return nullptr;
    }
    // The whole entry with its exact size: the decoder never reads beyond it.
    SDL_RWops* stream = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (!stream) {
        *reason = SDL_GetError();
        return nullptr;
    }
    SDL_Surface* surface = nullptr;
    switch (header.format) {
        case ImageFormat::Png: surface = IMG_LoadPNG_RW(stream); break;
        case ImageFormat::Jpeg: surface = IMG_LoadJPG_RW(stream); break;
        case ImageFormat::Bmp: surface = SDL_LoadBMP_RW(stream, 0); break;
    }
    SDL_FreeRW(stream);
    if (!surface) {
        const char* why = SDL_GetError();
        *reason = std::string("cannot decode: ") + (why && *why ? why : "unknown error");
        return nullptr;
    }
    if (static_cast<std::uint32_t>(surface->w) != header.width ||
        static_cast<std::uint32_t>(surface->h) != header.height) {
        SDL_FreeSurface(surface);
        *reason = "decoded size differs from the header";
        return nullptr;
    }
    return surface;
}
