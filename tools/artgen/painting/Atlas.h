// Rectangles of one texture image that several parts share. Texture
// coordinates land on texel centres, so that linear filtering never reaches
// into a neighbouring rectangle.
#pragma once

#include "geometry/Vec.h"
#include "painting/Canvas.h"

#include <functional>

namespace artgen {

struct AtlasRegion {
    int x = 0, y = 0, w = 1, h = 1;
    int atlasW = 1, atlasH = 1;

    // (u, v) in [0, 1] to texture coordinates: u = 0 and u = 1 are the
    // centres of the first and last texel columns.
    Vec2 uv(double u, double v) const {
        return {(x + 0.5 + u * (w - 1)) / atlasW, (y + 0.5 + v * (h - 1)) / atlasH};
    }
    // (u, v) of a texel of the region; the inverse of uv at texel centres.
    double uOf(int px) const { return w > 1 ? static_cast<double>(px - x) / (w - 1) : 0.5; }
    double vOf(int py) const { return h > 1 ? static_cast<double>(py - y) / (h - 1) : 0.5; }
    // A point of the region in canvas pixels, for strokes and shapes.
    Vec2 pixel(double u, double v) const { return {x + 0.5 + u * (w - 1), y + 0.5 + v * (h - 1)}; }
    double pixelsPerU() const { return w - 1; }
    double pixelsPerV() const { return h - 1; }
};

// Sets every texel of the region from f(u, v) (replacing what was there).
void paintRegion(Canvas& canvas, const AtlasRegion& r, const std::function<Colour(double u, double v)>& f);

}  // namespace artgen
