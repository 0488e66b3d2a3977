// A surface patch from a function of (u, v) in [0, 1]^2: the most general
// of the mesh builders. Normals come from the surface's own derivatives and
// are turned to face the `towards` side.
#pragma once

#include "geometry/Affine.h"
#include "geometry/Vec.h"
#include "meshes/Model.h"

#include <functional>

namespace artgen {

using SurfaceFunction = std::function<Vec3(double u, double v)>;
using TextureFunction = std::function<Vec2(double u, double v)>;

class Detail;

// `towards` is a direction the front of the patch should face, judged at
// the patch's middle; normals are computed per vertex.
void addSheet(ModelPart& part, int cols, int rows, const SurfaceFunction& surface, const TextureFunction& texture,
              const Vec3& towards);
// The same, with normals that point away from the surface's `centre`
// (closed shapes: bells, buds, domes).
void addSheetOutward(ModelPart& part, int cols, int rows, const SurfaceFunction& surface,
                     const TextureFunction& texture, const Vec3& centre);

// The same two, cut no finer than `detail` judges the patch needs (at most
// cols x rows).
void addSheet(ModelPart& part, const Detail& detail, int cols, int rows, const SurfaceFunction& surface,
              const TextureFunction& texture, const Vec3& towards);
void addSheetOutward(ModelPart& part, const Detail& detail, int cols, int rows, const SurfaceFunction& surface,
                     const TextureFunction& texture, const Vec3& centre);

// The unit normal of the surface at (u, v), from its derivatives; poles and
// pinched edges are judged a little further in.
Vec3 surfaceNormal(const SurfaceFunction& surface, double u, double v);

// Appends `source` to `dest` after transforming it.
void appendTransformed(ModelPart& dest, ModelPart source, const Affine& frame);

}  // namespace artgen
