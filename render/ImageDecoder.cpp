#include "render/ImageDecoder.h"

#include "formats/ImageHeader.h"

#include <SDL/SDL_image.h>

#include <climits>

Result<SDL_Surface*> decodeImage(const unsigned char* bytes, std::size_t size, std::uint32_t maxSide) {
    const Result<ImageHeader> inspected = inspectImage(bytes, size, maxSide);
    if (!inspected) return inspected.error();
    const ImageHeader& header = *inspected;
    if (size > static_cast<std::size_t>(INT_MAX)) return failure("image entry too large");
    // The whole entry with its exact size: the decoder never reads beyond it.
    SDL_RWops* stream = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (!stream) return failure(SDL_GetError());
    SDL_Surface* surface = nullptr;
    switch (header.format) {
        case ImageFormat::Png: surface = IMG_LoadPNG_RW(stream); break;
        case ImageFormat::Jpeg: surface = IMG_LoadJPG_RW(stream); break;
        case ImageFormat::Bmp: surface = SDL_LoadBMP_RW(stream, 0); break;
    }
    SDL_FreeRW(stream);
    if (!surface) {
        const char* why = SDL_GetError();
        return failure(std::string("cannot decode: ") + (why && *why ? why : "unknown error"));
    }
    if (static_cast<std::uint32_t>(surface->w) != header.width ||
        static_cast<std::uint32_t>(surface->h) != header.height) {
        SDL_FreeSurface(surface);
        return failure("decoded size differs from the header");
    }
    return surface;
}
