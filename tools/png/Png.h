// PNG encoding of RGBA pictures through libpng, byte-for-byte repeatable.
#pragma once

#include "png/Image.h"

#include <cstdint>
#include <vector>

// 8 bits per channel, colour type RGBA, or RGB when every pixel is opaque
// (the program then keeps the texture without an alpha channel); no time
// stamp or text chunks. Empty on failure.
std::vector<std::uint8_t> encodePng(const Image& image);
