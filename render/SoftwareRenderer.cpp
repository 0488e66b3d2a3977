#include "render/SoftwareRenderer.h"

#include <cctype>
#include <string>

bool isSoftwareRenderer(const char* renderer) {
    if (!renderer) return false;
    std::string name(renderer);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "software rasterizer", "gdi generic",
                                 "basic render driver"})
        if (name.find(software) != std::string::npos) return true;
    return false;
}
