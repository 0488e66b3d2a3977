// The background: a soft summer meadow under a sky with clouds, on one quad
// (cut into bands across, see Band) wide enough for 32:9 screens (the
// vertical field of view is fixed, so a portrait screen sees less of it
// sideways). Its 16:9 middle holds the main view; the land and sky go on
// into a wing on either side, each half as wide.
#include "formats/ModelFormat.h"
#include "geometry/Rng.h"
#include "meshes/Shapes.h"
#include "packs/Artwork.h"
#include "painting/Canvas.h"
#include "painting/Noise.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace artgen {

namespace {

constexpr int middleW = 2048, wingW = middleW / 2, texW = middleW + 2 * wingW, texH = 1024;
// Half extents of the quad. The node scales it by (4, 3) at eye depth 200:
// 32:9 needs at least 73.6 x 27.6, so a little more hides the edges (the
// middle alone covers 16:9, 36.8 wide).
constexpr double middleHalfX = 37.3, halfX = middleHalfX * texW / middleW, halfY = 28.0;
// Screen width of the middle over its height (1.78), to keep painted shapes
// round although texels are not square on screen.
constexpr double aspect = (middleHalfX * 4) / (halfY * 3);

// Painting space: X across (0 .. aspect in the middle, -aspect / 2 .. 0 and
// aspect .. 1.5 aspect in the wings), Y down (0 .. 1).
struct Meadow {
    double horizon = 0.43;

    static double sx(double px) { return (px - wingW) / middleW * aspect; }
    static double sy(double py) { return py / texH; }
    static double px(double X) { return X / aspect * middleW + wingW; }
    static double py(double Y) { return Y * texH; }
    // Where a draw u from 0 to 1 falls: across the middle, or across both
    // wings (the left one for u below one half).
    static double middleX(double u) { return u * aspect; }
    static double wingX(double u) { return (u - 0.5) * aspect + (u < 0.5 ? 0.0 : aspect); }

    double farHills(double X) const { return horizon - 0.050 - 0.030 * fbm(X * 1.3, 3.1, 11, 4) - 0.012 * std::sin(X * 2.1); }
    double nearHills(double X) const { return horizon - 0.018 - 0.022 * fbm(X * 1.9, 7.7, 12, 4) + 0.008 * std::sin(X * 3.3 + 1); }
    // The top of a line of trees and hedges just behind the meadow.
    double treeLine(double X) const {
        const double stretch = smoothstep(-0.05, 0.35, fbm(X * 1.6, 1.7, 13, 3));  // where the trees stand
        const double crowns = 0.5 + 0.5 * fbm(X * 38, 0.5, 14, 3);
        const double big = 0.5 + 0.5 * fbm(X * 9, 2.5, 15, 2);
        return horizon + 0.004 - stretch * (0.010 + 0.020 * big + 0.010 * crowns);
    }

    Colour sky(double X, double Y) const {
        // Deep blue overhead fading to a warm haze at the horizon.
        const double t = std::pow(clamp01(Y / horizon), 0.8);
        Colour c = mix(Colour::hex(0x3d7cc6), Colour::hex(0x8bbbe4), smoothstep(0.0, 0.75, t));
        c = mix(c, Colour::hex(0xe6eef0), smoothstep(0.55, 1.0, t));
        // The sun's glow, above the left third.
        const double sunX = 0.24 * aspect, sunY = 0.07;
        const double d2 = (X - sunX) * (X - sunX) + (Y - sunY) * (Y - sunY) * 1.3;
        const double glow = 0.55 * std::exp(-d2 / 0.020) + 0.25 * std::exp(-d2 / 0.25);
        c = mix(c, Colour::hex(0xfff6dc), clamp01(glow));
        // Cumulus: a band of clouds, flatter towards the horizon.
        const double band = smoothstep(0.02, 0.12, Y) * (1 - smoothstep(0.30, 0.41, Y));
        auto density = [&](double x, double y) {
            const double squash = 1.0 + 1.5 * y / horizon;
            return fbm(x * 2.2, y * 5.5 * squash, 21, 6, 0.55) + 0.45 * band - 0.28;
        };
        const double d = density(X, Y);
        double cover = smoothstep(0.0, 0.22, d) * band;
        if (cover > 0) {
            // Lit from the sun: denser towards it means shadow here.
            const double ahead = density(X + (sunX - X) * 0.02, Y - 0.012);
            const double shadow = clamp01((ahead - d) * 4.0 + 0.25 + (Y - 0.1) * 0.8);
            const Colour lit = Colour::hex(0xfffdf6);
            const Colour shade = Colour::hex(0xaebfd6);
            Colour cloud = mix(lit, shade, shadow * 0.85);
            // Thin edges let the sky through and glow a little.
            cloud = mix(cloud, Colour::hex(0xffffff), (1 - smoothstep(0.0, 0.12, d)) * 0.3);
            c = mix(c, cloud, cover * 0.95);
        }
        // High wisps.
        const double wisp = smoothstep(0.25, 0.6, fbm(X * 1.2, Y * 14, 22, 5)) * (1 - smoothstep(0.0, 0.25, Y)) * 0.35;
        c = mix(c, Colour::hex(0xf4f8ff), wisp);
        return c;
    }

    // The land's base colour: hills, trees and the meadow's gradient.
    Colour land(double X, double Y) const {
        const Colour hazeColour = Colour::hex(0xd6e4e6);
        // The ground covers the sky below the highest hill line.
        Colour c = Y < horizon - 0.02 || Y < farHills(X) + 0.004 ? sky(X, Y) : hazeColour;
        // Far blue mountains, almost lost in the haze.
        const double mountains = horizon - 0.075 - 0.035 * std::fabs(fbm(X * 2.4, 5.5, 10, 5, 0.6)) - 0.01 * std::sin(X * 5);
        if (Y > mountains - 0.002) {
            const double k = smoothstep(mountains - 0.002, mountains + 0.002, Y);
            Colour m = mix(Colour::hex(0xa9c0d6), Colour::hex(0xb8cad8), clamp01((Y - mountains) / 0.05));
            c = mix(c, m, k * 0.85);
        }
        const double fh = farHills(X);
        if (Y > fh - 0.002) {
            const double k = smoothstep(fh - 0.002, fh + 0.002, Y);
            Colour hill = mix(Colour::hex(0x9db8c4), Colour::hex(0x8aa8a6), clamp01((Y - fh) / 0.06));
            hill = mix(hill, hazeColour, 0.25 + 0.1 * fbm(X * 8, Y * 30, 31, 3));
            c = mix(c, hill, k);
        }
        const double nh = nearHills(X);
        if (Y > nh - 0.002) {
            const double k = smoothstep(nh - 0.002, nh + 0.002, Y);
            Colour hill = mix(Colour::hex(0x86a586), Colour::hex(0x7c9c62), clamp01((Y - nh) / 0.04));
            // Fields on the slopes.
            const double fields = fbm(X * 14, Y * 60, 32, 3);
            hill = mix(hill, Colour::hex(0xb3bd7a), smoothstep(0.1, 0.4, fields) * 0.35);
            hill = mix(hill, hazeColour, 0.22);
            c = mix(c, hill, k);
        }
        const double tl = treeLine(X);
        if (Y > tl - 0.002 && Y < horizon + 0.02) {
            const double k = smoothstep(tl - 0.0015, tl + 0.0015, Y);
            const double leaf = fbm(X * 160, Y * 160, 33, 3);
            Colour tree = mix(Colour::hex(0x3f5f34), Colour::hex(0x5f7f44), 0.5 + 0.5 * leaf);
            // Lit from the upper left: crowns brighter on top.
            tree = mix(tree, Colour::hex(0x8aa760), clamp01(0.5 - (Y - tl) * 60) * 0.5);
            tree = mix(tree, hazeColour, 0.30);
            c = mix(c, tree, k);
        }
        if (Y > horizon) {
            const double depth = clamp01((Y - horizon) / (1 - horizon));  // 0 far, 1 near
            const double d = std::pow(depth, 0.7);
            Colour grass = mix(Colour::hex(0xaec46c), Colour::hex(0x7da645), smoothstep(0.0, 0.45, d));
            grass = mix(grass, Colour::hex(0x4f8130), smoothstep(0.35, 1.0, d));
            // Broad patches of lighter and darker grass, squashed by distance.
            const double patch = fbm(X * 3.0, (Y - horizon) * 14 / (0.25 + d), 41, 5);
            grass = mix(grass, Colour::hex(0xc9cf73), smoothstep(0.15, 0.6, patch) * 0.45 * (1 - d * 0.5));
            grass = mix(grass, Colour::hex(0x3e6e2c), smoothstep(0.1, 0.6, -patch) * 0.35);
            // Drifts of flowers in the distance: yellow and violet hazes.
            const double drift = fbm(X * 6.0, (Y - horizon) * 30 / (0.2 + d), 42, 4);
            grass = mix(grass, Colour::hex(0xe7d85a), smoothstep(0.35, 0.7, drift) * 0.5 * (1 - d));
            grass = mix(grass, Colour::hex(0xb39ad0), smoothstep(0.4, 0.75, -drift) * 0.35 * (1 - d));
            // Aerial haze at the horizon.
            grass = mix(grass, hazeColour, (1 - smoothstep(0.0, 0.12, depth)) * 0.45);
            const double k = smoothstep(horizon, horizon + 0.003, Y) * smoothstep(tl - 0.001, tl + 0.004, Y);
            c = mix(c, grass, std::max(k, Y > horizon + 0.01 ? 1.0 : 0.0));
        }
        return c;
    }
};

// Groups of trees along the hedgerows and on the near hills: round crowns
// built of overlapping blobs, lit from the sun's side, softened by haze.
void paintTreeGroups(Canvas& canvas, const Meadow& m, Rng& rng, double (*place)(double)) {
    const Colour haze = Colour::hex(0xc8dade);
    for (int group = 0; group < 34; ++group) {
        const double X = place(rng.uniform());
        const int trees = 1 + rng.below(5);
        const double distance = rng.uniform();  // 0 on the near hills' ridge, 1 far
        for (int t = 0; t < trees; ++t) {
            const double x = X + rng.range(-0.007, 0.007) * trees;
            const double ground = mix(std::max(m.nearHills(x), m.treeLine(x)) + 0.006, m.nearHills(x) + 0.002, distance);
            const double size = (1.2 - 0.6 * distance) * rng.range(0.7, 1.3);
            const double r = 10.0 * size;  // crown radius in pixels
            const Vec2 base{Meadow::px(x), Meadow::py(ground)};
            const double fade = 0.30 + 0.35 * distance;
            const Colour dark = mix(Colour::hex(0x2f4a2a), haze, fade);
            const Colour mid = mix(Colour::hex(0x4d6e36), haze, fade);
            const Colour light = mix(Colour::hex(0x88a85a), haze, fade);
            canvas.stroke({base, base - Vec2{0, r * 0.9}}, {r * 0.14, r * 0.1}, mix(Colour::hex(0x3a3026), haze, fade));
            const Vec2 crown = base - Vec2{0, r * (1.15 + rng.range(0.0, 0.35))};
            for (int b = 0; b < 9; ++b) {
                const Vec2 at = crown + Vec2{rng.range(-0.7, 0.7) * r, rng.range(-0.6, 0.5) * r};
                canvas.dot(at, r * rng.range(0.45, 0.7), dark, 1.2);
            }
            for (int b = 0; b < 7; ++b) {
                const Vec2 at = crown + Vec2{rng.range(-0.65, 0.3) * r, rng.range(-0.7, 0.1) * r};
                canvas.dot(at, r * rng.range(0.3, 0.5), mid, 1.2);
            }
            for (int b = 0; b < 4; ++b) {
                const Vec2 at = crown + Vec2{rng.range(-0.6, 0.0) * r, rng.range(-0.75, -0.3) * r};
                canvas.dot(at, r * rng.range(0.18, 0.3), light, 1.2);
            }
        }
    }
}

void paintTrees(Canvas& canvas, const Meadow& m) {
    Rng middle(7311), wings(7312);
    paintTreeGroups(canvas, m, middle, Meadow::middleX);
    paintTreeGroups(canvas, m, wings, Meadow::wingX);
}

// One row of grass blades and flowers at depth (0 far, 1 near), its things
// placed across the middle or the wings.
void paintMeadowRow(Canvas& canvas, const Meadow& m, Rng& rng, double (*place)(double), int rows, double depth) {
    const double Y = m.horizon + 0.004 + depth * (1 - m.horizon + 0.02);
    const double scale = 0.15 + 3.2 * depth * depth + 0.6 * depth;  // size of things, in pixels / 4
    const int blades = static_cast<int>(160 + 260 * (1 - depth));
    for (int i = 0; i < blades; ++i) {
        const double X = place(rng.uniform());
        const double y0 = Meadow::py(Y + rng.range(-0.5, 0.5) / rows * 1.5);
        const double x0 = Meadow::px(X);
        if (y0 < Meadow::py(m.horizon) + 1) continue;
        const double len = (3 + 4 * scale) * rng.range(0.6, 1.4);
        const double lean = rng.range(-0.45, 0.45) + 0.15 * std::sin(X * 7);
        const double width = std::max(0.45, 0.35 * scale * rng.range(0.6, 1.2));
        const double hue = rng.uniform();
        Colour base = mix(Colour::hex(0x3f6f26), Colour::hex(0x6e9a3a), hue);
        Colour tip = mix(Colour::hex(0x9fc25a), Colour::hex(0xd3d88a), hue * rng.uniform());
        // Far blades melt into the haze.
        const Colour haze = Colour::hex(0xc4d49a);
        base = mix(base, haze, (1 - depth) * 0.55);
        tip = mix(tip, haze, (1 - depth) * 0.45);
        std::vector<Vec2> pts;
        std::vector<double> radii;
        for (int k = 0; k <= 4; ++k) {
            const double t = k / 4.0;
            pts.push_back({x0 + lean * len * t * t, y0 - len * t});
            radii.push_back(width * (1 - 0.85 * t));
        }
        canvas.stroke(pts, radii, mix(base, tip, 0.45).withAlpha(0.55 + 0.35 * depth));
        canvas.stroke({pts[2], pts[3], pts[4]}, {radii[2] * 0.6, radii[3] * 0.6, radii[4] * 0.5},
                      tip.withAlpha(0.35 + 0.3 * depth));
    }
    // Flowers among the grass.
    const int flowers = static_cast<int>(18 + 30 * (1 - depth));
    for (int i = 0; i < flowers; ++i) {
        const double X = place(rng.uniform());
        // Flowers gather in drifts.
        if (fbm(X * 5, Y * 16, 77, 3) < -0.05 && rng.uniform() < 0.8) continue;
        const double x0 = Meadow::px(X), y0 = Meadow::py(Y) - rng.uniform() * 3 * scale;
        const int kind = rng.below(10);
        Colour petal;
        Colour centre = Colour::hex(0xf2c530);
        if (kind < 4) {
            petal = Colour::hex(0xfbfbf3);  // daisy
        } else if (kind < 7) {
            petal = Colour::hex(0xf6d22b);  // buttercup
            centre = Colour::hex(0xe8a317);
        } else if (kind < 8) {
            petal = Colour::hex(0xd8322a);  // poppy
            centre = Colour::hex(0x2a1b18);
        } else if (kind < 9) {
            petal = Colour::hex(0x6f7fe0);  // cornflower
            centre = Colour::hex(0x4d4fa8);
        } else {
            petal = Colour::hex(0xc79be0);  // clover and cranesbill
            centre = Colour::hex(0xa070c0);
        }
        petal = mix(petal, Colour::hex(0xd8e0c8), (1 - depth) * 0.35);
        const double r = 0.5 + 1.1 * scale * rng.range(0.7, 1.2);
        if (r < 1.6) {
            canvas.dot({x0, y0}, r, petal.withAlpha(0.9), 0.8);
            continue;
        }
        // A short stem, petals round a centre, seen a little from the side.
        canvas.stroke({{x0, y0 + r * 2.5}, {x0, y0}}, {0.35 * scale * 0.5 + 0.3, 0.3}, Colour::hex(0x4a7a2a, 0.8));
        const int n = kind < 4 ? 10 : 5;
        const double spin = rng.uniform() * 2 * pi;
        for (int k = 0; k < n; ++k) {
            const double a = spin + 2 * pi * k / n;
            const Vec2 tipP{x0 + std::cos(a) * r * 1.4, y0 + std::sin(a) * r * 0.75};
            canvas.stroke({{x0, y0}, tipP}, {r * (kind < 4 ? 0.28 : 0.55), r * (kind < 4 ? 0.22 : 0.45)},
                          petal.withAlpha(0.95));
        }
        canvas.dot({x0, y0}, r * (kind < 4 ? 0.42 : 0.3), centre, 0.8);
    }
}

// Grass blades and flowers of the meadow, larger and sparser towards the
// viewer; painted back to front, each row across the middle and the wings.
void paintMeadowDetail(Canvas& canvas, const Meadow& m) {
    Rng middle(20240611), wings(20240612);
    const int rows = 420;
    for (int row = 0; row < rows; ++row) {
        const double depth = std::pow(static_cast<double>(row) / rows, 1.6);
        paintMeadowRow(canvas, m, middle, Meadow::middleX, rows, depth);
        paintMeadowRow(canvas, m, wings, Meadow::wingX, rows, depth);
    }
}

// A few big, slightly soft plants right at the bottom edge, nearest of
// all, for depth; across the middle or the wings.
void paintForegroundPlants(Canvas& canvas, Rng& rng, double (*place)(double)) {
    for (int i = 0; i < 260; ++i) {
        const double x = Meadow::px(place(rng.uniform())), y = texH - rng.uniform() * 50 + 10;
        const double len = rng.range(40, 110), lean = rng.range(-0.5, 0.5);
        const double hue = rng.uniform();
        const Colour c = mix(mix(Colour::hex(0x3a6a22), Colour::hex(0x6a9a38), hue), Colour::hex(0xa8c860), rng.uniform() * 0.4);
        std::vector<Vec2> pts;
        std::vector<double> radii;
        for (int k = 0; k <= 6; ++k) {
            const double t = k / 6.0;
            pts.push_back({x + lean * len * t * t, y - len * t});
            radii.push_back(2.6 * (1 - 0.9 * t));
        }
        canvas.stroke(pts, radii, c.withAlpha(0.85));
    }
    for (int i = 0; i < 26; ++i) {
        const double x = Meadow::px(place(rng.uniform())), y = texH - rng.range(30, 90);
        const int kind = rng.below(3);
        const Colour petal = kind == 0 ? Colour::hex(0xfbfbf3) : (kind == 1 ? Colour::hex(0xf6d22b) : Colour::hex(0xd8322a));
        const Colour centre = kind == 2 ? Colour::hex(0x2a1b18) : Colour::hex(0xf0b820);
        const double r = rng.range(7, 12);
        canvas.stroke({{x, texH + 5.0}, {x + rng.range(-6, 6), y}}, {1.6, 1.2}, Colour::hex(0x4a7a2a, 0.9));
        const int n = kind == 0 ? 12 : 5;
        const double spin = rng.uniform() * 2 * pi;
        for (int k = 0; k < n; ++k) {
            const double a = spin + 2 * pi * k / n;
            const Vec2 tip{x + std::cos(a) * r * 1.3, y + std::sin(a) * r * 0.7};
            canvas.stroke({{x, y}, tip}, {r * (kind == 0 ? 0.2 : 0.5), r * (kind == 0 ? 0.16 : 0.42)}, petal.withAlpha(0.95));
        }
        canvas.dot({x, y}, r * (kind == 0 ? 0.38 : 0.3), centre, 1.5);
    }
}

void paintForeground(Canvas& canvas) {
    Rng middle(8801), wings(8802);
    paintForegroundPlants(canvas, middle, Meadow::middleX);
    paintForegroundPlants(canvas, wings, Meadow::wingX);
}

Canvas paintMeadow() {
    Meadow m;
    Canvas canvas(texW, texH);
    canvas.shade([&](double x, double y) { return m.land(Meadow::sx(x), Meadow::sy(y)); });
    paintTrees(canvas, m);
    paintMeadowDetail(canvas, m);
    paintForeground(canvas);
    // A soft light from the sun's side falling across the whole picture:
    // darker towards the corners of the middle, and no darker beyond them.
    canvas.over([&](double x, double y) {
        const double X = Meadow::sx(x), Y = Meadow::sy(y);
        const double across = std::clamp(X / aspect - 0.5, -0.5, 0.5);
        const double v = across * across * 1.6 + (Y - 0.45) * (Y - 0.45) * 0.9;
        return Colour(0.10, 0.16, 0.06, clamp01(v * 0.55));
    });
    return canvas;
}

// The picture goes to the screen in bands across, each its own texture, so
// that the sky above the trees can keep half the texels: it holds nothing
// finer than soft clouds and far hills in haze (brought back up by linear
// filtering it stays within 47 dB of the full picture), and that saves 4.5
// of the meadow's 16 MiB of texture memory. Heights are powers of two.
//
// Linear filtering within half a texel of a band's edge would reach round to
// its far edge (the wrap is repeat), so neighbouring bands share rows and
// meet where both still sample only their own: at the first row centre of
// the lower band. Every full-resolution texel thus lands where it did in one
// picture. The top and bottom of the quad lie off the screen (its rows 0 to
// 6 and 1017 to 1023 at any screen shape), so the last band may end early.
struct Band {
    const char* image;
    int firstRow, rows, shrink;  // rows of the picture, shrunk by `shrink`
    // The picture row where the band's own sampling starts.
    double firstCentre() const { return firstRow + shrink / 2.0; }
};
constexpr Band bands[] = {
    {"sky.png", 0, 256, 2},
    {"haze.png", 254, 128, 2},
    {"hills.png", 380, 128, 1},
    {"meadow.png", 507, 512, 1},
};

}  // namespace

void addMeadow(PackContents& pack) {
    const Canvas picture = paintMeadow();
    Model model;
    const std::size_t count = std::size(bands);
    for (std::size_t i = 0; i < count; ++i) {
        const Band& band = bands[i];
        pack.addImage(band.image, picture.rows(band.firstRow, band.rows).downsampled(band.shrink).toImage());
        // Unlit, opaque, and the first thing the frame draws: a backdrop,
        // which needs no depth. Model -y is screen up after the node's
        // rotation, and the first image row (t = 0) belongs at the top: t
        // follows y. Flat and unlit, a band needs no more than two triangles:
        // every further edge across the screen is a row of pixels shaded
        // twice.
        ModelPart& part = model.add(band.image, Material::unlit().withHints(renderHint::backdrop));
        const double top = i == 0 ? 0.0 : band.firstCentre();
        const double bottom = i + 1 == count ? texH : bands[i + 1].firstCentre();
        auto y = [](double row) { return -halfY + 2 * halfY * row / texH; };
        auto t = [&](double row) { return (row - band.firstRow) / band.rows; };
        part.grid(1, 1, [&](double u, double v) {
            const double row = v < 0.5 ? top : bottom;
            return Vertex{{-halfX + 2 * halfX * u, y(row), 0}, {0, 0, -1}, {u, t(row)}};
        });
    }
    pack.addModel("fon", model);
}

}  // namespace artgen
