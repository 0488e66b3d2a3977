#include "render/Multisampling.h"

#include "platform/Platform.h"
#include "render/SoftwareRenderer.h"

#include <string>

MultisampleChoice parseMultisampleChoice(const std::string& value) {
    if (value == "on") return MultisampleChoice::On;
    if (value == "off") return MultisampleChoice::Off;
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

namespace {
// Process-wide, like the OpenGL context they describe.
MultisampleChoice requestedMultisampling = MultisampleChoice::Auto;
bool multisampledFramebuffer = false;
}  // namespace

MultisampleChoice multisampleChoice() { return requestedMultisampling; }
void setMultisampleChoice(MultisampleChoice choice) { requestedMultisampling = choice; }

bool framebufferMultisampled() { return multisampledFramebuffer; }
void setFramebufferMultisampled(bool multisampled) { multisampledFramebuffer = multisampled; }
