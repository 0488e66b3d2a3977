// How large a drawable may be: what the renderer takes, and a sane share of
// memory (each pixel costs a front, a back and a depth buffer's worth).
#pragma once

#include <cstdint>

struct DrawableSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// At most this many pixels in all: room for an 8K screen (33 million), in
// about 400 MB on a software renderer.
constexpr std::int64_t maxDrawablePixels = 36000000;
// The longest side assumed when the renderer cannot be asked.
constexpr std::int32_t fallbackMaxSide = 16384;

// The largest size within width x height that can be drawn: each side at
// most maxSide (0: unknown, fallbackMaxSide), and at most maxDrawablePixels
// in all, cut with its aspect kept. Sides below 1 become 1.
DrawableSize boundDrawable(std::int32_t width, std::int32_t height, std::int32_t maxSide);
