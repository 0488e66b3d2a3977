// What an image entry claims to be, read from its bytes before any decoder
// sees them: the decoders trust their headers, so a crafted size or a cut
// file must be refused here.
#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class ImageFormat { Png, Jpeg, Bmp };

struct ImageHeader {
    ImageFormat format = ImageFormat::Png;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The largest side any image may have, whatever OpenGL allows.
constexpr std::uint32_t maxImageSide = 8192;

// Checks that the bytes hold a whole PNG (every chunk inside the bytes, CRCs
// right, up to IEND), a JPEG with a frame header, or an uncompressed BMP
// whose pixels fit the bytes, with both sides from 1 to maxSide; a short
// reason otherwise.
Result<ImageHeader> inspectImage(const unsigned char* bytes, std::size_t size, std::uint32_t maxSide);
