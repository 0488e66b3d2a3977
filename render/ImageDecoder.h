// Decodes image entries into SDL surfaces, only after their header passed
// the checks of ImageHeader, and only with the decoder of the format the
// header names: the other decoders of SDL_image do not survive hostile input.
#pragma once

#include "platform/Result.h"

#include <SDL/SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>

// A PNG, JPEG or BMP with sides of at most maxSide pixels (never null); a
// short reason otherwise. The caller frees the surface.
Result<SDL_Surface*> decodeImage(const unsigned char* bytes, std::size_t size, std::uint32_t maxSide);
