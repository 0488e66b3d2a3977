// The plasma: thin opaque contour bands and a 16-pixel grid over a
// transparent background in a base colour.
#pragma once

#include <cstdint>

// The base red, green and blue given by the texture's name.
struct PlasmaColour {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
};

// Generator for a DynamicTexture; userData is a PlasmaColour. Evaluates each
// sine term once per column or row instead of once per pixel, with the sums
// formed in the same order, so the result equals generatePlasmaDirect's byte
// for byte.
void generatePlasma(std::int32_t time, std::int32_t width, std::int32_t height, unsigned char* pixels,
                    void* userData);

// The formula evaluated as written, six sines per pixel: the reference the
// fast generator is checked and measured against.
void generatePlasmaDirect(std::int32_t time, std::int32_t width, std::int32_t height, unsigned char* pixels,
                          void* userData);

// The six-sine sum of every pixel, row 0 first, as each generator forms it:
// the two must agree bit for bit, not only after rounding to bytes.
void plasmaSums(std::int32_t time, std::int32_t width, std::int32_t height, double* sums);
void plasmaSumsDirect(std::int32_t time, std::int32_t width, std::int32_t height, double* sums);

