#include "scene/SceneResources.h"

PackCache* SceneResources::packCache = nullptr;
ProceduralTextureRegistry* SceneResources::textures = nullptr;
std::vector<MeshPart*>* SceneResources::deferredParts = nullptr;
