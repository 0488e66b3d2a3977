#include "res/Multisampling.h"

#include "platform/Platform.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

MultisampleChoice multisampleChoice() {
    const char* value = std::getenv("QUESSANTA_MULTISAMPLE");
    if (value && std::strcmp(value, "on") == 0) return MultisampleChoice::On;
    if (value && std::strcmp(value, "off") == 0) return MultisampleChoice::Off;
    return MultisampleChoice::Auto;
}

bool wantMultisampling() {
    switch (multisampleChoice()) {
    case MultisampleChoice::On: return true;
    case MultisampleChoice::Off: return false;
    case MultisampleChoice::Auto: break;
    }
    return !isSoftwareRenderer(platform::openGlRenderer().c_str());
}

bool isSoftwareRenderer(const char* renderer) {
    if (!renderer) return false;
    std::string name(renderer);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "software rasterizer", "gdi generic",
                                 "basic render driver"})
        if (name.find(software) != std::string::npos) return true;
    return false;
}

namespace {
// Process-wide, like the OpenGL context it describes.
bool multisampledFramebuffer = false;
}  // namespace

bool framebufferMultisampled() { return multisampledFramebuffer; }
void setFramebufferMultisampled(bool multisampled) { multisampledFramebuffer = multisampled; }
