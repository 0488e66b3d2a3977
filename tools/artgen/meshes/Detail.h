// Level of detail: how finely a curved part is cut into triangles, judged by
// the size it has on a 1920x1080 screen. A builder names the finest cut a
// part may have; the coarsest cut that stays within small tolerances of it
// (in place, in texture and in shading) is the one made. Small parts
// (stems, sepals, drops, a butterfly's body) so lose the triangles nobody
// can see, and outlines that show keep their curves.
#pragma once

#include "geometry/Vec.h"
#include "meshes/Sheet.h"

#include <functional>
#include <vector>

namespace artgen {

using CurveFunction = std::function<Vec3(double t)>;

struct GridSize {
    int cols = 1;
    int rows = 1;
};

class Detail {
public:
    // pixelsPerUnit: pixels of a 1920x1080 screen that one model unit spans
    // where the part comes nearest the camera; texelsPerUv: texels of the
    // part's texture per texture coordinate unit (the image's side).
    Detail(double pixelsPerUnit, double texelsPerUv);

    // The grid of at most cols x rows cells (ModelPart::grid's split) that
    // puts every point of the surface within the tolerances of where the
    // full grid puts it. Without a texture function the texture is taken to
    // follow (u, v) linearly, as on ellipsoids and tubes.
    GridSize grid(const SurfaceFunction& surface, const TextureFunction& texture, int cols, int rows) const;
    GridSize grid(const SurfaceFunction& surface, int cols, int rows) const;
    // Segments of at most `most` for a curve sampled evenly in t.
    int segments(const CurveFunction& curve, int most) const;
    // Sides of at most `most` for a tube or a round outline of this radius.
    int sides(double radius, int most) const;

private:
    double pixelsPerUnit;
    double texelsPerUv;
};

// Pixels that one unit spans at this depth in a picture `lines` pixels high,
// by default a 1920x1080 screen's (the projection's 45 degrees vertically).
double screenPixelsPerUnit(double depth, double lines = 1080);

// The curve's points at t = i / segments, i = 0 ... segments.
std::vector<Vec3> samples(const CurveFunction& curve, int segments);

}  // namespace artgen
