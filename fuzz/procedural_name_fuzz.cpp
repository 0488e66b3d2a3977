// The procedural texture name parser on arbitrary strings, and the
// generators on the small sizes it accepts.
#include "render/FireGenerator.h"
#include "render/PlasmaGenerator.h"
#include "formats/ProceduralTextureName.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    ProceduralTextureName parsed;
    if (!parseProceduralTextureName(name, parsed)) return 0;
    // A typical implementation limit, and a budget partly taken already
    // (the input's length stands for it); the size check must never let
    // through a size a generator cannot handle, nor one past the limits.
    const std::int64_t inUse = static_cast<std::int64_t>(size % 64) << 21;
    if (!proceduralSizeRefusal(parsed, 16384, inUse).empty()) return 0;
    if (parsed.width < 1 || parsed.height < 1 || parsed.width > 8192 || parsed.height > 8192) std::abort();
    if (proceduralBytes(parsed) + inUse > proceduralPixelBudget) std::abort();
    // Running the generators on huge sizes only costs time.
    if (static_cast<std::int64_t>(parsed.width) * parsed.height > 4096) return 0;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(parsed.width) * parsed.height * 4);
    if (parsed.type == ProceduralTextureName::Type::Plasma) {
        PlasmaColour colour{parsed.red, parsed.green, parsed.blue};
        generatePlasma(static_cast<std::int32_t>(size * 977), parsed.width, parsed.height, pixels.data(), &colour);
    } else {
        if (parsed.width < 2 || parsed.height < 2) std::abort();
        FireState fire(parsed.width, parsed.height);
        for (int step = 0; step < 3; ++step) generateFire(0, parsed.width, parsed.height, pixels.data(), &fire);
    }
    return 0;
}
