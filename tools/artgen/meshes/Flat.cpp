#include "meshes/Flat.h"

#include <algorithm>

namespace artgen {

void FlatFrame::addQuadAround(ModelPart& part, const Image& picture, double z) const {
    int left = picture.width, right = 0, top = picture.height, bottom = 0;  // texel edges
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.pixel(x, y)[3] != 0) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
    if (left >= right) return;  // nothing shows
    left = std::max(0, left - 1);
    top = std::max(0, top - 1);
    right = std::min(picture.width, right + 1);
    bottom = std::min(picture.height, bottom + 1);
    const Vec2 a = unit({static_cast<double>(left), static_cast<double>(bottom)});
    const Vec2 b = unit({static_cast<double>(right), static_cast<double>(top)});
    addRect(part, a.x, a.y, b.x, b.y, z, {static_cast<double>(left) / picture.width, static_cast<double>(bottom) / picture.height},
            {static_cast<double>(right) / picture.width, static_cast<double>(top) / picture.height});
}

void remapUv(ModelPart& part, std::size_t firstVertex, Vec2 st0, Vec2 st1) {
    for (std::size_t i = firstVertex; i < part.vertices.size(); ++i) {
        Vec2& uv = part.vertices[i].uv;
        uv = {st0.x + uv.x * (st1.x - st0.x), st0.y + uv.y * (st1.y - st0.y)};
    }
}

}  // namespace artgen
