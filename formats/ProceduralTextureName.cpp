#include "formats/ProceduralTextureName.h"

#include "formats/ImageHeader.h"

#include <algorithm>
#include <sstream>

namespace {

bool readNumber(std::istringstream& in, std::int32_t& value) {
    int v = 0;
    if (!(in >> v)) return false;
    value = v;
    return true;
}

// One separator character, whatever it is, then a number.
bool readSeparatedNumber(std::istringstream& in, std::int32_t& value) {
    if (in.get() == std::char_traits<char>::eof()) return false;
    return readNumber(in, value);
}

}  // namespace

bool parseProceduralTextureName(const std::string& name, ProceduralTextureName& out) {
    std::istringstream in(name);
    // The first two characters ("x#") carry no information here.
    in.get();
    in.get();
    if (!in) return false;
    std::string type;
    for (;;) {
        const int c = in.peek();
        if (c == std::char_traits<char>::eof() || (c >= '0' && c <= '9')) break;
        type.push_back(static_cast<char>(in.get()));
    }
    if (type == "Plasma") {
        out.type = ProceduralTextureName::Type::Plasma;
    } else if (type == "Fire") {
        out.type = ProceduralTextureName::Type::Fire;
    } else {
        return false;
    }
    if (!readNumber(in, out.width) || !readSeparatedNumber(in, out.height)) return false;
    if (out.type == ProceduralTextureName::Type::Plasma) {
        std::int32_t r = 0, g = 0, b = 0;
        if (!readSeparatedNumber(in, r) || !readSeparatedNumber(in, g) || !readSeparatedNumber(in, b)) return false;
        out.red = static_cast<unsigned char>(r & 0xFF);
        out.green = static_cast<unsigned char>(g & 0xFF);
        out.blue = static_cast<unsigned char>(b & 0xFF);
    }
    return true;
}

std::int64_t proceduralBytes(const ProceduralTextureName& parsed) {
    return static_cast<std::int64_t>(parsed.width) * parsed.height * 4;
}

std::string proceduralSizeRefusal(const ProceduralTextureName& parsed, std::int32_t maxTextureSize,
                                  std::int64_t bytesInUse) {
    // The fire needs interior columns and a non-zero half height.
    const bool fire = parsed.type == ProceduralTextureName::Type::Fire;
    const std::int32_t least = fire ? 2 : 1;
    if (parsed.width < least || parsed.height < least)
        return std::string(fire ? "a fire" : "a plasma") + " needs at least " + std::to_string(least) +
               " pixels a side";
    const bool glSmaller = maxTextureSize < static_cast<std::int64_t>(maxImageSide);
    const std::int64_t side = glSmaller ? maxTextureSize : maxImageSide;
    if (parsed.width > side || parsed.height > side)
        return "larger than " + std::to_string(side) + " pixels a side" + (glSmaller ? " (what OpenGL allows)" : "");
    if (proceduralBytes(parsed) > proceduralPixelBudget - std::max<std::int64_t>(bytesInUse, 0))
        return "over the budget of " + std::to_string(proceduralPixelBudget >> 20) +
               " MiB for procedural textures alive at once";
    return std::string();
}
