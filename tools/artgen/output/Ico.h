// Windows icon files (.ico), for the Windows build's programs and installer.
#pragma once

#include "png/Image.h"

#include <cstdint>
#include <vector>

namespace artgen {

// One icon of the pictures, each square and at most 256 pixels a side: the
// 256-pixel one as PNG, the others as 32-bit bitmaps with their mask (what
// every Windows since XP reads).
std::vector<std::uint8_t> encodeIco(const std::vector<Image>& pictures);

}  // namespace artgen
