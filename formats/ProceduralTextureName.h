// Reading a procedural texture name such as "p#Plasma64x64,10,20,30" or
// "f#Fire64x128": two characters skipped, the type word up to the first
// digit, width, one separator, height and, for a plasma, three more
// separator-and-number pairs giving the base red, green and blue.
#pragma once

#include <cstdint>
#include <string>

struct ProceduralTextureName {
    enum class Type { Plasma, Fire };
    Type type = Type::Plasma;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Only the low 8 bits of the numbers in the name are kept.
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
};

// False when the type word is neither "Plasma" nor "Fire" or a number is
// missing or out of range; `out` is then unspecified.
bool parseProceduralTextureName(const std::string& name, ProceduralTextureName& out);

// Whether the generator can make a texture of the parsed size: at least one
// pixel (two each way for a fire), at most maxTextureSize each way, and a
// pixel buffer whose size fits in 32 bits.
bool proceduralSizeUsable(const ProceduralTextureName& parsed, std::int32_t maxTextureSize);
