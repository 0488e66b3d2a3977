// The shared resources the scene graph draws from. The application points
// these at its own process-wide objects at start; tests at theirs.
#pragma once

#include <vector>

class PackCache;
class ProceduralTextureRegistry;
struct MeshPart;

struct SceneResources {
    static PackCache* packCache;
    static ProceduralTextureRegistry* textures;
    // Transparent parts queued during a frame's traversal.
    static std::vector<MeshPart*>* deferredParts;
};
