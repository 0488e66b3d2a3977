// Flat pieces for the overlay: a rectangle of the model's x-y plane tied to
// a picture, with the picture's top row at the largest y (screen up).
#pragma once

#include "geometry/Vec.h"
#include "meshes/Model.h"
#include "meshes/Shapes.h"
#include "png/Image.h"

#include <vector>

namespace artgen {

struct FlatFrame {
    double x0, y0, x1, y1;  // model units covered by the picture
    int width, height;      // picture size in pixels

    // Model point to picture pixel (y down in the picture).
    Vec2 px(Vec2 m) const { return {(m.x - x0) / (x1 - x0) * width, (y1 - m.y) / (y1 - y0) * height}; }
    Vec2 unit(Vec2 p) const { return {x0 + p.x / width * (x1 - x0), y1 - p.y / height * (y1 - y0)}; }
    double pxPerUnit() const { return width / (x1 - x0); }
    Vec2 uv(Vec2 m) const { return {(m.x - x0) / (x1 - x0), (y1 - m.y) / (y1 - y0)}; }
    std::vector<Vec2> px(const std::vector<Vec2>& pts) const {
        std::vector<Vec2> out;
        for (const Vec2& p : pts) out.push_back(px(p));
        return out;
    }

    // The whole rectangle as two triangles facing the viewer (+z).
    void addQuad(ModelPart& part, double z = 0) const { addRect(part, x0, y0, x1, y1, z, {0, 1}, {1, 0}); }
    // Only the part of the rectangle whose texels (or a neighbour, which
    // linear filtering reads) have any alpha, textured as the whole: for a
    // blended picture, where the rest adds nothing but shaded pixels.
    void addQuadAround(ModelPart& part, const Image& picture, double z = 0) const;
    // Any outline inside the rectangle, textured by position.
    void addOutline(ModelPart& part, const std::vector<Vec2>& outline, double z = 0) const {
        const FlatFrame f = *this;
        addPolygon(part, outline, z, 1, [f](Vec2 p) { return f.uv(p); });
    }
};

// Maps texture coordinates of a part into a sub-rectangle of an atlas
// (s0, t0) - (s1, t1).
void remapUv(ModelPart& part, std::size_t firstVertex, Vec2 st0, Vec2 st1);

}  // namespace artgen
