// Shared, reference-counted procedural (plasma and fire) textures.
#pragma once

#include "render/DynamicTexture.h"

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ProceduralTextureRegistry {
public:
    ProceduralTextureRegistry();
    // The OpenGL context is gone by then: only the memory is given back.
    ~ProceduralTextureRegistry();
    ProceduralTextureRegistry(const ProceduralTextureRegistry&) = delete;
    ProceduralTextureRegistry& operator=(const ProceduralTextureRegistry&) = delete;

    // Texture for a name such as "p#Plasma64x64,10,20,30" or "f#Fire64x128";
    // 0 for a name that is not a valid procedural texture, or too large
    // (still counted): one warning then (platform::warn), beginning with
    // `where` (the pack and entry that named it), when the name is new.
    GLuint acquire(const std::string& name, const std::string& where = std::string());
    void release(const std::string& name);
    // Regenerates every texture from frameTicks.
    void updateAll();

    std::size_t liveCount() const { return textures.size(); }
    // Pixel bytes of the textures alive (each also held once more by OpenGL).
    std::int64_t pixelBytesAlive() const { return pixelBytes; }
    std::int32_t refCount(const std::string& name) const;

private:
    struct Registered {
        std::string name;
        std::unique_ptr<DynamicTexture> texture;  // null for a name that cannot be built
        std::int32_t refCount = 0;
    };
    std::vector<Registered> textures;  // in creation order
    std::int64_t pixelBytes = 0;       // of the textures alive, against the budget
};
