// SDL_image's PNG and JPEG loaders for the Windows build (see
// include/SDL/SDL_image.h): PNG through libpng into a 32-bit RGBA surface,
// or, as SDL_image does, a 24-bit RGB one when the picture has no alpha
// channel and no transparent colour; JPEG is refused with a reason. The
// entries reach here only after formats/ImageHeader checked them, but
// libpng's errors are still caught: they come back as SDL's error text, and
// nothing is printed.
//
// libpng reports errors by longjmp to the setjmp in decode(). Only C-style
// frames lie between the two (libpng's own, readFromStream and the error
// handler), and decode() keeps nothing with a destructor, so no C++
// object's clean-up is skipped.
#include "render/win32/include/SDL/SDL_image.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace {

struct DecodeState {
    SDL_RWops* source;
    char message[200];
};

void onError(png_structp png, png_const_charp message) {
    DecodeState* state = static_cast<DecodeState*>(png_get_error_ptr(png));
    std::strncpy(state->message, message ? message : "unknown error", sizeof state->message - 1);
    state->message[sizeof state->message - 1] = '\0';
    png_longjmp(png, 1);
}

// Warnings (a chunk it does not know, a gamma it corrects) do not stop the
// decoding and are not worth a line.
void onWarning(png_structp, png_const_charp) {}

void readFromStream(png_structp png, png_bytep into, png_size_t count) {
    DecodeState* state = static_cast<DecodeState*>(png_get_io_ptr(png));
    if (count > 0 && SDL_RWread(state->source, into, 1, static_cast<int>(count)) != static_cast<int>(count))
        png_error(png, "the image ends early");
}

// Null with state->message set on failure. Locals changed after setjmp and
// read after the longjmp are volatile, as the C standard asks.
SDL_Surface* decode(DecodeState* state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state, onError, onWarning);
    if (!png) {
        std::strcpy(state->message, "out of memory");
        return nullptr;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::strcpy(state->message, "out of memory");
        return nullptr;
    }
    SDL_Surface* volatile surface = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        std::free(rows);
        if (surface) SDL_FreeSurface(surface);
        png_destroy_read_struct(&png, &info, nullptr);
        return nullptr;
    }
    png_set_read_fn(png, state, readFromStream);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const bool alpha =
        (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    // Every colour type and depth to 8-bit red, green, blue, and alpha if
    // the picture has any.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if (alpha) png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int channels = alpha ? 4 : 3;
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(channels) * width)
        png_error(png, "unexpected row layout");
    surface = SDL_CreateRGBSurface(SDL_SWSURFACE, static_cast<int>(width), static_cast<int>(height), 8 * channels,
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
                                   alpha ? 0xFF000000u : 0xFF0000u, alpha ? 0x00FF0000u : 0x00FF00u,
                                   alpha ? 0x0000FF00u : 0x0000FFu, alpha ? 0x000000FFu : 0u);
#else
                                   0x000000FFu, 0x0000FF00u, 0x00FF0000u, alpha ? 0xFF000000u : 0u);
#endif
    if (!surface) png_error(png, "out of memory for the pixels");
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!rows) png_error(png, "out of memory for the rows");
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = static_cast<png_bytep>(surface->pixels) + static_cast<std::size_t>(y) * surface->pitch;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    std::free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return surface;
}

}  // namespace

extern "C" SDL_Surface* IMG_LoadPNG_RW(SDL_RWops* source) {
    if (!source) {
        SDL_SetError("no image to read");
        return nullptr;
    }
    DecodeState state;
    state.source = source;
    state.message[0] = '\0';
    SDL_Surface* surface = decode(&state);
    if (!surface) SDL_SetError("%s", state.message);
    return surface;
}

extern "C" SDL_Surface* IMG_LoadJPG_RW(SDL_RWops*) {
    SDL_SetError("JPEG images are not supported in this build");
    return nullptr;
}
