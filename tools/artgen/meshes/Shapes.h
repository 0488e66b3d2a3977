// Mesh building blocks: flat outlines, discs, ellipsoids, lathed shells,
// tubes along curves and curved ribbons.
#pragma once

#include "geometry/Vec.h"
#include "meshes/Detail.h"
#include "meshes/Model.h"

#include <functional>
#include <vector>

namespace artgen {

// A rectangle in the plane z = `z`, normal +z, texture (s0, t0) at (x0, y0)
// and (s1, t1) at (x1, y1).
void addRect(ModelPart& part, double x0, double y0, double x1, double y1, double z, Vec2 st0 = {0, 0},
             Vec2 st1 = {1, 1});

// A simple polygon in the plane z = `z` (ear clipping), with the normal
// `normalZ` (+1 or -1) and texture coordinates from uvOf(x, y).
void addPolygon(ModelPart& part, const std::vector<Vec2>& outline, double z, double normalZ,
                const std::function<Vec2(Vec2)>& uvOf);

// Triangulates a simple polygon; indices into `outline`, three per triangle.
std::vector<int> triangulate(const std::vector<Vec2>& outline);

// An ellipsoid around `centre` with radii (rx, ry, rz); u runs around the
// z axis, v from the -z pole (0) to the +z pole (1).
void addEllipsoid(ModelPart& part, const Vec3& centre, const Vec3& radii, int slices, int stacks,
                  Vec2 st0 = {0, 0}, Vec2 st1 = {1, 1});

// The same, with no more slices and stacks (at most those given) than
// `detail` judges it needs.
void addEllipsoid(ModelPart& part, const Detail& detail, const Vec3& centre, const Vec3& radii, int slices, int stacks,
                  Vec2 st0 = {0, 0}, Vec2 st1 = {1, 1});

// A surface of revolution about z: the profile holds (radius, z) pairs from
// bottom to top. Normals from the profile's slope; u around, v along.
void addLathe(ModelPart& part, const std::vector<Vec2>& profile, int slices, Vec2 st0 = {0, 0}, Vec2 st1 = {1, 1});

// A tube along a 3D curve with per-point radii, frames carried along the
// curve so that it does not twist; open ends. u around, v along. Wound
// counter-clockwise seen from outside, as ellipsoids are.
void addTube(ModelPart& part, const std::vector<Vec3>& spine, const std::vector<double>& radii, int sides,
             Vec2 st0 = {0, 0}, Vec2 st1 = {1, 1});
// The same closed at both ends by flat caps (textured with the tube's
// first row and last row of texture), so that it may be drawn without its
// back faces.
void addCappedTube(ModelPart& part, const std::vector<Vec3>& spine, const std::vector<double>& radii, int sides,
                   Vec2 st0 = {0, 0}, Vec2 st1 = {1, 1});

// A ribbon: for each spine point a centre, a unit side direction and a half
// width; the surface spans centre +/- side * width. Texture s across
// (0 at -side, 1 at +side), t along the spine from t0 to t1. The normal is
// side x tangent, flipped if `flip`.
void addRibbon(ModelPart& part, const std::vector<Vec3>& centres, const std::vector<Vec3>& sides,
               const std::vector<double>& halfWidths, double t0, double t1, bool flip = false, double s0 = 0,
               double s1 = 1);

// Smooth 3D curve through the points (Catmull-Rom), samplesPerSpan per span.
std::vector<Vec3> smoothCurve(const std::vector<Vec3>& points, int samplesPerSpan);

// Points on a quadratic Bezier curve.
std::vector<Vec3> bezier(const Vec3& p0, const Vec3& c, const Vec3& p1, int samples);

// The same two curves as functions of t in [0, 1] (the smooth curve's
// spans take equal shares of t), for `samples` to cut as finely as needed.
CurveFunction smoothCurveFunction(const std::vector<Vec3>& points);
CurveFunction bezierFunction(const Vec3& p0, const Vec3& c, const Vec3& p1);

}  // namespace artgen
