// The fire: a heat field fed by random sparks, rising and cooling one step
// per call, coloured through a 256-entry palette.
#pragma once

#include <cstdint>
#include <vector>

struct FireState {
    unsigned char palette[256][4];  // heat -> R, G, B, A; entry 255 is never used
    unsigned char* current;         // heat field the next step reads, width x rows
    unsigned char* next;            // heat field the next step writes
    std::int32_t width;
    std::int32_t rows;  // height + 3: the last three rows hold the sparks and are never shown

    // Both fields zeroed, palette filled. Needs width and height of at least 2.
    FireState(std::int32_t width, std::int32_t height);
    FireState(const FireState&) = delete;
    FireState& operator=(const FireState&) = delete;

private:
    std::vector<unsigned char> fieldA, fieldB;  // what current and next point into
};

// Generator for a DynamicTexture; userData is a FireState. The time is
// ignored: each call advances the fire one step, drawing from rand() (shared
// with the rest of the process) in a fixed order.
void generateFire(std::int32_t time, std::int32_t width, std::int32_t height, unsigned char* pixels, void* userData);

