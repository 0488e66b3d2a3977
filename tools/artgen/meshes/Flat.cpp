#include "meshes/Flat.h"

namespace artgen {

void remapUv(ModelPart& part, std::size_t firstVertex, Vec2 st0, Vec2 st1) {
    for (std::size_t i = firstVertex; i < part.vertices.size(); ++i) {
        Vec2& uv = part.vertices[i].uv;
        uv = {st0.x + uv.x * (st1.x - st0.x), st0.y + uv.y * (st1.y - st0.y)};
    }
}

}  // namespace artgen
