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

// The most bytes of procedural pixels (width x height x 4 each) alive at
// once: every name is a whole-image regeneration each frame, and packs may
// name any number of them.
constexpr std::int64_t proceduralPixelBudget = std::int64_t(128) << 20;

// Why no texture of the parsed size can be made while bytesInUse bytes of
// procedural pixels are alive; empty when it can: at least one pixel (two
// each way for a fire), at most maxImageSide and maxTextureSize (what
// OpenGL allows) each way, and no more than the budget in all.
std::string proceduralSizeRefusal(const ProceduralTextureName& parsed, std::int32_t maxTextureSize,
                                  std::int64_t bytesInUse);
// Its pixel bytes.
std::int64_t proceduralBytes(const ProceduralTextureName& parsed);
