// Shared, reference-counted procedural (plasma and fire) textures.
#pragma once

#include "res/DynamicTexture.h"

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

class ProceduralTextureRegistry {
public:
    ProceduralTextureRegistry();
    ~ProceduralTextureRegistry();
    ProceduralTextureRegistry(const ProceduralTextureRegistry&) = delete;
    ProceduralTextureRegistry& operator=(const ProceduralTextureRegistry&) = delete;

    // Texture for a name such as "p#Plasma64x64,10,20,30" or "f#Fire64x128";
    // 0 for a name that is not a valid procedural texture (still counted).
    GLuint acquire(const std::string& name);
    void release(const std::string& name);
    // Regenerates every texture from frameTicks.
    void updateAll();

    std::size_t liveCount() const { return names.size(); }
    std::int32_t refCount(const std::string& name) const;

private:
    std::vector<DynamicTexture*> textures;
    std::vector<std::string> names;
    std::vector<std::int32_t> refCounts;
};
