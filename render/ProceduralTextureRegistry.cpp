#include "render/ProceduralTextureRegistry.h"

#include "formats/EntryName.h"
#include "formats/ProceduralTextureName.h"
#include "render/FireGenerator.h"
#include "render/FrameTicks.h"
#include "render/PlasmaGenerator.h"

#include "platform/Platform.h"

namespace {

// A texture for a valid name that fits (never null); why not otherwise.
Result<std::unique_ptr<DynamicTexture>> build(const std::string& name, std::int64_t bytesInUse) {
    ProceduralTextureName parsed;
    if (!parseProceduralTextureName(name, parsed)) return failure("not a procedural texture name");
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const std::string refusal = proceduralSizeRefusal(parsed, maxSize, bytesInUse);
    if (!refusal.empty()) return failure(refusal);
    if (parsed.type == ProceduralTextureName::Type::Plasma) {
        std::unique_ptr<PlasmaColour> colour(new PlasmaColour{parsed.red, parsed.green, parsed.blue});
        return std::unique_ptr<DynamicTexture>(
            new DynamicTexture(generatePlasma, std::move(colour), parsed.width, parsed.height));
    }
    std::unique_ptr<FireState> fire(new FireState(parsed.width, parsed.height));
    return std::unique_ptr<DynamicTexture>(new DynamicTexture(generateFire, std::move(fire), parsed.width, parsed.height));
}

std::int64_t bytesOf(const DynamicTexture& t) { return static_cast<std::int64_t>(t.width) * t.height * 4; }

}  // namespace

ProceduralTextureRegistry::ProceduralTextureRegistry() = default;

ProceduralTextureRegistry::~ProceduralTextureRegistry() = default;

GLuint ProceduralTextureRegistry::acquire(const std::string& name, const std::string& where) {
    for (Registered& r : textures) {
        if (r.name == name) {
            ++r.refCount;
            return r.texture ? r.texture->textureId : 0;
        }
    }
    // A name that cannot be built is registered without a texture, so its
    // release balances like any other, and it is reported once.
    Result<std::unique_ptr<DynamicTexture>> built = build(name, pixelBytes);
    textures.push_back(Registered{name, built ? std::move(*built) : nullptr, 1});
    const Registered& added = textures.back();
    if (!added.texture) {
        platform::warn(where + (where.empty() ? "" : ": ") + "procedural texture '" + escapeEntryName(name) +
                       "' not used: " + built.message());
        return 0;
    }
    pixelBytes += bytesOf(*added.texture);
    return added.texture->textureId;
}

void ProceduralTextureRegistry::release(const std::string& name) {
    for (std::size_t i = 0; i < textures.size(); ++i) {
        Registered& r = textures[i];
        if (r.name != name) continue;
        if (--r.refCount > 0) return;
        if (r.texture) {
            glDeleteTextures(1, &r.texture->textureId);
            pixelBytes -= bytesOf(*r.texture);
        }
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
