#include "res/ProceduralTextureRegistry.h"

#include "res/FireGenerator.h"
#include "res/FrameTicks.h"
#include "res/PlasmaGenerator.h"
#include "formats/ProceduralTextureName.h"

namespace {

// A texture for a valid name; null when the name cannot be built.
DynamicTexture* build(const std::string& name) {
    ProceduralTextureName parsed;
    if (!parseProceduralTextureName(name, parsed)) return nullptr;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (!proceduralSizeUsable(parsed, maxSize)) return nullptr;
    if (parsed.type == ProceduralTextureName::Type::Plasma) {
        PlasmaColour* colour = new PlasmaColour{parsed.red, parsed.green, parsed.blue};
        return new DynamicTexture(generatePlasma, deletePlasmaColour, colour, parsed.width, parsed.height);
    }
    FireState* fire = new FireState(parsed.width, parsed.height);
    return new DynamicTexture(generateFire, deleteFireState, fire, parsed.width, parsed.height);
}

}  // namespace

ProceduralTextureRegistry::ProceduralTextureRegistry() = default;

ProceduralTextureRegistry::~ProceduralTextureRegistry() {
    // The OpenGL context is gone by now, so only the memory is given back.
    for (DynamicTexture* texture : textures) delete texture;
}

GLuint ProceduralTextureRegistry::acquire(const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            ++refCounts[i];
            return textures[i] ? textures[i]->textureId : 0;
        }
    }
    // A name that cannot be built is registered without a texture, so its
    // release balances like any other.
    DynamicTexture* texture = build(name);
    textures.push_back(texture);
    names.push_back(name);
    refCounts.push_back(1);
    return texture ? texture->textureId : 0;
}

void ProceduralTextureRegistry::release(const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] != name) continue;
        if (--refCounts[i] > 0) return;
        if (DynamicTexture* texture = textures[i]) {
            glDeleteTextures(1, &texture->textureId);
            delete texture;
        }
        const auto at = static_cast<std::ptrdiff_t>(i);
        textures.erase(textures.begin() + at);
        names.erase(names.begin() + at);
        refCounts.erase(refCounts.begin() + at);
        return;
    }
}

void ProceduralTextureRegistry::updateAll() {
    const auto time = static_cast<std::int32_t>(frameTicks);
    for (DynamicTexture* texture : textures)
        if (texture) texture->update(time);
}

std::int32_t ProceduralTextureRegistry::refCount(const std::string& name) const {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return refCounts[i];
    return 0;
}
