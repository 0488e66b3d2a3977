// 24-bit Windows bitmaps (BMP), for the preview picture.
#pragma once

#include "png/Image.h"

#include <cstdint>
#include <vector>

namespace artgen {

// BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up rows of B, G, R padded to
// four bytes; alpha is dropped.
std::vector<std::uint8_t> encodeBmp24(const Image& image);

}  // namespace artgen
