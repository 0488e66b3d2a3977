// A butterfly's wing texture as it is painted: the two outlines, a mask for
// each wing and the strokes, spots and bands the species paint with, in
// wing units (the wing's own plane, x along the body, y outwards).
#pragma once

#include "geometry/Vec.h"
#include "painting/Canvas.h"
#include "painting/Colour.h"
#include "painting/Mask.h"
#include "png/Image.h"

#include <functional>
#include <vector>

namespace artgen {

// The wing texture covers this square of the wing's plane.
constexpr double wingX0 = -10.5, wingX1 = 9.5, wingY0 = 0, wingY1 = 20;
constexpr int wingTexture = 128, wingPaint = 512;  // painted finer, then reduced
// Half the gap between the two faces of a wing: each face is lit from its
// own side (the second wing is turned over by 145 degrees).
constexpr double wingHalfThickness = 0.12;

struct WingArt {
    Canvas canvas{wingPaint, wingPaint};
    std::vector<Vec2> fore, hind;  // outlines in wing units
    Vec2 foreRoot{1.0, 0.8}, hindRoot{-1.2, 0.8};
    Mask foreMask{wingPaint, wingPaint}, hindMask{wingPaint, wingPaint};
    Mask bites{wingPaint, wingPaint};

    static double scale() { return wingPaint / (wingX1 - wingX0); }
    static Vec2 px(Vec2 m) { return {(m.x - wingX0) * scale(), (m.y - wingY0) * scale()}; }
    static Vec2 unit(Vec2 p) { return {p.x / scale() + wingX0, p.y / scale() + wingY0}; }
    static std::vector<Vec2> px(const std::vector<Vec2>& pts);

    void setOutlines(const std::vector<Vec2>& foreControl, const std::vector<Vec2>& hindControl);

    // Paints f (given wing units) wherever the mask covers.
    void fill(const Mask& m, const std::function<Colour(Vec2)>& f);
    // Strokes clipped to a wing.
    void lines(const std::vector<std::vector<Vec2>>& polylines, double width, const Colour& c, const Mask& clip);
    void spot(Vec2 centre, double radius, const Colour& c, const Mask& clip, double softness = 1.0);
    // A band along the outline, `width` wide where the edge is far from the
    // root and narrower (by `innerFactor`) where it runs near the body.
    void margin(const std::vector<Vec2>& outline, Vec2 root, double width, double innerFactor, const Colour& c,
                const Mask& clip, double reach = 10.0);
    // The farthest point of the outline along a ray from `from`.
    static Vec2 hit(const std::vector<Vec2>& outline, Vec2 from, double angleDegrees);
    // Veins from a root fanning out to the outline between two angles,
    // bowed a little; `inset` keeps them off the very edge.
    std::vector<std::vector<Vec2>> fan(const std::vector<Vec2>& outline, Vec2 root, double a0, double a1, int count,
                                       double bow, double start = 0.0) const;
    // The scalloped edge: small bites out of the outline between veins,
    // cut from the alpha only.
    void scallops(const std::vector<Vec2>& outline, Vec2 root, double minReach, double radius, int every);

    // The finished texture: the painting's colours carried a little past
    // the outlines, so that the geometry's own (antialiased) edges show and
    // only the bites are cut by the alpha test.
    Image finish() const;
};

}  // namespace artgen
