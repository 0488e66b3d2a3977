// The programs' icon: a butterfly seen from above with its wings spread,
// its wings the butterfly pack's own painted texture, on a transparent
// ground. Each size is painted on its own, four times finer and then
// reduced, so small sizes stay crisp.
#include "packs/Artwork.h"
#include "painting/Canvas.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

// The wing texture covers this square of the wing's plane (as painted in
// Butterfly.cpp): x along the body, y outwards from the hinge.
constexpr double wingX0 = -10.5, wingX1 = 9.5, wingY0 = 0, wingY1 = 20;
// The icon spans this many wing units; the body's middle is its centre.
constexpr double span = 43;
// The wings sweep forwards by this angle, which fills the square better.
constexpr double sweepDegrees = 18;

// Bilinear straight-alpha sample of an 8-bit picture, pixel centres at
// +0.5, transparent outside.
Colour sample(const Image& image, double x, double y) {
    x -= 0.5;
    y -= 0.5;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    double sum[4] = {0, 0, 0, 0};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            const int px = x0 + i, py = y0 + j;
            if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
            const double w = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
            const std::uint8_t* p = image.pixel(px, py);
            const double a = p[3] / 255.0;
            for (int c = 0; c < 3; ++c) sum[c] += w * a * p[c] / 255.0;
            sum[3] += w * a;
        }
    if (sum[3] <= 0) return Colour(0, 0, 0, 0);
    return Colour(sum[0] / sum[3], sum[1] / sum[3], sum[2] / sum[3], sum[3]);
}

Image paintAt(const Image& wing, int size) {
    const int fine = 4 * size;
    Canvas canvas(fine, fine);
    const double perUnit = fine / span;
    auto toPixels = [&](Vec2 unit) { return Vec2(fine / 2.0 + unit.x * perUnit, fine / 2.0 + unit.y * perUnit); };

    // The wings: for each pixel, the point of the right wing's plane under
    // it (the left wing is its mirror image). Outwards and forwards are
    // turned by the sweep; forwards is up.
    const double sweep = radians(sweepDegrees);
    const Vec2 outwards(std::cos(sweep), -std::sin(sweep)), forwards(-std::sin(sweep), -std::cos(sweep));
    const Vec2 hinge(0.7, 0.5);
    canvas.over([&](double x, double y) {
        Vec2 p((x - fine / 2.0) / perUnit, (y - fine / 2.0) / perUnit);
        p.x = std::fabs(p.x);
        const double along = dot(p - hinge, forwards), out = dot(p - hinge, outwards);
        if (out < wingY0) return Colour(0, 0, 0, 0);
        const double u = (along - wingX0) / (wingX1 - wingX0), v = (out - wingY0) / (wingY1 - wingY0);
        return sample(wing, u * wing.width, v * wing.height);
    });

    // The body over the hinges: abdomen, thorax, head and two clubbed
    // antennae, nearly black with a brown sheen along the top.
    const Colour dark = Colour::hex(0x1b1512), sheen = Colour::hex(0x5a4434);
    Mask body(fine, fine);
    body.capsule(toPixels({0, -1.5}), 1.7 * perUnit, toPixels({0, 10.5}), 0.7 * perUnit);
    body.softCircle(toPixels({0, -5.2}), 1.35 * perUnit, 1);
    for (double side : {-1.0, 1.0}) {
        const std::vector<Vec2> antenna = {toPixels({0.4 * side, -5.6}), toPixels({1.8 * side, -10}),
                                           toPixels({3.6 * side, -13.5})};
        body.stroke(antenna, std::max(1.0, 0.22 * perUnit));
        body.softCircle(toPixels({3.7 * side, -13.7}), std::max(1.5, 0.6 * perUnit), 1);
    }
    canvas.paint(body, dark);
    Mask shine(fine, fine);
    shine.capsule(toPixels({-0.35, -2.2}), 0.5 * perUnit, toPixels({-0.2, 7}), 0.2 * perUnit);
    canvas.paint(shine, sheen.withAlpha(0.7));
    return canvas.downsampled(4).toImage();
}

}  // namespace

std::vector<Image> paintIcon(const PackContents& butterfly) {
    const Image& wing = butterfly.images.at("wing.png");
    std::vector<Image> sizes;
    for (int size : {16, 20, 24, 32, 40, 48, 64, 96, 128, 256}) sizes.push_back(paintAt(wing, size));
    return sizes;
}

}  // namespace artgen
