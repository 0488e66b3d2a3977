// A coverage layer: one float per pixel in [0, 1]. Shapes are added by
// union (the larger coverage wins) and antialiased as they are drawn.
#pragma once

#include "geometry/Path.h"
#include "geometry/Vec.h"

#include <vector>

namespace artgen {

class Mask {
public:
    // A window of width x height pixels whose first pixel is (originX,
    // originY) of the picture it is painted onto; shapes are given in that
    // picture's coordinates.
    Mask(int width, int height, int originX = 0, int originY = 0);
    // The window that covers the given box (clamped to the picture).
    static Mask around(double x0, double y0, double x1, double y1, int pictureWidth, int pictureHeight);

    int width() const { return w; }
    int height() const { return h; }
    int originX() const { return ox; }
    int originY() const { return oy; }
    float at(int x, int y) const { return v[static_cast<std::size_t>(y) * w + x]; }
    float& at(int x, int y) { return v[static_cast<std::size_t>(y) * w + x]; }
    // Bilinear, clamped at the edges; pixel centres at +0.5.
    float sample(double x, double y) const;

    // Polygon fill with the non-zero winding rule.
    void fill(const Path& path, float value = 1);
    void circle(Vec2 c, double r, float value = 1);
    // A segment with round ends whose radius runs from ra to rb; the edge
    // fades over `softness` pixels.
    void capsule(Vec2 a, double ra, Vec2 b, double rb, float value = 1, double softness = 1);
    void softCircle(Vec2 c, double r, double softness, float value = 1) { capsule(c, r, c, r, value, softness); }
    // A polyline with per-point radii (or one radius for all).
    void stroke(const std::vector<Vec2>& points, const std::vector<double>& radii, float value = 1);
    void stroke(const std::vector<Vec2>& points, double radius, float value = 1);

    void clear(float value = 0);
    void blur(double radius);
    void multiply(const Mask& other);
    void subtract(const Mask& other);
    void scale(float k);

private:
    int w, h, ox, oy;
    std::vector<float> v;
};

}  // namespace artgen
