#include "render/TextureFromImage.h"

#include "formats/ImageHeader.h"
#include "render/ImageDecoder.h"
#include "render/TextureRecipe.h"

#include <SDL/SDL.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A decoded image (locked when it must be) as tightly packed bytes R, G, B,
// A, whatever layout the decoder chose. A colour-keyed pixel becomes fully
// transparent.
std::vector<unsigned char> toRgba(SDL_Surface* surface) {
    const int w = surface->w;
    const int h = surface->h;
    std::vector<unsigned char> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    const SDL_PixelFormat* format = surface->format;
    const int bpp = format->BytesPerPixel;
    const bool keyed = (surface->flags & SDL_SRCCOLORKEY) != 0;
    const unsigned char* rows = static_cast<const unsigned char*>(surface->pixels);
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = rows + static_cast<std::size_t>(y) * surface->pitch;
        unsigned char* dst = out.data() + static_cast<std::size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x, src += bpp, dst += 4) {
            Uint32 pixel = 0;
            switch (bpp) {
            case 1: pixel = src[0]; break;
            case 2: {
                Uint16 v;
                std::memcpy(&v, src, 2);
                pixel = v;
                break;
            }
            case 3:
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
                pixel = (Uint32(src[0]) << 16) | (Uint32(src[1]) << 8) | src[2];
#else
                pixel = src[0] | (Uint32(src[1]) << 8) | (Uint32(src[2]) << 16);
#endif
                break;
            default: std::memcpy(&pixel, src, 4); break;
            }
            Uint8 r, g, b, a;
            SDL_GetRGBA(pixel, surface->format, &r, &g, &b, &a);
            if (keyed && pixel == format->colorkey) a = 0;
            dst[0] = r;
            dst[1] = g;
            dst[2] = b;
            dst[3] = a;
        }
    }
    return out;
}

#if SDL_BYTEORDER == SDL_BIG_ENDIAN
constexpr Uint32 firstByte = 0xFF000000u, secondByte = 0x00FF0000u, thirdByte = 0x0000FF00u, fourthByte = 0x000000FFu;
constexpr Uint32 firstOfThree = 0xFF0000u, thirdOfThree = 0x0000FFu;
#else
constexpr Uint32 firstByte = 0x000000FFu, secondByte = 0x0000FF00u, thirdByte = 0x00FF0000u, fourthByte = 0xFF000000u;
constexpr Uint32 firstOfThree = 0x0000FFu, thirdOfThree = 0xFF0000u;
#endif

// True when the surface already holds tightly packed bytes R, G, B, A.
bool isPackedRgba(const SDL_Surface* surface) {
    const SDL_PixelFormat* f = surface->format;
    if (f->BitsPerPixel != 32 || f->BytesPerPixel != 4 || f->palette) return false;
    if (surface->pitch != surface->w * 4) return false;
    if (surface->flags & SDL_SRCCOLORKEY) return false;
    return f->Rmask == firstByte && f->Gmask == secondByte && f->Bmask == thirdByte && f->Amask == fourthByte;
}

// True when the surface holds tightly packed bytes R, G, B: what the
// decoder makes of a picture without an alpha channel.
bool isPackedRgb(const SDL_Surface* surface) {
    const SDL_PixelFormat* f = surface->format;
    if (f->BitsPerPixel != 24 || f->BytesPerPixel != 3 || f->palette) return false;
    if (surface->pitch != surface->w * 3) return false;
    if (surface->flags & SDL_SRCCOLORKEY) return false;
    return f->Rmask == firstOfThree && f->Gmask == 0x00FF00u && f->Bmask == thirdOfThree && f->Amask == 0;
}

bool opaque(const unsigned char* rgba, std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i)
        if (rgba[4 * i + 3] != 255) return false;
    return true;
}

// R, G, B of each R, G, B, A pixel.
std::vector<unsigned char> withoutAlpha(const unsigned char* rgba, std::size_t pixels) {
    std::vector<unsigned char> rgb(pixels * 3);
    for (std::size_t i = 0; i < pixels; ++i) std::memcpy(&rgb[3 * i], &rgba[4 * i], 3);
    return rgb;
}

// The side limit for decoding: what OpenGL takes, and never more than
// maxImageSide.
std::uint32_t textureSideLimit() {
    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    if (most <= 0 || static_cast<std::uint32_t>(most) > maxImageSide) return maxImageSide;
    return static_cast<std::uint32_t>(most);
}

}  // namespace

Result<GLuint> textureFromImage(const unsigned char* bytes, std::size_t size) {
    const Result<SDL_Surface*> decoded = decodeImage(bytes, size, textureSideLimit());
    if (!decoded) return decoded.error();
    SDL_Surface* surface = *decoded;
    const std::size_t pixels = static_cast<std::size_t>(surface->w) * static_cast<std::size_t>(surface->h);
    GLuint texture;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    if (isPackedRgb(surface)) {
        texture = createTexture(surface->w, surface->h, surface->pixels, TexelLayout::Rgb);
    } else {
        // Other layouts would upload as garbage: convert them first.
        std::vector<unsigned char> converted;
        if (!isPackedRgba(surface)) converted = toRgba(surface);
        const unsigned char* rgba =
            converted.empty() ? static_cast<const unsigned char*>(surface->pixels) : converted.data();
        // An alpha channel that is opaque everywhere is not kept.
        if (opaque(rgba, pixels)) {
            texture = createTexture(surface->w, surface->h, withoutAlpha(rgba, pixels).data(), TexelLayout::Rgb);
        } else {
            texture = createTexture(surface->w, surface->h, rgba, TexelLayout::Rgba);
        }
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_FreeSurface(surface);
    if (texture == 0) return failure("OpenGL gave no texture for it");
    return texture;
}
