#include "res/ProceduralTextureRegistry.h"

#include "formats/ProceduralTextureName.h"
#include "res/FireGenerator.h"
#include "res/FrameTicks.h"
#include "res/PlasmaGenerator.h"

namespace {

// A texture for a valid name; null when the name cannot be built.
std::unique_ptr<DynamicTexture> build(const std::string& name) {
    ProceduralTextureName parsed;
    if (!parseProceduralTextureName(name, parsed)) return nullptr;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (!proceduralSizeUsable(parsed, maxSize)) return nullptr;
    if (parsed.type == ProceduralTextureName::Type::Plasma) {
        std::unique_ptr<PlasmaColour> colour(new PlasmaColour{parsed.red, parsed.green, parsed.blue});
        return std::unique_ptr<DynamicTexture>(
            new DynamicTexture(generatePlasma, std::move(colour), parsed.width, parsed.height));
    }
    std::unique_ptr<FireState> fire(new FireState(parsed.width, parsed.height));
    return std::unique_ptr<DynamicTexture>(new DynamicTexture(generateFire, std::move(fire), parsed.width, parsed.height));
}

}  // namespace

ProceduralTextureRegistry::ProceduralTextureRegistry() = default;

ProceduralTextureRegistry::~ProceduralTextureRegistry() = default;

GLuint ProceduralTextureRegistry::acquire(const std::string& name) {
    for (Registered& r : textures) {
        if (r.name == name) {
            ++r.refCount;
            return r.texture ? r.texture->textureId : 0;
        }
    }
    // A name that cannot be built is registered without a texture, so its
    // release balances like any other.
    textures.push_back(Registered{name, build(name), 1});
    return textures.back().texture ? textures.back().texture->textureId : 0;
}

void ProceduralTextureRegistry::release(const std::string& name) {
    for (std::size_t i = 0; i < textures.size(); ++i) {
        Registered& r = textures[i];
        if (r.name != name) continue;
        if (--r.refCount > 0) return;
        if (r.texture) glDeleteTextures(1, &r.texture->textureId);
        textures.erase(textures.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

void ProceduralTextureRegistry::updateAll() {
    const auto time = static_cast<std::int32_t>(frameTicks);
    for (Registered& r : textures)
        if (r.texture) r.texture->update(time);
}

std::int32_t ProceduralTextureRegistry::refCount(const std::string& name) const {
    for (const Registered& r : textures)
        if (r.name == name) return r.refCount;
    return 0;
}
