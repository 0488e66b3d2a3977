// A painting surface: premultiplied float RGBA, source-over compositing.
#pragma once

#include "painting/Colour.h"
#include "painting/Mask.h"
#include "png/Image.h"

#include <functional>
#include <vector>

namespace artgen {

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return w; }
    int height() const { return h; }

    void fill(const Colour& c);
    // Sets every pixel from f(x, y) at the pixel centre.
    void shade(const std::function<Colour(double x, double y)>& f);
    // Source-over of c with its alpha times the mask's coverage.
    void paint(const Mask& mask, const Colour& c);
    void paint(const Mask& mask, const std::function<Colour(double x, double y)>& f);
    // Source-over of f(x, y) everywhere.
    void over(const std::function<Colour(double x, double y)>& f);
    // Multiplies the colour (not the alpha) by k where the mask covers.
    void darken(const Mask& mask, double k);
    // Keeps alpha only where the mask covers (a cut-out).
    void clip(const Mask& mask);
    // Convenience strokes and dots painted straight onto the canvas.
    void stroke(const std::vector<Vec2>& points, const std::vector<double>& radii, const Colour& c);
    void dot(Vec2 centre, double radius, const Colour& c, double softness = 1);
    void fillPath(const Path& path, const Colour& c);

    void setPixel(int x, int y, const Colour& c);
    // Straight-alpha colour of a pixel.
    Colour get(int x, int y) const;
    // Bilinear straight-alpha sample; pixel centres at +0.5.
    Colour sample(double x, double y) const;

    // A picture `factor` times smaller in each direction, each pixel the
    // average of the block it covers (for painting at a finer resolution).
    Canvas downsampled(int factor) const;
    // The `count` rows from `first` on, as a canvas of their own.
    Canvas rows(int first, int count) const;

    // 8-bit straight alpha. Fully transparent pixels take the colour of their
    // nearest painted neighbours, so linear filtering shows no dark fringes.
    Image toImage() const;

private:
    struct Px {
        float r, g, b, a;  // premultiplied
    };
    void blend(std::size_t i, const Colour& c, float coverage);
    template <typename F>
    void forMask(const Mask& mask, F f);
    int w, h;
    std::vector<Px> px;
};

}  // namespace artgen
