// Closed outlines in pixel coordinates, built from lines and curves and
// flattened to polygons as they are built.
#pragma once

#include "geometry/Vec.h"

#include <functional>
#include <vector>

namespace artgen {

class Path {
public:
    std::vector<std::vector<Vec2>> contours;

    Path& moveTo(Vec2 p);
    Path& lineTo(Vec2 p);
    Path& quadTo(Vec2 c, Vec2 p);
    Path& cubicTo(Vec2 c1, Vec2 c2, Vec2 p);
    Path& append(const Path& other);

    static Path polygon(const std::vector<Vec2>& points);
    static Path ellipse(Vec2 centre, double rx, double ry, int segments = 96);
    static Path circle(Vec2 centre, double r, int segments = 96) { return ellipse(centre, r, r, segments); }
    static Path rect(double x0, double y0, double x1, double y1);
    static Path roundedRect(double x0, double y0, double x1, double y1, double radius);
    // A closed smooth curve through the points (Catmull-Rom).
    static Path smoothClosed(const std::vector<Vec2>& points, int samplesPerSpan = 12);

    // Every point mapped through f.
    Path mapped(const std::function<Vec2(Vec2)>& f) const;
    Path translated(Vec2 d) const;

private:
    Vec2 current;
};

// A smooth open curve through the points (Catmull-Rom), as a polyline.
std::vector<Vec2> smoothOpen(const std::vector<Vec2>& points, int samplesPerSpan = 12);
// Points of a cubic Bezier curve, both ends included.
std::vector<Vec2> cubicPoints(Vec2 p0, Vec2 c1, Vec2 c2, Vec2 p1, int samples);

}  // namespace artgen
